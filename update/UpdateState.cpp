#include "UpdateState.h"

namespace Blinkwit {

bool UpdateState::isBusy() const {
    return kind == Kind::checking || kind == Kind::downloading || kind == Kind::verifying ||
           kind == Kind::readyToRestart;
}

bool operator==(const UpdateState& a, const UpdateState& b) {
    if (a.kind != b.kind)
        return false;
    switch (a.kind) {
    case UpdateState::Kind::available:
        return a.manifest == b.manifest;
    case UpdateState::Kind::downloading:
        return a.fraction == b.fraction;
    case UpdateState::Kind::failed:
        return a.message == b.message;
    default:
        return true;
    }
}

} // namespace Blinkwit
