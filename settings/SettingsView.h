#pragma once

#include <QList>
#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;

namespace Blinkwit {

namespace KeyboardShortcuts {
class Registry;
}

class AppSettings;
class AutostartEntry;
class UpdateChecker;
class ColorWell;
class FormSection;
class PresetSwatch;

// The settings window's content: every setting as a live control. It shows the settings as
// they are and writes each change the user makes straight back; it keeps no state of its own.
class SettingsView final : public QWidget {
    Q_OBJECT
public:
    struct Services {
        AppSettings& settings;
        KeyboardShortcuts::Registry& shortcuts;
        AutostartEntry& autostart;
        // The update row is shown when there is an update checker.
        UpdateChecker* updates = nullptr;
        // The running build, as the update row names it.
        QString displayString;
        std::function<void()> showUpdateWindow;
    };

    static constexpr int formWidth = 460;

    explicit SettingsView(Services services, QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    FormSection* hotkeysSection();
    FormSection* readingSection();
    FormSection* appearanceSection();
    FormSection* updatesSection();
    FormSection* readerKeysSection();
    QWidget* presetRow();
    QWidget* themeSegments();
    void present();
    void presentAutostart();
    void chooseSpeed(int position);
    void chooseFontSize(int position);
    void chooseAutostart(bool enabled);

    Services services_;
    QSlider* speed_ = nullptr;
    QLabel* speedValue_ = nullptr;
    QComboBox* codeBlocks_ = nullptr;
    QList<PresetSwatch*> presets_;
    QSlider* fontSize_ = nullptr;
    QLabel* fontSizeValue_ = nullptr;
    ColorWell* color_ = nullptr;
    QPushButton* dark_ = nullptr;
    QPushButton* light_ = nullptr;
    QCheckBox* taskbar_ = nullptr;
    QCheckBox* autostart_ = nullptr;
    QLabel* autostartProblem_ = nullptr;
    QCheckBox* automaticChecks_ = nullptr;
};

} // namespace Blinkwit
