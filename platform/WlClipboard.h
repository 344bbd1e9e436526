#pragma once

#include "app/DataControl.h"

#include <QObject>

namespace Blinkwit {

class Scheduler;

// The data-control selections through wl-clipboard's wl-paste and wl-copy. A read has a time
// limit: where the compositor lacks data-control (GNOME), wl-paste waits for a keyboard focus
// that it never gets.
class WlClipboard final : public QObject, public DataControl {
    Q_OBJECT
public:
    static constexpr double readLimit = 1.0;

    explicit WlClipboard(Scheduler& scheduler, QObject* parent = nullptr);

    // Whether wl-paste and wl-copy are installed.
    static bool isInstalled();

    void read(Selection selection, Completion completion) override;
    void write(Selection selection, const QString& text) override;

private:
    Scheduler& scheduler_;
};

} // namespace Blinkwit
