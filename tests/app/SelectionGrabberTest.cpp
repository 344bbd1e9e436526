#include "app/SelectionGrabber.h"

#include "app/Clipboard.h"
#include "app/CopyCommandSender.h"
#include "tests/support/ManualScheduler.h"

#include <gtest/gtest.h>

using namespace Blinkwit;
using Blinkwit::Testing::ManualScheduler;

namespace {

using Texts = std::vector<QString>;

// The clipboard and the program in front in one: the copy command copies its selection, if any.
class FakeDesktop final : public Clipboard, public CopyCommandSender {
public:
    long long changeCount() const override { return count; }
    ClipboardSnapshot snapshot() const override { return contents; }
    std::optional<QString> plainText() const override {
        return contents.empty() ? std::nullopt : std::optional(QString(contents[0].second));
    }
    void restore(const ClipboardSnapshot& snapshot) override { replace(snapshot), ++restores; }
    std::optional<QString> selectedText() const override { return std::nullopt; }
    void postCommandC(std::function<void()> posted) override {
        waiting.push_back(std::move(posted));
        if (!modifiersHeld)
            releaseModifiers();
    }

    void replace(ClipboardSnapshot snapshot) { contents = std::move(snapshot), ++count; }
    void releaseModifiers() {
        for (auto& posted : std::exchange(waiting, {})) {
            if (selection)
                replace({{"text/plain", selection->toUtf8()}});
            posted();
        }
    }

    long long count = 7;
    int restores = 0;
    ClipboardSnapshot contents;
    std::optional<QString> selection;
    bool modifiersHeld = false;
    std::vector<std::function<void()>> waiting;
};

class SelectionGrabberTest : public testing::Test {
protected:
    void grab() {
        grabber->grabViaClipboardSimulation(
            [this](std::optional<QString> text) { results.push_back(text.value_or("<none>")); });
    }

    const ClipboardSnapshot old{{"text/plain", "old"}, {"text/html", "<i>old</i>"}};
    FakeDesktop desktop;
    ManualScheduler scheduler;
    std::unique_ptr<SelectionGrabber> grabber =
        std::make_unique<SelectionGrabber>(desktop, desktop, scheduler);
    Texts results;
};

TEST_F(SelectionGrabberTest, TheCopyIsReadAQuarterSecondAfterItWentOutAndTheOldClipboardRestored) {
    desktop.contents = old;
    desktop.selection = QStringLiteral("new");
    desktop.modifiersHeld = true;
    grab();
    scheduler.advance(1.0); // The user still holds the hot key's modifiers.
    desktop.releaseModifiers();
    scheduler.advance(0.2499);
    EXPECT_TRUE(results.empty());
    scheduler.advance(0.0001);
    EXPECT_EQ(results, Texts{"new"});
    scheduler.advance(0.2999);
    EXPECT_EQ(desktop.restores, 0);
    scheduler.advance(0.0001);
    EXPECT_EQ(desktop.contents, old); // Both formats, in order.
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST_F(SelectionGrabberTest, TheClipboardIsLeftAloneUnlessTheCopyReplacedAnOldOne) {
    desktop.contents = old;
    grab(); // Nothing selected.
    scheduler.runAll();
    desktop.contents.clear();
    desktop.selection = QStringLiteral("new");
    grab(); // Nothing to restore.
    scheduler.runAll();
    EXPECT_EQ(desktop.restores, 0);
    EXPECT_EQ(desktop.count, 8);
    desktop.selection = QString();
    grab(); // An empty copy reads as none; "new" comes back.
    scheduler.runAll();
    EXPECT_EQ(results, (Texts{"old", "new", "<none>"}));
    EXPECT_EQ(desktop.plainText(), QStringLiteral("new"));
}

TEST_F(SelectionGrabberTest, ANewerCopyByTheUserIsNotOverwrittenByTheRestore) {
    desktop.contents = old;
    desktop.selection = QStringLiteral("new");
    grab();
    scheduler.advance(0.3);
    desktop.replace({{"text/plain", "the user's own copy"}});
    scheduler.runAll();
    EXPECT_EQ(desktop.restores, 0);
    EXPECT_EQ(desktop.plainText(), QStringLiteral("the user's own copy"));
}

TEST_F(SelectionGrabberTest, GrabsInFlightEndQuietlyWithTheGrabber) {
    desktop.contents = old;
    desktop.selection = QStringLiteral("new");
    grab(); // Read pending.
    desktop.modifiersHeld = true;
    grab(); // Copy pending.
    grabber.reset();
    desktop.releaseModifiers();
    scheduler.runAll();
    EXPECT_TRUE(results.empty());
    EXPECT_EQ(desktop.restores, 0);
}

} // namespace
