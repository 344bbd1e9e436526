#include "SettingsView.h"

#include "AppSettings.h"
#include "AutostartEntry.h"
#include "ColorWell.h"
#include "FormSection.h"
#include "KeyboardShortcuts/ShortcutRecorder.h"
#include "PresetSwatch.h"
#include "SettingsBindings.h"
#include "SettingsTexts.h"
#include "UpdateSettingsRow.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace Blinkwit {

namespace {

using KeyboardShortcuts::Name;
using KeyboardShortcuts::ShortcutRecorder;

// Type sizes follow the usual desktop scale: rows at the body size, notes a step smaller.
constexpr qreal small = 11.0 / 13.0;

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QFont scaled(QFont font, qreal scale) {
    font.setPointSizeF(font.pointSizeF() * scale);
    return font;
}

// Text in the palette's secondary colour, a step smaller, wrapping.
QLabel* note(const QString& content) {
    auto* label = new QLabel(content);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setFont(scaled(label->font(), small));
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

// The value beside a slider: fixed width, right-aligned, secondary colour.
QLabel* sliderValue() {
    auto* label = new QLabel;
    label->setFixedWidth(70);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

QSlider* slider(const QString& name, int minimum, int maximum, int step) {
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(name);
    slider->setRange(minimum, maximum);
    slider->setSingleStep(step);
    slider->setPageStep(step * 4);
    return slider;
}

// A segment of the theme picker; the chosen one in the selection colours, as segmented
// controls show it.
void markSegment(QPushButton& segment, bool chosen) {
    segment.setChecked(chosen);
    // Roles not set here come from the window, whatever palette it has.
    QPalette palette;
    if (chosen) {
        const QPalette& window = segment.parentWidget()->palette();
        palette.setColor(QPalette::Button, window.color(QPalette::Highlight));
        palette.setColor(QPalette::ButtonText, window.color(QPalette::HighlightedText));
    }
    segment.setPalette(palette);
}

QHBoxLayout* row(std::initializer_list<QWidget*> widgets) {
    auto* layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* widget : widgets)
        layout->addWidget(widget);
    return layout;
}

} // namespace

SettingsView::SettingsView(Services services, QWidget* parent)
    : QWidget(parent)
    , services_(services) {
    auto* form = new QWidget;
    form->setFixedWidth(formWidth);
    auto* sections = new QVBoxLayout(form);
    sections->setContentsMargins(0, 0, 0, 0);
    sections->setSpacing(14);
    for (FormSection* section : {hotkeysSection(), readingSection(), appearanceSection(),
                                 updatesSection(), readerKeysSection()})
        sections->addWidget(section);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 18);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(form);
    // No control holds the focus at first: a recorder that had it would start recording.
    setFocusPolicy(Qt::ClickFocus);
    connect(&services_.settings, &AppSettings::changed, this, &SettingsView::present);
    present();
    presentAutostart();
}

FormSection* SettingsView::hotkeysSection() {
    auto* section = new FormSection(text(SettingsTexts::hotkeys));
    const std::pair<const char*, Name> recorders[] = {
        {SettingsTexts::readSelection, Name::readSelection()},
        {SettingsTexts::readClipboard, Name::readClipboard()},
        {SettingsTexts::readScreenRegion, Name::ocrRegion()},
    };
    for (const auto& [label, name] : recorders) {
        auto* recorder = new ShortcutRecorder(services_.shortcuts, name);
        recorder->setObjectName(name.rawValue);
        section->addRow(text(label), recorder);
    }
    return section;
}

