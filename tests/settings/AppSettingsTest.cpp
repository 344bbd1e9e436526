#include "settings/AppSettings.h"

#include "settings/InMemoryDefaultsStore.h"
#include "tests/settings/RecordingDefaultsStore.h"

#include <gtest/gtest.h>
#include <vector>

using Blinkwit::ActivationPolicy;
using Blinkwit::ActivationPolicyHook;
using Blinkwit::AppSettings;
using Blinkwit::InMemoryDefaultsStore;
using Blinkwit::Testing::RecordingDefaultsStore;

namespace {

class RecordingHook final : public ActivationPolicyHook {
public:
    void setActivationPolicy(ActivationPolicy policy) override { policies.push_back(policy); }
    std::vector<ActivationPolicy> policies;
};

QColor srgb(double red, double green, double blue) {
    return QColor::fromRgbF(float(red), float(green), float(blue));
}

} // namespace

TEST(AppSettings, FreshStoreGivesTheDefaultsAndWritesNothing) {
    RecordingDefaultsStore store;
    AppSettings settings(store);
    EXPECT_EQ(settings.wpm(), 400);
    EXPECT_DOUBLE_EQ(settings.fontSize(), 48.0);
    EXPECT_EQ(settings.accentHex(), QStringLiteral("#00FF41"));
    EXPECT_TRUE(settings.darkTheme());
    EXPECT_EQ(settings.codeBlockModeRaw(), QStringLiteral("placeholder"));
    EXPECT_TRUE(settings.showDockIcon());
    EXPECT_TRUE(settings.automaticUpdateChecks());
    EXPECT_TRUE(store.written.isEmpty());
}

TEST(AppSettings, ValuesOfTheWrongTypeFallBackToTheDefaults) {
    InMemoryDefaultsStore store;
    store.setValue(QStringLiteral("defaultWPM"), QStringLiteral("650"));
    store.setValue(QStringLiteral("fontSize"), QStringLiteral("30"));
    store.setValue(QStringLiteral("accentHex"), qint64(0xFF0000));
    store.setValue(QStringLiteral("darkTheme"), QStringLiteral("false"));
    store.setValue(QStringLiteral("codeBlockMode"), true);
    store.setValue(QStringLiteral("showDockIcon"), 0.5);
    store.setValue(QStringLiteral("automaticUpdateChecks"), QByteArray("0"));
    AppSettings settings(store);
    EXPECT_EQ(settings.wpm(), 400);
    EXPECT_DOUBLE_EQ(settings.fontSize(), 48.0);
    EXPECT_EQ(settings.accentHex(), QStringLiteral("#00FF41"));
    EXPECT_TRUE(settings.darkTheme());
    EXPECT_EQ(settings.codeBlockModeRaw(), QStringLiteral("placeholder"));
    EXPECT_TRUE(settings.showDockIcon());
    EXPECT_TRUE(settings.automaticUpdateChecks());
    // The stored values stay untouched until the user changes the setting.
    EXPECT_EQ(store.value(QStringLiteral("defaultWPM")), QVariant(QStringLiteral("650")));
}

TEST(AppSettings, NumbersConvertWhenTheyFitTheSettingsType) {
    InMemoryDefaultsStore store;
    store.setValue(QStringLiteral("defaultWPM"), 520.0);
    store.setValue(QStringLiteral("fontSize"), qint64(36));
    store.setValue(QStringLiteral("darkTheme"), qint64(0));
    AppSettings settings(store);
    EXPECT_EQ(settings.wpm(), 520);
    EXPECT_DOUBLE_EQ(settings.fontSize(), 36.0);
    EXPECT_FALSE(settings.darkTheme());

    InMemoryDefaultsStore odd;
    odd.setValue(QStringLiteral("defaultWPM"), 520.5);
    odd.setValue(QStringLiteral("darkTheme"), qint64(2));
    odd.setValue(QStringLiteral("showDockIcon"), qint64(1) << 40);
    AppSettings fallback(odd);
    EXPECT_EQ(fallback.wpm(), 400);
    EXPECT_TRUE(fallback.darkTheme());
    odd.setValue(QStringLiteral("defaultWPM"), qint64(1) << 40);
    EXPECT_EQ(AppSettings(odd).wpm(), 400);
}

