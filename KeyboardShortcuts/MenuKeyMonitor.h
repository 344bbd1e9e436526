#pragma once

#include "Shortcut.h"

#include <QObject>
#include <map>

class QKeyEvent;

namespace Blinkwit::KeyboardShortcuts {

class Registry;

// While one of our menus is open it holds the keyboard, and X delivers no hot-key events; this
// watches the menu's key events instead and runs the registry's handlers for its hot keys.
class MenuKeyMonitor final : public QObject {
    Q_OBJECT
public:
    explicit MenuKeyMonitor(Registry& registry);
    ~MenuKeyMonitor() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handlePress(const QKeyEvent& event);
    bool handleRelease(const QKeyEvent& event);

    Registry& registry_;
    // Pressed hot keys by native key: a release is matched by its key alone, since the
    // modifiers are often let go first.
    std::map<quint32, Shortcut> pressed_;
};

} // namespace Blinkwit::KeyboardShortcuts
