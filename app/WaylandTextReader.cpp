#include "WaylandTextReader.h"

#include "CopyCommandSender.h"

#include <algorithm>

namespace Blinkwit {

using Selection = DataControl::Selection;

struct WaylandTextReader::Read : std::enable_shared_from_this<Read> {
    Read(Scheduler& scheduler, std::vector<Step> steps, Completion completion)
        : steps(std::move(steps))
        , completion(std::move(completion))
        , limit(scheduler)
        , delay(scheduler) {}

    std::vector<Step> steps;
    std::size_t position = 0;
    int generation = 0; // which step callbacks belong to
    Completion completion;
    Timer limit;
    Timer delay;
    bool focused = false;
    bool done = false;
    bool restoring = false;
    // The clipboard before the copy.
    std::optional<QString> before;
    long long count = 0;
    ClipboardSnapshot snapshot;
};

namespace {

// The read, while it is still at the step of generation.
template <typename Read>
Read* live(const std::weak_ptr<Read>& weak, int generation) {
    const auto read = weak.lock();
    return read && !read->done && read->generation == generation ? read.get() : nullptr;
}

} // namespace

WaylandTextReader::WaylandTextReader(Ways ways, DesktopSession::Desktop desktop)
    : ways_(std::move(ways))
    , desktop_(desktop) {}

WaylandTextReader::~WaylandTextReader() = default;

std::vector<WaylandTextReader::Step>
WaylandTextReader::selectionSteps(DesktopSession::Desktop desktop, bool dataControl, bool copy) {
    using Desktop = DesktopSession::Desktop;
    // Mutter shares both selections with XWayland at all times, and has no data-control.
    if (desktop == Desktop::gnome)
        return copy ? std::vector{Step::primary, Step::copy, Step::clipboard}
                    : std::vector{Step::primary, Step::clipboard};
    // KWin and wlroots hand them to XWayland only while an X11 window has focus.
    if (!dataControl)
        return {Step::focusedPrimary, Step::focusedClipboard};
    // On a desktop we do not know, data-control may be missing: then our panel's focus helps.
    if (desktop == Desktop::other)
        return {Step::dataControlPrimary, Step::focusedPrimary, Step::focusedClipboard};
    if (copy)
        return {Step::dataControlPrimary, Step::copy, Step::dataControlClipboard};
    return {Step::dataControlPrimary, Step::dataControlClipboard};
}

std::vector<WaylandTextReader::Step>
WaylandTextReader::clipboardSteps(DesktopSession::Desktop desktop, bool dataControl) {
    using Desktop = DesktopSession::Desktop;
    if (desktop == Desktop::gnome)
        return {Step::clipboard};
    if (dataControl && desktop != Desktop::other)
        return {Step::dataControlClipboard};
    return {Step::focusedClipboard};
}

void WaylandTextReader::readSelection(Completion completion) {
    read(selectionSteps(desktop_, ways_.dataControl, ways_.copy), std::move(completion));
}

void WaylandTextReader::readClipboard(Completion completion) {
    read(clipboardSteps(desktop_, ways_.dataControl), std::move(completion));
}

void WaylandTextReader::read(std::vector<Step> steps, Completion completion) {
    auto read = std::make_shared<Read>(ways_.scheduler, std::move(steps), std::move(completion));
    reads_.push_back(read);
    next(read.get());
}

void WaylandTextReader::next(Read* read) {
    if (read->position == read->steps.size())
        return found(read, read->generation, std::nullopt);
    const Step step = read->steps[read->position++];
    ++read->generation;
    read->delay.stop();
    read->limit.startAfter(stepLimit, [this, read] { next(read); });
    run(read, step);
}

void WaylandTextReader::run(Read* read, Step step) {
    const Completion guarded = guard(read);
    switch (step) {
    case Step::dataControlPrimary:
    case Step::dataControlClipboard:
        if (!ways_.dataControl)
            return next(read);
        return ways_.dataControl->read(
            step == Step::dataControlPrimary ? Selection::primary : Selection::clipboard, guarded);
    case Step::primary:
        return guarded(ways_.xwayland.selectedText());
    case Step::clipboard:
        return guarded(ways_.xwayland.plainText());
    case Step::focusedPrimary:
        return afterFocus(read, [this, guarded] { guarded(ways_.xwayland.selectedText()); });
    case Step::focusedClipboard:
        return afterFocus(read, [this, guarded] { guarded(ways_.xwayland.plainText()); });
    case Step::copy:
        if (!ways_.copy)
            return next(read);
        return copy(read);
    }
}

WaylandTextReader::Completion WaylandTextReader::guard(Read* read) {
    return [this, weak = read->weak_from_this(),
            generation = read->generation](std::optional<QString> text) {
        if (Read* alive = live(weak, generation))
            found(alive, generation, std::move(text));
    };
}

// At the end of the steps, found runs without text.
void WaylandTextReader::found(Read* read, int generation, std::optional<QString> text) {
    if (read->done || generation != read->generation)
        return;
    const bool last = read->position == read->steps.size();
    if ((!text || text->isEmpty()) && !last)
        return next(read);
    if (text && text->isEmpty())
        text.reset();
    read->done = true;
    read->limit.stop();
    const Completion completion = std::move(read->completion);
    if (!read->restoring)
        finish(read);
    completion(std::move(text));
}

void WaylandTextReader::afterFocus(Read* read, std::function<void()> then) {
    if (read->focused)
        return then();
    read->focused = true;
    if (ways_.focus)
        ways_.focus();
    read->delay.startAfter(focusDelay, std::move(then));
}

// What the clipboard held before is kept, to be put back once the copy has been read.
void WaylandTextReader::copy(Read* read) {
    if (!ways_.dataControl) {
        read->before = ways_.xwayland.plainText();
        read->count = ways_.xwayland.changeCount();
        read->snapshot = ways_.xwayland.snapshot();
        return sendCopy(read);
    }
    ways_.dataControl->read(Selection::clipboard, [this, weak = read->weak_from_this(),
                                                   generation = read->generation](auto before) {
        if (Read* alive = live(weak, generation)) {
            alive->before = std::move(before);
            sendCopy(alive);
        }
    });
}

void WaylandTextReader::sendCopy(Read* read) {
    ways_.copy->postCommandC([this, weak = read->weak_from_this(), generation = read->generation] {
        if (Read* alive = live(weak, generation))
            alive->delay.startAfter(readDelay, [this, alive] { readCopied(alive); });
    });
}

void WaylandTextReader::readCopied(Read* read) {
    if (!ways_.dataControl) {
        const bool changed = ways_.xwayland.changeCount() != read->count;
        return copied(read, changed ? ways_.xwayland.plainText() : std::nullopt);
    }
    ways_.dataControl->read(Selection::clipboard, [this, weak = read->weak_from_this(),
                                                   generation = read->generation](auto text) {
        if (Read* alive = live(weak, generation))
            copied(alive, std::move(text));
    });
}

// A copy that left the clipboard as it was found nothing selected: the next way is tried.
void WaylandTextReader::copied(Read* read, std::optional<QString> text) {
    if (!text || text->isEmpty() || text == read->before)
        return next(read);
    read->count = ways_.xwayland.changeCount();
    if (read->before || !read->snapshot.empty()) {
        read->restoring = true;
        read->delay.startAfter(restoreDelay, [this, read] { restore(read); });
    }
    found(read, read->generation, std::move(text));
}

// Through data-control only the text comes back; XWayland's clipboard keeps every format, and
// is left alone when someone copied again meanwhile.
void WaylandTextReader::restore(Read* read) {
    if (ways_.dataControl && read->before)
        ways_.dataControl->write(Selection::clipboard, *read->before);
    else if (ways_.xwayland.changeCount() == read->count)
        ways_.xwayland.restore(read->snapshot);
    finish(read);
}

void WaylandTextReader::finish(Read* read) {
    std::erase_if(reads_, [read](const auto& pending) { return pending.get() == read; });
}

} // namespace Blinkwit
