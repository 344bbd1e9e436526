#pragma once

#include "DesktopCoordinates.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QVariant>
#include <optional>

namespace Blinkwit {

// Where the reader panel opens: at the remembered origin while that lies on a connected screen,
// otherwise centred on the screen under the mouse, a little above the middle.
class PanelPlacement {
public:
    static constexpr int width = 640;
    static constexpr int height = 230;
    static constexpr int expandedHeight = 470;

    struct Screen {
        QRect frame;
        QRect visibleFrame; // without panels and docks
        bool primary = false;
    };

    PanelPlacement(QList<Screen> screens, QPoint mouse);

    // The screens Qt knows now, and the mouse position.
    static PanelPlacement current();

    // A list of exactly two finite numbers, else nothing.
    static std::optional<QPointF> originFromStored(const QVariant& stored);
    static QVariant storedFromOrigin(QPointF origin);

    QRect frame(std::optional<QPointF> remembered, int panelHeight) const;
    DesktopCoordinates coordinates() const;

private:
    const Screen* screenForNewPanel() const;

    QList<Screen> screens_;
    QPoint mouse_;
};

} // namespace Blinkwit
