#pragma once

#include "Phase.h"
#include "core/Token.h"
#include "core/TokenList.h"
#include "platform/Timer.h"

#include <QObject>
#include <QString>
#include <optional>
#include <vector>

namespace Blinkwit {

class AppSettings;
class Scheduler;

// Plays a list of tokens one at a time: the countdown, the per-token timer, pause, speed, jumps,
// seeks and code-block expansion. Views observe the published fields (phase, index, wpm,
// wpmOverlayVisible, expandedCodeVisible) through the signals below: aboutToChange() comes
// before any published field changes, the specific signal after the new value is in place.
class ReaderEngine final : public QObject {
    Q_OBJECT
public:
    using Tokens = BlinkwitCore::TokenList;

    static constexpr int minimumWpm = 100;
    static constexpr int maximumWpm = 1000;
    static constexpr double countdownStep = 0.2;
    static constexpr double wpmOverlayDuration = 0.9;

    ReaderEngine(AppSettings& settings, Scheduler& scheduler, QObject* parent = nullptr);
    ~ReaderEngine() override;

    // Published state.
    Phase phase() const { return phase_; }
    int index() const { return index_; }
    int wpm() const { return wpm_; }
    bool wpmOverlayVisible() const { return wpmOverlayVisible_; }
    bool expandedCodeVisible() const { return expandedCodeVisible_; }

    const Tokens& tokens() const { return tokens_; }
    const std::vector<int>& sentenceStarts() const { return sentenceStarts_; }
    const std::vector<int>& paragraphStarts() const { return paragraphStarts_; }
    AppSettings& settings() const { return settings_; }

    // Derived values, computed on each call.
    // The token at index, or null; valid until the index or the tokens change.
    const BlinkwitCore::Token* current() const;
    // 0.0 without tokens, 1.0 with one, else index / (count - 1).
    double progress() const;
    // The texts of the current token's sentence joined with single spaces; empty without one.
    QString currentSentenceText() const;
    // The part of it the pause screen shows, around the current token (see SentenceWindow);
    // bounded however long the sentence.
    QString sentenceContext() const;
    // Reading time left from the current token on, as "m:ss left"; empty without a token.
    QString remainingLabel() const;
    // True while a countdown step or a token timer is pending.
    bool playbackTimerActive() const { return playbackTimer_.isActive(); }

    // Commands from the coordinator.
    // A text is being turned into tokens: the previous ones go and nothing plays until load().
    void prepare();
    void load(Tokens tokens);
    void dismiss();

    // Commands from the panel's keys.
    void togglePause();
    void changeSpeed(int delta);
    void jump(const std::vector<int>& starts, int direction);
    void jumpSentence(int direction) { jump(sentenceStarts_, direction); }
    void jumpParagraph(int direction) { jump(paragraphStarts_, direction); }
    // Returns whether the key was handled.
    bool toggleCodeExpansion();
    // Returns whether something was expanded (and is now collapsed).
    bool collapseIfExpanded();

    // From the progress bar; fraction nominally 0...1, clamped after scaling.
    void seek(double fraction);

signals:
    void aboutToChange();
    void phaseChanged(Blinkwit::Phase phase);
    void indexChanged(int index);
    void wpmChanged(int wpm);
    void wpmOverlayVisibleChanged(bool visible);
    void expandedCodeVisibleChanged(bool visible);
    // After load() replaced the tokens and the start lists.
    void tokensChanged();

private:
    void setPhase(Phase phase);
    void setIndex(int index);
    void setWpm(int wpm);
    void setWpmOverlayVisible(bool visible);
    void setExpandedCodeVisible(bool visible);

    void rebuildStarts();
    void setTokens(Tokens tokens);
    // The sentence of the current token, as a range of positions.
    std::pair<std::size_t, std::size_t> currentSentence() const;
    double remainingSeconds() const;
    void countdownTick(int number, double stepStart);
    void scheduleCurrent();
    void scheduleCurrentFrom(double onset);
    void advance();
    void finish();
    void resume();
    void collapse();
    void showWpmOverlay();
    void stopPlayback() { playbackTimer_.stop(); }

    AppSettings& settings_;
    Phase phase_ = Phase::idle();
    int index_ = 0;
    int wpm_ = 400;
    bool wpmOverlayVisible_ = false;
    bool expandedCodeVisible_ = false;
    Tokens tokens_;
    // tokens_[index_] as a value, kept for the views that draw it on every frame.
    std::optional<BlinkwitCore::Token> current_;
    std::vector<int> sentenceStarts_;
    std::vector<int> paragraphStarts_;
    // remaining_[i]: seconds from token i to the end at remainingWpm_.
    mutable std::vector<double> remaining_;
    mutable int remainingWpm_ = -1;
    Timer playbackTimer_;
    Timer overlayTimer_;
};

} // namespace Blinkwit
