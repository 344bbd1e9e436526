#include "reader/ReaderView.h"

#include "ReaderTestKit.h"
#include "reader/CodeExpandView.h"
#include "reader/CountdownView.h"
#include "reader/EmptyStateView.h"
#include "reader/FinishedView.h"
#include "reader/FooterView.h"
#include "reader/RateOverlay.h"
#include "reader/ReaderTheme.h"
#include "reader/WordStageView.h"

#include <QPlainTextEdit>
#include <gtest/gtest.h>

namespace Blinkwit {
namespace {

using Testing::word;

class ReaderViewTest : public ::testing::Test {
protected:
    ReaderViewTest() {
        view.resize(640, 230);
        view.setAnimated(false);
    }

    Testing::ReaderRig rig;
    ReaderView view{rig.engine, rig.settings};
};

TEST(ReaderThemeTest, UnreadableAccentFallsBackToTheDefaultGreen) {
    InMemoryDefaultsStore store;
    AppSettings settings(store);
    settings.setAccentHex(QStringLiteral("green"));
    EXPECT_EQ(ReaderTheme::of(settings).accent(), QColor::fromRgbF(0.0f, 1.0f, 0.25f));
    settings.setAccentHex(QStringLiteral("#ff8000"));
    EXPECT_EQ(ReaderTheme::of(settings).accent(), QColor(255, 128, 0));
}

TEST_F(ReaderViewTest, EachPhaseShowsItsCentreView) {
    EXPECT_EQ(view.centreView(), view.wordStage()) << "idle";
    rig.engine.load({});
    EXPECT_EQ(view.centreView(), view.emptyState());
    EXPECT_TRUE(view.emptyState()->isVisibleTo(&view));
    EXPECT_FALSE(view.wordStage()->isVisibleTo(&view));
    EXPECT_EQ(view.emptyState()->texts(),
              (QStringList{QStringLiteral("Nothing to read"),
                           QStringLiteral("Select some text and press ⌃⇧R, or copy text and "
                                          "press ⌃⇧V."),
                           QStringLiteral("Esc to close")}));

    rig.engine.load({word("one"), word("two")});
    for (const int n : {3, 2, 1}) {
        EXPECT_EQ(view.centreView(), view.countdown());
        EXPECT_EQ(view.countdown()->text(), QString::number(n));
        rig.scheduler.advance(ReaderEngine::countdownStep);
    }
    EXPECT_EQ(view.centreView(), view.wordStage());
    EXPECT_TRUE(view.wordStage()->isVisibleTo(&view));
    rig.scheduler.runAll();
    EXPECT_EQ(view.centreView(), view.finished());
    EXPECT_EQ(view.finished()->texts(),
              (QStringList{QStringLiteral("Done — 2 words"),
                           QStringLiteral("Space to replay · ← to step back · Esc to close")}));
}

TEST_F(ReaderViewTest, PausedStageMovesTheWordUpAndShowsTheSentenceWithItsHint) {
    rig.loadAndStart({word("First", 0), word("sentence.", 0), word("Next", 1)});
    EXPECT_TRUE(view.wordStage()->pausedTexts().isEmpty());
    const QPointF reading = view.wordStage()->fixation();
    EXPECT_DOUBLE_EQ(reading.y(), 0.5 * view.wordStage()->height());

    rig.engine.togglePause();
    EXPECT_DOUBLE_EQ(view.wordStage()->fixation().y(), 0.42 * view.wordStage()->height());
    EXPECT_EQ(view.wordStage()->pausedTexts(),
              (QStringList{QStringLiteral("First sentence."),
                           QStringLiteral("Space to resume · ←→ sentences · ⇧←→ paragraphs")}));
}

TEST_F(ReaderViewTest, LongSentencesAreCutToTwoLines) {
    std::vector<BlinkwitCore::Token> tokens;
    for (int i = 0; i < 80; ++i)
        tokens.push_back(word("sentence" + std::to_string(i)));
    rig.loadAndStart(tokens);
    rig.engine.togglePause();
    const QStringList texts = view.wordStage()->pausedTexts();
    ASSERT_EQ(texts.size(), 3);
    EXPECT_TRUE(texts[1].endsWith(QStringLiteral("…")));
}

TEST_F(ReaderViewTest, CodeBlockHintExpansionAndCollapse) {
    const std::string code = "def f():\n    return 1\n";
    rig.loadAndStart({Testing::codeBlock(code, "python", 2), word("after")});
    EXPECT_FALSE(view.codeView()->isVisibleTo(&view));
    rig.engine.togglePause();
    EXPECT_EQ(view.wordStage()->pausedTexts().last(),
              QStringLiteral("Space to resume · Enter to expand code · ←→ sentences"));

    view.resize(640, 470);
    ASSERT_TRUE(rig.engine.toggleCodeExpansion());
    EXPECT_TRUE(view.codeView()->isVisibleTo(&view));
    EXPECT_EQ(view.codeView()->code(), QString::fromStdString(code));
    EXPECT_TRUE(view.wordStage()->pausedTexts().isEmpty()) << "the sentence is hidden";
    EXPECT_EQ(view.codeView()->height(), 230);
    EXPECT_EQ(view.codeView()->x(), 14);
    EXPECT_EQ(view.codeView()->width(), 640 - 28);
    EXPECT_EQ(view.codeView()->geometry().bottom() + 1 + 6,
              view.footer()->y() + FooterView::overhang());
    EXPECT_TRUE(view.codeView()->textView()->textInteractionFlags() & Qt::TextSelectableByMouse);

    rig.engine.collapseIfExpanded();
    EXPECT_FALSE(view.codeView()->isVisibleTo(&view));
}

TEST_F(ReaderViewTest, FooterShowsRateAndTimeLeftAndTheRateBadgeFollowsSpeedChanges) {
    EXPECT_EQ(view.footer()->remainingText(), QString()) << "nothing loaded";
    rig.loadAndStart(Testing::sentences(1, 1, 10));
    EXPECT_EQ(view.footer()->rateText(), QStringLiteral("400 WPM"));
    EXPECT_TRUE(view.footer()->remainingText().endsWith(QStringLiteral(" left")));
    EXPECT_FALSE(view.rateOverlay()->isVisibleTo(&view));

    rig.engine.changeSpeed(25);
    EXPECT_TRUE(view.rateOverlay()->isVisibleTo(&view));
    EXPECT_EQ(view.rateOverlay()->text(), QStringLiteral("425 WPM"));
    EXPECT_EQ(view.rateOverlay()->y(), 12);
    EXPECT_NEAR(view.rateOverlay()->geometry().center().x(), 320, 1);
    for (int i = 0; i < 30; ++i)
        rig.engine.changeSpeed(25);
    EXPECT_EQ(view.footer()->rateText(), QStringLiteral("1000 WPM"));
    rig.scheduler.advance(ReaderEngine::wpmOverlayDuration + 0.01);
    EXPECT_FALSE(view.rateOverlay()->isVisibleTo(&view));
}

// The colour at a point of the rendered view.
QColor pixelAt(ReaderView& view, QPoint point) {
    return Testing::render(view).pixelColor(point);
}

TEST_F(ReaderViewTest, BackgroundIsRoundedTranslucentOrOpaqueAndFollowsTheThemeAtOnce) {
    rig.engine.load({});
    const QPoint inside(320, 5);
    EXPECT_TRUE(Testing::near(pixelAt(view, inside), ReaderTheme(true, {}).tint(), 2));
    EXPECT_EQ(pixelAt(view, QPoint(0, 0)).alpha(), 0) << "rounded corner";

    rig.settings.setDarkTheme(false);
    EXPECT_TRUE(Testing::near(pixelAt(view, inside), ReaderTheme(false, {}).tint(), 2))
        << "a settings change redraws at once";

    view.setOpaqueBackground(true);
    EXPECT_EQ(pixelAt(view, QPoint(0, 0)).alpha(), 255) << "the window mask cuts the corners";
    EXPECT_TRUE(Testing::near(pixelAt(view, inside), ReaderTheme(false, {}).opaqueBackground(), 1));
}

TEST_F(ReaderViewTest, WordUsesThePrimaryColourOfTheThemeAndTheAccentForThePivot) {
    rig.settings.setAccentHex(QStringLiteral("#FF0000"));
    rig.settings.setDarkTheme(false);
    rig.loadAndStart({word("MMMMMMM")});
    const QImage image = Testing::render(view);
    int accentPixels = 0;
    int primaryPixels = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            accentPixels += Testing::near(pixel, QColor(255, 0, 0), 8);
            primaryPixels += Testing::near(pixel, QColor::fromRgbF(0.08f, 0.08f, 0.08f), 8);
        }
    EXPECT_GT(accentPixels, 50);
    EXPECT_GT(primaryPixels, 6 * accentPixels / 2);
}

} // namespace
} // namespace Blinkwit
