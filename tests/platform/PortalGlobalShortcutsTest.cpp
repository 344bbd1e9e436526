#include "KeyboardShortcuts/Modifiers.h"
#include "KeyboardShortcuts/Registry.h"
#include "MockPortal.h"
#include "platform/PortalConnection.h"
#include "platform/PortalHotKeyBackend.h"
#include "platform/QtScheduler.h"
#include "settings/InMemoryDefaultsStore.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace Blinkwit;
using namespace Blinkwit::Testing;
using KeyboardShortcuts::Name;
using KeyboardShortcuts::Shortcut;
using State = PortalGlobalShortcuts::State;
namespace Modifier = KeyboardShortcuts::Modifier;

namespace {

const QString appId = QStringLiteral("com.blinkwit.app");

// The program's side as it runs: the registry over the portal backend, the three commands.
struct Program {
    explicit Program(InMemoryDefaultsStore& store)
        : portal(appId, scheduler)
        , backend(portal, store,
                  {{Name::readSelection(), QStringLiteral("Read the selected text")},
                   {Name::readClipboard(), QStringLiteral("Read the clipboard")},
                   {Name::ocrRegion(), QStringLiteral("Read text in a screen region")}})
        , registry(store, backend, log) {
        for (const Name& name : {Name::readSelection(), Name::readClipboard(), Name::ocrRegion()})
            registry.onKeyUp(name, [this, name] { ran.append(name.rawValue); });
    }
    State startAndSettle() {
        backend.start([this](const Name& name) { return registry.getShortcut(name); });
        waitFor([&] { return backend.shortcuts()->state() != State::starting; });
        return backend.shortcuts()->state();
    }
    QString sender() { return portal.bus().baseService(); }

    QtScheduler scheduler;
    PortalConnection portal;
    PortalHotKeyBackend backend;
    std::ostringstream log;
    KeyboardShortcuts::Registry registry;
    QStringList ran;
};

class PortalGlobalShortcutsTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(mock.start()); }
    QStringList methodsOf(const QString& sender) {
        QStringList methods;
        for (const MockPortal::Call& call : mock.calls())
            if (call.sender == sender)
                methods.append(call.method);
        return methods;
    }
    bool configured() const {
        return store.value(QLatin1String(PortalGlobalShortcuts::configuredKey)).toBool();
    }

    MockPortal mock;
    InMemoryDefaultsStore store;
};

TEST_F(PortalGlobalShortcutsTest, RegistersFirstThenBindsTheThreeCommandsWithTheirStoredKeys) {
    mock.configure({{"require_app_id", true}});
    Program program(store);
    program.registry.setShortcut(Shortcut{14, Modifier::control | Modifier::option},
                                 Name::readClipboard());
    EXPECT_EQ(program.startAndSettle(), State::bound);
    EXPECT_EQ(program.portal.registration(), PortalConnection::Registration::registered);
    EXPECT_EQ(methodsOf(program.sender()), (QStringList{"Register", "GlobalShortcuts.CreateSession",
                                                        "ListShortcuts", "BindShortcuts"}));
    EXPECT_EQ(mock.call("Register", 0).arg(0), appId);

    const QJsonArray bound = mock.call("BindShortcuts", 0).arg(1).toArray();
    ASSERT_EQ(bound.size(), 3);
    EXPECT_EQ(bound[0][0], "readSelection");
    EXPECT_EQ(bound[0][1]["description"], "Read the selected text");
    EXPECT_EQ(bound[0][1]["preferred_trigger"], "CTRL+SHIFT+r");
    EXPECT_EQ(bound[1][1]["preferred_trigger"], "CTRL+ALT+e");
    EXPECT_EQ(bound[2][1]["preferred_trigger"], "CTRL+SHIFT+o");
    EXPECT_TRUE(configured());
}

TEST_F(PortalGlobalShortcutsTest, AnActivatedCommandRunsItsKeyUpHandlersAndIsHeldUntilReleased) {
    Program program(store);
    ASSERT_EQ(program.startAndSettle(), State::bound);
    mock.activate("readClipboard", true);
    ASSERT_TRUE(waitFor([&] { return !program.ran.isEmpty(); }));
    EXPECT_EQ(program.ran, QStringList{"readClipboard"});
    EXPECT_TRUE(program.backend.shortcuts()->isHeld());
    mock.activate("readClipboard", false);
    EXPECT_TRUE(waitFor([&] { return !program.backend.shortcuts()->isHeld(); }));

    // A name the user cleared has no hot key: the desktop's binding runs nothing.
    program.registry.setShortcut(std::nullopt, Name::ocrRegion());
    mock.activate("ocrRegion", true);
    mock.activate("readSelection", true);
    ASSERT_TRUE(waitFor([&] { return program.ran.size() == 2; }));
    EXPECT_EQ(program.ran, (QStringList{"readClipboard", "readSelection"}));
}

TEST_F(PortalGlobalShortcutsTest, WithoutTheRegistryMethodThePortalIsUsedAsBefore) {
    mock.configure({{"registry", "missing"}});
    Program program(store);
    EXPECT_EQ(program.startAndSettle(), State::bound);
    EXPECT_EQ(program.portal.registration(), PortalConnection::Registration::notNeeded);
}

