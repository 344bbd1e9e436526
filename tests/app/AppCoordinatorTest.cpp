#include "app/AppCoordinator.h"

#include "FakePermissions.h"
#include "KeyboardShortcuts/Modifiers.h"
#include "KeyboardShortcuts/Registry.h"
#include "app/Clipboard.h"
#include "app/CopyCommandSender.h"
#include "app/RegionSelector.h"
#include "app/ScreenOCR.h"
#include "app/SelectionGrabber.h"
#include "platform/UnavailableHotKeyBackend.h"
#include "reader/ReaderPanel.h"
#include "reader/ReaderPanelController.h"
#include "reader/ReaderView.h"
#include "settings/HistoryStore.h"
#include "tests/app/ScreenFakes.h"
#include "tests/reader/ReaderTestKit.h"
#include "tests/support/X11Testing.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>
#include <tuple>

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
    ASSERT_EQ(history.entries().size(), 1);
    EXPECT_EQ(history.wholeText(history.entries().front()), longText().trimmed());

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

// The resident program's coordinator on fakes of the desktop: hot keys dispatched by the
// registry itself, the selection and the copy command from a fake, permissions set by the test.
class FakeSelection final : public Clipboard, public CopyCommandSender {
public:
    long long changeCount() const override { return count; }
    ClipboardSnapshot snapshot() const override { return ++snapshots, ClipboardSnapshot(); }
    std::optional<QString> plainText() const override { return clipboard; }
    void restore(const ClipboardSnapshot&) override {}
    std::optional<QString> selectedText() const override { return selection; }
    void postCommandC(std::function<void()> posted) override {
        ++copies, ++count;
        clipboard = selection;
        posted();
    }

    std::optional<QString> selection;
    std::optional<QString> clipboard;
    long long count = 0;
    mutable int snapshots = 0;
    int copies = 0;
};

class ResidentCoordinatorTest : public ::testing::Test {
protected:
    std::unique_ptr<AppCoordinator> makeCoordinator() {
        return std::make_unique<AppCoordinator>(
            rig.settings, rig.engine, controller, history,
            AppCoordinator::Desktop{shortcuts, grabber, permissions, permissions, rig.scheduler});
    }
    void hotKey(int keyCode) { shortcuts.dispatchKeyUp({keyCode, controlShift}); }
    QString lastRead() const {
        return history.entries().isEmpty() ? QString() : history.entries().front().text;
    }

    static constexpr int controlShift =
        KeyboardShortcuts::Modifier::control | KeyboardShortcuts::Modifier::shift;
    Testing::ReaderRig rig;
    HistoryStore history{rig.store};
    ReaderPanelController controller{rig.engine, rig.settings};
    UnavailableHotKeyBackend backend;
    std::ostringstream hotKeyLog;
    KeyboardShortcuts::Registry shortcuts{rig.store, backend, hotKeyLog};
    FakeSelection desktop;
    SelectionGrabber grabber{desktop, desktop, rig.scheduler};
    Testing::FakePermissions permissions;
    std::unique_ptr<AppCoordinator> coordinator = makeCoordinator();
};

TEST_F(ResidentCoordinatorTest, SetupBindsTheHotKeysAndWelcomesOnTheFirstLaunchOnly) {
    coordinator->setup();
    EXPECT_EQ(rig.store.value(AppCoordinator::hasShownWelcomeKey), QVariant(true))
        << "written before the welcome plays";
    rig.scheduler.advance(AppCoordinator::welcomeDelay - 0.01);
    EXPECT_TRUE(history.entries().isEmpty());
    rig.scheduler.advance(0.02);
    EXPECT_EQ(lastRead(), AppCoordinator::welcomeText());
    EXPECT_TRUE(controller.panel()->isVisible());

    desktop.selection = QStringLiteral("picked words");
    hotKey(15);
    EXPECT_EQ(lastRead(), QStringLiteral("picked words"));
    QGuiApplication::clipboard()->setText(QStringLiteral("copied words"));
    hotKey(9);
    EXPECT_EQ(lastRead(), QStringLiteral("copied words"));

    history.clear();
    coordinator = makeCoordinator();
    coordinator->setup();
    rig.scheduler.advance(2 * AppCoordinator::welcomeDelay);
    EXPECT_TRUE(history.entries().isEmpty()) << "the welcome plays once";
}

