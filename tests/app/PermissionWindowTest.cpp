#include "FakePermissions.h"
#include "app/PermissionView.h"
#include "app/PermissionWindowController.h"
#include "settings/AppSettings.h"
#include "settings/InMemoryDefaultsStore.h"

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

} // namespace
} // namespace Blinkwit
