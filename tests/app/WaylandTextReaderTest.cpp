#include "app/WaylandTextReader.h"

#include "app/CopyCommandSender.h"
#include "tests/support/ManualScheduler.h"

#include <gtest/gtest.h>

using namespace Blinkwit;
using Blinkwit::Testing::ManualScheduler;
using Step = WaylandTextReader::Step;
using Desktop = DesktopSession::Desktop;

namespace {

// A Wayland desktop as the reader sees it: the compositor's selections, XWayland's view of
// them (shared always on GNOME, only while an X11 window has focus on KWin), data-control
// tools that answer 10 ms later, and the program in front, which copies its selection on Ctrl+C.
class FakeWaylandDesktop final : public Clipboard, public DataControl, public CopyCommandSender {
public:
    explicit FakeWaylandDesktop(ManualScheduler& scheduler)
        : scheduler(scheduler) {}

    // XWayland's view.
    long long changeCount() const override { return shared() ? count : staleCount; }
    ClipboardSnapshot snapshot() const override {
        const auto text = plainText();
        return text ? ClipboardSnapshot{{"text/plain", text->toUtf8()}} : ClipboardSnapshot{};
    }
    std::optional<QString> plainText() const override { return shared() ? clipboard : stale; }
    void restore(const ClipboardSnapshot& snapshot) override {
        setClipboard(QString::fromUtf8(snapshot.at(0).second));
        ++restores;
    }
    std::optional<QString> selectedText() const override { return shared() ? primary : stale; }

    // data-control
    void read(Selection selection, Completion completion) override {
        ++dataControlReads;
        if (hangs)
            return;
        scheduler.scheduleAfter(0.01, [this, selection, completion] {
            completion(selection == Selection::primary ? primary : clipboard);
        });
    }
    void write(Selection, const QString& text) override {
        setClipboard(text);
        written.push_back(text);
    }

    void postCommandC(std::function<void()> posted) override {
        ++copies;
        if (appSelection)
            setClipboard(*appSelection);
        posted();
    }

    void setClipboard(const QString& text) { clipboard = text, ++count; }
    bool shared() const { return sharesAlways || focused; }

    ManualScheduler& scheduler;
    std::optional<QString> primary, clipboard, appSelection;
    std::optional<QString> stale = QStringLiteral("stale");
    long long count = 1, staleCount = 0;
    bool sharesAlways = false, focused = false, hangs = false;
    int dataControlReads = 0, copies = 0, restores = 0;
    std::vector<QString> written;
};

class WaylandTextReaderTest : public testing::Test {
protected:
    std::unique_ptr<WaylandTextReader> reader(Desktop kind, bool dataControl, bool copy) {
        return std::make_unique<WaylandTextReader>(
            WaylandTextReader::Ways{desktop, dataControl ? &desktop : nullptr,
                                    copy ? &desktop : nullptr, [this] { desktop.focused = true; },
                                    scheduler},
            kind);
    }
    WaylandTextReader::Completion note() {
        return [this](std::optional<QString> text) { results.push_back(text.value_or("-")); };
    }

