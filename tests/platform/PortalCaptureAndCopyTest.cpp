#include "MockPortal.h"
#include "platform/PortalConnection.h"
#include "platform/PortalCopyCommandSender.h"
#include "platform/PortalScreenshot.h"
#include "platform/QtScheduler.h"
#include "settings/InMemoryDefaultsStore.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QUrl>
#include <X11/keysym.h>
#include <gtest/gtest.h>

using namespace Blinkwit;
using namespace Blinkwit::Testing;

namespace {

const QString appId = QStringLiteral("com.blinkwit.app");

// A 2x screenshot of a 100x50-point desktop whose quarters differ in colour.
QImage quarteredScreenshot() {
    QImage image(200, 100, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(9, 9, 9)};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, colours[(y >= 50) * 2 + (x >= 100)]);
    return image;
}

class PortalServicesTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(mock.start()); }

    MockPortal mock;
    QtScheduler scheduler;
    PortalConnection portal{appId, scheduler};
    InMemoryDefaultsStore store;
};

class PortalScreenshotTest : public PortalServicesTest {
protected:
    void SetUp() override {
        PortalServicesTest::SetUp();
        ASSERT_TRUE(folder.isValid());
        file = folder.filePath(QStringLiteral("Screenshot.png"));
        ASSERT_TRUE(quarteredScreenshot().save(file));
        mock.configure({{"screenshot_uri", QUrl::fromLocalFile(file).toString()}});
    }
    std::optional<QImage> capture(PortalScreenshot& screenshot, const QRectF& region,
                                  QSize pixels) {
        std::optional<QImage> captured;
        screenshot.capture(region, pixels, [&](QImage image) { captured = image; });
        waitFor([&] { return captured.has_value(); });
        return captured;
    }

    QTemporaryDir folder;
    QString file;
    const QRectF desktop{-20, 0, 100, 50}; // the primary display's left neighbour starts at -20
};

TEST_F(PortalScreenshotTest, TheRegionIsCutFromTheDesktopsScreenshotWhichIsThenRemoved) {
    PortalScreenshot screenshot(portal, [&] { return desktop; });
    const auto image = capture(screenshot, QRectF(35, 0, 40, 20), QSize(80, 40));
    ASSERT_TRUE(image && !image->isNull());
    EXPECT_EQ(image->size(), QSize(80, 40));
    EXPECT_EQ(image->pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(image->pixel(79, 39), qRgb(0, 255, 0));
    EXPECT_FALSE(QFile::exists(file));

    const QJsonObject options = mock.call("Screenshot", 0).arg(0).toObject();
    EXPECT_EQ(options["interactive"], false);
}

TEST_F(PortalScreenshotTest, ARefusalOrADenialWithoutAnswerGivesNoImage) {
    mock.configure({{"answer.Screenshot", "other"}});
    PortalScreenshot refused(portal, [&] { return desktop; });
    const auto none = capture(refused, QRectF(0, 0, 10, 10), QSize(10, 10));
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->isNull());

    mock.configure({{"answer.Screenshot", "never"}});
    PortalScreenshot unanswered(
        portal, [&] { return desktop; }, 0.3);
    const auto late = capture(unanswered, QRectF(0, 0, 10, 10), QSize(10, 10));
    ASSERT_TRUE(late);
    EXPECT_TRUE(late->isNull());
}

TEST(PortalScreenshotCrop, ScalesToTheScreenshotsPixelsAndClipsToIt) {
    const QImage screenshot = quarteredScreenshot();
    const QRectF desktop(0, 0, 100, 50);
    const QImage bottomLeft =
        PortalScreenshot::crop(screenshot, desktop, {0, 25, 50, 25}, {100, 50});
    EXPECT_EQ(bottomLeft.size(), QSize(100, 50));
    EXPECT_EQ(bottomLeft.pixel(50, 25), qRgb(0, 0, 255));
    // Only the part on the desktop is captured, brought to the size asked for.
    const QImage edge = PortalScreenshot::crop(screenshot, desktop, {90, 40, 40, 40}, {4, 4});
    EXPECT_EQ(edge.size(), QSize(4, 4));
    EXPECT_EQ(edge.pixel(2, 2), qRgb(9, 9, 9));
    EXPECT_TRUE(PortalScreenshot::crop(screenshot, desktop, {200, 0, 10, 10}, {10, 10}).isNull());
}

