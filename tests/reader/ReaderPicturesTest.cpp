#include "ReaderTestKit.h"
#include "reader/ReaderView.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <gtest/gtest.h>

namespace Blinkwit {
namespace {

using BlinkwitCore::TokenKind;
using Testing::word;

// Renders the reader in every phase to PNG files for a person to look at:
// <build>/tests/reader/reader-pictures/<platform>/NN-name.png, each on a desktop-like backdrop.
class ReaderPicturesTest : public ::testing::Test, public Testing::ReaderRig {
protected:
    ReaderPicturesTest() {
        QDir().mkpath(folder);
        view.setAnimated(false);
        view.setBackdrop(Backdrop::blurred);
        settings.setWpm(300);
    }

    void save(const char* name, int height = 230) {
        view.resize(640, height);
        QImage picture(QSize(680, height + 40) * 2, QImage::Format_ARGB32_Premultiplied);
        picture.setDevicePixelRatio(2.0);
        QPainter painter(&picture);
        QLinearGradient backdrop(0, 0, 680, height + 40.0);
        backdrop.setStops({{0, QColor(70, 110, 160)}, {1, QColor(200, 170, 120)}});
        painter.fillRect(QRectF(0, 0, 680, height + 40.0), backdrop);
        painter.drawImage(QPointF(20, 20), Testing::render(view, 2.0));
        painter.end();
        const QString path = folder + QLatin1Char('/') + QLatin1String(name) + ".png";
        ASSERT_TRUE(picture.save(path)) << path.toStdString();
    }

    static Testing::Tokens text() {
        Testing::Tokens tokens;
        for (const char* w :
             {"The", "quick", "(brown,", "fox", "jumps", "over", "the", "lazy", "dog."})
            tokens.push_back(word(w));
        tokens.push_back(Testing::codeBlock(0, 0,
                                            "fn main() {\n    let words = read(\"notes.md\");\n"
                                            "    for w in words {\n        flash(w);\n    }\n}\n",
                                            "rust"));
        tokens.push_back(word("⟨example.com⟩", 0, 0, TokenKind::url()));
        tokens.push_back(word("src/reader/ORPWordView.cpp", 0, 0, TokenKind::code()));
        tokens.push_back(word("Incomprehensibilities", 1, 1));
        return tokens;
    }

    const QString folder =
        QStringLiteral(BLINKWIT_READER_PICTURES "/") + QGuiApplication::platformName();
    ReaderView view{engine, settings};
};

TEST_F(ReaderPicturesTest, EveryPhase) {
    engine.load(text());
    save("01-countdown");
    scheduler.advance(3 * ReaderEngine::countdownStep + justPast);
    engine.seek(0.1);
    save("02-reading");
    engine.togglePause();
    save("03-paused");
    engine.seek(9.5 / 13);
    save("04-paused-on-code-block");
    engine.toggleCodeExpansion();
    save("05-code-expanded", 470);
    engine.collapseIfExpanded();
    engine.seek(10.5 / 13);
    save("06-address");
    engine.seek(11.5 / 13);
    save("07-path");
    engine.seek(12.5 / 13);
    engine.changeSpeed(25);
    save("08-long-word-and-rate-badge");
    scheduler.runAll();
    save("09-finished");
    engine.load({});
    save("10-empty");
    settings.setDarkTheme(false);
    settings.setAccentHex(QStringLiteral("#E0457B"));
    loadAndStart(text());
    engine.togglePause();
    save("11-light-paused");
    view.setBackdrop(Backdrop::sharp);
    save("12-light-paused-unblurred");
    view.setBackdrop(Backdrop::opaque);
    engine.load({});
    save("13-light-empty-opaque");
}

} // namespace
} // namespace Blinkwit
