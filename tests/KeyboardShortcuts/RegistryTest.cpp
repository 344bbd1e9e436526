#include "KeyboardShortcuts/Registry.h"

#include "FakeHotKeyBackend.h"
#include "KeyboardShortcuts/Modifiers.h"
#include "settings/InMemoryDefaultsStore.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace Blinkwit;
using namespace Blinkwit::KeyboardShortcuts;
using Blinkwit::Testing::FakeHotKeyBackend;

namespace {

constexpr int controlShift = Modifier::control | Modifier::shift;
const Shortcut controlShiftR{15, controlShift};
const Shortcut controlShiftE{14, controlShift};
const Shortcut controlOptionK{40, Modifier::control | Modifier::option};

using Set = std::multiset<Shortcut>;

class RegistryTest : public testing::Test {
protected:
    QVariant stored(const Name& name) const { return store.value(name.storageKey()); }

    InMemoryDefaultsStore store;
    FakeHotKeyBackend backend;
    std::ostringstream log;
    std::vector<QString> ran;
    const Name plain{QStringLiteral("plain"), std::nullopt};
};

TEST_F(RegistryTest, DefaultsAreWrittenAsJsonTheFirstTimeANameIsUsed) {
    Registry registry(store, backend, log);
    EXPECT_FALSE(stored(Name::readSelection()).isValid());

    EXPECT_EQ(registry.getShortcut(Name::readSelection()), controlShiftR);
    EXPECT_EQ(stored(Name::readSelection()),
              QVariant(QStringLiteral(R"({"carbonKeyCode":15,"carbonModifiers":4608})")));
    registry.onKeyUp(Name::ocrRegion(), [] {});
    EXPECT_EQ(stored(Name::ocrRegion()).toString(),
              QStringLiteral(R"({"carbonKeyCode":31,"carbonModifiers":4608})"));
    EXPECT_FALSE(stored(Name::readClipboard()).isValid());
    EXPECT_EQ(registry.getShortcut(Name::readClipboard())->description(), QStringLiteral("⌃⇧V"));
}

TEST_F(RegistryTest, AClearedDefaultStaysClearedAfterARestart) {
    {
        Registry registry(store, backend, log);
        registry.setShortcut(std::nullopt, Name::readClipboard());
        EXPECT_EQ(stored(Name::readClipboard()), QVariant(false));
    }
    Registry restarted(store, backend, log);
    restarted.onKeyUp(Name::readClipboard(), [] {});
    EXPECT_EQ(restarted.getShortcut(Name::readClipboard()), std::nullopt);
    EXPECT_EQ(stored(Name::readClipboard()), QVariant(false));
    EXPECT_TRUE(backend.held.empty());
    EXPECT_EQ(log.str(), "");
}

TEST_F(RegistryTest, UndecodableValuesReadAsUnboundAndAreNotOverwritten) {
    Registry registry(store, backend, log);
    for (const QVariant& bad :
         {QVariant(QStringLiteral("garbage")), QVariant(QStringLiteral(R"({"carbonKeyCode":15})")),
          QVariant(QStringLiteral(R"({"carbonKeyCode":1.5,"carbonModifiers":4608})")),
          QVariant(QStringLiteral(R"({"carbonKeyCode":"15","carbonModifiers":4608})")),
          QVariant(QStringLiteral(R"([15,4608])")), QVariant(qint64(15)), QVariant(true)}) {
        const Name name{QStringLiteral("n%1").arg(ran.size()), controlShiftR};
        ran.push_back(name.rawValue);
        store.setValue(name.storageKey(), bad);
        EXPECT_EQ(registry.getShortcut(name), std::nullopt) << bad.toString().toStdString();
        EXPECT_EQ(stored(name), bad);
    }
}

TEST_F(RegistryTest, SettingAndClearingPersistAndNotifyOncePerChange) {
    Registry registry(store, backend, log);
    std::vector<QString> changes;
    QObject::connect(&registry, &Registry::shortcutByNameDidChange,
                     [&](const Name& name) { changes.push_back(name.rawValue); });

    registry.setShortcut(controlOptionK, plain);
    EXPECT_EQ(stored(plain).toString(), QString::fromUtf8(controlOptionK.toJson()));
    registry.setShortcut(std::nullopt, plain);
    EXPECT_FALSE(stored(plain).isValid()); // No default to keep out: the key goes.
    registry.setShortcut(std::nullopt, plain);

    registry.setShortcut(std::nullopt, Name::readSelection());
    EXPECT_EQ(stored(Name::readSelection()), QVariant(false));
    registry.reset({Name::readSelection(), plain});
    EXPECT_EQ(registry.getShortcut(Name::readSelection()), controlShiftR);
    EXPECT_EQ(registry.getShortcut(plain), std::nullopt);

    // Declaring readSelection wrote its default (one change), then clear and reset.
    EXPECT_EQ(changes, (std::vector<QString>{"plain", "plain", "readSelection", "readSelection",
                                             "readSelection"}));
}

TEST_F(RegistryTest, NamesSharingAShortcutRegisterOnceAndAllRunOnRelease) {
    Registry registry(store, backend, log);
    registry.setShortcut(controlShiftR, plain);
    registry.onKeyUp(plain, [&] { ran.push_back("plain 1"); });
    registry.onKeyUp(Name::readSelection(), [&] { ran.push_back("selection"); });
    registry.onKeyUp(plain, [&] { ran.push_back("plain 2"); });
    registry.onKeyDown(plain, [&] { ran.push_back("plain down"); });
    registry.setShortcut(controlOptionK, Name::ocrRegion()); // No handlers: not registered.

    EXPECT_EQ(backend.heldShortcuts(), Set{controlShiftR});
    backend.hit(controlShiftR);
    EXPECT_EQ(ran, (std::vector<QString>{"plain down", "plain 1", "plain 2", "selection"}));

    ran.clear();
    backend.fire(999, false); // Not ours.
    EXPECT_TRUE(ran.empty());
}

TEST_F(RegistryTest, RebindingReleasesTheOldKeysUnlessAnotherNameStillUsesThem) {
    Registry registry(store, backend, log);
    registry.onKeyUp(Name::readSelection(), [&] { ran.push_back("selection"); });
    registry.setShortcut(controlShiftR, plain);
    registry.onKeyUp(plain, [&] { ran.push_back("plain"); });

    registry.setShortcut(controlShiftE, Name::readSelection());
    EXPECT_EQ(backend.heldShortcuts(), (Set{controlShiftR, controlShiftE}));
    backend.hit(controlShiftR);
    EXPECT_EQ(ran, std::vector<QString>{"plain"});

    registry.setShortcut(controlOptionK, plain);
    EXPECT_EQ(backend.heldShortcuts(), (Set{controlShiftE, controlOptionK}));
    registry.setShortcut(std::nullopt, plain);
    EXPECT_EQ(backend.heldShortcuts(), Set{controlShiftE});
}

TEST_F(RegistryTest, ARefusedHotKeyIsReportedOnceAndItsBindingKept) {
    backend.takenElsewhere.insert(controlShiftR);
    Registry registry(store, backend, log);
    registry.onKeyUp(Name::readSelection(), [] {});
    registry.onKeyUp(Name::readSelection(), [] {});
    registry.onKeyUp(Name::readClipboard(), [] {});

    EXPECT_EQ(log.str(), "Error registering hotkey ⌃⇧R: 10\n");
    EXPECT_EQ(registry.getShortcut(Name::readSelection()), controlShiftR);
    EXPECT_EQ(backend.heldShortcuts(), (Set{Shortcut{9, controlShift}}));
}

TEST_F(RegistryTest, ARecordingPausesEveryHotKeyUntilTheLastRecorderEnds) {
    Registry registry(store, backend, log);
    std::vector<bool> statuses;
    QObject::connect(&registry, &Registry::recorderActiveStatusDidChange,
                     [&](bool active) { statuses.push_back(active); });
    registry.onKeyUp(Name::readSelection(), [&] { ran.push_back("selection"); });
    registry.onKeyUp(Name::readClipboard(), [&] { ran.push_back("clipboard"); });

    registry.setRecorderActive(true);
    registry.setRecorderActive(true);
    EXPECT_TRUE(backend.held.empty());
    registry.setShortcut(controlOptionK, plain);
    registry.onKeyUp(plain, [] {});
    EXPECT_TRUE(backend.held.empty());

    backend.takenElsewhere.insert(Shortcut{9, controlShift});
    registry.setRecorderActive(false);
    EXPECT_TRUE(backend.held.empty());
    registry.setRecorderActive(false);
    EXPECT_EQ(backend.heldShortcuts(), (Set{controlShiftR, controlOptionK}));
    EXPECT_EQ(log.str(), "Error registering hotkey ⌃⇧V: 10\n");
    EXPECT_EQ(statuses, (std::vector<bool>{true, true, false, false}));

    // A stray extra end changes nothing.
    registry.setRecorderActive(false);
    EXPECT_FALSE(registry.isPaused());
    EXPECT_EQ(statuses.size(), 4u);
}

TEST_F(RegistryTest, DisablingAndRemovingHandlersReleaseHotKeysWithoutTouchingTheStore) {
    Registry registry(store, backend, log);
    registry.onKeyUp(Name::readSelection(), [&] { ran.push_back("selection"); });
    registry.onKeyUp(Name::readClipboard(), [&] { ran.push_back("clipboard"); });

    registry.disable({Name::readSelection()});
    EXPECT_FALSE(registry.isEnabled(Name::readSelection()));
    EXPECT_EQ(backend.heldShortcuts(), (Set{Shortcut{9, controlShift}}));
    registry.enable({Name::readSelection()});
    EXPECT_EQ(backend.heldShortcuts(), (Set{controlShiftR, Shortcut{9, controlShift}}));

    registry.removeHandler(Name::readClipboard());
    EXPECT_EQ(backend.heldShortcuts(), Set{controlShiftR});
    registry.removeAllHandlers();
    EXPECT_TRUE(backend.held.empty());
    EXPECT_EQ(registry.getShortcut(Name::readSelection()), controlShiftR);
    EXPECT_EQ(registry.getShortcut(Name::readClipboard()), (Shortcut{9, controlShift}));
}

TEST_F(RegistryTest, AHandlerMayRebindItsOwnNameWhileItRuns) {
    Registry registry(store, backend, log);
    registry.onKeyUp(Name::readSelection(), [&] {
        ran.push_back("selection");
        registry.setShortcut(controlShiftE, Name::readSelection());
        registry.removeAllHandlers();
    });
    registry.onKeyUp(Name::readSelection(), [&] { ran.push_back("second"); });
    backend.hit(controlShiftR);
    EXPECT_EQ(ran, (std::vector<QString>{"selection", "second"}));
    EXPECT_TRUE(backend.held.empty());
}

TEST_F(RegistryTest, DestroyingTheRegistryReleasesItsHotKeys) {
    {
        Registry registry(store, backend, log);
        registry.onKeyUp(Name::readSelection(), [&] { ran.push_back("selection"); });
        EXPECT_FALSE(backend.held.empty());
    }
    EXPECT_TRUE(backend.held.empty());
    backend.fire(1, false);
    EXPECT_TRUE(ran.empty());
}

} // namespace