FormSection* SettingsView::readingSection() {
    auto* section = new FormSection(text(SettingsTexts::reading));
    speed_ = slider(QStringLiteral("speed"), SettingsBindings::minimumWpm,
                    SettingsBindings::maximumWpm, SettingsBindings::wpmStep);
    speedValue_ = sliderValue();
    connect(speed_, &QSlider::valueChanged, this, &SettingsView::chooseSpeed);
    section->addRow(text(SettingsTexts::defaultSpeed), row({speed_, speedValue_}));

    codeBlocks_ = new QComboBox;
    codeBlocks_->setObjectName(QStringLiteral("codeBlocks"));
    for (const auto& option : SettingsBindings::codeBlockOptions())
        codeBlocks_->addItem(option.label, option.mode);
    // Only a choice of the user's is stored: a mode this version does not know stays as it is.
    connect(codeBlocks_, &QComboBox::activated, this, [this](int index) {
        services_.settings.setCodeBlockModeRaw(SettingsBindings::codeBlockOptions()[index].mode);
    });
    section->addRow(text(SettingsTexts::codeBlocks), codeBlocks_);
    return section;
}

FormSection* SettingsView::appearanceSection() {
    auto* section = new FormSection(text(SettingsTexts::appearance));
    auto* scheme = new QVBoxLayout;
    scheme->setSpacing(8);
    scheme->addWidget(new QLabel(text(SettingsTexts::colorScheme)));
    scheme->addWidget(presetRow());
    section->addRow(scheme);

    fontSize_ = slider(QStringLiteral("fontSize"), SettingsBindings::minimumFontSize,
                       SettingsBindings::maximumFontSize, SettingsBindings::fontSizeStep);
    fontSizeValue_ = sliderValue();
    connect(fontSize_, &QSlider::valueChanged, this, &SettingsView::chooseFontSize);
    section->addRow(text(SettingsTexts::wordSize), row({fontSize_, fontSizeValue_}));

    color_ = new ColorWell;
    color_->setObjectName(QStringLiteral("customColor"));
    color_->setAccessibleName(text(SettingsTexts::customColor).chopped(1));
    connect(color_, &ColorWell::colorChosen, this, [this](const QColor& chosen) {
        services_.settings.setAccentHex(SettingsBindings::accentHexFor(chosen));
    });
    auto* colorRow = row({color_});
    colorRow->addStretch();
    section->addRow(text(SettingsTexts::customColor), colorRow);

    section->addRow(text(SettingsTexts::theme), themeSegments());

    taskbar_ = new QCheckBox(text(SettingsTexts::showInTaskbar));
    taskbar_->setObjectName(QStringLiteral("showDockIcon"));
    connect(taskbar_, &QCheckBox::clicked, &services_.settings, &AppSettings::setShowDockIcon);
    section->addRow(taskbar_);

    autostart_ = new QCheckBox(text(SettingsTexts::startAtLogin));
    autostart_->setObjectName(QStringLiteral("startAtLogin"));
    connect(autostart_, &QCheckBox::clicked, this, &SettingsView::chooseAutostart);
    autostartProblem_ = note(QString());
    QPalette problem = autostartProblem_->palette();
    problem.setColor(QPalette::WindowText, Qt::red);
    autostartProblem_->setPalette(problem);
    autostartProblem_->setForegroundRole(QPalette::WindowText);
    autostartProblem_->hide();
    section->addRow(autostart_);
    section->addRow(autostartProblem_);
    return section;
}

QWidget* SettingsView::presetRow() {
    auto* presets = new QWidget;
    auto* layout = new QHBoxLayout(presets);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    for (const ThemePreset& preset : ThemePreset::all()) {
        auto* swatch = new PresetSwatch(preset);
        swatch->setFont(scaled(swatch->font(), small));
        connect(swatch, &PresetSwatch::clicked, this, [this, preset] {
            services_.settings.setAccentHex(preset.hex);
            services_.settings.setDarkTheme(preset.dark);
        });
        presets_.append(swatch);
        layout->addWidget(swatch);
    }
    layout->addStretch();
    return presets;
}

