#include "UpdateFlow.h"

#include "BuildInfo.h"
#include "Permissions.h"
#include "settings/AppSettings.h"
#include "update/UpdateAddress.h"

#include <QDir>

namespace Blinkwit {

namespace {

RunningCopy::Location updateLocation(InstallLocation location) {
    switch (location) {
    case InstallLocation::diskImage:
        return RunningCopy::Location::diskImage;
    case InstallLocation::translocated:
        return RunningCopy::Location::translocated;
    case InstallLocation::inApplications:
    case InstallLocation::elsewhere:
        break;
    }
    return RunningCopy::Location::installed;
}

} // namespace

UpdateFlow::UpdateFlow(Scheduler& scheduler, AppSettings& settings, const Permissions& permissions)
    : running_(RunningCopy::current(
          [&permissions] { return updateLocation(permissions.installLocation()); }))
    , installer_(tools_, running_, QDir::tempPath())
    , checker_({http_,
                scheduler,
                settings.defaults(),
                installer_,
                [&settings] { return settings.automaticUpdateChecks(); },
                {BuildInfo::string(QLatin1String(BuildInfo::versionKey)), BuildInfo::commit()},
                UpdateAddress::manifest(BuildInfo::manifestURL()),
                QDir::tempPath()})
    , window_(checker_, BuildInfo::displayString(), running_.bundle.value_or(running_.executable)) {
}

} // namespace Blinkwit
