#include "AppSettings.h"

#include "DefaultsStore.h"
#include "JsonFileDefaultsStore.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace Blinkwit {

namespace {

bool isInteger(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

bool isFloating(const QVariant& value) {
    return value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float;
}

// A whole number in int range; a double only when it is integral. Booleans and strings are of
// another type and give the default.
std::optional<int> intFrom(const QVariant& value) {
    if (isInteger(value)) {
        bool ok = false;
        const qlonglong number = value.toLongLong(&ok);
        if (ok && number >= std::numeric_limits<int>::min() &&
            number <= std::numeric_limits<int>::max())
            return int(number);
        return std::nullopt;
    }
    if (isFloating(value)) {
        const double number = value.toDouble();
        if (std::isfinite(number) && std::trunc(number) == number &&
            number >= std::numeric_limits<int>::min() && number <= std::numeric_limits<int>::max())
            return int(number);
    }
    return std::nullopt;
}

std::optional<double> doubleFrom(const QVariant& value) {
    if (isFloating(value) || isInteger(value))
        return value.toDouble();
    return std::nullopt;
}

std::optional<bool> boolFrom(const QVariant& value) {
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (isInteger(value) && (value.toLongLong() == 0 || value.toLongLong() == 1))
        return value.toLongLong() == 1;
    return std::nullopt;
}

std::optional<QString> stringFrom(const QVariant& value) {
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    return std::nullopt;
}

QString keyString(const char* key) {
    return QString::fromLatin1(key);
}

bool isHexDigit(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

} // namespace

AppSettings::AppSettings(DefaultsStore& defaults, ActivationPolicyHook* activation, QObject* parent)
    : QObject(parent)
    , defaults_(defaults)
    , activation_(activation) {
    load();
}

AppSettings& AppSettings::shared() {
    // Lives until exit, like the program's other shared objects.
    static auto* instance = new AppSettings(JsonFileDefaultsStore::standard());
    return *instance;
}

void AppSettings::load() {
    const auto stored = [this](const char* key) { return defaults_.value(keyString(key)); };
    wpm_ = intFrom(stored(wpmKey)).value_or(defaultWpm);
    fontSize_ = doubleFrom(stored(fontSizeKey)).value_or(defaultFontSize);
    accentHex_ = stringFrom(stored(accentHexKey)).value_or(keyString(defaultAccentHex));
    darkTheme_ = boolFrom(stored(darkThemeKey)).value_or(true);
    codeBlockModeRaw_ =
        stringFrom(stored(codeBlockModeKey)).value_or(keyString(defaultCodeBlockMode));
    showDockIcon_ = boolFrom(stored(showDockIconKey)).value_or(true);
    automaticUpdateChecks_ = boolFrom(stored(automaticUpdateChecksKey)).value_or(true);
}

void AppSettings::applyActivationPolicy() const {
    if (activation_)
        activation_->setActivationPolicy(showDockIcon_ ? ActivationPolicy::regular
                                                       : ActivationPolicy::accessory);
}

void AppSettings::setWpm(int wpm) {
    emit aboutToChange();
    wpm_ = wpm;
    defaults_.setValue(keyString(wpmKey), qint64(wpm));
    emit wpmChanged(wpm);
    emit changed();
}

void AppSettings::setFontSize(double points) {
    emit aboutToChange();
    fontSize_ = points;
    defaults_.setValue(keyString(fontSizeKey), points);
    emit fontSizeChanged(points);
    emit changed();
}

void AppSettings::setAccentHex(const QString& hex) {
    emit aboutToChange();
    accentHex_ = hex;
    defaults_.setValue(keyString(accentHexKey), hex);
    emit accentHexChanged(hex);
    emit changed();
}

void AppSettings::setDarkTheme(bool dark) {
    emit aboutToChange();
    darkTheme_ = dark;
    defaults_.setValue(keyString(darkThemeKey), dark);
    emit darkThemeChanged(dark);
    emit changed();
}

void AppSettings::setCodeBlockModeRaw(const QString& mode) {
    emit aboutToChange();
    codeBlockModeRaw_ = mode;
    defaults_.setValue(keyString(codeBlockModeKey), mode);
    emit codeBlockModeRawChanged(mode);
    emit changed();
}

void AppSettings::setShowDockIcon(bool show) {
    emit aboutToChange();
    showDockIcon_ = show;
    defaults_.setValue(keyString(showDockIconKey), show);
    applyActivationPolicy();
    emit showDockIconChanged(show);
    emit changed();
}

void AppSettings::setAutomaticUpdateChecks(bool automatic) {
    emit aboutToChange();
    automaticUpdateChecks_ = automatic;
    defaults_.setValue(keyString(automaticUpdateChecksKey), automatic);
    emit automaticUpdateChecksChanged(automatic);
    emit changed();
}

std::optional<QColor> AppSettings::hex(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    while (begin < end && blank(text[begin]))
        ++begin;
    while (end > begin && blank(text[end - 1]))
        --end;
    QStringView digits = QStringView(text).sliced(begin, end - begin);
    if (digits.startsWith(u'#'))
        digits = digits.sliced(1);
    // Only the six digits themselves: a sign or a seventh character is not a colour.
    if (digits.size() != 6 || !std::all_of(digits.begin(), digits.end(), isHexDigit))
        return std::nullopt;
    const uint value = digits.toUInt(nullptr, 16);
    return QColor::fromRgb(int((value >> 16) & 0xFF), int((value >> 8) & 0xFF), int(value & 0xFF));
}

std::optional<QString> AppSettings::toHex(const QColor& color) {
    if (!color.isValid())
        return std::nullopt;
    if (color.spec() == QColor::ExtendedRgb) {
        // Components beyond 0...1 are held only this way (as half floats); they are clamped.
        const auto byte = [](float component) {
            return int(std::lround(std::clamp(double(component), 0.0, 1.0) * 255.0));
        };
        return QString::asprintf("#%02X%02X%02X", byte(color.redF()), byte(color.greenF()),
                                 byte(color.blueF()));
    }
    // Every other colour converts to 16-bit sRGB, scaled to 8 bits in integers, halves up. Half
    // floats would not do: 156.45 / 255 comes out as 157.
    const QRgba64 rgb = color.toRgb().rgba64();
    const auto byte = [](quint16 component) { return (component * 510 + 65535) / 131070; };
    return QString::asprintf("#%02X%02X%02X", byte(rgb.red()), byte(rgb.green()), byte(rgb.blue()));
}

QColor AppSettings::accentColor() const {
    return hex(accentHex_).value_or(QColor::fromRgbF(0.0f, 1.0f, 0.25f));
}

} // namespace Blinkwit
