#include "ScreenRegionServices.h"

#include "RegionSelectionController.h"
#include "ScreenOCR.h"
#include "platform/QtScreenGrabber.h"
#include "platform/TesseractRecognizer.h"

namespace Blinkwit {

ScreenRegionServices ScreenRegionServices::desktop() {
    static auto* grabber = new QtScreenGrabber;
    static auto* recognizer = new TesseractRecognizer;
    static auto* ocr = new ScreenOCR(*grabber, *recognizer);
    return {&RegionSelectionController::shared(), ocr};
}

} // namespace Blinkwit