TEST(AppSettings, EveryChangeIsWrittenAtOnceUnderItsKeyAndSeenByANewInstance) {
    InMemoryDefaultsStore store;
    {
        AppSettings settings(store);
        settings.setWpm(650);
        settings.setFontSize(30.5);
        settings.setAccentHex(QStringLiteral("not a colour"));
        settings.setDarkTheme(false);
        settings.setCodeBlockModeRaw(QStringLiteral("mystery"));
        settings.setShowDockIcon(false);
        settings.setAutomaticUpdateChecks(false);
        EXPECT_EQ(store.value(QStringLiteral("defaultWPM")).typeId(), QMetaType::LongLong);
        EXPECT_EQ(store.value(QStringLiteral("defaultWPM")).toLongLong(), 650);
        EXPECT_EQ(store.value(QStringLiteral("codeBlockMode")).toString(),
                  QStringLiteral("mystery"));
        EXPECT_FALSE(store.value(QStringLiteral("wpm")).isValid());
    }
    AppSettings reloaded(store);
    EXPECT_EQ(reloaded.wpm(), 650);
    EXPECT_DOUBLE_EQ(reloaded.fontSize(), 30.5);
    EXPECT_EQ(reloaded.accentHex(), QStringLiteral("not a colour"));
    EXPECT_FALSE(reloaded.darkTheme());
    EXPECT_EQ(reloaded.codeBlockModeRaw(), QStringLiteral("mystery"));
    EXPECT_FALSE(reloaded.showDockIcon());
    EXPECT_FALSE(reloaded.automaticUpdateChecks());
    // Not clamped here: the bounds belong to the engine and the settings window.
    reloaded.setWpm(5000);
    EXPECT_EQ(AppSettings(store).wpm(), 5000);
}

TEST(AppSettings, ObserversHearBeforeTheValueChangesAndAfter) {
    InMemoryDefaultsStore store;
    AppSettings settings(store);
    std::vector<int> seenBefore;
    std::vector<int> seenAfter;
    QObject::connect(&settings, &AppSettings::aboutToChange,
                     [&] { seenBefore.push_back(settings.wpm()); });
    QObject::connect(&settings, &AppSettings::changed,
                     [&] { seenAfter.push_back(settings.wpm()); });
    settings.setWpm(500);
    settings.setDarkTheme(false);
    EXPECT_EQ(seenBefore, (std::vector<int>{400, 500}));
    EXPECT_EQ(seenAfter, (std::vector<int>{500, 500}));
}

TEST(AppSettings, DockIconSwitchesTheActivationPolicyAtOnce) {
    InMemoryDefaultsStore store;
    RecordingHook hook;
    AppSettings settings(store, &hook);
    EXPECT_TRUE(hook.policies.empty());
    settings.setShowDockIcon(false);
    settings.setShowDockIcon(true);
    settings.setDarkTheme(false);
    EXPECT_EQ(hook.policies, (std::vector<ActivationPolicy>{ActivationPolicy::accessory,
                                                            ActivationPolicy::regular}));
    store.setValue(QStringLiteral("showDockIcon"), false);
    AppSettings atLaunch(store, &hook);
    atLaunch.applyActivationPolicy();
    EXPECT_EQ(hook.policies.back(), ActivationPolicy::accessory);
}

TEST(AppSettingsColour, HexAcceptsTheUsualSpellings) {
    const QColor green = QColor::fromRgb(0x00, 0xFF, 0x41);
    for (const char* text : {"#00ff41", "#00FF41", "00FF41", "  #00FF41\t", "\t00ff41 "})
        EXPECT_EQ(AppSettings::hex(QString::fromLatin1(text)), green) << text;
    EXPECT_EQ(AppSettings::hex(QStringLiteral("#FFFFFF"))->alphaF(), 1.0f);
}

TEST(AppSettingsColour, HexRejectsAnythingButSixDigits) {
    for (const char* text : {"#0F4", "#00FF41FF", "#GG0000", "", "#", "##00FF41", "+00FF4",
                             "#+00FF4", "#-00FF4", "\n#00FF41", "#00 FF41", "0x00FF"})
        EXPECT_FALSE(AppSettings::hex(QString::fromLatin1(text))) << text;
    EXPECT_FALSE(AppSettings::hex(QStringLiteral("#00FF4１"))); // full-width digit
}

TEST(AppSettingsColour, ToHexRoundsHalvesUpAndRoundTrips) {
    EXPECT_EQ(AppSettings::toHex(*AppSettings::hex(QStringLiteral("#00ff41"))),
              QStringLiteral("#00FF41"));
    EXPECT_EQ(AppSettings::toHex(srgb(0.0, 1.0, 0.25)), QStringLiteral("#00FF40"));
    EXPECT_EQ(AppSettings::toHex(QColor::fromHsv(0, 255, 255)), QStringLiteral("#FF0000"));
    EXPECT_FALSE(AppSettings::toHex(QColor()));
    for (int value = 0; value < 256; value += 17) {
        const QColor colour = QColor::fromRgb(value, 255 - value, value / 2);
        EXPECT_EQ(AppSettings::hex(*AppSettings::toHex(colour)), colour);
    }
    const QColor extended = QColor::fromRgbF(1.5f, -0.2f, 0.5f);
    EXPECT_EQ(AppSettings::toHex(extended), QStringLiteral("#FF0080"));
}

TEST(AppSettingsColour, AccentFallsBackToTheFixedGreen) {
    InMemoryDefaultsStore store;
    AppSettings settings(store);
    settings.setAccentHex(QStringLiteral("#123456"));
    EXPECT_EQ(settings.accentColor(), QColor::fromRgb(0x12, 0x34, 0x56));
    settings.setAccentHex(QStringLiteral("#12345"));
    EXPECT_EQ(AppSettings::toHex(settings.accentColor()), QStringLiteral("#00FF40"));
}
