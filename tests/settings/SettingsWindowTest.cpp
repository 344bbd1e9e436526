#include "KeyboardShortcuts/Registry.h"
#include "KeyboardShortcuts/ShortcutRecorder.h"
#include "platform/UnavailableHotKeyBackend.h"
#include "settings/AppSettings.h"
#include "settings/AutostartEntry.h"
#include "settings/ColorWell.h"
#include "settings/InMemoryDefaultsStore.h"
#include "settings/PresetSwatch.h"
#include "settings/SettingsWindowController.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <sstream>

using namespace Blinkwit;

namespace {

class RecordingHook final : public ActivationPolicyHook {
public:
    void setActivationPolicy(ActivationPolicy policy) override { policies.push_back(policy); }
    std::vector<ActivationPolicy> policies;
};

// The settings window over settings of its own, driven as a user would with QTest.
class SettingsWindowTest : public testing::Test {
protected:
    SettingsView& window() {
        controller.show();
        return *controller.window();
    }
    template <typename Control>
    Control& control(const char* name) {
        auto* found = window().findChild<Control*>(QLatin1String(name));
        if (!found)
            throw std::runtime_error(name);
        return *found;
    }
    // The text beside a slider.
    QString valueBeside(const char* slider) {
        QWidget& control = this->control<QSlider>(slider);
        const auto labels = control.parentWidget()->findChildren<QLabel*>();
        for (QLabel* label : labels)
            if (label->geometry().left() > control.geometry().right() &&
                label->geometry().center().y() > control.geometry().top() &&
                label->geometry().center().y() < control.geometry().bottom())
                return label->text();
        return {};
    }
    QList<PresetSwatch*> activePresets() {
        QList<PresetSwatch*> active;
        for (PresetSwatch* swatch : window().findChildren<PresetSwatch*>())
            if (swatch->isActive())
                active.append(swatch);
        return active;
    }
    // A click on the box itself: a check box spanning its row takes clicks on its text only.
    static void toggle(QCheckBox& box) {
        QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(8, box.height() / 2));
    }
    PresetSwatch& preset(const QString& name) {
        for (PresetSwatch* swatch : window().findChildren<PresetSwatch*>())
            if (swatch->preset().name == name)
                return *swatch;
        throw std::runtime_error(name.toStdString());
    }

    InMemoryDefaultsStore store;
    RecordingHook hook;
    AppSettings settings{store, &hook};
    UnavailableHotKeyBackend backend;
    std::ostringstream log;
    KeyboardShortcuts::Registry shortcuts{store, backend, log};
    QTemporaryDir config;
    AutostartEntry autostart{config.filePath("autostart/com.blinkwit.app.desktop"),
                             QStringLiteral("[Desktop Entry]\nExec=blinkwit\n")};
    SettingsWindowController controller{{settings, shortcuts, autostart}};
};

TEST_F(SettingsWindowTest, CreatedOnceCentredAndShownAgainWhereTheUserLeftIt) {
    EXPECT_EQ(controller.window(), nullptr);
    SettingsView* first = &window();
    EXPECT_EQ(first->windowTitle(), QStringLiteral("Blinkwit Settings"));
    EXPECT_TRUE(first->isVisible());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // Centred by the frame it will get, which is only known once shown.
    EXPECT_LE((first->frameGeometry().center() - screen.center()).manhattanLength(), 6);
    // Not resizable; closing only hides it.
    EXPECT_EQ(first->minimumSize(), first->maximumSize());
    first->move(first->pos() + QPoint(40, 30));
    const QPoint moved = first->pos();
    EXPECT_TRUE(first->close());
    EXPECT_FALSE(first->isVisible());
    EXPECT_EQ(&window(), first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->pos(), moved);
    // Showing it never starts recording a shortcut.
    for (auto* recorder : first->findChildren<KeyboardShortcuts::ShortcutRecorder*>())
        EXPECT_FALSE(recorder->isCapturing()) << recorder->objectName().toStdString();
}

TEST_F(SettingsWindowTest, SpeedAndWordSizeSlidersStoreWholeStepsAndShowTheValue) {
    QSlider& speed = control<QSlider>("speed");
    EXPECT_EQ(valueBeside("speed"), QStringLiteral("400 WPM"));
    speed.setValue(438);
    EXPECT_EQ(settings.wpm(), 450);
    EXPECT_EQ(speed.value(), 450);
    EXPECT_EQ(valueBeside("speed"), QStringLiteral("450 WPM"));
    QTest::keyClick(&speed, Qt::Key_Right);
    EXPECT_EQ(settings.wpm(), 475);
    // A rate from elsewhere beyond the slider's range is shown, not rewritten.
    settings.setWpm(1500);
    EXPECT_EQ(valueBeside("speed"), QStringLiteral("1500 WPM"));
    EXPECT_EQ(settings.wpm(), 1500);

    QSlider& size = control<QSlider>("fontSize");
    settings.setFontSize(47.9);
    EXPECT_EQ(valueBeside("fontSize"), QStringLiteral("47 pt"));
    EXPECT_EQ(settings.fontSize(), 47.9);
    size.setValue(53);
    EXPECT_EQ(settings.fontSize(), 54.0);
    EXPECT_EQ(valueBeside("fontSize"), QStringLiteral("54 pt"));
}

