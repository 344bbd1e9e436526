#include "app/AppCoordinator.h"

#include "app/RegionSelector.h"
#include "app/ScreenCaptureAccess.h"
#include "app/ScreenOCR.h"
#include "reader/ReaderPanel.h"
#include "reader/ReaderPanelController.h"
#include "reader/ReaderView.h"
#include "settings/HistoryStore.h"
#include "tests/app/ScreenFakes.h"
#include "tests/reader/ReaderTestKit.h"
#include "tests/support/X11Testing.h"

#include <QClipboard>
#include <QGuiApplication>
#include <algorithm>
#include <gtest/gtest.h>

namespace Blinkwit {
namespace {

using Mode = BlinkwitCore::TextPreprocessor::CodeBlockMode;

class AppCoordinatorTest : public ::testing::Test {
protected:
    AppCoordinatorTest() { controller.ensurePanel()->view()->setAnimated(false); }

    long codeBlocks() const {
        const auto& tokens = rig.engine.tokens();
        return std::count_if(tokens.begin(), tokens.end(),
                             [](const BlinkwitCore::Token& t) { return t.isCodeBlock(); });
    }

    Testing::ReaderRig rig;
    HistoryStore history{rig.store};
    ReaderPanelController controller{rig.engine, rig.settings};
    AppCoordinator coordinator{rig.settings, rig.engine, controller, history};
};

TEST_F(AppCoordinatorTest, PresentTokenisesRemembersTheRawTextLoadsAndShows) {
    const QString text = QStringLiteral("  Hello **world**. Second sentence.\n");
    coordinator.present(text);
    EXPECT_EQ(rig.engine.tokens().size(), 4u);
    EXPECT_EQ(rig.engine.tokens()[1].text, "world.");
    EXPECT_EQ(rig.engine.phase(), Phase::countdown(3));
    ASSERT_NE(controller.panel(), nullptr);
    EXPECT_TRUE(controller.panel()->isVisible());
    EXPECT_TRUE(controller.keyMonitorInstalled());
    ASSERT_EQ(history.entries().size(), 1);
    EXPECT_EQ(history.entries().front().text, QStringLiteral("Hello **world**. Second sentence."))
        << "the text as received (trimmed by the history), not the cleaned one";

    coordinator.present(text);
    EXPECT_EQ(history.entries().size(), 1) << "reading it again moves it to the top";
}

TEST_F(AppCoordinatorTest, NothingToReadShowsTheEmptyStateAndIsNotRemembered) {
    for (const std::optional<QString>& text :
         {std::optional<QString>(), std::optional<QString>(QString()),
          std::optional<QString>(QStringLiteral(" \n\t\n  \n")),
          std::optional<QString>(QStringLiteral("\x1b[31m\x1b[0m"))}) {
        controller.hide();
        coordinator.present(text);
        EXPECT_TRUE(rig.engine.phase().is(Phase::Case::empty));
        EXPECT_TRUE(controller.panel()->isVisible());
    }
    EXPECT_TRUE(history.entries().isEmpty());
}

TEST_F(AppCoordinatorTest, StoredCodeBlockModeChoosesWhatHappensToFencedCode) {
    for (const char* other : {"", "Skip", "read words", "bogus"})
        EXPECT_EQ(AppCoordinator::codeBlockMode(QString::fromLatin1(other)), Mode::placeholder)
            << other;
    const QString text = QStringLiteral("Before.\n\n```python\nx = 1\ny = 2\n```\n\nAfter.");
    coordinator.present(text);
    EXPECT_EQ(codeBlocks(), 1);
    EXPECT_EQ(rig.engine.tokens().size(), 3u);
    rig.settings.setCodeBlockModeRaw(QStringLiteral("skip"));
    coordinator.present(text);
    EXPECT_EQ(rig.engine.tokens().size(), 2u);
    rig.settings.setCodeBlockModeRaw(QStringLiteral("readWords"));
    coordinator.present(text);
    EXPECT_EQ(codeBlocks(), 0);
    EXPECT_GT(rig.engine.tokens().size(), 3u);
}

TEST_F(AppCoordinatorTest, ClipboardCommandReadsThePlainTextOrShowsTheEmptyState) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("Copied words here."));
    coordinator.readClipboard();
    EXPECT_EQ(rig.engine.tokens().size(), 3u);
    EXPECT_EQ(history.entries().size(), 1);

