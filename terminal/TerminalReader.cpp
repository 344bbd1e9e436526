#include "TerminalReader.h"

#include "CodeLines.h"
#include "FrameComposer.h"
#include "FrameWriter.h"
#include "TerminalSession.h"
#include "TerminalTheme.h"
#include "reader/ReaderEngine.h"
#include "settings/AppSettings.h"

#include <algorithm>
#include <csignal>

namespace Blinkwit {

namespace {

// Shift+Left/Right scroll code sideways by this many columns.
constexpr int wideScroll = 8;

} // namespace

TerminalReader::TerminalReader(TerminalSession& session, ReaderEngine& engine,
                               AppSettings& settings, Scheduler& scheduler, ColorDepth depth)
    : session_(session)
    , engine_(engine)
    , settings_(settings)
    , depth_(depth)
    , decoder_(
          scheduler, [this](TerminalKey key) { handleKey(key); },
          [this](TerminalClick click) { handleClick(click); })
    , drawTimer_(scheduler) {
    connect(&session_, &TerminalSession::keyBytes, this, [this](const QByteArray& bytes) {
        decoder_.feed(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    });
    connect(&session_, &TerminalSession::resized, this, [this] {
        scrollCode(0, 0);
        repaint();
    });
    connect(&session_, &TerminalSession::suspendRequested, this, &TerminalReader::suspend);
    connect(&session_, &TerminalSession::terminationRequested, this,
            [this](int signal) { quit(128 + (signal == 0 ? SIGHUP : signal)); });
    connect(&engine_, &ReaderEngine::phaseChanged, this, &TerminalReader::scheduleDraw);
    connect(&engine_, &ReaderEngine::indexChanged, this, &TerminalReader::scheduleDraw);
    connect(&engine_, &ReaderEngine::wpmChanged, this, &TerminalReader::scheduleDraw);
    connect(&engine_, &ReaderEngine::wpmOverlayVisibleChanged, this, &TerminalReader::scheduleDraw);
    connect(&engine_, &ReaderEngine::tokensChanged, this, &TerminalReader::scheduleDraw);
    connect(&engine_, &ReaderEngine::expandedCodeVisibleChanged, this, [this](bool visible) {
        const BlinkwitCore::Token* token = engine_.current();
        code_.reset();
        if (visible && token && token->codeContent)
            code_ = std::make_shared<const CodeLines>(*token->codeContent);
        codeLine_ = 0;
        codeColumn_ = 0;
        scheduleDraw();
    });
    connect(&settings_, &AppSettings::changed, this, &TerminalReader::scheduleDraw);
    scheduleDraw();
}

void TerminalReader::handleKey(TerminalKey key) {
    if (quitting_)
        return;
    if (engine_.expandedCodeVisible() && handleCodeKey(key))
        return;
    switch (key) {
    case TerminalKey::up:
        engine_.changeSpeed(speedStep);
        break;
    case TerminalKey::down:
        engine_.changeSpeed(-speedStep);
        break;
    case TerminalKey::left:
        engine_.jumpSentence(-1);
        break;
    case TerminalKey::right:
        engine_.jumpSentence(1);
        break;
    case TerminalKey::shiftLeft:
        engine_.jumpParagraph(-1);
        break;
    case TerminalKey::shiftRight:
        engine_.jumpParagraph(1);
        break;
    case TerminalKey::enter:
        engine_.toggleCodeExpansion();
        break;
    case TerminalKey::space:
        engine_.togglePause();
        break;
    case TerminalKey::escape:
    case TerminalKey::quit:
        quit(0);
        break;
    case TerminalKey::interrupt:
        quit(exitInterrupted);
        break;
    case TerminalKey::suspend:
        suspend();
        break;
    case TerminalKey::repaint:
        repaint();
        break;
    case TerminalKey::pageUp:
    case TerminalKey::pageDown:
    case TerminalKey::home:
    case TerminalKey::end:
        break; // only the expanded code scrolls by pages
    }
}

// While a code block is expanded the arrows and the paging keys scroll it and Escape collapses
// it; every other key keeps its usual meaning (Enter collapses and resumes).
bool TerminalReader::handleCodeKey(TerminalKey key) {
    const int page = std::max(1, FrameComposer::codeViewport(session_.size()).rows - 1);
    const int all = code_ ? code_->count() : 0;
    switch (key) {
    case TerminalKey::pageUp:
        scrollCode(-page, 0);
        return true;
    case TerminalKey::pageDown:
        scrollCode(page, 0);
        return true;
    case TerminalKey::home:
        scrollCode(-all, -codeColumn_);
        return true;
    case TerminalKey::end:
        scrollCode(all, 0);
        return true;
    case TerminalKey::up:
        scrollCode(-1, 0);
        return true;
    case TerminalKey::down:
        scrollCode(1, 0);
        return true;
    case TerminalKey::left:
        scrollCode(0, -1);
        return true;
    case TerminalKey::right:
        scrollCode(0, 1);
        return true;
    case TerminalKey::shiftLeft:
        scrollCode(0, -wideScroll);
        return true;
    case TerminalKey::shiftRight:
        scrollCode(0, wideScroll);
        return true;
    case TerminalKey::escape:
        engine_.collapseIfExpanded();
        return true;
    default:
        return false;
    }
}

void TerminalReader::handleClick(TerminalClick click) {
    const TerminalSize size = session_.size();
    if (click.pressed) {
        seeking_ = !quitting_ && FrameComposer::onProgressBar(size, click.row);
        return;
    }
    if (!seeking_)
        return;
    seeking_ = false;
    engine_.seek(FrameComposer::progressFraction(size, click.column));
}

// Reading pauses while the program is stopped, so no words are missed or rushed afterwards.
void TerminalReader::suspend() {
    if (engine_.phase().is(Phase::Case::reading))
        engine_.togglePause();
    session_.suspend();
}

void TerminalReader::scrollCode(int lines, int columns) {
    if (!code_)
        return;
    const FrameComposer::CodeViewport view = FrameComposer::codeViewport(session_.size());
    codeLine_ = std::clamp(codeLine_ + lines, 0, std::max(0, code_->count() - view.rows));
    codeColumn_ = std::clamp(codeColumn_ + columns, 0, std::max(0, code_->widest() - view.columns));
    scheduleDraw();
}

// The whole screen written again, for when something else drew over it (Ctrl+L, a resize).
void TerminalReader::repaint() {
    shown_.reset();
    scheduleDraw();
}

void TerminalReader::quit(int status) {
    if (quitting_)
        return;
    quitting_ = true;
    drawTimer_.stop();
    engine_.dismiss();
    emit quitRequested(status);
}

void TerminalReader::scheduleDraw() {
    if (!quitting_ && !drawTimer_.isActive())
        drawTimer_.startAfter(0.0, [this] { draw(); });
}

void TerminalReader::draw() {
    const TerminalSize size = session_.size();
    Frame frame = FrameComposer::compose(ReaderSnapshot::of(engine_, code_, codeLine_, codeColumn_),
                                         size, TerminalTheme::from(settings_, depth_));
    if (shown_ && *shown_ == frame)
        return;
    session_.write(FrameWriter::render(frame, shown_ ? &*shown_ : nullptr, depth_));
    shown_ = std::move(frame);
}

} // namespace Blinkwit
