#include "app/SelectionGrabber.h"

#include "app/Clipboard.h"
#include "app/CopyCommandSender.h"
#include "tests/support/ManualScheduler.h"

#include <gtest/gtest.h>

using namespace Blinkwit;
using Blinkwit::Testing::ManualScheduler;

namespace {

// A clipboard whose "front program" copies when the copy command arrives, if it has a
// selection.
class FakeClipboard final : public Clipboard {
public:
    long long changeCount() const override { return count; }
    ClipboardSnapshot snapshot() const override { return contents; }
    std::optional<QString> plainText() const override {
        for (const auto& [format, bytes] : contents)
            if (format == QLatin1String("text/plain"))
                return QString::fromUtf8(bytes);
        return std::nullopt;
    }
    void restore(const ClipboardSnapshot& snapshot) override {
        restores.push_back(snapshot);
        replace(snapshot);
    }
    std::optional<QString> selectedText() const override { return primary; }

    void replace(ClipboardSnapshot snapshot) {
        contents = std::move(snapshot);
        ++count;
    }

    long long count = 7;
    ClipboardSnapshot contents;
    std::vector<ClipboardSnapshot> restores;
    std::optional<QString> primary;
};

class FakeSender final : public CopyCommandSender {
public:
    explicit FakeSender(FakeClipboard& clipboard)
        : clipboard_(clipboard) {}

    void postCommandC(std::function<void()> posted) override {
        waiting.push_back(std::move(posted));
        if (!holdModifiers)
            send();
    }
    // The user lets go of the hot key: the copy goes out.
    void send() {
        for (auto& posted : std::exchange(waiting, {})) {
            ++sent;
            if (selection)
                clipboard_.replace({{"text/plain", selection->toUtf8()}});
            posted();
        }
    }

    bool holdModifiers = false;
    std::optional<QString> selection;
    std::vector<std::function<void()>> waiting;
    int sent = 0;

private:
    FakeClipboard& clipboard_;
};

class SelectionGrabberTest : public testing::Test {
protected:
    void grab() {
        grabber.grabViaClipboardSimulation([this](std::optional<QString> text) {
            results.push_back(text.value_or(QStringLiteral("<none>")));
        });
    }

    const ClipboardSnapshot old{{"text/plain", "old"}, {"text/html", "<i>old</i>"}};
    FakeClipboard clipboard;
    FakeSender sender{clipboard};
    ManualScheduler scheduler;
    SelectionGrabber grabber{clipboard, sender, scheduler};
    std::vector<QString> results;
};

TEST_F(SelectionGrabberTest, ThePrimarySelectionIsReturnedUnchangedWhenItHoldsText) {
    clipboard.primary = QStringLiteral("  hello\n");
    EXPECT_EQ(grabber.accessibilitySelectedText(), QStringLiteral("  hello\n"));
    clipboard.primary = QString();
    EXPECT_EQ(grabber.accessibilitySelectedText(), std::nullopt);
    clipboard.primary.reset();
    EXPECT_EQ(grabber.accessibilitySelectedText(), std::nullopt);
    EXPECT_EQ(clipboard.count, 7);
}

TEST_F(SelectionGrabberTest, ACopyIsReadAfterAQuarterSecondAndTheOldClipboardRestoredLater) {
    clipboard.contents = old;
    sender.selection = QStringLiteral("new");
    grab();
    EXPECT_EQ(sender.sent, 1);
    scheduler.advance(0.2499);
    EXPECT_TRUE(results.empty());
    scheduler.advance(0.0001);
    EXPECT_EQ(results, std::vector<QString>{"new"});
    scheduler.advance(0.2999);
    EXPECT_TRUE(clipboard.restores.empty());
    scheduler.advance(0.0001);
    ASSERT_EQ(clipboard.restores.size(), 1u);
    EXPECT_EQ(clipboard.restores[0], old); // Both formats, in order.
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST_F(SelectionGrabberTest, WhenNothingWasCopiedTheClipboardIsLeftAlone) {
    clipboard.contents = old;
    grab();
    scheduler.runAll();
    EXPECT_EQ(results, std::vector<QString>{"old"});
    EXPECT_TRUE(clipboard.restores.empty());
    EXPECT_EQ(clipboard.count, 7);
}

TEST_F(SelectionGrabberTest, AnEmptyClipboardKeepsTheCopiedTextAndEmptyTextReadsAsNone) {
    sender.selection = QStringLiteral("new");
    grab();
    scheduler.runAll();
    EXPECT_EQ(results, std::vector<QString>{"new"});
    EXPECT_TRUE(clipboard.restores.empty());

    sender.selection = QString();
    grab();
    scheduler.runAll();
    EXPECT_EQ(results.back(), QStringLiteral("<none>"));
}

TEST_F(SelectionGrabberTest, TheWaitStartsWhenTheCopyActuallyGoesOut) {
    clipboard.contents = old;
    sender.selection = QStringLiteral("new");
    sender.holdModifiers = true;
    grab();
    scheduler.advance(1.0);
    EXPECT_TRUE(results.empty());
    EXPECT_EQ(sender.sent, 0);
    sender.send();
    scheduler.advance(0.2499);
    EXPECT_TRUE(results.empty());
    scheduler.advance(0.0001);
    EXPECT_EQ(results, std::vector<QString>{"new"});
}

TEST_F(SelectionGrabberTest, ANewerCopyByTheUserIsNotOverwrittenByTheRestore) {
    clipboard.contents = old;
    sender.selection = QStringLiteral("new");
    grab();
    scheduler.advance(0.3);
    clipboard.replace({{"text/plain", "the user's own copy"}});
    scheduler.runAll();
    EXPECT_TRUE(clipboard.restores.empty());
    EXPECT_EQ(clipboard.plainText(), QStringLiteral("the user's own copy"));
}

TEST_F(SelectionGrabberTest, OverlappingGrabsEachKeepTheirOwnSchedule) {
    clipboard.contents = old;
    sender.selection = QStringLiteral("first");
    grab();
    scheduler.advance(0.1);
    sender.selection = QStringLiteral("second");
    grab();
    scheduler.advance(0.15);
    EXPECT_EQ(results, std::vector<QString>{"second"}); // The first read sees the later copy.
    scheduler.runAll();
    EXPECT_EQ(results, (std::vector<QString>{"second", "second"}));
    // The first grab restored the old clipboard; the second saw "first" and found the
    // clipboard changed again by that restore, so it left it alone.
    ASSERT_EQ(clipboard.restores.size(), 1u);
    EXPECT_EQ(clipboard.contents, old);
}

TEST(SelectionGrabberLifetime, GrabsInFlightEndQuietlyWithTheGrabber) {
    FakeClipboard clipboard;
    clipboard.contents = {{"text/plain", "old"}};
    FakeSender sender(clipboard);
    ManualScheduler scheduler;
    int completions = 0;
    {
        SelectionGrabber grabber(clipboard, sender, scheduler);
        sender.selection = QStringLiteral("new");
        grabber.grabViaClipboardSimulation([&](auto) { ++completions; }); // Read pending.
        sender.holdModifiers = true;
        grabber.grabViaClipboardSimulation([&](auto) { ++completions; }); // Copy pending.
    }
    sender.send();
    scheduler.runAll();
    EXPECT_EQ(completions, 0);
    EXPECT_TRUE(clipboard.restores.empty());
}

} // namespace
