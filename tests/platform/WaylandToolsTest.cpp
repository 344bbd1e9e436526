#include "platform/GrimCapture.h"
#include "platform/QtScheduler.h"
#include "platform/WlClipboard.h"
#include "tests/support/X11Testing.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Blinkwit;
using namespace Blinkwit::Testing;
using Selection = DataControl::Selection;

namespace {

// wl-clipboard and grim against a real wlroots compositor: a headless sway started by
// with-sway, which offers data-control and screencopy like a desktop sway does.
class WaylandToolsTest : public testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            GTEST_SKIP() << "needs a Wayland compositor (run under tests/platform/with-sway)";
    }
    std::optional<QString> read(Selection selection) {
        std::optional<std::optional<QString>> result;
        clipboard.read(selection, [&](std::optional<QString> text) { result = text; });
        EXPECT_TRUE(waitFor([&] { return result.has_value(); }));
        return result.value_or(std::nullopt);
    }

    QtScheduler scheduler;
    WlClipboard clipboard{scheduler};
};

TEST_F(WaylandToolsTest, SelectionsAreReadAndWrittenWithoutAWindowOfOurOwn) {
    ASSERT_TRUE(runTool("wl-copy", {"--primary", "selected in a Wayland program"}));
    EXPECT_EQ(read(Selection::primary), "selected in a Wayland program");

    clipboard.write(Selection::clipboard, QStringLiteral("Grüße\n  indented\n"));
    EXPECT_TRUE(waitFor([&] { return read(Selection::clipboard) == "Grüße\n  indented\n"; }));
    EXPECT_EQ(read(Selection::primary), "selected in a Wayland program");

    ASSERT_TRUE(runTool("wl-copy", {"--primary", "--clear"}));
    EXPECT_EQ(read(Selection::primary), std::nullopt);
}

TEST_F(WaylandToolsTest, GrimCapturesARegionAtTheSizeAskedFor) {
    GrimCapture grim(scheduler);
    std::optional<QImage> captured;
    grim.capture(QRectF(10.5, 20, 100, 50), QSize(200, 100),
                 [&](QImage image) { captured = image; });
    ASSERT_TRUE(waitFor([&] { return captured.has_value(); }));
    EXPECT_EQ(captured->size(), QSize(200, 100));
    EXPECT_EQ(GrimCapture::geometry(QRectF(10.5, 20, 100, 50)), "10,20 101x50");
}

// Without data-control, wl-paste waits for a keyboard focus that never comes (GNOME).
TEST(WlClipboardWithoutDataControl, AReadThatHangsEndsAtTheTimeLimit) {
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    QFile tool(bin.filePath(QStringLiteral("wl-paste")));
    ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
    tool.write("#!/bin/sh\nexec sleep 30\n");
    tool.close();
    tool.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toUtf8() + ':' + path);

    QtScheduler scheduler;
    WlClipboard clipboard(scheduler);
    std::optional<std::optional<QString>> result;
    clipboard.read(Selection::primary, [&](std::optional<QString> text) { result = text; });
    EXPECT_FALSE(waitFor([&] { return result.has_value(); }, 800));
    EXPECT_TRUE(waitFor([&] { return result.has_value(); }, 1000));
    EXPECT_EQ(*result, std::nullopt);
    qputenv("PATH", path);
}

} // namespace