QWidget* SettingsView::themeSegments() {
    auto* segments = new QWidget;
    auto* layout = new QHBoxLayout(segments);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* group = new QButtonGroup(segments);
    for (QPushButton** segment : {&dark_, &light_}) {
        *segment =
            new QPushButton(text(segment == &dark_ ? SettingsTexts::dark : SettingsTexts::light));
        (*segment)->setCheckable(true);
        group->addButton(*segment);
        layout->addWidget(*segment);
    }
    dark_->setObjectName(QStringLiteral("darkTheme"));
    light_->setObjectName(QStringLiteral("lightTheme"));
    connect(dark_, &QPushButton::clicked, this, [this] { services_.settings.setDarkTheme(true); });
    connect(light_, &QPushButton::clicked, this,
            [this] { services_.settings.setDarkTheme(false); });
    layout->addStretch();
    return segments;
}

FormSection* SettingsView::updatesSection() {
    auto* section = new FormSection(text(SettingsTexts::updates));
    if (services_.updates)
        section->addRow(new UpdateSettingsRow(*services_.updates, services_.displayString,
                                              services_.showUpdateWindow));
    automaticChecks_ = new QCheckBox(text(SettingsTexts::automaticChecks));
    automaticChecks_->setObjectName(QStringLiteral("automaticUpdateChecks"));
    connect(automaticChecks_, &QCheckBox::clicked, &services_.settings,
            &AppSettings::setAutomaticUpdateChecks);
    section->addRow(automaticChecks_);
    section->addRow(note(text(SettingsTexts::updatesReplace)));
    return section;
}

FormSection* SettingsView::readerKeysSection() {
    auto* section = new FormSection(QString());
    section->addRow(note(text(SettingsTexts::readerKeys)));
    return section;
}

void SettingsView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The chosen segment is drawn in colours taken from the palette.
    if (event->type() == QEvent::PaletteChange)
        present();
}

void SettingsView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    presentAutostart();
    if (!focusWidget() || qobject_cast<ShortcutRecorder*>(focusWidget()))
        setFocus(Qt::OtherFocusReason);
}

// Every control from the settings as they are now; the controls' own signals stay quiet, so
// that showing a value never writes it.
void SettingsView::present() {
    const AppSettings& settings = services_.settings;
    {
        const QSignalBlocker quiet(speed_);
        speed_->setValue(settings.wpm());
    }
    speedValue_->setText(SettingsBindings::wpmText(settings.wpm()));
    codeBlocks_->setCurrentIndex(
        SettingsBindings::codeBlockOptionIndex(settings.codeBlockModeRaw()));
    for (PresetSwatch* swatch : presets_)
        swatch->setActive(swatch->preset().isActive(settings.accentHex(), settings.darkTheme()));
    {
        const QSignalBlocker quiet(fontSize_);
        fontSize_->setValue(SettingsBindings::fontSizeSliderPosition(settings.fontSize()));
    }
    fontSizeValue_->setText(SettingsBindings::fontSizeText(settings.fontSize()));
    color_->setColor(settings.accentColor());
    markSegment(*dark_, settings.darkTheme());
    markSegment(*light_, !settings.darkTheme());
    taskbar_->setChecked(settings.showDockIcon());
    automaticChecks_->setChecked(settings.automaticUpdateChecks());
}

void SettingsView::presentAutostart() {
    autostart_->setChecked(services_.autostart.isEnabled());
}

void SettingsView::chooseSpeed(int position) {
    const int wpm = SettingsBindings::wpmAt(position);
    if (wpm != services_.settings.wpm())
        services_.settings.setWpm(wpm);
    else
        present();
}

void SettingsView::chooseFontSize(int position) {
    const double points = SettingsBindings::fontSizeAt(position);
    if (points != services_.settings.fontSize())
        services_.settings.setFontSize(points);
    else
        present();
}

void SettingsView::chooseAutostart(bool enabled) {
    const auto problem = services_.autostart.setEnabled(enabled);
    autostartProblem_->setText(problem.value_or(QString()));
    autostartProblem_->setVisible(problem.has_value());
    presentAutostart();
}

} // namespace Blinkwit