TEST_F(PortalGlobalShortcutsTest, APortalThatNeedsAnApplicationIdItCannotGetSaysSo) {
    mock.configure({{"registry", "missing"}, {"require_app_id", true}});
    Program program(store);
    EXPECT_EQ(program.startAndSettle(), State::needsAppId);
    EXPECT_TRUE(mock.callsOf("BindShortcuts").empty());
}

// KDE and GNOME keep an application's bindings: a later start lists them and shows no dialog.
TEST_F(PortalGlobalShortcutsTest, BindingsTheDesktopKeptAreNotBoundAgain) {
    {
        Program first(store);
        ASSERT_EQ(first.startAndSettle(), State::bound);
    }
    Program second(store);
    EXPECT_EQ(second.startAndSettle(), State::bound);
    EXPECT_EQ(methodsOf(second.sender()),
              (QStringList{"Register", "GlobalShortcuts.CreateSession", "ListShortcuts"}));
}

// Hyprland's portal lists nothing until a session binds, and a closed session forgets.
TEST_F(PortalGlobalShortcutsTest, AClosedSessionIsCreatedAndBoundAgain) {
    mock.configure({{"lists_until_bound", true}});
    PortalGlobalShortcuts::TimeLimits limits;
    limits.recreate = 0.05;
    QtScheduler scheduler;
    PortalConnection portal(appId, scheduler);
    PortalGlobalShortcuts shortcuts(portal, store, {{"readSelection", "Read", "CTRL+SHIFT+r"}},
                                    limits);
    QStringList activated;
    QObject::connect(&shortcuts, &PortalGlobalShortcuts::activated,
                     [&](const QString& id) { activated.append(id); });
    shortcuts.start();
    ASSERT_TRUE(waitFor([&] { return shortcuts.state() == State::bound; }));

    mock.closeSessions();
    ASSERT_TRUE(waitFor([&] { return mock.callsOf("BindShortcuts").size() == 2; }));
    ASSERT_TRUE(waitFor([&] { return shortcuts.state() == State::bound; }));
    mock.activate("readSelection", true);
    EXPECT_TRUE(waitFor([&] { return activated == QStringList{"readSelection"}; }));
}

TEST_F(PortalGlobalShortcutsTest, DismissingTheDesktopsDialogLeavesTheCommandsUnbound) {
    mock.configure({{"answer.BindShortcuts", "cancel"}});
    Program program(store);
    EXPECT_EQ(program.startAndSettle(), State::declined);
    EXPECT_FALSE(configured());
}

// GNOME 48 may report a failed binding although the user chose the keys; its list tells.
TEST_F(PortalGlobalShortcutsTest, AFailedBindingIsBelievedOnlyWhenTheDesktopListsNothing) {
    mock.configure({{"answer.BindShortcuts", "other"}, {"binds_on_error", true}});
    {
        Program program(store);
        EXPECT_EQ(program.startAndSettle(), State::bound);
        EXPECT_TRUE(configured());
    }
    mock.configure({{"binds_on_error", false}, {"lists_until_bound", true}});
    Program program(store);
    EXPECT_EQ(program.startAndSettle(), State::failed);
}

// A portal that never answers (a dialog nobody sees, a hung backend) must not leave the
// program waiting: the request ends at its limit and closes the portal's side.
TEST_F(PortalGlobalShortcutsTest, ARequestWithoutResponseEndsAtItsTimeLimit) {
    mock.configure({{"answer.CreateSession", "never"}});
    PortalGlobalShortcuts::TimeLimits limits;
    limits.call = 0.2;
    QtScheduler scheduler;
    PortalConnection portal(appId, scheduler);
    PortalGlobalShortcuts shortcuts(portal, store, {{"readSelection", "Read", ""}}, limits);
    shortcuts.start();
    EXPECT_TRUE(waitFor([&] { return shortcuts.state() == State::failed; }, 2000));
}

// Portals before 0.9 choose the Request's path themselves: the answer must still be heard.
TEST_F(PortalGlobalShortcutsTest, AnswersOnARequestPathThePortalChoseAreHeard) {
    mock.configure({{"old_style_handles", true}});
    Program program(store);
    EXPECT_EQ(program.startAndSettle(), State::bound);
}

TEST_F(PortalGlobalShortcutsTest, TheDesktopsShortcutSettingsOpenForTheSession) {
    Program program(store);
    ASSERT_EQ(program.startAndSettle(), State::bound);
    ASSERT_TRUE(program.backend.shortcuts()->canConfigure());
    program.backend.shortcuts()->configure();
    EXPECT_TRUE(waitFor([&] { return mock.callsOf("ConfigureShortcuts").size() == 1; }));
}

TEST(PortalTrigger, NamesModifiersAndKeysTheWayTheShortcutsSpecificationDoes) {
    EXPECT_EQ(PortalHotKeyBackend::trigger({15, Modifier::control | Modifier::shift}),
              "CTRL+SHIFT+r");
    EXPECT_EQ(PortalHotKeyBackend::trigger({0x60, Modifier::option | Modifier::command}),
              "ALT+LOGO+F5");
    EXPECT_EQ(PortalHotKeyBackend::trigger({15, Modifier::function}), "");
    EXPECT_EQ(PortalHotKeyBackend::trigger({0x7F, Modifier::control}), "");
}

} // namespace
