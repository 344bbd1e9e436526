#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

namespace Blinkwit {

// Tells whether the window system blends translucent windows. On X11 that takes a compositing
// manager, the owner of the _NET_WM_CM_S<screen> selection; without one, transparent pixels show
// black. The watcher follows the selection's owner and reports when a compositor starts or stops.
// Other window systems always blend. It also tells whether the compositor blurs what lies behind
// windows that ask for it: KWin's blur effect announces itself with a root window property named
// like the windows' request, _KDE_NET_WM_BLUR_BEHIND_REGION.
class CompositorWatcher final : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit CompositorWatcher(QObject* parent = nullptr);
    ~CompositorWatcher() override;

    bool compositing() const { return compositing_; }
    bool blurAvailable() const { return blurAvailable_; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

signals:
    void compositingChanged(bool compositing);
    void blurAvailableChanged(bool available);

private:
    bool queryOwner() const;
    bool queryBlur() const;
    void recheck();

    bool x11_ = false;
    bool compositing_ = true;
    bool blurAvailable_ = false;
    unsigned selection_ = 0; // the _NET_WM_CM_S<screen> atom
    unsigned blur_ = 0;      // the _KDE_NET_WM_BLUR_BEHIND_REGION atom
    unsigned root_ = 0;
    int xfixesEventBase_ = -1;
};

} // namespace Blinkwit