    ManualScheduler scheduler;
    FakeWaylandDesktop desktop{scheduler};
    std::vector<QString> results;
};

TEST_F(WaylandTextReaderTest, KdeReadsThroughDataControlAndCopiesOnlyWhenNothingIsSelected) {
    const auto reader = this->reader(Desktop::kde, true, true);
    desktop.primary = QStringLiteral("selected");
    desktop.clipboard = QStringLiteral("old");
    reader->readSelection(note());
    scheduler.runAll();
    EXPECT_EQ(results, std::vector<QString>{"selected"});
    EXPECT_EQ(desktop.copies, 0);
    EXPECT_FALSE(desktop.focused);

    // The opted-in copy reads what the program copied, then puts the user's text back.
    desktop.primary.reset();
    desktop.appSelection = QStringLiteral("copied");
    reader->readSelection(note());
    scheduler.advance(0.03 + WaylandTextReader::readDelay);
    EXPECT_EQ(results.back(), "copied");
    EXPECT_EQ(desktop.clipboard, "copied");
    scheduler.advance(WaylandTextReader::restoreDelay);
    EXPECT_EQ(desktop.written, std::vector<QString>{"old"});
    EXPECT_EQ(desktop.clipboard, "old");

    // A copy that changes nothing falls back to the clipboard as it is.
    desktop.appSelection.reset();
    reader->readSelection(note());
    scheduler.runAll();
    EXPECT_EQ(results.back(), "old");
    EXPECT_EQ(desktop.written.size(), 1u);
}

TEST_F(WaylandTextReaderTest, GnomeReadsXWaylandsSharedSelectionsWithoutTakingFocus) {
    desktop.sharesAlways = true;
    const auto reader = this->reader(Desktop::gnome, false, true);
    desktop.primary = QStringLiteral("selected");
    reader->readSelection(note());
    EXPECT_EQ(results, std::vector<QString>{"selected"});

    desktop.primary.reset();
    desktop.clipboard = QStringLiteral("old");
    desktop.appSelection = QStringLiteral("copied");
    reader->readSelection(note());
    scheduler.runAll();
    EXPECT_EQ(results.back(), "copied");
    EXPECT_EQ(desktop.restores, 1);
    EXPECT_EQ(desktop.clipboard, "old");
    EXPECT_FALSE(desktop.focused);
    EXPECT_EQ(desktop.dataControlReads, 0);
}

// KWin and wlroots show XWayland a stale selection until an X11 window has focus.
TEST_F(WaylandTextReaderTest, WithoutDataControlTheSelectionIsReadOnceThePanelHasFocus) {
    const auto kwin = reader(Desktop::kde, false, false);
    desktop.primary = QStringLiteral("selected");
    kwin->readSelection(note());
    EXPECT_TRUE(desktop.focused);
    scheduler.advance(WaylandTextReader::focusDelay * 0.9);
    EXPECT_TRUE(results.empty());
    scheduler.advance(WaylandTextReader::focusDelay * 0.2);
    EXPECT_EQ(results, std::vector<QString>{"selected"});

    desktop.primary.reset();
    desktop.clipboard = QStringLiteral("copied earlier");
    const auto sway = reader(Desktop::wlroots, false, false);
    sway->readClipboard(note());
    scheduler.runAll();
    EXPECT_EQ(results.back(), "copied earlier");
}

// wl-paste waits for a focus it never gets where data-control is missing.
TEST_F(WaylandTextReaderTest, AStepThatNeverAnswersEndsAtItsLimitAndTheNextOneRuns) {
    desktop.hangs = true;
    desktop.primary = QStringLiteral("selected");
    const auto unknown = reader(Desktop::other, true, false);
    unknown->readSelection(note());
    scheduler.advance(WaylandTextReader::stepLimit - 0.01);
    EXPECT_FALSE(desktop.focused);
    scheduler.advance(0.02 + WaylandTextReader::focusDelay);
    EXPECT_EQ(results, std::vector<QString>{"selected"});
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST_F(WaylandTextReaderTest, NothingAnywhereGivesNoTextAndADestroyedReaderCallsNothing) {
    desktop.stale.reset();
    auto sway = reader(Desktop::wlroots, true, true);
    sway->readSelection(note());
    scheduler.runAll();
    EXPECT_EQ(results, std::vector<QString>{"-"});

    desktop.hangs = true;
    sway->readSelection(note());
    sway.reset();
    scheduler.runAll();
    EXPECT_EQ(results.size(), 1u);
}

TEST(WaylandTextReaderSteps, EachDesktopGetsTheWaysItAllows) {
    using Steps = std::vector<Step>;
    EXPECT_EQ(WaylandTextReader::selectionSteps(Desktop::gnome, false, false),
              (Steps{Step::primary, Step::clipboard}));
    EXPECT_EQ(WaylandTextReader::selectionSteps(Desktop::kde, true, true),
              (Steps{Step::dataControlPrimary, Step::copy, Step::dataControlClipboard}));
    EXPECT_EQ(WaylandTextReader::selectionSteps(Desktop::hyprland, false, true),
              (Steps{Step::focusedPrimary, Step::focusedClipboard}));
    EXPECT_EQ(WaylandTextReader::selectionSteps(Desktop::other, true, false),
              (Steps{Step::dataControlPrimary, Step::focusedPrimary, Step::focusedClipboard}));
    EXPECT_EQ(WaylandTextReader::clipboardSteps(Desktop::gnome, false), Steps{Step::clipboard});
    EXPECT_EQ(WaylandTextReader::clipboardSteps(Desktop::kde, true),
              Steps{Step::dataControlClipboard});
}

} // namespace
