#pragma once

#include <QString>
#include <memory>

namespace Blinkwit {

class UpdateChecker;
class UpdateWindow;

// Creates the update window on first use, centred, and brings it to the front on every show.
// Closing only hides it; what the checker does goes on.
class UpdateWindowController {
public:
    UpdateWindowController(UpdateChecker& checker, QString displayString, QString installedPath);
    ~UpdateWindowController();

    void show();
    UpdateWindow* window() const { return window_.get(); }

private:
    UpdateChecker& checker_;
    QString displayString_;
    QString installedPath_;
    std::unique_ptr<UpdateWindow> window_;
};

} // namespace Blinkwit
