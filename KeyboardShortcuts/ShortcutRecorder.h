#pragma once

#include "Name.h"
#include "Shortcut.h"

#include <QLineEdit>
#include <QPointer>
#include <functional>
#include <optional>

class QMessageBox;

namespace Blinkwit::KeyboardShortcuts {

class Registry;

// A field that shows a name's shortcut and records a new one while it has focus. The registry
// must outlive it.
class ShortcutRecorder final : public QLineEdit {
    Q_OBJECT
public:
    using MenuItemLookup = std::function<std::optional<QString>(const Shortcut&)>;

    ShortcutRecorder(Registry& registry, Name name, QWidget* parent = nullptr);
    ~ShortcutRecorder() override;

    bool isCapturing() const { return capturing_; }
    // Which menu item of the program already uses a shortcut; every menu's items by default.
    void setMenuItemLookup(MenuItemLookup lookup) { menuItemLookup_ = std::move(lookup); }
    // The refusal sound; the desktop's bell by default.
    void setBeeper(std::function<void()> beeper) { beeper_ = std::move(beeper); }

signals:
    // The name's shortcut was recorded or cleared here.
    void shortcutChanged();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void startCapturing();
    void endCapturing();
    // True when the key was consumed.
    bool handleKey(const QKeyEvent& event);
    void consider(const Shortcut& candidate);
    void accept(const Shortcut& shortcut);
    void clearShortcut();
    void refreshText();
    void showAlert(QMessageBox* alert, std::function<void(bool accepted)> done);

    Registry& registry_;
    Name name_;
    QAction* clearAction_ = nullptr;
    bool capturing_ = false;
    QPointer<QMessageBox> alert_;
    MenuItemLookup menuItemLookup_;
    std::function<void()> beeper_;
};

} // namespace Blinkwit::KeyboardShortcuts
