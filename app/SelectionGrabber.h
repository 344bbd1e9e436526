#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace Blinkwit {

class Clipboard;
class CopyCommandSender;
class Scheduler;

// Gets the text the user has selected in the program in front: from the primary selection,
// or by sending it the copy command and reading the clipboard, which is then put back as it
// was. Grabs in flight end quietly when the grabber is destroyed.
class SelectionGrabber {
public:
    using Completion = std::function<void(std::optional<QString>)>;

    static constexpr double readDelay = 0.25;
    static constexpr double restoreDelay = 0.3;

    SelectionGrabber(Clipboard& clipboard, CopyCommandSender& sender, Scheduler& scheduler);
    ~SelectionGrabber();
    SelectionGrabber(const SelectionGrabber&) = delete;
    SelectionGrabber& operator=(const SelectionGrabber&) = delete;

    // The selected text, unchanged, or empty when there is none.
    std::optional<QString> accessibilitySelectedText();
    // Calls completion once, readDelay after the copy command went out, with the clipboard's
    // text; restores the previous clipboard restoreDelay later when the copy replaced it.
    void grabViaClipboardSimulation(Completion completion);
    void postCommandC(std::function<void()> posted);

private:
    struct Grab;

    void read(Grab* grab);
    void restore(Grab* grab);
    void finish(Grab* grab);

    Clipboard& clipboard_;
    CopyCommandSender& sender_;
    Scheduler& scheduler_;
    std::vector<std::shared_ptr<Grab>> grabs_;
};

} // namespace Blinkwit
