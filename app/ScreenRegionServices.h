#pragma once

namespace Blinkwit {

class RegionSelector;
class Scheduler;
class ScreenCaptureAccess;
class ScreenOCR;

// What reading a region of the screen takes from the desktop.
struct ScreenRegionServices {
    ScreenCaptureAccess* access = nullptr;
    RegionSelector* selector = nullptr;
    ScreenOCR* ocr = nullptr;
    Scheduler* scheduler = nullptr;

    // The desktop's own, one set for the whole program, created on first use and kept until
    // exit: the recogniser stays loaded between requests.
    static ScreenRegionServices desktop();
};

} // namespace Blinkwit
