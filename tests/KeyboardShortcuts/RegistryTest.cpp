#include "KeyboardShortcuts/Registry.h"

#include "KeyboardShortcuts/Modifiers.h"
#include "settings/InMemoryDefaultsStore.h"

#include <gtest/gtest.h>
#include <set>
#include <sstream>

using namespace Blinkwit;
using namespace Blinkwit::KeyboardShortcuts;

namespace {

using Set = std::multiset<Shortcut>;
using Log = std::vector<QString>;
constexpr int controlShift = Modifier::control | Modifier::shift;
const Shortcut ctrlShiftR{15, controlShift}, ctrlShiftV{9, controlShift},
    ctrlShiftE{14, controlShift}, ctrlOptK{40, Modifier::control | Modifier::option};

// Hot keys without a desktop; combinations "owned elsewhere" are refused with BadAccess (10).
class FakeBackend final : public HotKeyBackend {
public:
    int registerHotKey(const Shortcut& shortcut, int id) override {
        return taken.contains(shortcut) ? 10 : (held[id] = shortcut, statusOk);
    }
    void unregisterHotKey(int id) override { held.erase(id); }
    bool isTakenElsewhere(const Shortcut& shortcut) override { return taken.contains(shortcut); }
    std::optional<int> carbonKeyCodeForNativeKey(std::uint32_t) override { return std::nullopt; }
    Set shortcuts() const {
        Set result;
        for (const auto& entry : held)
            result.insert(entry.second);
        return result;
    }
    void hit(const Shortcut& shortcut) const {
        for (const auto& [id, heldShortcut] : std::map(held))
            if (heldShortcut == shortcut) {
                deliver(id, true);
                deliver(id, false);
            }
    }
    void fire(int id) const { deliver(id, false); }

    std::map<int, Shortcut> held;
    std::set<Shortcut> taken;
};

class RegistryTest : public testing::Test {
protected:
    QVariant stored(const Name& name) const { return store.value(name.storageKey()); }
    Registry::Action note(const QString& text) {
        return [this, text] { ran.push_back(text); };
    }

