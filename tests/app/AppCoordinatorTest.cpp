#include "app/AppCoordinator.h"

#include "reader/ReaderPanel.h"
#include "reader/ReaderPanelController.h"
#include "reader/ReaderView.h"
#include "settings/HistoryStore.h"
#include "tests/reader/ReaderTestKit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
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

// Long enough to be tokenised by a worker; its result arrives through the event loop at the
// earliest.
QString longText() {
    return QStringLiteral("Some words to read in a long text.\n\n")
        .repeated(int(TextPreparation::inPlaceBytes / 30));
}

TEST_F(AppCoordinatorTest, ALongTextIsPreparedAwayFromTheInterfaceAndRememberedOnceLoaded) {
    coordinator.present(longText());
    EXPECT_EQ(rig.engine.phase(), Phase::preparing());
    EXPECT_TRUE(controller.panel()->isVisible());
    EXPECT_TRUE(history.entries().isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.engine.phase().is(Phase::Case::preparing); }));
    EXPECT_EQ(rig.engine.phase(), Phase::countdown(3));
    EXPECT_EQ(rig.engine.tokens().size(), std::size_t(TextPreparation::inPlaceBytes / 30) * 8);
    EXPECT_EQ(history.entries().size(), 1);

    // Closed while preparing: the worker's tokens are dropped and the reader stays closed.
    coordinator.present(longText() + QStringLiteral("Closed."));
    controller.hide();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !coordinator.preparing(); }));
    QTest::qWait(50);
    EXPECT_EQ(rig.engine.phase(), Phase::idle());
    // Another text while one is prepared wins.
    coordinator.present(longText() + QStringLiteral("Replaced."));
    coordinator.present(QStringLiteral("Short text."));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !coordinator.preparing(); }));
    QTest::qWait(50);
    EXPECT_EQ(rig.engine.tokens().size(), 2u);
    EXPECT_EQ(history.entries().size(), 2);
    EXPECT_EQ(history.entries().front().text, QStringLiteral("Short text."));

    // Read, but too long to keep in the settings file.
    coordinator.present(QString(AppCoordinator::longestRemembered, QLatin1Char('x')) + " end.");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.engine.phase().is(Phase::Case::preparing); }));
    EXPECT_EQ(rig.engine.tokens().size(), 2u);
    EXPECT_EQ(history.entries().size(), 2);
}

TEST_F(AppCoordinatorTest, APreparationEndedWithItsOwnerLoadsNothingLater) {
    auto preparation = std::make_unique<TextPreparation>(rig.engine);
    preparation->start(longText().toStdString(), {});
    EXPECT_TRUE(preparation->busy());
    preparation.reset(); // waits for the worker, which stops at its next piece
    QTest::qWait(50);
    EXPECT_EQ(rig.engine.phase(), Phase::preparing());
    EXPECT_TRUE(rig.engine.tokens().empty());
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

} // namespace
} // namespace Blinkwit