TEST_F(ResidentCoordinatorTest, ACopyThatIsNotInstalledIsExplainedFirstAndTheWelcomeStillPlays) {
    using Kinds = std::vector<PermissionKind>;
    for (const auto& [location, trusted, expected] :
         {std::tuple{InstallLocation::diskImage, true, Kinds{PermissionKind::installLocation}},
          {InstallLocation::translocated, false, Kinds{PermissionKind::installLocation}},
          {InstallLocation::inApplications, false, Kinds{PermissionKind::accessibility}},
          {InstallLocation::elsewhere, true, Kinds{}}}) {
        rig.store.remove(AppCoordinator::hasShownWelcomeKey);
        history.clear();
        permissions.shown.clear();
        permissions.location = location;
        permissions.trusted = trusted;
        coordinator = makeCoordinator();
        coordinator->setup();
        EXPECT_EQ(permissions.shown, expected) << int(location);
        rig.scheduler.advance(AppCoordinator::welcomeDelay + 0.01);
        EXPECT_EQ(lastRead(), AppCoordinator::welcomeText()) << int(location);
    }
}

TEST_F(ResidentCoordinatorTest, ReadSelectionPrefersTheSelectionThenCopiesAndNeedsTrust) {
    desktop.selection = QStringLiteral("selected text");
    coordinator->readSelection();
    EXPECT_EQ(lastRead(), QStringLiteral("selected text"));
    EXPECT_EQ(desktop.snapshots + desktop.copies, 0) << "the clipboard is never touched";

    // A program without a primary selection copies on Ctrl+C.
    desktop.selection = QString();
    desktop.copies = 0;
    coordinator->readSelection();
    EXPECT_EQ(desktop.copies, 1);
    desktop.clipboard = QStringLiteral("copied text");
    rig.scheduler.advance(SelectionGrabber::readDelay + 0.01);
    EXPECT_EQ(lastRead(), QStringLiteral("copied text"));

    permissions.trusted = false;
    desktop.selection = QStringLiteral("not to be read");
    coordinator->readSelection();
    permissions.location = InstallLocation::translocated;
    coordinator->readSelection();
    EXPECT_EQ(permissions.shown,
              (std::vector{PermissionKind::accessibility, PermissionKind::installLocation}));
    EXPECT_EQ(lastRead(), QStringLiteral("copied text"));
    EXPECT_EQ(desktop.copies, 1);
}

// GNOME shares the selections with XWayland; the Wayland reader finds them there, and setup
// leaves explaining to the moment the desktop has answered about hot keys.
TEST_F(ResidentCoordinatorTest, InAWaylandSessionTheCommandsReadThroughTheDesktopsWays) {
    WaylandTextReader wayland({desktop, nullptr, nullptr, nullptr, rig.scheduler},
                              DesktopSession::Desktop::gnome);
    permissions.trusted = false;
    coordinator = std::make_unique<AppCoordinator>(
        rig.settings, rig.engine, controller, history,
        AppCoordinator::Desktop{shortcuts, grabber, permissions, permissions, rig.scheduler,
                                &wayland});
    coordinator->setup();
    EXPECT_TRUE(permissions.shown.empty());

    desktop.selection = QStringLiteral("selected under Wayland");
    hotKey(15);
    EXPECT_EQ(lastRead(), QStringLiteral("selected under Wayland"));
    desktop.selection.reset();
    desktop.clipboard = QStringLiteral("copied under Wayland");
    hotKey(9);
    EXPECT_EQ(lastRead(), QStringLiteral("copied under Wayland"));
    EXPECT_EQ(desktop.copies, 0);
}

