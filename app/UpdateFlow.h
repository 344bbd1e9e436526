#pragma once

#include "platform/QProcessToolRunner.h"
#include "platform/QtHttpClient.h"
#include "update/RunningCopy.h"
#include "update/UpdateChecker.h"
#include "update/UpdateInstaller.h"
#include "update/UpdateWindowController.h"

namespace Blinkwit {

class AppSettings;
class Permissions;
class Scheduler;

// The resident program's self-update: the checker on Qt Network, the installer running this
// program's own image and bundle checks on the copy it runs from, and the update window.
class UpdateFlow {
public:
    // Where the running bundle lies decides whether it may be replaced: only a copy in a
    // temporary folder or on a mounted volume may not.
    UpdateFlow(Scheduler& scheduler, AppSettings& settings, const Permissions& permissions);

    UpdateChecker& checker() { return checker_; }
    // With automatic checks on: one check soon after start-up, then one a day.
    void startAutomaticChecks() { checker_.startAutomaticChecks(); }
    void showWindow() { window_.show(); }

private:
    QtHttpClient http_;
    QProcessToolRunner tools_;
    const RunningCopy running_;
    UpdateInstaller installer_;
    UpdateChecker checker_;
    UpdateWindowController window_;
};

} // namespace Blinkwit