    clipboard->clear();
    coordinator.readClipboard();
    EXPECT_TRUE(rig.engine.phase().is(Phase::Case::empty));
    EXPECT_EQ(history.entries().size(), 1);
}

class FakeAccess final : public ScreenCaptureAccess {
public:
    bool granted() const override { return allowed; }
    void request() override { ++requests; }

    bool allowed = true;
    int requests = 0;
};

class FakeSelector final : public RegionSelector {
public:
    bool selecting() const override { return bool(completion); }
    void begin(Completion done) override {
        if (selecting())
            return;
        ++begins;
        completion = std::move(done);
    }
    void finish(std::optional<QRectF> rect) { std::exchange(completion, nullptr)(rect); }

    int begins = 0;
    Completion completion;
};

class ScreenRegionTest : public AppCoordinatorTest {
protected:
    ScreenRegionTest() {
        coordinator.setScreenRegionServices({&access, &selector, &ocr, &rig.scheduler});
        coordinator.setScreenCaptureDeniedHandler([this] { ++explanations; });
    }

    // Lets the recognition delay pass, then waits for the reader to open.
    void recognise() {
        rig.scheduler.advance(AppCoordinator::recognitionDelay - 0.01);
        EXPECT_TRUE(screens.grabs.empty()) << "captured before the overlay left the screen";
        rig.scheduler.advance(0.02);
        EXPECT_EQ(screens.grabs.size(), 1u);
        EXPECT_TRUE(Testing::waitFor([&] { return controller.panel()->isVisible(); }));
    }

    FakeAccess access;
    FakeSelector selector;
    Testing::FakeScreens screens;
    Testing::FakeRecognizer recognizer;
    ScreenOCR ocr{screens, recognizer};
    int explanations = 0;
};

TEST_F(ScreenRegionTest, WithoutScreenCaptureAccessTheDesktopIsAskedAndTheUserTold) {
    access.allowed = false;
    coordinator.readScreenRegion();
    EXPECT_EQ(access.requests, 1);
    EXPECT_EQ(explanations, 1);
    EXPECT_EQ(selector.begins, 0);
}

TEST_F(ScreenRegionTest, TheReaderStepsAsideAndReadsTheRegionsText) {
    coordinator.present(QStringLiteral("Something being read."));
    coordinator.readScreenRegion();
    EXPECT_FALSE(controller.panel()->isVisible());
    coordinator.readScreenRegion();
    EXPECT_EQ(selector.begins, 1) << "a second press while selecting does nothing";

    selector.finish(QRectF(20, 30, 400, 100));
    recognise();
    EXPECT_EQ(screens.grabs[0].source, QRectF(20, 30, 400, 100));
    EXPECT_EQ(rig.engine.tokens().size(), 3u);
    EXPECT_EQ(history.entries().front().text, QStringLiteral("Recognised words here."));
}

TEST_F(ScreenRegionTest, NothingRecognisedOpensTheEmptyReaderAndACancelNothingAtAll) {
    coordinator.readScreenRegion();
    selector.finish(std::nullopt);
    rig.scheduler.advance(1);
    EXPECT_TRUE(screens.grabs.empty());
    EXPECT_FALSE(controller.panel()->isVisible());

    for (Recognition answer : {Recognition(std::vector<Box>()),
                               Recognition(ScreenOCRError(ScreenOCRError::Case::recognitionFailed,
                                                          QStringLiteral("x")))}) {
        screens.grabs.clear();
        controller.hide();
        recognizer.answer = answer;
        coordinator.readScreenRegion();
        selector.finish(QRectF(0, 0, 50, 50));
        recognise();
        EXPECT_TRUE(rig.engine.phase().is(Phase::Case::empty));
    }
    EXPECT_TRUE(history.entries().isEmpty());
}

TEST_F(ScreenRegionTest, ACoordinatorGoneBeforeTheDelayCapturesNothing) {
    auto other = std::make_unique<AppCoordinator>(rig.settings, rig.engine, controller, history);
    other->setScreenRegionServices({&access, &selector, &ocr, &rig.scheduler});
    other->readScreenRegion();
    selector.finish(QRectF(0, 0, 50, 50));
    other.reset();
    rig.scheduler.advance(1);
    EXPECT_TRUE(screens.grabs.empty());
}

} // namespace
} // namespace Blinkwit
