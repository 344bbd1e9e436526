#pragma once

#include <QIcon>
#include <QImage>

namespace Blinkwit {

// The program's icon, a bolt in a filled circle, drawn at any size: in the tray, on windows and
// in the desktop's application menu.
class BlinkwitIcon {
public:
    BlinkwitIcon() = delete;

    static QImage image(int size);
    static QIcon icon();
};

} // namespace Blinkwit
