#pragma once

#include "Clipboard.h"
#include "DataControl.h"
#include "platform/DesktopSession.h"
#include "platform/Timer.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace Blinkwit {

class CopyCommandSender;

// Reads the selection or the clipboard in a Wayland session, where a program sees other
// programs' selections only as far as the desktop allows: it tries the ways this desktop offers
// in turn, each with a time limit, and the first text found wins. Reads in flight end quietly
// when the reader is destroyed.
class WaylandTextReader {
public:
    enum class Step {
        dataControlPrimary,   // the primary selection through data-control
        primary,              // XWayland's primary selection (GNOME shares it at all times)
        copy,                 // the opted-in Ctrl+C, then the clipboard, restored afterwards
        focusedPrimary,       // XWayland's primary once our panel has focus (KWin, wlroots)
        dataControlClipboard, // the clipboard through data-control
        clipboard,            // XWayland's clipboard
        focusedClipboard,     // XWayland's clipboard once our panel has focus
    };
    using Completion = std::function<void(std::optional<QString>)>;

    struct Ways {
        Clipboard& xwayland;
        DataControl* dataControl = nullptr; // none without data-control or wl-clipboard
        CopyCommandSender* copy = nullptr;  // none unless the user opted in
        std::function<void()> focus;        // shows our panel and gives it the keyboard
        Scheduler& scheduler;
    };

    static constexpr double focusDelay = 0.15;  // for the desktop to hand over the selections
    static constexpr double readDelay = 0.25;   // from the copy to reading the clipboard
    static constexpr double restoreDelay = 0.3; // from reading to restoring the clipboard
    static constexpr double stepLimit = 3.0;

    WaylandTextReader(Ways ways, DesktopSession::Desktop desktop);
    ~WaylandTextReader();
    WaylandTextReader(const WaylandTextReader&) = delete;
    WaylandTextReader& operator=(const WaylandTextReader&) = delete;

    // Each calls completion once, later, with the first text found, or none.
    void readSelection(Completion completion);
    void readClipboard(Completion completion);
    // The opted-in copy, or none.
    void setCopy(CopyCommandSender* copy) { ways_.copy = copy; }

    // The ways to the selection and to the clipboard on a desktop; steps that need what it
    // lacks are left out.
    static std::vector<Step> selectionSteps(DesktopSession::Desktop desktop, bool dataControl,
                                            bool copy);
    static std::vector<Step> clipboardSteps(DesktopSession::Desktop desktop, bool dataControl);

private:
    struct Read;

    void read(std::vector<Step> steps, Completion completion);
    void next(Read* read);
    void run(Read* read, Step step);
    void found(Read* read, int generation, std::optional<QString> text);
    void afterFocus(Read* read, std::function<void()> then);
    void copy(Read* read);
    void sendCopy(Read* read);
    void readCopied(Read* read);
    void copied(Read* read, std::optional<QString> text);
    void restore(Read* read);
    void finish(Read* read);
    // Runs with the text only while the read is alive and still at the step that asked.
    Completion guard(Read* read);

    Ways ways_;
    DesktopSession::Desktop desktop_;
    std::vector<std::shared_ptr<Read>> reads_;
};

} // namespace Blinkwit
