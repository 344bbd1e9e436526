#pragma once

#include <QString>

namespace Blinkwit {

// Why the installer refused a downloaded image or could not swap it in; the description is
// what the update window shows.
class UpdateError {
public:
    enum class Case {
        notInstalled,       // payload: where the program runs from
        gatekeeperRejected, // payload: the check's output
        wrongTeam,          // payload: the signer or identifier found, or a fixed phrase
        mountFailed,        // payload: the unpacker's output
        copyFailed,         // payload: the copy's output
        noAppInside,
    };

    explicit UpdateError(Case kind, QString payload = {})
        : kind_(kind)
        , payload_(std::move(payload)) {}

    Case kind() const { return kind_; }
    const QString& payload() const { return payload_; }
    QString description() const;

private:
    Case kind_;
    QString payload_;
};

} // namespace Blinkwit
