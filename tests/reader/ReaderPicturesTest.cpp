#include "ReaderTestKit.h"
#include "reader/ReaderView.h"

#include <QDir>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <functional>
#include <gtest/gtest.h>

namespace Blinkwit {
namespace {

using Testing::word;

// Renders the reader in every phase to PNG files for a person to look at:
// <build>/tests/reader/reader-pictures/<platform>/NN-name.png, each on a desktop-like backdrop.
class ReaderPicturesTest : public ::testing::Test {
protected:
    ReaderPicturesTest()
        : folder_(QStringLiteral(BLINKWIT_READER_PICTURES) + QLatin1Char('/') +
                  QGuiApplication::platformName()) {
        QDir().mkpath(folder_);
        view.setAnimated(false);
        rig.settings.setWpm(300);
    }

    void save(const QString& name, int height = 230) {
        view.resize(640, height);
        const QImage panel = Testing::render(view, 2.0);
        QImage picture(QSize(680, height + 40) * 2, QImage::Format_ARGB32_Premultiplied);
        picture.setDevicePixelRatio(2.0);
        QPainter painter(&picture);
        QLinearGradient backdrop(0, 0, 680, height + 40.0);
        backdrop.setColorAt(0, QColor(70, 110, 160));
        backdrop.setColorAt(1, QColor(200, 170, 120));
        painter.fillRect(QRectF(0, 0, 680, height + 40.0), backdrop);
        painter.drawImage(QPointF(20, 20), panel);
        painter.end();
        const QString path = folder_ + QLatin1Char('/') + name + QStringLiteral(".png");
        ASSERT_TRUE(picture.save(path)) << path.toStdString();
    }

    std::vector<BlinkwitCore::Token> text() const {
        std::vector<BlinkwitCore::Token> tokens;
        int i = 0;
        for (const char* w :
             {"The", "quick", "(brown,", "fox", "jumps", "over", "the", "lazy", "dog."})
            tokens.push_back(word(w, 0, 0)), ++i;
        tokens.push_back(Testing::codeBlock(
            "fn main() {\n    let words = read(\"notes.md\");\n    for w in words {\n"
            "        flash(w);\n    }\n}\n",
            "rust", 6));
        tokens.push_back(Testing::url("example.com"));
        tokens.push_back(Testing::codeSpan("src/reader/ORPWordView.cpp"));
        tokens.push_back(word("Incomprehensibilities", 1, 1));
        return tokens;
    }

    QString folder_;
    Testing::ReaderRig rig;
    ReaderView view{rig.engine, rig.settings};
};

TEST_F(ReaderPicturesTest, EveryPhase) {
    rig.engine.load(text());
    save(QStringLiteral("01-countdown"));
    rig.scheduler.advance(3 * ReaderEngine::countdownStep + 1e-9);
    rig.engine.seek(0.1);
    save(QStringLiteral("02-reading"));
    rig.engine.togglePause();
    save(QStringLiteral("03-paused"));
    rig.engine.seek(9.5 / 13);
    save(QStringLiteral("04-paused-on-code-block"));
    rig.engine.toggleCodeExpansion();
    save(QStringLiteral("05-code-expanded"), 470);
    rig.engine.collapseIfExpanded();
    rig.engine.seek(10.5 / 13);
    save(QStringLiteral("06-address"));
    rig.engine.seek(11.5 / 13);
    save(QStringLiteral("07-path"));
    rig.engine.seek(12.5 / 13);
    rig.engine.changeSpeed(25);
    save(QStringLiteral("08-long-word-and-rate-badge"));
    rig.scheduler.runAll();
    save(QStringLiteral("09-finished"));
    rig.engine.load({});
    save(QStringLiteral("10-empty"));
    rig.settings.setDarkTheme(false);
    rig.settings.setAccentHex(QStringLiteral("#E0457B"));
    rig.loadAndStart(text());
    rig.engine.togglePause();
    save(QStringLiteral("11-light-paused"));
    rig.scheduler.runAll();
    rig.engine.togglePause();
    rig.scheduler.runAll();
    save(QStringLiteral("12-light-finished"));
    view.setOpaqueBackground(true);
    rig.engine.load({});
    save(QStringLiteral("13-light-empty-opaque"));
}

} // namespace
} // namespace Blinkwit
