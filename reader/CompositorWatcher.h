#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

namespace Blinkwit {

// Tells whether the window system blends translucent windows. On X11 that takes a compositing
// manager, the owner of the _NET_WM_CM_S<screen> selection; without one, transparent pixels show
// black. The watcher follows the selection's owner and reports when a compositor starts or stops.
// Other window systems always blend.
class CompositorWatcher final : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit CompositorWatcher(QObject* parent = nullptr);
    ~CompositorWatcher() override;

    bool compositing() const { return compositing_; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

signals:
    void compositingChanged(bool compositing);

private:
    bool queryOwner() const;
    void recheck();

    bool x11_ = false;
    bool compositing_ = true;
    unsigned selection_ = 0; // the _NET_WM_CM_S<screen> atom
    int xfixesEventBase_ = -1;
};

} // namespace Blinkwit