class PortalCopyTest : public PortalServicesTest {
protected:
    bool copy(PortalCopyCommandSender& sender) {
        bool posted = false;
        sender.postCommandC([&] { posted = true; });
        return waitFor([&] { return posted; });
    }
    QList<QPair<int, int>> keys() {
        QList<QPair<int, int>> sent;
        for (const MockPortal::Call& call : mock.callsOf("NotifyKeyboardKeysym"))
            sent.append({call.arg(0).toInt(), call.arg(1).toInt()});
        return sent;
    }
    QString restoreToken() const {
        return store.value(QLatin1String(PortalCopyCommandSender::restoreTokenKey)).toString();
    }

    bool held = false;
    PortalCopyCommandSender::TimeLimits limits{.call = 2.0, .consent = 2.0, .release = 5.0};
};

TEST_F(PortalCopyTest, SendsCtrlCOnceTheHotKeyIsReleasedAndKeepsTheNewestRestoreToken) {
    held = true;
    PortalCopyCommandSender sender(
        portal, store, [&] { return held; }, limits);
    bool posted = false;
    sender.postCommandC([&] { posted = true; });
    ASSERT_TRUE(waitFor([&] { return mock.callsOf("Start").size() == 1; }));
    ASSERT_TRUE(waitFor([&] { return restoreToken() == "token-1"; }));
    waitFor([] { return false; }, 200);
    EXPECT_TRUE(keys().isEmpty()) << "sent while the hot key was held";
    EXPECT_FALSE(posted);

    held = false;
    ASSERT_TRUE(waitFor([&] { return posted; }));
    const QList<QPair<int, int>> ctrlC{{XK_Control_L, 1}, {XK_c, 1}, {XK_c, 0}, {XK_Control_L, 0}};
    EXPECT_EQ(keys(), ctrlC);
    const QJsonObject devices = mock.call("SelectDevices", 0).arg(1).toObject();
    EXPECT_EQ(devices["types"], 1);
    EXPECT_EQ(devices["persist_mode"], 2);
    EXPECT_FALSE(devices.contains("restore_token"));

    // The started session serves later copies without asking again.
    ASSERT_TRUE(copy(sender));
    EXPECT_EQ(keys().size(), 8);
    EXPECT_EQ(mock.callsOf("Start").size(), 1);
}

TEST_F(PortalCopyTest, ANewSessionOffersTheStoredTokenAndStoresTheOneItGets) {
    store.setValue(QLatin1String(PortalCopyCommandSender::restoreTokenKey), "token-0");
    mock.configure({{"restore_token", "token-2"}});
    PortalCopyCommandSender sender(portal, store, nullptr, limits);
    ASSERT_TRUE(copy(sender));
    EXPECT_EQ(mock.call("SelectDevices", 0).arg(1)["restore_token"], "token-0");
    EXPECT_EQ(restoreToken(), "token-2");

    // A session the desktop closed is started again, with the newest token.
    mock.closeSessions();
    mock.configure({{"restore_token", "token-3"}});
    waitFor([] { return false; }, 100);
    ASSERT_TRUE(copy(sender));
    ASSERT_EQ(mock.callsOf("SelectDevices").size(), 2);
    EXPECT_EQ(mock.call("SelectDevices", 1).arg(1)["restore_token"], "token-2");
    EXPECT_EQ(restoreToken(), "token-3");
    EXPECT_EQ(keys().size(), 8);
}

TEST_F(PortalCopyTest, WithoutConsentNothingIsSentAndTheCallerGoesOn) {
    mock.configure({{"answer.Start", "cancel"}});
    PortalCopyCommandSender declined(portal, store, nullptr, limits);
    EXPECT_TRUE(copy(declined));

    mock.configure({{"answer.Start", "never"}});
    limits.consent = 0.3;
    PortalCopyCommandSender unanswered(portal, store, nullptr, limits);
    EXPECT_TRUE(copy(unanswered));
    EXPECT_TRUE(keys().isEmpty());
    EXPECT_TRUE(restoreToken().isEmpty());

    // Granted without the keyboard: each copy asks anew instead of waiting for a session.
    mock.configure({{"answer.Start", "success"}, {"devices", 2}});
    PortalCopyCommandSender pointerOnly(portal, store, nullptr, limits);
    EXPECT_TRUE(copy(pointerOnly));
    EXPECT_TRUE(copy(pointerOnly));
    EXPECT_EQ(mock.callsOf("Start").size(), 4);
    EXPECT_TRUE(keys().isEmpty());
}

} // namespace
