#pragma once

#include "core/TextPreprocessor.h"
#include "core/TokenList.h"

#include <QObject>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace Blinkwit {

class ReaderEngine;

// Turns a text into tokens and loads them into the engine. A long text is worked on by a worker
// thread while the engine shows that it is preparing, so the reader answers its keys and draws
// at once; the countdown starts when the tokens are in. Whatever else happens to the engine
// meanwhile (the reader is closed, another text is loaded) abandons the work: the worker is
// asked to stop and what it returns is dropped. A short text is tokenised on the spot: a
// "preparing" frame would only flicker.
class TextPreparation final : public QObject {
    Q_OBJECT
public:
    // Below this many bytes of UTF-8 the tokens are made at once (a few milliseconds).
    static constexpr std::size_t inPlaceBytes = std::size_t(128) << 10;

    explicit TextPreparation(ReaderEngine& engine, QObject* parent = nullptr);
    // Waits for the workers, which stop at their next piece of text.
    ~TextPreparation() override;

    void start(std::string text, BlinkwitCore::TextPreprocessor::Options options);
    // Whether a worker is still running, perhaps abandoned and finishing its current piece.
    bool busy() const;

signals:
    // The tokens of text are made and go into the engine next, which starts the countdown: the
    // moment for slower work with the text (the history). anyTokens: it gave something to read.
    void ready(const std::string& text, bool anyTokens);

private:
    struct Worker {
        std::jthread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };

    void finish(std::uint64_t generation, const std::string& text, BlinkwitCore::TokenList tokens);
    void load(const std::string& text, BlinkwitCore::TokenList tokens);
    void abandon();
    void forgetFinishedWorkers();

    ReaderEngine& engine_;
    std::vector<Worker> workers_;
    // Which start() the running worker serves; results of earlier ones are dropped.
    std::uint64_t generation_ = 0;
    bool waiting_ = false;
};

} // namespace Blinkwit
