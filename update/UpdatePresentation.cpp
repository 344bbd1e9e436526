#include "UpdatePresentation.h"

#include "UpdateTexts.h"

namespace Blinkwit {

namespace {

QString utf8(const char* text) {
    return QString::fromUtf8(text);
}

using Presentation = UpdatePresentation;
using Action = Presentation::Action;

Presentation available(const BuildManifest& manifest, const QString& installedPath) {
    const QString notes = manifest.notes.value_or(QString()).trimmed();
    return {Presentation::Icon::available,
            true,
            utf8(UpdateTexts::availableTitle).arg(manifest.version),
            Presentation::Detail::notes,
            notes.isEmpty() ? utf8(UpdateTexts::noNotes) : notes,
            utf8(UpdateTexts::replaces).arg(installedPath),
            0.0,
            {{utf8(UpdateTexts::later), Action::close, false},
             {utf8(UpdateTexts::install).arg(manifest.version), Action::install, true}}};
}

Presentation concluded(Presentation::Icon icon, const char* title, Presentation::Detail detail,
                       const QString& message) {
    return {icon,
            false,
            utf8(title),
            detail,
            message,
            {},
            0.0,
            {{utf8(UpdateTexts::close), Action::close, false},
             {utf8(UpdateTexts::checkAgain), Action::checkAgain, true}}};
}

Presentation working(Presentation::Detail detail, const QString& message, double fraction = 0.0) {
    return {Presentation::Icon::checking,
            false,
            utf8(UpdateTexts::checkingTitle),
            detail,
            message,
            {},
            fraction,
            {{utf8(UpdateTexts::close), Action::close, false}}};
}

} // namespace

UpdatePresentation UpdatePresentation::of(const UpdateState& state, const QString& installedPath) {
    using Kind = UpdateState::Kind;
    switch (state.kind) {
    case Kind::available:
        return available(state.manifest, installedPath);
    case Kind::upToDate:
        return concluded(Icon::upToDate, UpdateTexts::upToDateTitle, Detail::secondaryText,
                         utf8(UpdateTexts::latest));
    case Kind::failed:
        return concluded(Icon::failed, UpdateTexts::failedTitle, Detail::errorText, state.message);
    case Kind::downloading:
        return working(Detail::progress,
                       utf8(UpdateTexts::downloadingPercent).arg(int(state.fraction * 100.0)),
                       state.fraction);
    case Kind::verifying:
        return working(Detail::busy, utf8(UpdateTexts::verifying));
    case Kind::readyToRestart:
        return working(Detail::busy, utf8(UpdateTexts::installing));
    case Kind::idle:
    case Kind::checking:
        break;
    }
    return working(Detail::secondaryText, utf8(UpdateTexts::looking));
}

} // namespace Blinkwit
