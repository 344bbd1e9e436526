#include "PanelPlacement.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace Blinkwit {

namespace {

constexpr double heightFractionOfCentre = 0.55;

std::optional<double> finiteNumber(const QVariant& value) {
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Float:
    case QMetaType::Double: {
        const double number = value.toDouble();
        if (std::isfinite(number))
            return number;
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

} // namespace

PanelPlacement::PanelPlacement(QList<Screen> screens, QPoint mouse)
    : screens_(std::move(screens))
    , mouse_(mouse) {}

PanelPlacement PanelPlacement::current() {
    QList<Screen> screens;
    const QScreen* primary = QGuiApplication::primaryScreen();
    for (const QScreen* screen : QGuiApplication::screens())
        screens.push_back({screen->geometry(), screen->availableGeometry(), screen == primary});
    return PanelPlacement(screens, QCursor::pos());
}

std::optional<QPointF> PanelPlacement::originFromStored(const QVariant& stored) {
    if (stored.metaType().id() != QMetaType::QVariantList)
        return std::nullopt;
    const QVariantList list = stored.toList();
    if (list.size() != 2)
        return std::nullopt;
    const auto x = finiteNumber(list[0]);
    const auto y = finiteNumber(list[1]);
    if (!x || !y)
        return std::nullopt;
    return QPointF(*x, *y);
}

QVariant PanelPlacement::storedFromOrigin(QPointF origin) {
    return QVariantList{origin.x(), origin.y()};
}

DesktopCoordinates PanelPlacement::coordinates() const {
    for (const Screen& screen : screens_)
        if (screen.primary)
            return DesktopCoordinates(screen.frame);
    return DesktopCoordinates(screens_.isEmpty() ? QRect() : screens_.front().frame);
}

const PanelPlacement::Screen* PanelPlacement::screenForNewPanel() const {
    for (const Screen& screen : screens_)
        if (screen.frame.contains(mouse_))
            return &screen;
    for (const Screen& screen : screens_)
        if (screen.primary)
            return &screen;
    return screens_.isEmpty() ? nullptr : &screens_.front();
}

QRect PanelPlacement::frame(std::optional<QPointF> remembered, int panelHeight) const {
    const QSize size(width, panelHeight);
    if (remembered) {
        const QRect frame = coordinates().frameAt(*remembered, size);
        for (const Screen& screen : screens_)
            if (frame.intersects(screen.visibleFrame))
                return frame;
    }
    const Screen* screen = screenForNewPanel();
    if (!screen)
        return QRect(QPoint(0, 0), size);
    const QRect v = screen->visibleFrame;
    const double left = v.x() + v.width() / 2.0 - width / 2.0;
    const double top = v.y() + (1.0 - heightFractionOfCentre) * v.height() - panelHeight / 2.0;
    return {int(std::lround(left)), int(std::lround(top)), width, panelHeight};
}

} // namespace Blinkwit
