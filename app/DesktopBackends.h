#pragma once

#include "ScreenRegionServices.h"
#include "WaylandAccess.h"
#include "platform/DesktopSession.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace Blinkwit {

namespace KeyboardShortcuts {
class HotKeyBackend;
class Registry;
} // namespace KeyboardShortcuts

class Clipboard;
class DefaultsStore;
class PortalConnection;
class PortalCopyCommandSender;
class PortalGlobalShortcuts;
class PortalHotKeyBackend;
class RegionCapture;
class Scheduler;
class ScreenOCR;
class TextRecognizer;
class WaylandScreenGrabber;
class WaylandTextReader;
class WlClipboard;

// The ways to this session's desktop services, chosen once at start-up by the session type:
// X11 grabs keys and reads selections itself; a Wayland session goes through the desktop's
// portals, wl-clipboard and grim, and keeps windows on XWayland.
class DesktopBackends final : public QObject {
    Q_OBJECT
public:
    // Whether the user let Blinkwit send Ctrl+C through the desktop (Wayland; off by default).
    static constexpr const char* copyCommandKey = "waylandCopyCommand";

    // clipboard: Qt's, which on Wayland sees XWayland's selections; focusPanel shows the reader
    // panel and gives it the keyboard.
    DesktopBackends(const DesktopSession& session, DefaultsStore& store, Scheduler& scheduler,
                    Clipboard& clipboard, std::function<void()> focusPanel,
                    QObject* parent = nullptr);
    ~DesktopBackends() override;

    const DesktopSession& session() const { return session_; }
    KeyboardShortcuts::HotKeyBackend& hotKeys() const { return *hotKeys_; }
    // Reads selections in a Wayland session; none in an X11 session.
    WaylandTextReader* waylandReader() const { return reader_.get(); }
    // Captures and recognises screen regions in a Wayland session; none in an X11 session.
    std::optional<ScreenRegionServices> screenRegion() const;
    // Whether this session lets a region of the screen be captured (never prompts).
    bool allowsScreenCapture() const;

    // Asks the desktop for the hot keys of the registry's commands, with their stored keys.
    void start(KeyboardShortcuts::Registry& registry);

    // Wayland only: what works, as the permission window explains it.
    WaylandAccess access() const;
    void setCopyCommandEnabled(bool enabled);
    // Opens the desktop's own settings for our hot keys; false when it has none.
    bool configureHotKeys();

    // The session and the way chosen for each service, for the start-up line.
    QString describe() const;

signals:
    // The desktop answered about hot keys, copies or captures.
    void accessChanged();

private:
    void startWayland(DefaultsStore& store, Scheduler& scheduler, Clipboard& clipboard,
                      std::function<void()> focusPanel);
    void createCopySender();
    void chooseCapture(Scheduler& scheduler);
    PortalGlobalShortcuts* portalShortcuts() const;

    DesktopSession session_;
    DefaultsStore& store_;
    // Before everything that calls the portal, so that it goes last.
    std::unique_ptr<PortalConnection> portal_;
    std::unique_ptr<KeyboardShortcuts::HotKeyBackend> hotKeys_;
    std::unique_ptr<WlClipboard> dataControl_;
    std::unique_ptr<PortalCopyCommandSender> copy_;
    std::unique_ptr<WaylandTextReader> reader_;
    std::unique_ptr<RegionCapture> capture_;
    std::unique_ptr<WaylandScreenGrabber> screens_;
    std::unique_ptr<TextRecognizer> recognizer_;
    std::unique_ptr<ScreenOCR> ocr_;
    PortalHotKeyBackend* portalHotKeys_ = nullptr;
    bool copyOffered_ = false;
    WaylandAccess::Capture captureWay_ = WaylandAccess::Capture::none;
};

} // namespace Blinkwit
