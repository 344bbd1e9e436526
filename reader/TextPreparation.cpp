#include "TextPreparation.h"

#include "ReaderEngine.h"

#include <algorithm>

namespace Blinkwit {

using BlinkwitCore::TextPreprocessor;
using BlinkwitCore::TokenList;

TextPreparation::TextPreparation(ReaderEngine& engine, QObject* parent)
    : QObject(parent)
    , engine_(engine) {
    connect(&engine_, &ReaderEngine::phaseChanged, this, [this](Phase phase) {
        if (!phase.is(Phase::Case::preparing))
            abandon();
    });
}

TextPreparation::~TextPreparation() {
    abandon();
}

void TextPreparation::start(std::string text, TextPreprocessor::Options options) {
    abandon();
    forgetFinishedWorkers();
    if (text.size() < inPlaceBytes) {
        load(text, TextPreprocessor::tokenList(text, options));
        return;
    }
    engine_.prepare();
    waiting_ = true;
    const std::uint64_t generation = ++generation_;
    auto done = std::make_shared<std::atomic<bool>>(false);
    workers_.push_back(Worker{std::jthread([this, generation, done, text = std::move(text),
                                            options](const std::stop_token& stop) mutable {
                                  TokenList tokens =
                                      TextPreprocessor::tokenList(text, options, stop);
                                  if (!stop.stop_requested())
                                      QMetaObject::invokeMethod(
                                          this,
                                          [this, generation, text = std::move(text),
                                           tokens = std::move(tokens)]() mutable {
                                              finish(generation, text, std::move(tokens));
                                          },
                                          Qt::QueuedConnection);
                                  *done = true;
                              }),
                              done});
}

void TextPreparation::finish(std::uint64_t generation, const std::string& text, TokenList tokens) {
    forgetFinishedWorkers();
    if (!waiting_ || generation != generation_)
        return;
    waiting_ = false;
    load(text, std::move(tokens));
}

void TextPreparation::load(const std::string& text, TokenList tokens) {
    emit ready(text, !tokens.empty());
    engine_.load(std::move(tokens));
}

void TextPreparation::abandon() {
    waiting_ = false;
    for (Worker& worker : workers_)
        worker.thread.request_stop();
}

bool TextPreparation::busy() const {
    return std::any_of(workers_.begin(), workers_.end(),
                       [](const Worker& worker) { return !*worker.done; });
}

void TextPreparation::forgetFinishedWorkers() {
    std::erase_if(workers_, [](const Worker& worker) { return bool(*worker.done); });
}

} // namespace Blinkwit
