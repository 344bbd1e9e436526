#pragma once

#include "ActivationPolicyHook.h"

#include <QColor>
#include <QObject>
#include <QString>
#include <optional>

namespace Blinkwit {

class DefaultsStore;

// The user's preferences, loaded once from the defaults store and written back on every change.
// Each setter emits aboutToChange() first, then stores the value in memory and in the store,
// runs the setting's effect (only showDockIcon has one) and emits the setting's own signal and
// changed().
class AppSettings final : public QObject {
    Q_OBJECT
    Q_PROPERTY(int wpm READ wpm WRITE setWpm NOTIFY wpmChanged)
    Q_PROPERTY(double fontSize READ fontSize WRITE setFontSize NOTIFY fontSizeChanged)
    Q_PROPERTY(QString accentHex READ accentHex WRITE setAccentHex NOTIFY accentHexChanged)
    Q_PROPERTY(bool darkTheme READ darkTheme WRITE setDarkTheme NOTIFY darkThemeChanged)
    Q_PROPERTY(QString codeBlockModeRaw READ codeBlockModeRaw WRITE setCodeBlockModeRaw NOTIFY
                   codeBlockModeRawChanged)
    Q_PROPERTY(bool showDockIcon READ showDockIcon WRITE setShowDockIcon NOTIFY showDockIconChanged)
    Q_PROPERTY(bool automaticUpdateChecks READ automaticUpdateChecks WRITE setAutomaticUpdateChecks
                   NOTIFY automaticUpdateChecksChanged)
public:
    static constexpr const char* wpmKey = "defaultWPM";
    static constexpr const char* fontSizeKey = "fontSize";
    static constexpr const char* accentHexKey = "accentHex";
    static constexpr const char* darkThemeKey = "darkTheme";
    static constexpr const char* codeBlockModeKey = "codeBlockMode";
    static constexpr const char* showDockIconKey = "showDockIcon";
    static constexpr const char* automaticUpdateChecksKey = "automaticUpdateChecks";

    static constexpr int defaultWpm = 400;
    static constexpr double defaultFontSize = 48.0;
    static constexpr const char* defaultAccentHex = "#00FF41";
    static constexpr const char* defaultCodeBlockMode = "placeholder";

    // The hook may be null (tests, terminal front end); it can be supplied later.
    explicit AppSettings(DefaultsStore& defaults, ActivationPolicyHook* activation = nullptr,
                         QObject* parent = nullptr);

    // The program's one instance on the per-user defaults file; created on first use.
    static AppSettings& shared();

    DefaultsStore& defaults() const { return defaults_; }
    void setActivationPolicyHook(ActivationPolicyHook* hook) { activation_ = hook; }
    // Applies showDockIcon through the hook, as at launch.
    void applyActivationPolicy() const;

    int wpm() const { return wpm_; }
    double fontSize() const { return fontSize_; }
    QString accentHex() const { return accentHex_; }
    bool darkTheme() const { return darkTheme_; }
    QString codeBlockModeRaw() const { return codeBlockModeRaw_; }
    bool showDockIcon() const { return showDockIcon_; }
    bool automaticUpdateChecks() const { return automaticUpdateChecks_; }

    void setWpm(int wpm);
    void setFontSize(double points);
    void setAccentHex(const QString& hex);
    void setDarkTheme(bool dark);
    void setCodeBlockModeRaw(const QString& mode);
    void setShowDockIcon(bool show);
    void setAutomaticUpdateChecks(bool automatic);

    // Colour from "#RRGGBB" (hash optional, spaces and tabs around ignored); none when the text
    // is not six hexadecimal digits.
    static std::optional<QColor> hex(const QString& text);
    // "#RRGGBB" in upper case; none for an invalid colour. Components outside 0...1 (extended
    // range) are clamped to the nearest sRGB colour.
    static std::optional<QString> toHex(const QColor& color);
    // The accent as a colour: accentHex parsed, or sRGB (0, 1.0, 0.25) when it does not parse.
    QColor accentColor() const;

signals:
    void aboutToChange();
    void changed();
    void wpmChanged(int wpm);
    void fontSizeChanged(double points);
    void accentHexChanged(const QString& hex);
    void darkThemeChanged(bool dark);
    void codeBlockModeRawChanged(const QString& mode);
    void showDockIconChanged(bool show);
    void automaticUpdateChecksChanged(bool automatic);

private:
    void load();

    DefaultsStore& defaults_;
    ActivationPolicyHook* activation_ = nullptr;
    int wpm_ = defaultWpm;
    double fontSize_ = defaultFontSize;
    QString accentHex_ = QString::fromLatin1(defaultAccentHex);
    bool darkTheme_ = true;
    QString codeBlockModeRaw_ = QString::fromLatin1(defaultCodeBlockMode);
    bool showDockIcon_ = true;
    bool automaticUpdateChecks_ = true;
};

} // namespace Blinkwit
