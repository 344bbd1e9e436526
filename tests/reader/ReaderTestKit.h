#pragma once

#include "core/Token.h"
#include "reader/ReaderEngine.h"
#include "settings/AppSettings.h"
#include "settings/InMemoryDefaultsStore.h"
#include "tests/support/ManualScheduler.h"

#include <QImage>
#include <QString>
#include <string>
#include <vector>

class QWidget;

namespace Blinkwit::Testing {

// Settings on an in-memory store and an engine on virtual time.
struct ReaderRig {
    InMemoryDefaultsStore store;
    AppSettings settings{store};
    ManualScheduler scheduler;
    ReaderEngine engine{settings, scheduler};

    // Loads tokens and runs the 3-2-1 countdown, leaving the first token on screen.
    void loadAndStart(std::vector<BlinkwitCore::Token> tokens);
};

BlinkwitCore::Token word(std::string text, std::int64_t sentence = 0, std::int64_t paragraph = 0);
BlinkwitCore::Token codeSpan(std::string text);
BlinkwitCore::Token url(std::string host);
BlinkwitCore::Token codeBlock(std::string code, std::string language, std::int64_t lines);
// "One two three. Four five." style: words numbered per sentence, sentences per paragraph.
std::vector<BlinkwitCore::Token> sentences(int paragraphs, int sentencesPerParagraph,
                                           int wordsPerSentence);

// The widget painted into an image at a device pixel ratio, transparent where it paints nothing.
QImage render(QWidget& widget, double devicePixelRatio = 1.0);
// Whether the colours match within tolerance per channel (0...255).
bool near(QColor a, QColor b, int tolerance = 3);

} // namespace Blinkwit::Testing
