#pragma once

#include <QIcon>
#include <QImage>

namespace Blinkwit {

// The program's icon, a bolt in a filled circle, drawn at any size: in the tray, on windows and
// in the desktop's application menu. While an update waits, the tray shows the same circle with
// a downward arrow instead.
class BlinkwitIcon {
public:
    enum class Symbol { bolt, updateWaiting };

    BlinkwitIcon() = delete;

    static QImage image(int size, Symbol symbol = Symbol::bolt);
    static QIcon icon(Symbol symbol = Symbol::bolt);
};

} // namespace Blinkwit
