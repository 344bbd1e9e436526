#include "SelectionGrabber.h"

#include "Clipboard.h"
#include "CopyCommandSender.h"
#include "platform/Timer.h"

#include <algorithm>

namespace Blinkwit {

struct SelectionGrabber::Grab {
    Grab(Scheduler& scheduler, Completion completion)
        : completion(std::move(completion))
        , timer(scheduler) {}

    long long changeCount = 0;
    long long countAfterCopy = 0;
    ClipboardSnapshot saved;
    Completion completion;
    Timer timer;
};

SelectionGrabber::SelectionGrabber(Clipboard& clipboard, CopyCommandSender& sender,
                                   Scheduler& scheduler)
    : clipboard_(clipboard)
    , sender_(sender)
    , scheduler_(scheduler) {}

SelectionGrabber::~SelectionGrabber() = default;

std::optional<QString> SelectionGrabber::accessibilitySelectedText() {
    auto text = clipboard_.selectedText();
    if (!text || text->isEmpty())
        return std::nullopt;
    return text;
}

void SelectionGrabber::grabViaClipboardSimulation(Completion completion) {
    auto grab = std::make_shared<Grab>(scheduler_, std::move(completion));
    grab->changeCount = clipboard_.changeCount();
    grab->saved = clipboard_.snapshot();
    grabs_.push_back(grab);
    postCommandC([this, weak = std::weak_ptr(grab)] {
        // Gone when the grabber was destroyed meanwhile.
        if (const auto grab = weak.lock())
            grab->timer.startAfter(readDelay, [this, grab = grab.get()] { read(grab); });
    });
}

void SelectionGrabber::postCommandC(std::function<void()> posted) {
    sender_.postCommandC(std::move(posted));
}

void SelectionGrabber::read(Grab* grab) {
    const long long count = clipboard_.changeCount();
    auto text = clipboard_.plainText();
    if (text && text->isEmpty())
        text.reset();
    const Completion completion = std::move(grab->completion);
    completion(std::move(text));
    if (count == grab->changeCount || grab->saved.empty()) {
        finish(grab);
        return;
    }
    grab->countAfterCopy = count;
    grab->timer.startAfter(restoreDelay, [this, grab] { restore(grab); });
}

void SelectionGrabber::restore(Grab* grab) {
    // Something copied after our read is the user's newer choice: keep it.
    if (clipboard_.changeCount() == grab->countAfterCopy)
        clipboard_.restore(grab->saved);
    finish(grab);
}

void SelectionGrabber::finish(Grab* grab) {
    std::erase_if(grabs_, [grab](const auto& pending) { return pending.get() == grab; });
}

} // namespace Blinkwit
