#pragma once

#include "UpdateState.h"

#include <QList>
#include <QString>

namespace Blinkwit {

// What the update window shows for a state: icon, title, the detail below them and the buttons.
struct UpdatePresentation {
    enum class Icon { available, upToDate, failed, checking };
    enum class Detail {
        secondaryText, // text in the secondary colour
        errorText,     // text in red
        notes,         // text, then note in small secondary type
        progress,      // a bar at fraction, text below it
        busy,          // an indeterminate indicator beside text
    };
    enum class Action { close, install, checkAgain };
    struct Button {
        QString text;
        Action action = Action::close;
        bool isDefault = false;

        friend bool operator==(const Button&, const Button&) = default;
    };

    Icon icon = Icon::checking;
    // The available icon is drawn in the accent colour, the others in the secondary colour.
    bool accentIcon = false;
    QString title;
    Detail detail = Detail::secondaryText;
    QString text;
    QString note;
    double fraction = 0.0;
    QList<Button> buttons;

    // installedPath: the bundle an installation replaces.
    static UpdatePresentation of(const UpdateState& state, const QString& installedPath);
};

} // namespace Blinkwit
