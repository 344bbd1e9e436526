#include "ReaderEngine.h"

#include "SentenceWindow.h"
#include "core/TimingEngine.h"
#include "platform/Scheduler.h"
#include "settings/AppSettings.h"

#include <algorithm>
#include <cmath>

namespace Blinkwit {

using BlinkwitCore::TimingEngine;

namespace {

// Whole seconds, halves up. Durations such as 0.15 s are only approximated in binary, so a sum
// that is exactly half a second in decimal may come out a hair below it; any other total lies at
// least half a millisecond away from a half, so within a microsecond it is one.
long long roundedSeconds(double seconds) {
    constexpr double sumError = 1e-6;
    return static_cast<long long>(std::floor(seconds + 0.5 + sumError));
}

} // namespace

ReaderEngine::ReaderEngine(AppSettings& settings, Scheduler& scheduler, QObject* parent)
    : QObject(parent)
    , settings_(settings)
    , playbackTimer_(scheduler)
    , overlayTimer_(scheduler) {}

ReaderEngine::~ReaderEngine() = default;

const BlinkwitCore::Token* ReaderEngine::current() const {
    return current_ ? &*current_ : nullptr;
}

double ReaderEngine::progress() const {
    if (tokens_.empty())
        return 0.0;
    if (tokens_.size() == 1)
        return 1.0;
    return double(index_) / double(tokens_.size() - 1);
}

// Sentence numbers never decrease along the list, so a sentence is one run of equal numbers.
std::pair<std::size_t, std::size_t> ReaderEngine::currentSentence() const {
    const auto start = std::upper_bound(sentenceStarts_.begin(), sentenceStarts_.end(), index_);
    const std::size_t first = std::size_t(*std::prev(start));
    const std::size_t end = start == sentenceStarts_.end() ? tokens_.size() : std::size_t(*start);
    return {first, end};
}

QString ReaderEngine::currentSentenceText() const {
    if (!current())
        return {};
    const auto [first, end] = currentSentence();
    std::string joined;
    for (std::size_t i = first; i < end; ++i) {
        if (!joined.empty())
            joined += ' ';
        joined += tokens_.text(i);
    }
    return QString::fromStdString(joined);
}

QString ReaderEngine::sentenceContext() const {
    if (!current())
        return {};
    const auto [first, end] = currentSentence();
    return QString::fromStdString(SentenceWindow::around(tokens_, first, end, std::size_t(index_)));
}

QString ReaderEngine::remainingLabel() const {
    if (!current())
        return {};
    const long long seconds = roundedSeconds(remainingSeconds());
    return QString::asprintf("%lld:%02lld left", seconds / 60, seconds % 60);
}

// The views ask on every token change; summing the rest of a long text each time would cost
// time proportional to its length, so the sums are kept until the tokens or the rate change.
double ReaderEngine::remainingSeconds() const {
    if (remainingWpm_ != wpm_ || remaining_.size() != tokens_.size() + 1) {
        remaining_.assign(tokens_.size() + 1, 0.0);
        for (std::size_t i = tokens_.size(); i-- > 0;)
            remaining_[i] = remaining_[i + 1] + TimingEngine::duration(tokens_, i, wpm_);
        remainingWpm_ = wpm_;
    }
    return remaining_[std::size_t(index_)];
}

void ReaderEngine::prepare() {
    stopPlayback();
    setExpandedCodeVisible(false);
    setTokens({});
    emit tokensChanged();
    setPhase(Phase::preparing());
}

void ReaderEngine::setTokens(Tokens tokens) {
    emit aboutToChange();
    tokens_ = std::move(tokens);
    remaining_.clear();
    rebuildStarts();
    current_.reset();
    if (!tokens_.empty())
        current_ = tokens_[0];
    if (index_ != 0) {
        index_ = 0;
        emit indexChanged(index_);
    }
}

void ReaderEngine::load(Tokens tokens) {
    stopPlayback();
    setExpandedCodeVisible(false);
    setTokens(std::move(tokens));
    // The stored rate is not bounded (the file may have been edited by hand); the engine's is.
    setWpm(std::clamp(settings_.wpm(), minimumWpm, maximumWpm));
    emit tokensChanged();
    if (tokens_.empty()) {
        setPhase(Phase::empty());
        return;
    }
    setPhase(Phase::countdown(3));
    countdownTick(3, playbackTimer_.scheduler().now());
}

// A start wherever the number differs from the previous token's: the list's runs.
void ReaderEngine::rebuildStarts() {
    const auto starts = [](const std::vector<BlinkwitCore::TokenList::Run>& runs) {
        std::vector<int> firsts;
        firsts.reserve(runs.size());
        for (const auto& run : runs)
            firsts.push_back(int(run.first));
        return firsts;
    };
    sentenceStarts_ = starts(tokens_.sentenceRuns());
    paragraphStarts_ = starts(tokens_.paragraphRuns());
}

// Steps are chained on their intended deadlines so the first word appears exactly
// 3 × countdownStep after load, however late each step fired.
void ReaderEngine::countdownTick(int number, double stepStart) {
    playbackTimer_.startAt(stepStart + countdownStep, [this, number] {
        const double fired = playbackTimer_.deadline();
        if (number >= 2) {
            countdownTick(number - 1, fired);
            setPhase(Phase::countdown(number - 1));
            return;
        }
        if (tokens_.empty()) {
            setPhase(Phase::empty());
            return;
        }
        setPhase(Phase::reading());
        scheduleCurrentFrom(fired);
    });
}

void ReaderEngine::scheduleCurrent() {
    scheduleCurrentFrom(playbackTimer_.scheduler().now());
}

// The token's time runs from its intended onset, not from when the timer happened to fire, so
// lateness does not add up over a text. After a long stall (the onset plus the duration already
// lies in the past) it runs from now instead, so no token is skipped.
// Observers run synchronously from the setters, so by the time this runs one of them may have
// paused, dismissed or reloaded the engine; then there is nothing to schedule.
void ReaderEngine::scheduleCurrentFrom(double onset) {
    if (!phase_.is(Phase::Case::reading))
        return;
    if (!current()) {
        finish();
        return;
    }
    const double duration = TimingEngine::duration(tokens_, std::size_t(index_), wpm_);
    const double now = playbackTimer_.scheduler().now();
    const double start = onset + duration > now ? onset : now;
    playbackTimer_.startAt(start + duration, [this] { advance(); });
}

void ReaderEngine::advance() {
    if (!phase_.is(Phase::Case::reading))
        return;
    if (std::size_t(index_) + 1 < tokens_.size()) {
        setIndex(index_ + 1);
        scheduleCurrentFrom(playbackTimer_.deadline());
    } else {
        finish();
    }
}

void ReaderEngine::finish() {
    stopPlayback();
    setPhase(Phase::finished());
}

// Resuming closes an expanded code block: reading on with it open would keep the code on
// screen (and the panel tall) while the following words play.
void ReaderEngine::resume() {
    setExpandedCodeVisible(false);
    if (tokens_.empty()) {
        setPhase(Phase::empty());
        return;
    }
    setPhase(Phase::reading());
    scheduleCurrent();
}

void ReaderEngine::togglePause() {
    switch (phase_.kind()) {
    case Phase::Case::countdown:
    case Phase::Case::idle:
    case Phase::Case::empty:
    case Phase::Case::preparing:
        return;
    case Phase::Case::reading:
        stopPlayback();
        setPhase(Phase::paused());
        return;
    case Phase::Case::paused:
        resume();
        return;
    case Phase::Case::finished:
        setIndex(0);
        resume();
        return;
    }
}

void ReaderEngine::changeSpeed(int delta) {
    const auto wanted = std::int64_t(wpm_) + delta;
    setWpm(int(std::clamp<std::int64_t>(wanted, minimumWpm, maximumWpm)));
    showWpmOverlay();
    if (phase_.is(Phase::Case::reading))
        scheduleCurrent();
}

void ReaderEngine::showWpmOverlay() {
    setWpmOverlayVisible(true);
    overlayTimer_.startAfter(wpmOverlayDuration, [this] { setWpmOverlayVisible(false); });
}

void ReaderEngine::jump(const std::vector<int>& starts, int direction) {
    if (tokens_.empty() || starts.empty())
        return;
    setExpandedCodeVisible(false);
    std::size_t cur = 0;
    for (std::size_t i = starts.size(); i-- > 0;) {
        if (starts[i] <= index_) {
            cur = i;
            break;
        }
    }
    int target = index_;
    if (direction >= 0) {
        if (cur + 1 < starts.size())
            target = starts[cur + 1];
    } else {
        target = starts[cur] < index_ ? starts[cur] : starts[cur > 0 ? cur - 1 : 0];
    }
    setIndex(std::clamp(target, 0, int(tokens_.size()) - 1));
    if (phase_.is(Phase::Case::finished))
        setPhase(Phase::paused());
    if (phase_.is(Phase::Case::reading))
        scheduleCurrent();
}

void ReaderEngine::seek(double fraction) {
    if (tokens_.empty() || std::isnan(fraction))
        return;
    setExpandedCodeVisible(false);
    const double last = double(tokens_.size() - 1);
    const double scaled = std::clamp(std::trunc(fraction * double(tokens_.size())), 0.0, last);
    setIndex(int(scaled));
    if (phase_.is(Phase::Case::finished))
        setPhase(Phase::paused());
    if (phase_.is(Phase::Case::reading))
        scheduleCurrent();
}

bool ReaderEngine::toggleCodeExpansion() {
    if (expandedCodeVisible_) {
        collapse();
        return true;
    }
    const BlinkwitCore::Token* token = current();
    if (!token || !token->isCodeBlock())
        return false;
    if (phase_.is(Phase::Case::reading)) {
        stopPlayback();
        setPhase(Phase::paused());
    }
    if (!phase_.is(Phase::Case::paused))
        return false;
    setExpandedCodeVisible(true);
    return true;
}

void ReaderEngine::collapse() {
    setExpandedCodeVisible(false);
    if (phase_.is(Phase::Case::paused))
        resume();
}

bool ReaderEngine::collapseIfExpanded() {
    if (!expandedCodeVisible_)
        return false;
    collapse();
    return true;
}

void ReaderEngine::dismiss() {
    stopPlayback();
    setPhase(Phase::idle());
    setExpandedCodeVisible(false);
}

void ReaderEngine::setPhase(Phase phase) {
    if (phase == phase_)
        return;
    emit aboutToChange();
    phase_ = phase;
    emit phaseChanged(phase_);
}

void ReaderEngine::setIndex(int index) {
    if (index == index_)
        return;
    emit aboutToChange();
    index_ = index;
    current_ = tokens_[std::size_t(index_)];
    emit indexChanged(index_);
}

void ReaderEngine::setWpm(int wpm) {
    if (wpm == wpm_)
        return;
    emit aboutToChange();
    wpm_ = wpm;
    emit wpmChanged(wpm_);
}

void ReaderEngine::setWpmOverlayVisible(bool visible) {
    if (visible == wpmOverlayVisible_)
        return;
    emit aboutToChange();
    wpmOverlayVisible_ = visible;
    emit wpmOverlayVisibleChanged(visible);
}

void ReaderEngine::setExpandedCodeVisible(bool visible) {
    if (visible == expandedCodeVisible_)
        return;
    emit aboutToChange();
    expandedCodeVisible_ = visible;
    emit expandedCodeVisibleChanged(visible);
}

} // namespace Blinkwit
