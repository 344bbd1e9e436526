#pragma once

#include "BuildManifest.h"

#include <QString>

namespace Blinkwit {

// The observable state of the update flow. Only the payload of the current kind means anything,
// and equality compares the kind and that payload.
struct UpdateState {
    enum class Kind {
        idle,           // nothing to show; also after a failed automatic check
        checking,       // the manifest is being fetched
        upToDate,       // the last check found nothing newer
        available,      // manifest: the newer build found
        downloading,    // fraction: 0...1 of the image downloaded
        verifying,      // checksum and installer checks run
        readyToRestart, // the new build is staged and the swap script started
        failed,         // message: what went wrong, for the user
    };

    Kind kind = Kind::idle;
    BuildManifest manifest;
    double fraction = 0.0;
    QString message;

    static UpdateState idle() { return {}; }
    static UpdateState checking() { return {Kind::checking}; }
    static UpdateState upToDate() { return {Kind::upToDate}; }
    static UpdateState available(BuildManifest manifest) { return {Kind::available, manifest}; }
    static UpdateState downloading(double fraction) { return {Kind::downloading, {}, fraction}; }
    static UpdateState verifying() { return {Kind::verifying}; }
    static UpdateState readyToRestart() { return {Kind::readyToRestart}; }
    static UpdateState failed(QString message) { return {Kind::failed, {}, 0.0, message}; }

    // checking, downloading, verifying and readyToRestart: work is under way.
    bool isBusy() const;

    friend bool operator==(const UpdateState& a, const UpdateState& b);
};

} // namespace Blinkwit
