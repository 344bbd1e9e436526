#include "FakePermissions.h"
#include "app/PermissionView.h"
#include "app/PermissionWindowController.h"
#include "settings/AppSettings.h"
#include "settings/InMemoryDefaultsStore.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace Blinkwit {
namespace {

class PermissionWindowTest : public ::testing::Test {
protected:
    // Every label's text, top to bottom.
    static QStringList texts(const QWidget& window) {
        QStringList result;
        for (const QLabel* label : window.findChildren<QLabel*>())
            if (label->isVisibleTo(&window))
                result.append(label->text());
        return result;
    }

    Testing::FakePermissions permissions;
    InMemoryDefaultsStore store;
    AppSettings settings{store};
    PermissionWindowController controller{permissions, settings};
};

TEST_F(PermissionWindowTest, TheInstallWindowSaysWhereTheCopyRunsFrom) {
    for (const auto& [location, where] :
         {std::pair{InstallLocation::diskImage, "Blinkwit is running from a mounted volume, "},
          {InstallLocation::translocated,
           "Blinkwit is running from a temporary folder your archive manager unpacked it to, "}}) {
        permissions.location = location;
        PermissionView view(PermissionKind::installLocation, permissions, Qt::green);
        const QStringList shown = texts(view);
        ASSERT_EQ(shown.size(), 3);
        EXPECT_EQ(shown[1], QStringLiteral("Move Blinkwit to your Applications folder"));
        EXPECT_TRUE(shown[2].startsWith(QString::fromUtf8(where))) << shown[2].toStdString();
        EXPECT_EQ(view.primaryButton()->text(), QStringLiteral("Move to Applications"));
    }
}

TEST_F(PermissionWindowTest, ReturnMovesAndAFailureStaysOnScreenWithItsReason) {
    permissions.location = InstallLocation::diskImage;
    permissions.moveError = QStringLiteral("/home/u/Applications can't be created (Not a "
                                           "directory).");
    controller.show(PermissionKind::installLocation);
    PermissionView* window = controller.window();
    ASSERT_NE(window, nullptr);
    QTest::keyClick(window, Qt::Key_Return);
    EXPECT_EQ(permissions.moves, 1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(texts(*window).last(), PermissionView::moveFailureText(*permissions.moveError));
    EXPECT_TRUE(texts(*window).last().startsWith(
        QStringLiteral("Couldn't move it automatically: /home/u/Applications")));

    controller.show(PermissionKind::installLocation);
    EXPECT_EQ(controller.window(), window) << "the window on screen is brought forward";
    permissions.moveError.reset();
    QTest::keyClick(window, Qt::Key_Return);
    EXPECT_EQ(permissions.moves, 2);
    EXPECT_TRUE(window->isVisible()) << "stays until the program ends";
}

TEST_F(PermissionWindowTest, TheAccessibilityWindowOpensKeyboardSettingsWhereThereAreAny) {
    for (const bool known : {true, false}) {
        permissions.hasKeyboardSettings = known;
        permissions.keyboardSettingsOpened = 0;
        controller.show(PermissionKind::accessibility);
        QPointer<PermissionView> window = controller.window();
        EXPECT_EQ(window->primaryButton()->text(),
                  known ? QStringLiteral("Open Keyboard Settings") : QStringLiteral("OK"));
        EXPECT_TRUE(
            texts(*window).join('\n').contains(QStringLiteral("blinkwit --command readSelection")));
        QTest::keyClick(window, Qt::Key_Return);
        EXPECT_EQ(permissions.keyboardSettingsOpened, known ? 1 : 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(!window) << "closed and freed";
    }
}

// A Wayland session's window says what works on this desktop and what the user binds by hand.
TEST_F(PermissionWindowTest, OnWaylandTheWindowSaysWhatWorksAndWhatToBindByHand) {
    WaylandAccess access;
    access.desktop = QStringLiteral("GNOME");
    access.selection = WaylandAccess::Selection::shared;
    access.copyOffered = true;
    permissions.wayland = access;
    permissions.hasKeyboardSettings = true;
    {
        PermissionView view(PermissionKind::accessibility, permissions, Qt::green);
        const QString shown = texts(view).join('\n');
        EXPECT_TRUE(shown.contains(PermissionView::waylandTitle()));
        EXPECT_TRUE(shown.contains(QStringLiteral("GNOME doesn't pass them on to apps")));
        for (const char* command : {"readSelection", "readClipboard"})
            EXPECT_TRUE(shown.contains(QStringLiteral("blinkwit --command ") + command)) << command;
        EXPECT_TRUE(shown.contains(QStringLiteral("Selected text: read directly")));
        EXPECT_EQ(view.primaryButton()->text(), QStringLiteral("Open Keyboard Settings"));
        auto* copy = view.findChild<QCheckBox*>();
        ASSERT_NE(copy, nullptr);
        EXPECT_FALSE(copy->isChecked());
        copy->click();
        EXPECT_EQ(permissions.copyEnabled, std::vector<bool>{true});
    }

    // Hot keys the desktop delivers are changed in its own dialog; no copy where none is offered.
    access.hotKeys = WaylandAccess::HotKeys::desktop;
    access.canConfigureHotKeys = true;
    access.copyOffered = false;
    access.selection = WaylandAccess::Selection::whenFocused;
    permissions.wayland = access;
    PermissionView view(PermissionKind::accessibility, permissions, Qt::green);
    const QString shown = texts(view).join('\n');
    EXPECT_FALSE(shown.contains(QStringLiteral("blinkwit --command")));
    EXPECT_TRUE(shown.contains(QStringLiteral("takes the keyboard for a moment")));
    EXPECT_EQ(view.findChild<QCheckBox*>(), nullptr);
    EXPECT_EQ(view.primaryButton()->text(), QStringLiteral("Change Hotkeys"));
    view.performAction();
    EXPECT_EQ(permissions.keyboardSettingsOpened, 1);
}

// Hyprland delivers only what its config binds to our names; a portal that wants an installed
// program is answered by moving Blinkwit, and by hand until then.
TEST(WaylandExplanation, NamesWhatTheUserBindsWhereTheDesktopWantsIt) {
    WaylandAccess access;
    access.desktop = QStringLiteral("Hyprland");
    access.hotKeys = WaylandAccess::HotKeys::inConfig;
    QString text = PermissionView::waylandExplanation(access);
    EXPECT_TRUE(text.contains(QStringLiteral("global, ...):\ncom.blinkwit.app:readSelection\n"
                                             "com.blinkwit.app:readClipboard\n")))
        << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("blinkwit --command")));

    access.desktop = QStringLiteral("GNOME");
    access.hotKeys = WaylandAccess::HotKeys::needsInstall;
    text = PermissionView::waylandExplanation(access);
    EXPECT_TRUE(text.contains(QStringLiteral("Move to Applications")));
    EXPECT_TRUE(text.contains(QStringLiteral("run\nblinkwit --command readSelection\n")));
}

} // namespace
} // namespace Blinkwit
