#include "ShortcutRecorder.h"

#include "KeyEventShortcut.h"
#include "KeyTable.h"
#include "MenuKeyEquivalents.h"
#include "Registry.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>

namespace Blinkwit::KeyboardShortcuts {

namespace Texts {
const char* const placeholder = "Record Shortcut";
const char* const capturingPlaceholder = "Press Shortcut";
const char* const usedByMenuItem = "This shortcut can't be used because the menu item “%1” "
                                   "already uses it.";
const char* const usedBySystem = "This shortcut is already taken by another application or "
                                 "by the desktop.";
const char* const canBeChanged = "Most desktop shortcuts can be changed in the keyboard "
                                 "settings of your desktop. If you use this one anyway, it may "
                                 "not reach Blinkwit.";
const char* const forceUseShortcut = "Use Anyway";
} // namespace Texts

namespace {

constexpr Qt::KeyboardModifiers shortcutModifiers =
    Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier;

} // namespace

ShortcutRecorder::ShortcutRecorder(Registry& registry, Name name, QWidget* parent)
    : QLineEdit(parent)
    , registry_(registry)
    , name_(std::move(name))
    , menuItemLookup_(&MenuKeyEquivalents::itemUsing)
    , beeper_(&QApplication::beep) {
    // Not in the initialiser list: adding a child already sends this object events.
    clearAction_ = addAction(style()->standardIcon(QStyle::SP_LineEditClearButton),
                             QLineEdit::TrailingPosition);
    setReadOnly(true);
    setAlignment(Qt::AlignCenter);
    setContextMenuPolicy(Qt::NoContextMenu);
    clearAction_->setToolTip(QStringLiteral("Clear Shortcut"));
    connect(clearAction_, &QAction::triggered, this, &ShortcutRecorder::clearShortcut);
    connect(&registry_, &Registry::shortcutByNameDidChange, this, [this](const Name& changed) {
        if (changed == name_ && !capturing_)
            refreshText();
    });
    refreshText();
}

ShortcutRecorder::~ShortcutRecorder() {
    if (capturing_) {
        QCoreApplication::instance()->removeEventFilter(this);
        registry_.setRecorderActive(false);
    }
}

bool ShortcutRecorder::event(QEvent* event) {
    if (capturing_) {
        // Keys are recorded, not used as the program's own shortcuts.
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        if (event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent&>(*event)))
            return true;
        if (event->type() == QEvent::KeyRelease)
            return true;
    }
    return QLineEdit::event(event);
}

bool ShortcutRecorder::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType() && !alert_) {
        const QPoint position = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        if (!rect().contains(mapFromGlobal(position)))
            endCapturing();
    }
    return false;
}

void ShortcutRecorder::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    startCapturing();
}

void ShortcutRecorder::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // An alert of ours takes the focus for a moment; recording goes on behind it.
    if (!alert_)
        endCapturing();
}

void ShortcutRecorder::startCapturing() {
    if (capturing_)
        return;
    capturing_ = true;
    QCoreApplication::instance()->installEventFilter(this);
    registry_.setRecorderActive(true);
    refreshText();
}

void ShortcutRecorder::endCapturing() {
    if (!capturing_)
        return;
    capturing_ = false;
    QCoreApplication::instance()->removeEventFilter(this);
    registry_.setRecorderActive(false);
    refreshText();
    if (hasFocus())
        clearFocus();
}

bool ShortcutRecorder::handleKey(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers() & shortcutModifiers;
    const int key = event.key();
    if (KeyEventShortcut::isModifierKey(key))
        return true;
    if ((key == Qt::Key_Tab && modifiers == Qt::NoModifier) || key == Qt::Key_Backtab)
        return false;
    if (key == Qt::Key_Escape && modifiers == Qt::NoModifier) {
        endCapturing();
        return true;
    }
    if ((key == Qt::Key_Backspace || key == Qt::Key_Delete) && modifiers == Qt::NoModifier) {
        clearShortcut();
        endCapturing();
        return true;
    }
    const auto code = KeyEventShortcut::carbonKeyCode(event, registry_.backend());
    // Shift alone would take a capital letter away from every program.
    const bool bare = modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier;
    if (!code || (bare && !KeyTable::isFunctionKey(*code))) {
        beeper_();
        return true;
    }
    consider(Shortcut::fromModifiers(*code, modifiers));
    return true;
}

void ShortcutRecorder::consider(const Shortcut& candidate) {
    if (const auto item = menuItemLookup_(candidate)) {
        auto* alert = new QMessageBox(QMessageBox::Warning, QString(),
                                      QString::fromUtf8(Texts::usedByMenuItem).arg(*item),
                                      QMessageBox::Ok, window());
        showAlert(alert, [](bool) {});
        return;
    }
    if (registry_.backend().isTakenElsewhere(candidate)) {
        auto* alert =
            new QMessageBox(QMessageBox::Warning, QString(), QString::fromUtf8(Texts::usedBySystem),
                            QMessageBox::Cancel, window());
        alert->setInformativeText(QString::fromUtf8(Texts::canBeChanged));
        alert->addButton(QString::fromUtf8(Texts::forceUseShortcut), QMessageBox::AcceptRole);
        showAlert(alert, [this, candidate](bool accepted) {
            if (accepted)
                accept(candidate);
        });
        return;
    }
    accept(candidate);
}

void ShortcutRecorder::accept(const Shortcut& shortcut) {
    registry_.setShortcut(shortcut, name_);
    emit shortcutChanged();
    endCapturing();
}

void ShortcutRecorder::clearShortcut() {
    registry_.setShortcut(std::nullopt, name_);
    emit shortcutChanged();
    refreshText();
}

void ShortcutRecorder::refreshText() {
    const auto shortcut = registry_.getShortcut(name_);
    setPlaceholderText(
        QString::fromUtf8(capturing_ ? Texts::capturingPlaceholder : Texts::placeholder));
    setText(capturing_ || !shortcut ? QString() : shortcut->description());
    clearAction_->setVisible(shortcut.has_value() && !capturing_);
}

void ShortcutRecorder::showAlert(QMessageBox* alert, std::function<void(bool accepted)> done) {
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setWindowModality(Qt::WindowModal);
    alert_ = alert;
    connect(alert, &QMessageBox::finished, this, [this, alert, done = std::move(done)] {
        const QAbstractButton* clicked = alert->clickedButton();
        const bool accepted = clicked && alert->buttonRole(const_cast<QAbstractButton*>(clicked)) ==
                                             QMessageBox::AcceptRole;
        alert_ = nullptr;
        done(accepted);
        if (capturing_) {
            activateWindow();
            setFocus(Qt::OtherFocusReason);
        }
    });
    alert->open();
}

} // namespace Blinkwit::KeyboardShortcuts
