#pragma once

#include "settings/ActivationPolicyHook.h"

#include <QObject>

class QWidget;

namespace Blinkwit {

// The activation policy on this desktop: a regular application's windows, the reader panel
// included, are listed in task bars and window switchers; an accessory's skip them, leaving
// only the tray icon. Applies to the windows on screen and to every window shown later.
class TaskbarPolicy final : public QObject, public ActivationPolicyHook {
    Q_OBJECT
public:
    explicit TaskbarPolicy(QObject* parent = nullptr);
    ~TaskbarPolicy() override;

    void setActivationPolicy(ActivationPolicy policy) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply(QWidget& window) const;

    ActivationPolicy policy_ = ActivationPolicy::regular;
};

} // namespace Blinkwit
