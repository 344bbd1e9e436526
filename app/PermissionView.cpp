#include "PermissionView.h"

#include "Permissions.h"

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
    auto* heading = new QLabel(title(kind_));
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    heading->setFont(headingFont);
    heading->setWordWrap(true);
    header->addWidget(icon, 0, Qt::AlignVCenter);
    header->addWidget(heading, 1, Qt::AlignVCenter);
    layout->addLayout(header);

    const QString text = explanation(kind_, permissions_.installLocation());
    auto* body = wrappingLabel(text, palette().color(QPalette::PlaceholderText));
    body->setFixedWidth(width - 2 * margin);
    layout->addWidget(body);
    failure_ = wrappingLabel(QString(), Qt::red);
    failure_->setFixedWidth(width - 2 * margin);
    failure_->hide();
    layout->addWidget(failure_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* later = new QPushButton(QStringLiteral("Later"));
    later->setAutoDefault(false);
    connect(later, &QPushButton::clicked, this, &QDialog::close);
    primary_ = new QPushButton(primaryButtonTitle(kind_, permissions_.canOpenKeyboardSettings()));
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

QString PermissionView::moveFailureText(const QString& error) {
    return QStringLiteral("Couldn't move it automatically: ") + error +
           QStringLiteral("\n\nDrag Blinkwit into your Applications folder (~/Applications) by "
                          "hand, then open it from there.");
}

} // namespace Blinkwit
