#include "PermissionView.h"

#include "BuildInfo.h"
#include "Permissions.h"
#include "ResidentCommands.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace Blinkwit {

namespace {

constexpr int spacing = 14;
constexpr int margin = 20;
constexpr int headerSpacing = 10;
constexpr int iconPoints = 26;
constexpr int textPoints = 12;

// Symbols standing in for the kinds' icons, in fonts every desktop has.
QString symbol(PermissionKind kind) {
    switch (kind) {
    case PermissionKind::accessibility:
        return QStringLiteral("♿");
    case PermissionKind::screenRecording:
        return QStringLiteral("⬚");
    case PermissionKind::installLocation:
        return QStringLiteral("⤓");
    }
    return {};
}

QLabel* wrappingLabel(const QString& text, const QColor& colour) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont font = label->font();
    font.setPointSize(textPoints);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

} // namespace

PermissionView::PermissionView(PermissionKind kind, Permissions& permissions, QColor accent,
                               QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
    , kind_(kind)
    , permissions_(permissions) {
    setWindowTitle(QStringLiteral("Blinkwit"));
    build(accent);
}

void PermissionView::build(QColor accent) {
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(spacing);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    auto* header = new QHBoxLayout;
    header->setSpacing(headerSpacing);
    auto* icon = new QLabel(symbol(kind_));
    QFont iconFont = icon->font();
    iconFont.setPointSize(iconPoints);
    icon->setFont(iconFont);
    QPalette iconPalette = icon->palette();
    iconPalette.setColor(QPalette::WindowText, accent);
    icon->setPalette(iconPalette);
    const std::optional<WaylandAccess> wayland =
        kind_ == PermissionKind::accessibility ? permissions_.waylandAccess() : std::nullopt;
    auto* heading = new QLabel(wayland ? waylandTitle() : title(kind_));
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    heading->setFont(headingFont);
    heading->setWordWrap(true);
    header->addWidget(icon, 0, Qt::AlignVCenter);
    header->addWidget(heading, 1, Qt::AlignVCenter);
    layout->addLayout(header);

    const QString text =
        wayland ? waylandExplanation(*wayland) : explanation(kind_, permissions_.installLocation());
    auto* body = wrappingLabel(text, palette().color(QPalette::PlaceholderText));
    body->setFixedWidth(width - 2 * margin);
    layout->addWidget(body);
    failure_ = wrappingLabel(QString(), Qt::red);
    failure_->setFixedWidth(width - 2 * margin);
    failure_->hide();
    layout->addWidget(failure_);
    if (wayland && wayland->copyOffered) {
        auto* copy = new QCheckBox(copyOptionText());
        copy->setChecked(wayland->copyEnabled);
        connect(copy, &QCheckBox::toggled, this,
                [this](bool enabled) { permissions_.setCopyCommandEnabled(enabled); });
        layout->addWidget(copy);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* later = new QPushButton(QStringLiteral("Later"));
    later->setAutoDefault(false);
    connect(later, &QPushButton::clicked, this, &QDialog::close);
    const bool canOpen = permissions_.canOpenKeyboardSettings();
    primary_ = new QPushButton(wayland ? waylandPrimaryButtonTitle(*wayland, canOpen)
                                       : primaryButtonTitle(kind_, canOpen));
    primary_->setDefault(true);
    connect(primary_, &QPushButton::clicked, this, &PermissionView::performAction);
    buttons->addWidget(later);
    buttons->addWidget(primary_);
    layout->addLayout(buttons);
}

void PermissionView::performAction() {
    switch (kind_) {
    case PermissionKind::accessibility:
        if (permissions_.canOpenKeyboardSettings())
            permissions_.openKeyboardSettings();
        close();
        return;
    case PermissionKind::screenRecording:
        close();
        return;
    case PermissionKind::installLocation:
        moveFailed_ = permissions_.moveToApplicationsAndRelaunch();
        if (!moveFailed_)
            return; // this copy ends soon; the window stays until then
        failure_->setText(moveFailureText(*moveFailed_));
        failure_->show();
        return;
    }
}

// Texts adapted to this desktop, against the original wording:
//   "needs Accessibility access" (title)        -> "can't reach your selection here"
//   accessibility explanation (System Settings) -> why a Wayland session hides selections and
//                                                  keys, and binding `blinkwit --command`
//   "Open System Settings"                      -> "Open Keyboard Settings" (when one is
//                                                  known), else "OK"
//   "needs Screen Recording access" (title)     -> "can't capture the screen here"
//   "Enable Blinkwit under System Settings ..." -> "This session doesn't let apps ..."
//   "from its disk image"                       -> "from a mounted volume"
//   "from a temporary copy macOS made ..."      -> "from a temporary folder ..."
//   "macOS won't let an app in that spot keep Accessibility access ..." -> what goes away with
//                                                  the volume or folder
//   the stale-entry paragraph                   -> dropped (no such list here)
//   "⌘C", "⌃⇧R", "⌃⇧O"                          -> "Ctrl+C", "Ctrl+Shift+R", "Ctrl+Shift+O"
// In a Wayland session the accessibility window says what works on this desktop instead:
//   title                                       -> "How Blinkwit works on this desktop"
//   explanation                                 -> hotkeys, selected text, the Ctrl+C fallback
//                                                  and screen regions, each as this desktop
//                                                  allows; what to bind by hand or in the
//                                                  compositor's config
//   "Open System Settings"                      -> "Change Hotkeys" (the desktop's own dialog),
//                                                  "Open Keyboard Settings", else "OK"
QString PermissionView::title(PermissionKind kind) {
    switch (kind) {
    case PermissionKind::accessibility:
        return QStringLiteral("Blinkwit can't reach your selection here");
    case PermissionKind::screenRecording:
        return QStringLiteral("Blinkwit can't capture the screen here");
    case PermissionKind::installLocation:
        return QStringLiteral("Move Blinkwit to your Applications folder");
    }
    return {};
}

QString PermissionView::explanation(PermissionKind kind, InstallLocation location) {
    switch (kind) {
    case PermissionKind::accessibility:
        return QStringLiteral(
            "Blinkwit reads the text you've selected in other apps and sends Ctrl+C as a "
            "fallback. This session allows neither — Wayland keeps other apps' selections and "
            "keys to themselves — so the Ctrl+Shift+R hotkey can't see your selection.\n\n"
            "Add a shortcut in your desktop's keyboard settings that runs\n"
            "blinkwit --command readSelection\n"
            "and press it to read your selection (blinkwit --command readClipboard reads the "
            "clipboard the same way).\n\n"
            "In an X11 session Blinkwit needs no extra access.");
    case PermissionKind::screenRecording:
        return QStringLiteral(
            "Screen capture lets Blinkwit take the region you select so it can OCR the text in "
            "it. Nothing is recorded or stored — a single snapshot is taken when you use "
            "Ctrl+Shift+O.\n\n"
            "This session doesn't let apps take that snapshot. Log in to an X11 session to read "
            "screen regions, then press the hotkey again.");
    case PermissionKind::installLocation:
        return QStringLiteral("Blinkwit is running ") +
               (location == InstallLocation::diskImage
                    ? QStringLiteral("from a mounted volume")
                    : QStringLiteral("from a temporary folder your archive manager unpacked it "
                                     "to")) +
               QStringLiteral(
                   ", and a copy in that spot goes away when the volume is unmounted or the "
                   "folder is cleaned up — taking its hotkeys and updates with it.\n\n"
                   "Move Blinkwit to Applications and it sticks for good: it goes to "
                   "~/Applications and appears in your desktop's application menu.");
    }
    return {};
}

QString PermissionView::primaryButtonTitle(PermissionKind kind, bool canOpenKeyboardSettings) {
    if (kind == PermissionKind::installLocation)
        return QStringLiteral("Move to Applications");
    if (kind == PermissionKind::accessibility && canOpenKeyboardSettings)
        return QStringLiteral("Open Keyboard Settings");
    return QStringLiteral("OK");
}

QString PermissionView::commandLines() {
    QString lines;
    for (const ResidentCommands::Command& command : ResidentCommands::all())
        lines += QStringLiteral("\nblinkwit --command ") + command.name();
    return lines;
}

QString PermissionView::waylandTitle() {
    return QStringLiteral("How Blinkwit works on this desktop");
}

QString PermissionView::waylandExplanation(const WaylandAccess& access) {
    const QString desktop =
        access.desktop.isEmpty() ? QStringLiteral("your desktop") : access.desktop;
    QString text = QStringLiteral("This is a Wayland session, where apps can't watch the keyboard "
                                  "or read each other's selections on their own. Here is what "
                                  "Blinkwit can do on ") +
                   desktop + QStringLiteral(":\n\n");
    text += QStringLiteral("Hotkeys: ") + desktop;
    switch (access.hotKeys) {
    case WaylandAccess::HotKeys::desktop:
        text += QStringLiteral(" passes them on. ") +
                (access.canConfigureHotKeys
                     ? QStringLiteral("Change Hotkeys opens its settings for them.")
                     : QStringLiteral("Change them in its keyboard settings."));
        break;
    case WaylandAccess::HotKeys::inConfig:
        text += QStringLiteral(" passes them on once its config binds keys to them (bind = CTRL "
                               "SHIFT, R, global, ...):");
        for (const ResidentCommands::Command& command : ResidentCommands::all())
            text += QLatin1Char('\n') + QLatin1String(BuildInfo::identifier) + QLatin1Char(':') +
                    command.name();
        break;
    case WaylandAccess::HotKeys::needsInstall:
        text += QStringLiteral(" passes them on only to apps in your application menu, where Move "
                               "to Applications puts Blinkwit. Until then, add shortcuts in its "
                               "keyboard settings that run") +
                commandLines();
        break;
    case WaylandAccess::HotKeys::starting:
    case WaylandAccess::HotKeys::byHand:
        text += QStringLiteral(" doesn't pass them on to apps. Add shortcuts in its keyboard "
                               "settings that run") +
                commandLines();
        break;
    }
    text += access.selection == WaylandAccess::Selection::shared
                ? QStringLiteral("\n\nSelected text: read directly, as in an X11 session.")
                : QStringLiteral("\n\nSelected text: read when the reader opens — it takes the "
                                 "keyboard for a moment to see your selection.");
    if (access.copyOffered)
        text += access.copyEnabled
                    ? QStringLiteral(" Apps that keep their selection to themselves get Ctrl+C, "
                                     "and your clipboard is put back afterwards.")
                    : QStringLiteral(" For apps that keep their selection to themselves, turn "
                                     "on Ctrl+C below; ") +
                          desktop + QStringLiteral(" asks you once.");
    switch (access.capture) {
    case WaylandAccess::Capture::portal:
        text += QStringLiteral("\n\nScreen regions: captured through ") + desktop +
                QStringLiteral("'s screenshot service, which may ask you once.");
        break;
    case WaylandAccess::Capture::grim:
        text += QStringLiteral("\n\nScreen regions: captured with grim.");
        break;
    case WaylandAccess::Capture::none:
        text += QStringLiteral("\n\nScreen regions: this session doesn't let apps capture the "
                               "screen. Log in to an X11 session to read them.");
        break;
    }
    return text;
}

QString PermissionView::waylandPrimaryButtonTitle(const WaylandAccess& access,
                                                  bool canOpenKeyboardSettings) {
    if (access.hotKeys == WaylandAccess::HotKeys::desktop && access.canConfigureHotKeys)
        return QStringLiteral("Change Hotkeys");
    return canOpenKeyboardSettings ? QStringLiteral("Open Keyboard Settings")
                                   : QStringLiteral("OK");
}

QString PermissionView::copyOptionText() {
    return QStringLiteral("Send Ctrl+C to apps that keep their selection to themselves");
}

QString PermissionView::moveFailureText(const QString& error) {
    return QStringLiteral("Couldn't move it automatically: ") + error +
           QStringLiteral("\n\nDrag Blinkwit into your Applications folder (~/Applications) by "
                          "hand, then open it from there.");
}

} // namespace Blinkwit
