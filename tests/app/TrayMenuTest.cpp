#include "KeyboardShortcuts/Registry.h"
#include "app/AppCoordinator.h"
#include "app/TrayIcon.h"
#include "app/TrayMenuModel.h"
#include "platform/UnavailableHotKeyBackend.h"
#include "reader/ReaderPanel.h"
#include "reader/ReaderPanelController.h"
#include "settings/HistoryStore.h"
#include "tests/reader/ReaderTestKit.h"

#include <QMenu>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <sstream>

namespace Blinkwit {
namespace {

using Kind = TrayMenuItem::Kind;
using KeyboardShortcuts::Name;

class TrayMenuTest : public ::testing::Test {
protected:
    // Titles of the rows, the submenu's rows after a ">", "-" for separators.
    QStringList titles(const std::vector<TrayMenuItem>& items) const {
        QStringList result;
        for (const TrayMenuItem& item : items) {
            result.append(item.kind == Kind::separator ? QStringLiteral("-") : item.title);
            if (item.kind == Kind::submenu)
                for (const QString& child : titles(item.children))
                    result.append(QStringLiteral("> ") + child);
        }
        return result;
    }

    Testing::ReaderRig rig;
    HistoryStore history{rig.store};
    ReaderPanelController controller{rig.engine, rig.settings};
    AppCoordinator coordinator{rig.settings, rig.engine, controller, history};
    UnavailableHotKeyBackend backend;
    std::ostringstream log;
    KeyboardShortcuts::Registry shortcuts{rig.store, backend, log};
    TrayMenuModel model{coordinator, history, shortcuts};
};

TEST_F(TrayMenuTest, CommandsCarryTheirKeyHintsAsTextAndTheHistoryIsASubmenu) {
    shortcuts.setShortcut(std::nullopt, Name::readClipboard());
    EXPECT_EQ(titles(model.items()),
              (QStringList{"Read Selection\tCtrl+Shift+R", "Read Clipboard\t",
                           "Read Screen Region (OCR)\tCtrl+Shift+O", "-", "History",
                           "> Nothing read yet", "-", "Settings…", "-", "Quit Blinkwit"}));
    EXPECT_FALSE(model.items()[4].children[0].isEnabled());

    history.add(QStringLiteral("First text\nsecond line"));
    history.add(QStringLiteral("  Newest text  "));
    EXPECT_EQ(titles(model.items()),
              (QStringList{"Read Selection\tCtrl+Shift+R", "Read Clipboard\t",
                           "Read Screen Region (OCR)\tCtrl+Shift+O", "-", "History",
                           "> Newest text", "> First text", "> -", "> Clear History", "-",
                           "Settings…", "-", "Quit Blinkwit"}));
}

TEST_F(TrayMenuTest, RowsActOnTheCoordinatorTheHistorySettingsAndQuit) {
    history.add(QStringLiteral("Older words."));
    history.add(QStringLiteral("Newer words."));
    const std::vector<TrayMenuItem> entries = model.items()[4].children;
    model.activate(entries[1]);
    EXPECT_EQ(history.entries().front().text, QStringLiteral("Older words."))
        << "read again, so moved to the top";
    EXPECT_TRUE(controller.panel()->isVisible());

    QSignalSpy settings(&model, &TrayMenuModel::settingsRequested);
    QSignalSpy quit(&model, &TrayMenuModel::quitRequested);
    for (const TrayMenuItem& item : model.items())
        if (item.kind == Kind::settings)
            model.activate(item);
    model.activate(model.items().back());
    EXPECT_EQ(settings.count(), 1);
    EXPECT_EQ(quit.count(), 1);

    model.activate(entries[3]);
    EXPECT_TRUE(history.entries().isEmpty());
    EXPECT_EQ(HistoryStore::decode(rig.store.value(HistoryStore::key).toByteArray()),
              QList<HistoryStore::Entry>())
        << "the cleared list is stored";
}

TEST_F(TrayMenuTest, TheTrayMenuFollowsTheModelAndHasNoKeyEquivalents) {
    TrayIcon tray(model);
    const auto texts = [&tray] {
        QStringList result;
        for (const QAction* action : tray.menu().actions()) {
            EXPECT_TRUE(action->shortcut().isEmpty()) << action->text().toStdString();
            result.append(action->text());
        }
        return result;
    };
    EXPECT_EQ(texts().front(), QStringLiteral("Read Selection\tCtrl+Shift+R"));

    QSignalSpy changed(&model, &TrayMenuModel::changed);
    shortcuts.setShortcut(KeyboardShortcuts::Shortcut{14, 4608}, Name::readSelection());
    history.add(QStringLiteral("Something read"));
    EXPECT_EQ(changed.count(), 2);
    QCoreApplication::processEvents();
    EXPECT_EQ(texts().front(), QStringLiteral("Read Selection\tCtrl+Shift+E"));
    const QMenu* submenu = tray.menu().actions()[4]->menu();
    ASSERT_NE(submenu, nullptr);
    EXPECT_EQ(submenu->actions().front()->text(), QStringLiteral("Something read"));
}

} // namespace
} // namespace Blinkwit
