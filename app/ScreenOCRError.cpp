#include "ScreenOCRError.h"

namespace Blinkwit {

QString ScreenOCRError::description() const {
    switch (case_) {
    case Case::noDisplay:
        return QStringLiteral("Couldn't find the display for the selected region.");
    case Case::noText:
        return QStringLiteral("No text was recognized in the selected region.");
    case Case::captureFailed:
    case Case::recognitionFailed:
        break;
    }
    return detail_;
}

} // namespace Blinkwit
