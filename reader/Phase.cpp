#include "Phase.h"

namespace Blinkwit {

const char* Phase::name() const {
    switch (kind_) {
    case Case::countdown:
        return "countdown";
    case Case::idle:
        return "idle";
    case Case::reading:
        return "reading";
    case Case::paused:
        return "paused";
    case Case::finished:
        return "finished";
    case Case::empty:
        return "empty";
    case Case::preparing:
        return "preparing";
    }
    return "idle";
}

} // namespace Blinkwit