    InMemoryDefaultsStore store;
    FakeBackend backend;
    std::ostringstream log;
    Registry registry{store, backend, log};
    Log ran;
    const Name plain{QStringLiteral("plain"), std::nullopt};
};

TEST_F(RegistryTest, DefaultsAreWrittenOnFirstUseOnlyAndClearedOnesStayCleared) {
    EXPECT_FALSE(stored(Name::readSelection()).isValid());
    EXPECT_EQ(registry.getShortcut(Name::readSelection()), ctrlShiftR);
    EXPECT_EQ(stored(Name::readSelection()),
              QVariant(QStringLiteral(R"({"carbonKeyCode":15,"carbonModifiers":4608})")));
    EXPECT_FALSE(stored(Name::readClipboard()).isValid());

    registry.setShortcut(std::nullopt, Name::readClipboard());
    EXPECT_EQ(stored(Name::readClipboard()), QVariant(false));
    EXPECT_EQ(Registry(store, backend, log).getShortcut(Name::readClipboard()), std::nullopt);

    // Undecodable values read as unbound and are left as they are.
    for (const QVariant& bad :
         {QVariant(QStringLiteral("garbage")), QVariant(qint64(15)),
          QVariant(QStringLiteral(R"({"carbonKeyCode":15})")),
          QVariant(QStringLiteral(R"({"carbonKeyCode":1.5,"carbonModifiers":0})"))}) {
        store.setValue(Name::ocrRegion().storageKey(), bad);
        EXPECT_EQ(Registry(store, backend, log).getShortcut(Name::ocrRegion()), std::nullopt);
        EXPECT_EQ(stored(Name::ocrRegion()), bad);
    }
}

TEST_F(RegistryTest, SettingClearingAndResettingPersistAndNotifyOncePerChange) {
    Log changes;
    QObject::connect(&registry, &Registry::shortcutByNameDidChange,
                     [&](const Name& name) { changes.push_back(name.rawValue); });
    registry.setShortcut(ctrlOptK, plain);
    EXPECT_EQ(stored(plain).toString(), QString::fromUtf8(ctrlOptK.toJson()));
    registry.setShortcut(std::nullopt, plain);
    EXPECT_FALSE(stored(plain).isValid()); // Without a default, the key goes.
    registry.setShortcut(std::nullopt, plain);
    registry.reset({Name::readSelection(), plain}); // Declaring writes the default: a change.
    EXPECT_EQ(registry.getShortcut(Name::readSelection()), ctrlShiftR);
    EXPECT_EQ(changes, (Log{"plain", "plain", "readSelection", "readSelection"}));
}

TEST_F(RegistryTest, EachShortcutIsRegisteredOnceWhileAnEnabledNameWithHandlersUsesIt) {
    registry.setShortcut(ctrlShiftR, plain);
    registry.onKeyUp(plain, note("plain 1"));
    registry.onKeyUp(Name::readSelection(), note("selection"));
    registry.onKeyUp(plain, note("plain 2"));
    registry.onKeyDown(plain, note("plain down"));
    registry.setShortcut(ctrlOptK, Name::ocrRegion()); // No handlers: not registered.
    EXPECT_EQ(backend.shortcuts(), Set{ctrlShiftR});
    backend.hit(ctrlShiftR);
    EXPECT_EQ(ran, (Log{"plain down", "plain 1", "plain 2", "selection"}));

    // Rebinding one name keeps the keys another name still uses.
    registry.setShortcut(ctrlShiftE, Name::readSelection());
    EXPECT_EQ(backend.shortcuts(), (Set{ctrlShiftR, ctrlShiftE}));
    registry.setShortcut(std::nullopt, plain);
    EXPECT_EQ(backend.shortcuts(), Set{ctrlShiftE});

    registry.disable({Name::readSelection()});
    EXPECT_TRUE(backend.held.empty());
    registry.enable({Name::readSelection()});
    registry.onKeyUp(Name::readClipboard(), [] {});
    EXPECT_EQ(backend.shortcuts(), (Set{ctrlShiftE, ctrlShiftV}));
    registry.removeHandler(Name::readClipboard());
    EXPECT_EQ(backend.shortcuts(), Set{ctrlShiftE});
    EXPECT_EQ(registry.getShortcut(Name::readClipboard()), ctrlShiftV);

    // A handler may change the registry while it runs; foreign identifiers are ignored.
    ran.clear();
    registry.onKeyUp(Name::readSelection(), [&] { registry.removeAllHandlers(); });
    backend.hit(ctrlShiftE);
    backend.fire(999);
    EXPECT_EQ(ran, Log{"selection"});
    EXPECT_TRUE(backend.held.empty());
}

TEST_F(RegistryTest, ARefusedHotKeyIsReportedOnceAndItsBindingKept) {
    backend.taken.insert(ctrlShiftR);
    registry.onKeyUp(Name::readSelection(), [] {});
    registry.onKeyUp(Name::readSelection(), [] {});
    registry.onKeyUp(Name::readClipboard(), [] {});
    EXPECT_EQ(log.str(), "Error registering hotkey Ctrl+Shift+R: 10\n");
    EXPECT_EQ(registry.getShortcut(Name::readSelection()), ctrlShiftR);
    EXPECT_EQ(backend.shortcuts(), Set{ctrlShiftV});
}

TEST_F(RegistryTest, RecordingPausesEveryHotKeyUntilTheLastRecorderEnds) {
    std::vector<bool> statuses;
    QObject::connect(&registry, &Registry::recorderActiveStatusDidChange,
                     [&](bool active) { statuses.push_back(active); });
    registry.onKeyUp(Name::readSelection(), [] {});
    registry.onKeyUp(Name::readClipboard(), [] {});
    registry.setRecorderActive(true);
    registry.setRecorderActive(true);
    registry.setShortcut(ctrlOptK, plain);
    registry.onKeyUp(plain, [] {});
    EXPECT_TRUE(backend.held.empty());

    backend.taken.insert(ctrlShiftV);
    registry.setRecorderActive(false);
    EXPECT_TRUE(backend.held.empty());
    registry.setRecorderActive(false);
    registry.setRecorderActive(false); // A stray extra end changes nothing.
    EXPECT_EQ(backend.shortcuts(), (Set{ctrlShiftR, ctrlOptK}));
    EXPECT_EQ(log.str(), "Error registering hotkey Ctrl+Shift+V: 10\n");
    EXPECT_EQ(statuses, (std::vector<bool>{true, true, false, false}));
}

TEST_F(RegistryTest, DestroyingARegistryReleasesItsHotKeysAndStopsItsEvents) {
    auto own = std::make_unique<Registry>(store, backend, log);
    own->onKeyUp(Name::readSelection(), note("selection"));
    const int id = backend.held.begin()->first;
    own.reset();
    EXPECT_TRUE(backend.held.empty());
    backend.fire(id);
    EXPECT_TRUE(ran.empty());
}

} // namespace
