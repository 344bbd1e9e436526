#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <optional>

namespace Blinkwit {

// One published build, as build.json describes it. The JSON keys equal the field names; "dmg"
// is the address of the update image.
struct BuildManifest {
    QString version;
    QString build;
    QString commit;
    QUrl dmg;
    std::optional<QString> sha256;
    std::optional<QString> notes;
    std::optional<QString> date;

    // Strict: one JSON object; version, build, commit and dmg present and text (dmg an
    // address); sha256, notes and date absent, null or text. Other keys are ignored. On failure
    // error says what is wrong.
    static std::optional<BuildManifest> decode(const QByteArray& json, QString* error);

    friend bool operator==(const BuildManifest&, const BuildManifest&) = default;
};

} // namespace Blinkwit
