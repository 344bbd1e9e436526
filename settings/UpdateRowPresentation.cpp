#include "UpdateRowPresentation.h"

#include "RelativeTime.h"
#include "SettingsTexts.h"
#include "update/UpdateTexts.h"

namespace Blinkwit {

namespace {

using Kind = UpdateState::Kind;
using Action = UpdateRowPresentation::Action;

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString statusLine(const UpdateState& state, const std::optional<QDateTime>& lastChecked,
                   const QDateTime& now) {
    switch (state.kind) {
    case Kind::idle:
    case Kind::upToDate:
        return lastChecked
                   ? text(SettingsTexts::upToDateAsOf) + RelativeTime::ago(*lastChecked, now)
                   : text(SettingsTexts::notChecked);
    case Kind::checking:
        return text(SettingsTexts::checkingForBuild);
    case Kind::available:
        return text(SettingsTexts::readyToInstall).arg(state.manifest.version);
    case Kind::downloading:
        return text(UpdateTexts::downloadingPercent).arg(int(state.fraction * 100.0));
    case Kind::verifying:
        return text(SettingsTexts::verifyingDownload);
    case Kind::readyToRestart:
        return text(SettingsTexts::installing);
    case Kind::failed:
        break;
    }
    return text(SettingsTexts::checkFailed);
}

} // namespace

UpdateRowPresentation UpdateRowPresentation::of(const UpdateState& state,
                                                const std::optional<QDateTime>& lastChecked,
                                                const QDateTime& now) {
    UpdateRowPresentation row{statusLine(state, lastChecked, now)};
    if (state.kind == Kind::available) {
        row.accentStatus = true;
        row.button = text(SettingsTexts::installUpdate);
        row.action = Action::showUpdateWindow;
    } else if (state.isBusy()) {
        row.button = text(SettingsTexts::checkingButton);
    } else {
        row.button = text(SettingsTexts::checkNow);
        row.action = Action::checkNow;
    }
    return row;
}

} // namespace Blinkwit
