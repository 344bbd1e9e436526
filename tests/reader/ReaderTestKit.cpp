#include "ReaderTestKit.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>
#include <cstdlib>
#include <gtest/gtest.h>

namespace Blinkwit::Testing {

namespace {

// One application object for every test of the program.
class QtEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "reader_tests";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
    }
    void TearDown() override { delete app_; }

private:
    QApplication* app_ = nullptr;
};

[[maybe_unused]] const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace

void ReaderRig::loadAndStart(std::vector<BlinkwitCore::Token> tokens) {
    engine.load(std::move(tokens));
    scheduler.advance(3 * ReaderEngine::countdownStep + 1e-9);
}

BlinkwitCore::Token word(std::string text, std::int64_t sentence, std::int64_t paragraph) {
    BlinkwitCore::Token token;
    token.text = std::move(text);
    token.sentenceIndex = sentence;
    token.paragraphIndex = paragraph;
    return token;
}

BlinkwitCore::Token codeSpan(std::string text) {
    BlinkwitCore::Token token = word(std::move(text));
    token.kind = BlinkwitCore::TokenKind::code();
    return token;
}

BlinkwitCore::Token url(std::string host) {
    BlinkwitCore::Token token = word("⟨" + host + "⟩");
    token.kind = BlinkwitCore::TokenKind::url();
    return token;
}

BlinkwitCore::Token codeBlock(std::string code, std::string language, std::int64_t lines) {
    BlinkwitCore::Token token =
        word("⟨code: " + language + ", " + std::to_string(lines) + " lines⟩");
    token.kind = BlinkwitCore::TokenKind::codeBlock(language, lines);
    token.codeContent = std::move(code);
    return token;
}

std::vector<BlinkwitCore::Token> sentences(int paragraphs, int sentencesPerParagraph,
                                           int wordsPerSentence) {
    std::vector<BlinkwitCore::Token> tokens;
    int sentence = 0;
    for (int p = 0; p < paragraphs; ++p) {
        for (int s = 0; s < sentencesPerParagraph; ++s, ++sentence) {
            for (int w = 0; w < wordsPerSentence; ++w) {
                BlinkwitCore::Token token =
                    word("w" + std::to_string(sentence) + "_" + std::to_string(w), sentence, p);
                token.endsSentence = w + 1 == wordsPerSentence;
                tokens.push_back(token);
            }
        }
        tokens.back().paragraphBreakAfter = p + 1 < paragraphs;
    }
    return tokens;
}

QImage render(QWidget& widget, double devicePixelRatio) {
    QImage image(widget.size() * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

bool near(QColor a, QColor b, int tolerance) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance &&
           std::abs(a.alpha() - b.alpha()) <= tolerance;
}

} // namespace Blinkwit::Testing
