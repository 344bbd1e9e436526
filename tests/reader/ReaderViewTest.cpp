#include "reader/ReaderView.h"

#include "ReaderTestKit.h"
#include "reader/CodeExpandView.h"
#include "reader/CountdownView.h"
#include "reader/EmptyStateView.h"
#include "reader/FinishedView.h"
#include "reader/FooterView.h"
#include "reader/PreparingView.h"
#include "reader/RateOverlay.h"
#include "reader/ReaderTheme.h"
#include "reader/WordStageView.h"

#include <QPlainTextEdit>
#include <gtest/gtest.h>

namespace Blinkwit {
namespace {

using Testing::word;
using Testing::words;

class ReaderViewTest : public ::testing::Test, public Testing::ReaderRig {
protected:
    ReaderViewTest() {
        view.resize(640, 230);
        view.setAnimated(false);
    }

    ReaderView view{engine, settings};
};

TEST_F(ReaderViewTest, EachPhaseShowsItsCentreView) {
    EXPECT_EQ(view.centreView(), view.wordStage()) << "idle";
    engine.prepare();
    EXPECT_EQ(view.centreView(), view.preparing());
    EXPECT_TRUE(view.preparing()->isVisibleTo(&view));
    EXPECT_EQ(view.preparing()->texts(), (QStringList{"Preparing…", "Esc to cancel"}));
    engine.load({});
    EXPECT_EQ(view.centreView(), view.emptyState());
    EXPECT_TRUE(view.emptyState()->isVisibleTo(&view));
    EXPECT_FALSE(view.wordStage()->isVisibleTo(&view));
    EXPECT_EQ(view.emptyState()->texts(),
              (QStringList{"Nothing to read",
                           "Select some text and press Ctrl+Shift+R, or copy text and press Ctrl+Shift+V.",
                           "Esc to close"}));

    engine.load(words(2));
    for (const int n : {3, 2, 1}) {
        EXPECT_EQ(view.centreView(), view.countdown());
        EXPECT_EQ(view.countdown()->text(), QString::number(n));
        scheduler.advance(ReaderEngine::countdownStep);
    }
    EXPECT_EQ(view.centreView(), view.wordStage());
    EXPECT_TRUE(view.wordStage()->isVisibleTo(&view));
    scheduler.runAll();
    EXPECT_EQ(view.centreView(), view.finished());
    EXPECT_EQ(view.finished()->texts(),
              (QStringList{"Done — 2 words", "Space to replay · ← to step back · Esc to close"}));
}

TEST_F(ReaderViewTest, PausedStageMovesTheWordUpAndShowsTheSentenceCutToTwoLines) {
    loadAndStart({word("First", 0), word("sentence.", 0), word("Next", 1)});
    EXPECT_TRUE(view.wordStage()->pausedTexts().isEmpty());
    EXPECT_DOUBLE_EQ(view.wordStage()->fixation().y(), 0.5 * view.wordStage()->height());
    engine.togglePause();
    EXPECT_DOUBLE_EQ(view.wordStage()->fixation().y(), 0.42 * view.wordStage()->height());
    EXPECT_EQ(view.wordStage()->pausedTexts(),
              (QStringList{"First sentence.", "Space to resume · ←→ sentences · Shift+←→ paragraphs"}));

    loadAndStart(words(80));
    engine.togglePause();
    const QStringList texts = view.wordStage()->pausedTexts();
    ASSERT_EQ(texts.size(), 3);
    EXPECT_TRUE(texts[1].endsWith(QStringLiteral("…")));
}

TEST_F(ReaderViewTest, CodeBlockHintExpansionAndCollapse) {
    loadAndStart({Testing::codeBlock(), word("after", 1)});
    EXPECT_FALSE(view.codeView()->isVisibleTo(&view));
    engine.togglePause();
    EXPECT_EQ(view.wordStage()->pausedTexts().last(),
              QStringLiteral("Space to resume · Enter to expand code · ←→ sentences"));

    view.resize(640, 470);
    ASSERT_TRUE(engine.toggleCodeExpansion());
    EXPECT_TRUE(view.codeView()->isVisibleTo(&view));
    EXPECT_EQ(view.codeView()->code(), QStringLiteral("let a = 1\nprint(a)\n"));
    EXPECT_TRUE(view.wordStage()->pausedTexts().isEmpty()) << "the sentence is hidden";
    EXPECT_EQ(view.codeView()->size(), QSize(640 - 28, 230));
    EXPECT_EQ(view.codeView()->x(), 14);
    EXPECT_EQ(view.codeView()->geometry().bottom() + 1 + 6,
              view.footer()->y() + FooterView::overhang());
    EXPECT_TRUE(view.codeView()->textView()->textInteractionFlags() & Qt::TextSelectableByMouse);

    engine.collapseIfExpanded();
    EXPECT_FALSE(view.codeView()->isVisibleTo(&view));
}

TEST_F(ReaderViewTest, FooterShowsRateAndTimeLeftAndTheRateBadgeFollowsSpeedChanges) {
    EXPECT_EQ(view.footer()->remainingText(), QString()) << "nothing loaded";
    loadAndStart(words(10));
    EXPECT_EQ(view.footer()->rateText(), QStringLiteral("400 WPM"));
    EXPECT_TRUE(view.footer()->remainingText().endsWith(QStringLiteral(" left")));
    EXPECT_FALSE(view.rateOverlay()->isVisibleTo(&view));

    engine.changeSpeed(25);
    EXPECT_TRUE(view.rateOverlay()->isVisibleTo(&view));
    EXPECT_EQ(view.rateOverlay()->text(), QStringLiteral("425 WPM"));
    EXPECT_EQ(view.rateOverlay()->y(), 12);
    EXPECT_NEAR(view.rateOverlay()->geometry().center().x(), 320, 1);
    EXPECT_EQ(view.footer()->rateText(), QStringLiteral("425 WPM"));
    scheduler.advance(ReaderEngine::wpmOverlayDuration + 0.01);
    EXPECT_FALSE(view.rateOverlay()->isVisibleTo(&view));
}

TEST_F(ReaderViewTest, ColoursFollowTheThemeAtOnceAndAnUnreadableAccentFallsBackToGreen) {
    engine.load({});
    const QPoint inside(320, 5);
    const auto pixelAt = [&](QPoint point) { return Testing::render(view).pixelColor(point); };
    EXPECT_TRUE(
        Testing::near(pixelAt(inside), ReaderTheme(true, {}).background(view.backdrop()), 2));
    EXPECT_EQ(pixelAt(QPoint(0, 0)).alpha(), 0) << "rounded corner";
    settings.setDarkTheme(false);
    EXPECT_TRUE(
        Testing::near(pixelAt(inside), ReaderTheme(false, {}).background(view.backdrop()), 2))
        << "a settings change redraws at once";

    settings.setAccentHex(QStringLiteral("#FF0000"));
    loadAndStart({word("MMMMMMM")});
    const QImage image = Testing::render(view);
    const int accentPixels = Testing::countNear(image, QColor(255, 0, 0), 8);
    EXPECT_GT(accentPixels, 50);
    EXPECT_GT(Testing::countNear(image, QColor::fromRgbF(0.08f, 0.08f, 0.08f), 8),
              3 * accentPixels);

    view.setBackdrop(Backdrop::opaque);
    EXPECT_EQ(pixelAt(QPoint(0, 0)).alpha(), 255) << "the window mask cuts the corners";
    EXPECT_TRUE(
        Testing::near(pixelAt(inside), ReaderTheme(false, {}).background(Backdrop::opaque), 1));

    settings.setAccentHex(QStringLiteral("green"));
    EXPECT_EQ(ReaderTheme::of(settings).accent(), QColor::fromRgbF(0.0f, 1.0f, 0.25f));
    settings.setAccentHex(QStringLiteral("#ff8000"));
    EXPECT_EQ(ReaderTheme::of(settings).accent(), QColor(255, 128, 0));
}

} // namespace
} // namespace Blinkwit
