#pragma once

#include "update/UpdateState.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace Blinkwit {

// What the settings window's update row shows for the update checker's state: a status line
// and one button.
struct UpdateRowPresentation {
    enum class Action {
        none,             // the button is disabled while work is under way
        showUpdateWindow, // a build is waiting: the update window offers it
        checkNow,         // the update window, and a check run by the user
    };

    QString status;
    // The status line in the accent colour (a build is waiting), else the secondary colour.
    bool accentStatus = false;
    QString button;
    Action action = Action::none;

    bool buttonEnabled() const { return action != Action::none; }

    // lastChecked: when a manifest was last fetched; now: the time the relative text counts to.
    static UpdateRowPresentation
    of(const UpdateState& state, const std::optional<QDateTime>& lastChecked, const QDateTime& now);

    friend bool operator==(const UpdateRowPresentation&, const UpdateRowPresentation&) = default;
};

} // namespace Blinkwit
