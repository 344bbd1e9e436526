#include "ScreenRegionServices.h"

#include "RegionSelectionController.h"
#include "ScreenOCR.h"
#include "platform/QtScheduler.h"
#include "platform/QtScreenGrabber.h"
#include "platform/TesseractRecognizer.h"
#include "platform/X11ScreenCaptureAccess.h"

namespace Blinkwit {

ScreenRegionServices ScreenRegionServices::desktop() {
    static auto* access = new X11ScreenCaptureAccess;
    static auto* grabber = new QtScreenGrabber;
    static auto* recognizer = new TesseractRecognizer;
    static auto* ocr = new ScreenOCR(*grabber, *recognizer);
    static auto* scheduler = new QtScheduler;
    return {access, &RegionSelectionController::shared(), ocr, scheduler};
}

} // namespace Blinkwit
