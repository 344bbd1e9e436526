#include "settings/RelativeTime.h"
#include "settings/SettingsBindings.h"
#include "settings/ThemePreset.h"

#include <gtest/gtest.h>
#include <limits>

using namespace Blinkwit;

TEST(SettingsBindings, SlidersSnapToTheirStepsAndShowWholeValues) {
    // Halves go away from zero: 17.5 steps is 18.
    EXPECT_EQ(SettingsBindings::wpmAt(437.5), 450);
    EXPECT_EQ(SettingsBindings::wpmAt(412.5), 425);
    EXPECT_EQ(SettingsBindings::wpmAt(437.4), 425);
    EXPECT_EQ(SettingsBindings::wpmText(450), QStringLiteral("450 WPM"));
    // Word sizes step by 2 from 32, so only even sizes come out.
    EXPECT_EQ(SettingsBindings::fontSizeAt(47), 48.0);
    EXPECT_EQ(SettingsBindings::fontSizeAt(45.9), 46.0);
    EXPECT_EQ(SettingsBindings::fontSizeText(47.9), QStringLiteral("47 pt"));
    // A stored size no slider could set shows without overflow, and the slider stays in range.
    EXPECT_EQ(SettingsBindings::fontSizeText(1e300), QStringLiteral("1000000000000000 pt"));
    EXPECT_EQ(SettingsBindings::fontSizeText(std::numeric_limits<double>::quiet_NaN()),
              QStringLiteral("0 pt"));
    EXPECT_EQ(SettingsBindings::fontSizeSliderPosition(1e300), 72);
    EXPECT_EQ(SettingsBindings::fontSizeSliderPosition(-5), 32);
    EXPECT_EQ(SettingsBindings::fontSizeSliderPosition(47.9), 48);
}

TEST(SettingsBindings, UnknownCodeBlockModesShowTheFirstOptionAndBadColoursTheStandardAccent) {
    EXPECT_EQ(SettingsBindings::codeBlockOptionIndex(QStringLiteral("skip")), 2);
    EXPECT_EQ(SettingsBindings::codeBlockOptionIndex(QStringLiteral("bogus")), 0);
    EXPECT_EQ(SettingsBindings::codeBlockOptionIndex(QStringLiteral("Skip")), 0);
    EXPECT_EQ(SettingsBindings::accentHexFor(QColor(0x12, 0xAB, 0xEF)), QStringLiteral("#12ABEF"));
    EXPECT_EQ(SettingsBindings::accentHexFor(QColor()), QStringLiteral("#00FF41"));
}

TEST(ThemePreset, ActiveOnTheSameColourInAnyCaseAndTheSameTheme) {
    const ThemePreset& matrix = ThemePreset::all().front();
    const ThemePreset& paper = ThemePreset::all().back();
    EXPECT_TRUE(matrix.isActive(QStringLiteral("#00ff41"), true));
    EXPECT_FALSE(matrix.isActive(QStringLiteral("#00ff41"), false));
    EXPECT_FALSE(matrix.isActive(QStringLiteral("#00FF42"), true));
    EXPECT_TRUE(paper.isActive(QStringLiteral("#d70015"), false));
    EXPECT_EQ(matrix.toolTip(), QStringLiteral("Matrix — dark with #00FF41"));
    EXPECT_EQ(paper.toolTip(), QStringLiteral("Paper — light with #D70015"));
    EXPECT_EQ(ThemePreset::all().size(), 8);
}

TEST(RelativeTime, TheLargestUnitThatPassedInSingularOrPlural) {
    const QDateTime now(QDate(2026, 3, 15), QTime(12, 0), Qt::UTC);
    const auto ago = [&](qint64 seconds) { return RelativeTime::ago(now.addSecs(-seconds), now); };
    EXPECT_EQ(ago(0), QStringLiteral("0 seconds ago"));
    EXPECT_EQ(ago(1), QStringLiteral("1 second ago"));
    EXPECT_EQ(ago(59), QStringLiteral("59 seconds ago"));
    EXPECT_EQ(ago(60), QStringLiteral("1 minute ago"));
    EXPECT_EQ(ago(3599), QStringLiteral("59 minutes ago"));
    EXPECT_EQ(ago(3 * 3600 + 1800), QStringLiteral("3 hours ago"));
    EXPECT_EQ(ago(3600), QStringLiteral("1 hour ago"));
    EXPECT_EQ(ago(36 * 3600), QStringLiteral("1 day ago"));
    EXPECT_EQ(ago(6 * 86400), QStringLiteral("6 days ago"));
    EXPECT_EQ(ago(7 * 86400), QStringLiteral("1 week ago"));
    EXPECT_EQ(ago(20 * 86400), QStringLiteral("2 weeks ago"));
    // Months and years are calendar months: February 15 to March 15 is one.
    EXPECT_EQ(ago(28 * 86400), QStringLiteral("1 month ago"));
    EXPECT_EQ(RelativeTime::ago(now.addMonths(-11).addDays(-20), now),
              QStringLiteral("11 months ago"));
    EXPECT_EQ(RelativeTime::ago(now.addYears(-1), now), QStringLiteral("1 year ago"));
    EXPECT_EQ(RelativeTime::ago(now.addYears(-3).addDays(-1), now), QStringLiteral("3 years ago"));
    // A check "in the future" (the clock was set back since) reads as just now.
    EXPECT_EQ(ago(-7200), QStringLiteral("0 seconds ago"));
}
