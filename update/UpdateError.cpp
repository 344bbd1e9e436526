#include "UpdateError.h"

#include "UpdateTexts.h"

namespace Blinkwit {

QString UpdateError::description() const {
    const auto text = [this](const char* pattern) {
        return QString::fromUtf8(pattern).arg(payload_);
    };
    switch (kind_) {
    case Case::notInstalled:
        return text(UpdateTexts::notInstalled);
    case Case::gatekeeperRejected:
        return text(UpdateTexts::rejected);
    case Case::wrongTeam:
        return text(UpdateTexts::wrongTeam);
    case Case::mountFailed:
        return text(UpdateTexts::mountFailed);
    case Case::copyFailed:
        return text(UpdateTexts::copyFailed);
    case Case::noAppInside:
        return QString::fromUtf8(UpdateTexts::noAppInside);
    }
    return {};
}

} // namespace Blinkwit
