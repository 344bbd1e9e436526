#pragma once

#include "SettingsView.h"

#include <memory>

namespace Blinkwit {

// Creates the settings window on first use, centred on the screen, and brings it to the front
// on every show, also while another program is active. Closing only hides it.
class SettingsWindowController {
public:
    explicit SettingsWindowController(SettingsView::Services services);
    ~SettingsWindowController();

    void show();
    // None until first shown.
    SettingsView* window() const { return window_.get(); }

private:
    SettingsView::Services services_;
    std::unique_ptr<SettingsView> window_;
};

} // namespace Blinkwit