TEST_F(ResidentCoordinatorTest, WorkPendingWhenTheCoordinatorGoesAwayDoesNothing) {
    coordinator->setup();
    desktop.selection = QString();
    coordinator->readSelection();
    coordinator.reset();
    rig.scheduler.advance(2 * AppCoordinator::welcomeDelay);
    EXPECT_TRUE(history.entries().isEmpty());
}

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

class ScreenRegionTest : public ResidentCoordinatorTest {
protected:
    ScreenRegionTest() { coordinator->setScreenRegionServices({&selector, &ocr}); }

    // Lets the recognition delay pass, then waits for the reader to open.
    void recognise() {
        rig.scheduler.advance(AppCoordinator::recognitionDelay - 0.01);
        EXPECT_TRUE(screens.grabs.empty()) << "captured before the overlay left the screen";
        rig.scheduler.advance(0.02);
        EXPECT_EQ(screens.grabs.size(), 1u);
        EXPECT_TRUE(Testing::waitFor(
            [&] { return controller.panel() && controller.panel()->isVisible(); }));
    }

    FakeSelector selector;
    Testing::FakeScreens screens;
    Testing::FakeRecognizer recognizer;
    ScreenOCR ocr{screens, recognizer};
};

TEST_F(ScreenRegionTest, WithoutScreenCaptureAccessTheDesktopIsAskedAndTheUserTold) {
    permissions.screenCapture = false;
    coordinator->readScreenRegion();
    EXPECT_EQ(permissions.screenCaptureRequests, 1);
    EXPECT_EQ(permissions.shown, std::vector{PermissionKind::screenRecording});
    EXPECT_EQ(selector.begins, 0);
}

TEST_F(ScreenRegionTest, TheReaderStepsAsideAndReadsTheRegionsText) {
    coordinator->present(QStringLiteral("Something being read."));
    coordinator->readScreenRegion();
    EXPECT_FALSE(controller.panel()->isVisible());
    coordinator->readScreenRegion();
    EXPECT_EQ(selector.begins, 1) << "a second press while selecting does nothing";

    selector.finish(QRectF(20, 30, 400, 100));
    recognise();
    EXPECT_EQ(screens.grabs[0].source, QRectF(20, 30, 400, 100));
    EXPECT_EQ(rig.engine.tokens().size(), 3u);
    EXPECT_EQ(history.entries().front().text, QStringLiteral("Recognised words here."));
}

TEST_F(ScreenRegionTest, NothingRecognisedOpensTheEmptyReaderAndACancelNothingAtAll) {
    coordinator->readScreenRegion();
    selector.finish(std::nullopt);
    rig.scheduler.advance(1);
    EXPECT_TRUE(screens.grabs.empty());
    EXPECT_FALSE(controller.panel() && controller.panel()->isVisible());

    for (Recognition answer : {Recognition(std::vector<Box>()),
                               Recognition(ScreenOCRError(ScreenOCRError::Case::recognitionFailed,
                                                          QStringLiteral("x")))}) {
        screens.grabs.clear();
        controller.hide();
        recognizer.answer = answer;
        coordinator->readScreenRegion();
        selector.finish(QRectF(0, 0, 50, 50));
        recognise();
        EXPECT_TRUE(rig.engine.phase().is(Phase::Case::empty));
    }
    EXPECT_TRUE(history.entries().isEmpty());
}

TEST_F(ScreenRegionTest, ACoordinatorGoneBeforeTheDelayCapturesNothing) {
    coordinator->readScreenRegion();
    selector.finish(QRectF(0, 0, 50, 50));
    coordinator.reset();
    rig.scheduler.advance(1);
    EXPECT_TRUE(screens.grabs.empty());
}

} // namespace
} // namespace Blinkwit