TEST_F(SettingsWindowTest, AnUnknownCodeBlockModeShowsTheFirstOptionUntilTheUserPicks) {
    settings.setCodeBlockModeRaw(QStringLiteral("bogus"));
    QComboBox& picker = control<QComboBox>("codeBlocks");
    EXPECT_EQ(picker.currentText(), QStringLiteral("Collapse to placeholder (Enter expands)"));
    EXPECT_EQ(store.value("codeBlockMode"), QStringLiteral("bogus"));
    QTest::keyClick(&picker, Qt::Key_Down);
    EXPECT_EQ(settings.codeBlockModeRaw(), QStringLiteral("readWords"));
    QTest::keyClick(&picker, Qt::Key_Up);
    EXPECT_EQ(settings.codeBlockModeRaw(), QStringLiteral("placeholder"));
}

TEST_F(SettingsWindowTest, PresetsSetColourAndThemeTogetherAndRingTheActiveOne) {
    settings.setAccentHex(QStringLiteral("#00ff41"));
    ASSERT_EQ(activePresets().size(), 1);
    EXPECT_EQ(activePresets().front()->preset().name, QStringLiteral("Matrix"));
    EXPECT_EQ(preset("Matrix").toolTip(), QStringLiteral("Matrix — dark with #00FF41"));
    QTest::mouseClick(&preset("Paper"), Qt::LeftButton);
    EXPECT_EQ(settings.accentHex(), QStringLiteral("#D70015"));
    EXPECT_FALSE(settings.darkTheme());
    EXPECT_TRUE(control<QPushButton>("lightTheme").isChecked());
    ASSERT_EQ(activePresets().size(), 1);
    EXPECT_EQ(activePresets().front()->preset().name, QStringLiteral("Paper"));
    // Paper's colour on the dark theme is no preset.
    control<QPushButton>("darkTheme").click();
    EXPECT_TRUE(settings.darkTheme());
    EXPECT_TRUE(activePresets().isEmpty());
    preset("Ice").setFocus();
    QTest::keyClick(&preset("Ice"), Qt::Key_Space);
    EXPECT_EQ(settings.accentHex(), QStringLiteral("#00D2FF"));
}

TEST_F(SettingsWindowTest, TheColourWellShowsTheFallbackAndStoresOnlyAConfirmedColour) {
    settings.setAccentHex(QStringLiteral("not a colour"));
    ColorWell& well = control<ColorWell>("customColor");
    EXPECT_EQ(well.color(), QColor::fromRgbF(0.0f, 1.0f, 0.25f));
    QTest::mouseClick(&well, Qt::LeftButton);
    ASSERT_NE(well.dialog(), nullptr);
    EXPECT_FALSE(well.dialog()->testOption(QColorDialog::ShowAlphaChannel));
    EXPECT_EQ(well.dialog()->currentColor().rgb(), well.color().rgb());
    well.dialog()->setCurrentColor(QColor(0x12, 0x34, 0x56));
    well.dialog()->reject();
    EXPECT_EQ(settings.accentHex(), QStringLiteral("not a colour"));
    QTest::mouseClick(&well, Qt::LeftButton);
    ASSERT_NE(well.dialog(), nullptr);
    well.dialog()->setCurrentColor(QColor(0x12, 0x34, 0x56));
    well.dialog()->accept();
    EXPECT_EQ(settings.accentHex(), QStringLiteral("#123456"));
    EXPECT_EQ(well.color(), QColor(0x12, 0x34, 0x56));
    EXPECT_TRUE(activePresets().isEmpty());
}

TEST_F(SettingsWindowTest, SwitchesWriteThroughAndTheTaskBarOneAppliesAtOnce) {
    QCheckBox& taskbar = control<QCheckBox>("showDockIcon");
    QCheckBox& automatic = control<QCheckBox>("automaticUpdateChecks");
    EXPECT_TRUE(taskbar.isChecked());
    EXPECT_TRUE(automatic.isChecked());
    toggle(taskbar);
    EXPECT_FALSE(settings.showDockIcon());
    EXPECT_EQ(hook.policies, std::vector{ActivationPolicy::accessory});
    toggle(automatic);
    EXPECT_EQ(store.value("automaticUpdateChecks"), false);
    settings.setAutomaticUpdateChecks(true);
    EXPECT_TRUE(automatic.isChecked());
}

TEST_F(SettingsWindowTest, StartAtLoginFollowsTheAutostartFileEachTimeTheWindowOpens) {
    QCheckBox& login = control<QCheckBox>("startAtLogin");
    EXPECT_FALSE(login.isChecked());
    toggle(login);
    EXPECT_TRUE(QFile::exists(autostart.filePath()));
    EXPECT_TRUE(login.isChecked());
    window().close();
    QFile::remove(autostart.filePath());
    EXPECT_FALSE(window().isHidden());
    EXPECT_FALSE(login.isChecked());
    toggle(login);
    toggle(login);
    EXPECT_FALSE(QFile::exists(autostart.filePath()));
}

TEST_F(SettingsWindowTest, AnAutostartFolderThatCannotBeWrittenIsToldAndTheSwitchStaysOff) {
    QFile blocker(config.filePath("autostart"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QCheckBox& login = control<QCheckBox>("startAtLogin");
    toggle(login);
    EXPECT_FALSE(login.isChecked());
    bool told = false;
    for (QLabel* label : window().findChildren<QLabel*>())
        told |= label->isVisible() && label->text().contains(config.filePath("autostart"));
    EXPECT_TRUE(told);
}

} // namespace
