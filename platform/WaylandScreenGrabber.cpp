#include "WaylandScreenGrabber.h"

namespace Blinkwit {

void WaylandScreenGrabber::capture(const QString& display, const QRectF& source, QSize pixels,
                                   Captured captured) {
    const std::vector<Display> all = displays();
    const auto found = std::find_if(all.begin(), all.end(),
                                    [&](const Display& each) { return each.name == display; });
    if (found == all.end())
        return captured(QImage());
    capture_.capture(source.translated(found->bounds.topLeft()), pixels, std::move(captured));
}

QRectF WaylandScreenGrabber::desktop() const {
    QRectF all;
    for (const Display& display : displays())
        all |= display.bounds;
    return all;
}

} // namespace Blinkwit
