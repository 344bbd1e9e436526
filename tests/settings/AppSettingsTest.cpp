#include "settings/AppSettings.h"

#include "tests/settings/RecordingDefaultsStore.h"

#include <gtest/gtest.h>
#include <tuple>
#include <vector>

using namespace Blinkwit;
using Blinkwit::Testing::RecordingDefaultsStore;

namespace {

class RecordingHook final : public ActivationPolicyHook {
public:
    void setActivationPolicy(ActivationPolicy policy) override { policies.push_back(policy); }
    std::vector<ActivationPolicy> policies;
};

// Every value the settings read, to compare two instances.
auto valuesOf(const AppSettings& s) {
    return std::tuple(s.wpm(), s.fontSize(), s.accentHex(), s.darkTheme(), s.codeBlockModeRaw(),
                      s.showDockIcon(), s.automaticUpdateChecks());
}

} // namespace

TEST(AppSettings, MissingOrWrongTypedValuesGiveTheDefaultsAndNothingIsWritten) {
    RecordingDefaultsStore store;
    const auto defaults = valuesOf(AppSettings(store));
    EXPECT_EQ(defaults, std::tuple(400, 48.0, QStringLiteral("#00FF41"), true,
                                   QStringLiteral("placeholder"), true, true));
    const std::vector<std::pair<const char*, QVariant>> wrong{
        {"defaultWPM", QStringLiteral("650")},
        {"defaultWPM", 520.5},
        {"defaultWPM", qint64(1) << 40},
        {"fontSize", QStringLiteral("30")},
        {"accentHex", qint64(0xFF0000)},
        {"darkTheme", QStringLiteral("no")},
        {"darkTheme", qint64(2)},
        {"codeBlockMode", true},
        {"showDockIcon", 0.5},
        {"automaticUpdateChecks", QByteArray("0")}};
    for (const auto& [key, value] : wrong) {
        store.values.setValue(QLatin1String(key), value);
        EXPECT_EQ(valuesOf(AppSettings(store)), defaults) << key;
    }
    EXPECT_TRUE(store.written.isEmpty());
    // Numbers that fit the setting's type are taken.
    store.values.setValue(QStringLiteral("defaultWPM"), 520.0);
    store.values.setValue(QStringLiteral("fontSize"), qint64(36));
    store.values.setValue(QStringLiteral("darkTheme"), qint64(0));
    AppSettings converted(store);
    EXPECT_EQ(converted.wpm(), 520);
    EXPECT_EQ(converted.fontSize(), 36.0);
    EXPECT_FALSE(converted.darkTheme());
}

TEST(AppSettings, ChangesAreAnnouncedWrittenAtOnceAndSeenByANewInstance) {
    RecordingDefaultsStore store;
    RecordingHook hook;
    AppSettings settings(store, &hook);
    std::vector<int> before;
    QObject::connect(&settings, &AppSettings::aboutToChange,
                     [&] { before.push_back(settings.wpm()); });
    settings.setWpm(5000); // not clamped here
    settings.setFontSize(30.5);
    settings.setAccentHex(QStringLiteral("not a colour"));
    settings.setDarkTheme(false);
    settings.setCodeBlockModeRaw(QStringLiteral("mystery"));
    settings.setShowDockIcon(false);
    settings.setAutomaticUpdateChecks(false);
    settings.setShowDockIcon(true);
    EXPECT_EQ(before, (std::vector<int>{400, 5000, 5000, 5000, 5000, 5000, 5000, 5000}));
    EXPECT_EQ(store.written,
              (QStringList{"defaultWPM", "fontSize", "accentHex", "darkTheme", "codeBlockMode",
                           "showDockIcon", "automaticUpdateChecks", "showDockIcon"}));
    EXPECT_EQ(store.value(QStringLiteral("defaultWPM")).typeId(), QMetaType::LongLong);
    EXPECT_EQ(hook.policies, (std::vector{ActivationPolicy::accessory, ActivationPolicy::regular}));

    AppSettings reloaded(store, &hook);
    EXPECT_EQ(reloaded.wpm(), 5000);
    EXPECT_EQ(reloaded.codeBlockModeRaw(), QStringLiteral("mystery"));
    EXPECT_FALSE(reloaded.automaticUpdateChecks());
    EXPECT_EQ(AppSettings::toHex(reloaded.accentColor()), QStringLiteral("#00FF40")); // fallback
}

TEST(AppSettingsColour, HexReadsOnlySixDigitsWithOptionalHashAndBlanks) {
    const QColor green = QColor::fromRgb(0x00, 0xFF, 0x41);
    for (const char* text : {"#00ff41", "#00FF41", "00FF41", "  #00FF41\t", "\t00ff41 "})
        EXPECT_EQ(AppSettings::hex(QString::fromLatin1(text)), green) << text;
    for (const char* text : {"#0F4", "#00FF41FF", "#GG0000", "", "##00FF41", "+00FF4", "#-00FF4",
                             "\n#00FF41", "#00 FF41", "0x00FF"})
        EXPECT_FALSE(AppSettings::hex(QString::fromLatin1(text))) << text;
    EXPECT_FALSE(AppSettings::hex(QStringLiteral("#00FF4１"))); // full-width digit
}

TEST(AppSettingsColour, ToHexRoundsHalvesUpClampsAndRoundTrips) {
    EXPECT_EQ(AppSettings::toHex(QColor::fromRgbF(0.0f, 1.0f, 0.25f)), QStringLiteral("#00FF40"));
    EXPECT_EQ(AppSettings::toHex(QColor::fromRgbF(156.45f / 255, 0.0f, 1.0f)),
              QStringLiteral("#9C00FF"));
    EXPECT_EQ(AppSettings::toHex(QColor::fromHsv(0, 255, 255)), QStringLiteral("#FF0000"));
    EXPECT_EQ(AppSettings::toHex(QColor::fromRgbF(1.5f, -0.2f, 0.5f)), QStringLiteral("#FF0080"));
    EXPECT_FALSE(AppSettings::toHex(QColor()));
    for (int value = 0; value < 256; value += 17) {
        const QColor colour = QColor::fromRgb(value, 255 - value, value / 2);
        EXPECT_EQ(AppSettings::hex(*AppSettings::toHex(colour)), colour);
    }
}
