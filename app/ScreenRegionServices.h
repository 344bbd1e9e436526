#pragma once

namespace Blinkwit {

class RegionSelector;
class ScreenOCR;

// What reading a region of the screen takes from the desktop.
struct ScreenRegionServices {
    RegionSelector* selector = nullptr;
    ScreenOCR* ocr = nullptr;

    // The desktop's own, one set for the whole program, created on first use and kept until
    // exit: the recogniser stays loaded between requests.
    static ScreenRegionServices desktop();
};

} // namespace Blinkwit
