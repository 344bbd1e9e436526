#include "ResidentProcess.h"
#include "tests/platform/MockPortal.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QUrl>
#include <gtest/gtest.h>

// The resident program in a Wayland session as a user meets it: a headless sway for the
// selections (with-sway), an X server standing in for its XWayland (with-desktop) and the
// stand-in portal on the private session bus. It chooses its ways by itself at start-up.

namespace Blinkwit {
namespace {

using Testing::ResidentProcess;
using Testing::runTool;
using Testing::wait;
using Testing::xdotool;

// desktop: XDG_CURRENT_DESKTOP, which decides the ways the resident takes.
QProcessEnvironment waylandSession(const QString& desktop) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_SESSION_TYPE", "wayland");
    environment.insert("XDG_CURRENT_DESKTOP", desktop);
    // The resident gets a runtime folder of its own; the compositor's socket is named in full.
    environment.insert("WAYLAND_DISPLAY", qEnvironmentVariable("XDG_RUNTIME_DIR") + '/' +
                                              qEnvironmentVariable("WAYLAND_DISPLAY"));
    // Left to the program, which picks XWayland for its windows.
    environment.remove("QT_QPA_PLATFORM");
    return environment;
}

class ResidentWaylandTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
            qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "run under tests/platform/with-sway tests/app/with-desktop";
        ASSERT_TRUE(portal.start());
    }
    // Started on desktop and serving, past the welcome and, when explained, past the window
    // that explains this session; bound, as the resident keeps in mind for its next start.
    void start(const QString& desktop, bool explained = false) {
        resident = std::make_unique<ResidentProcess>(home, waylandSession(desktop));
        resident->setWelcomeShown();
        JsonFileDefaultsStore settings(resident->configFile());
        settings.setValue("waylandAccessExplained", explained);
        settings.setValue("automaticUpdateChecks", false); // no address of the internet here
        resident->start();
        ASSERT_TRUE(wait([&] { return resident->isServing(); }));
        ASSERT_TRUE(wait([&] {
            return JsonFileDefaultsStore(resident->configFile())
                .value("globalShortcutsConfigured")
                .toBool();
        }));
    }
    bool lastRead(const QString& text) {
        return wait([&] { return resident->history().value(0) == text; });
    }
    void press(const QString& command) {
        portal.activate(command, true);
        portal.activate(command, false);
    }

    Testing::MockPortal portal;
    QTemporaryDir home;
    std::unique_ptr<ResidentProcess> resident;
};

TEST_F(ResidentWaylandTest, HotKeysComeThroughThePortalAndSelectionsThroughDataControl) {
    start("sway");
    EXPECT_TRUE(wait([&] {
        return resident->errors().contains(
            "blinkwit: Wayland (sway) session: hot keys through the GlobalShortcuts portal");
    })) << resident->errors().toStdString();
    EXPECT_TRUE(resident->errors().contains("the selection through data-control (wl-paste)"));
    EXPECT_TRUE(resident->errors().contains("screen regions with grim, windows on XWayland"));

    const auto calls = portal.calls();
    EXPECT_EQ(calls.front().method, "Register");
    EXPECT_EQ(calls.front().arg(0), "com.blinkwit.app");
    const QJsonArray bound = portal.call("BindShortcuts").arg(1).toArray();
    ASSERT_EQ(bound.size(), 3);
    EXPECT_EQ(bound[0][0], "readSelection");
    EXPECT_EQ(bound[0][1]["preferred_trigger"], "CTRL+SHIFT+r");
    // Once the desktop has answered, the window saying what works here opens, on XWayland.
    xdotool({"search", "--sync", "--onlyvisible", "--name", "^Blinkwit$"});

    ASSERT_TRUE(runTool("wl-copy", {"--primary", "Selected in a Wayland program."}));
    press("readSelection");
    EXPECT_TRUE(lastRead("Selected in a Wayland program."));

    ASSERT_TRUE(runTool("wl-copy", {"Copied in a Wayland program."}));
    EXPECT_EQ(resident->run({"--command", "readClipboard"}).first, 0);
    EXPECT_TRUE(lastRead("Copied in a Wayland program."));
    EXPECT_EQ(resident->terminate(), 0);
}

// KDE captures through the Screenshot portal: the whole desktop, cut down to the rectangle
// dragged over our overlay, and the file the portal left is removed.
TEST_F(ResidentWaylandTest, OnKdeTheRectangleIsCutFromThePortalsScreenshot) {
    const QString file = home.filePath("Screenshot.png");
    QImage desktop(1280, 800, QImage::Format_RGB32);
    desktop.fill(Qt::white);
    QPainter painter(&desktop);
    QFont font = painter.font();
    font.setPixelSize(24);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(60, 80), "Words only the screenshot holds.");
    painter.end();
    ASSERT_TRUE(desktop.save(file));
    portal.configure({{"screenshot_uri", QUrl::fromLocalFile(file).toString()}});

    start("KDE", true);
    EXPECT_TRUE(wait([&] {
        return resident->errors().contains("screen regions through the Screenshot portal");
    })) << resident->errors().toStdString();
    press("ocrRegion");
    xdotool({"search", "--sync", "--onlyvisible", "--name", "^Blinkwit$"}); // the overlay
    xdotool({"mousemove", "20", "20", "mousedown", "1"});
    xdotool({"mousemove", "300", "80"});
    xdotool({"mousemove", "560", "140", "mouseup", "1"});
    EXPECT_TRUE(lastRead("Words only the screenshot holds."))
        << resident->history().value(0).toStdString();
    EXPECT_EQ(portal.call("Screenshot").arg(0)["interactive"], false);
    EXPECT_FALSE(QFile::exists(file));
}

} // namespace
} // namespace Blinkwit
