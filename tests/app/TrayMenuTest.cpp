#include "KeyboardShortcuts/Registry.h"
#include "app/AppCoordinator.h"
#include "app/BlinkwitIcon.h"
#include "app/TrayIcon.h"
#include "app/TrayMenuModel.h"
#include "platform/UnavailableHotKeyBackend.h"
#include "reader/ReaderPanel.h"
#include "reader/ReaderPanelController.h"
#include "settings/HistoryStore.h"
#include "tests/reader/ReaderTestKit.h"
#include "tests/update/UpdateFakes.h"
#include "update/UpdateChecker.h"

#include <QDir>
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
    Testing::FakeHttpClient http;
    Testing::FakeInstaller installer;
    UpdateChecker updates{{http, rig.scheduler, rig.store, installer, [] { return true; },
                           UpdateChecker::RunningBuild{QStringLiteral("1.0.0"), {}},
                           QUrl(QStringLiteral("https://updates.example/build.json")),
                           QDir::tempPath()}};
    TrayMenuModel model{coordinator, history, shortcuts, updates};
};

TEST_F(TrayMenuTest, CommandsCarryTheirKeyHintsAsTextAndTheHistoryIsASubmenu) {
    shortcuts.setShortcut(std::nullopt, Name::readClipboard());
    EXPECT_EQ(
        titles(model.items()),
        (QStringList{"Read Selection\tCtrl+Shift+R", "Read Clipboard\t",
                     "Read Screen Region (OCR)\tCtrl+Shift+O", "-", "History", "> Nothing read yet",
                     "-", "Settings…", "Check for Updates…", "-", "Quit Blinkwit"}));
    EXPECT_FALSE(model.items()[4].children[0].isEnabled());

    history.add(QStringLiteral("First text\nsecond line"));
    history.add(QStringLiteral("  Newest text  "));
    EXPECT_EQ(titles(model.items()),
              (QStringList{"Read Selection\tCtrl+Shift+R", "Read Clipboard\t",
                           "Read Screen Region (OCR)\tCtrl+Shift+O", "-", "History",
                           "> Newest text", "> First text", "> -", "> Clear History", "-",
                           "Settings…", "Check for Updates…", "-", "Quit Blinkwit"}));
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

QImage drawn(const QIcon& icon) {
    return icon.pixmap(22).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

TEST_F(TrayMenuTest, AnUpdateWaitingLeadsTheMenuAndMarksTheIconUntilTheInstallStarts) {
    TrayIcon tray(model);
    QSignalSpy changed(&model, &TrayMenuModel::changed);
    QSignalSpy window(&model, &TrayMenuModel::updateWindowRequested);
    EXPECT_EQ(drawn(tray.icon()), BlinkwitIcon::image(22));

    updates.check(true);
    http.answer(200, R"({"version": "1.0.1", "build": "2", "commit": "c2",
                         "dmg": "https://updates.example/Blinkwit-1.0.1.tar"})");
    ASSERT_EQ(changed.count(), 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(tray.menu().actions()[0]->text(), QStringLiteral("Update to Blinkwit 1.0.1…"));
    EXPECT_TRUE(tray.menu().actions()[1]->isSeparator());
    EXPECT_EQ(drawn(tray.icon()), BlinkwitIcon::image(22, BlinkwitIcon::Symbol::updateWaiting));
    model.activate(model.items().front());
    EXPECT_EQ(window.count(), 1);

    updates.install(updates.state().manifest);
    EXPECT_EQ(changed.count(), 2);
    http.downloads.back().progress(10, 100);
    http.downloads.back().progress(60, 100);
    rig.scheduler.advance(0.0);
    ASSERT_EQ(updates.state(), UpdateState::downloading(0.6));
    EXPECT_EQ(changed.count(), 2) << "progress leaves the menu alone";
    QCoreApplication::processEvents();
    EXPECT_EQ(tray.menu().actions()[0]->text(), QStringLiteral("Read Selection\tCtrl+Shift+R"));
    EXPECT_EQ(drawn(tray.icon()), BlinkwitIcon::image(22));
}

TEST_F(TrayMenuTest, CheckForUpdatesOpensTheWindowAndThenChecksOnTheNextTurn) {
    QSignalSpy window(&model, &TrayMenuModel::updateWindowRequested);
    const std::vector<TrayMenuItem> items = model.items();
    model.activate(items[items.size() - 3]);
    EXPECT_EQ(window.count(), 1);
    EXPECT_TRUE(http.gets.empty()) << "the window is shown before the menu's own check";
    QCoreApplication::processEvents();
    ASSERT_EQ(http.gets.size(), 1u);
    http.answer(404, {});
    EXPECT_EQ(updates.state().kind, UpdateState::Kind::failed) << "a check the user asked for";
}

} // namespace
} // namespace Blinkwit
