#include "app/SelectionGrabber.h"
#include "platform/QtClipboard.h"
#include "platform/QtScheduler.h"
#include "platform/XTestCopyCommandSender.h"
#include "tests/support/X11Testing.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <gtest/gtest.h>

using namespace Blinkwit;
using namespace Blinkwit::Testing;

namespace {

// The grabber with its real adapters against other X clients: xclip and Qt programs. Nothing
// here blocks the event loop while another client may be reading a selection we own.
class SelectionGrabberX11Test : public testing::Test {
protected:
    void SetUp() override {
        if (!x11Available())
            GTEST_SKIP() << "needs an X server (run under scripts/with-display)";
    }
    void start(ChildProcess& child) { ASSERT_EQ(child.firstLine(), QStringLiteral("ready")); }
    void ownOldClipboard() {
        start(owner.emplace(QStringLiteral(X11_TEST_CLIENT),
                            QStringList{"clipboard", "old text", "<b>old</b>"}));
        ASSERT_TRUE(waitFor([&] { return clipboard.plainText() == QStringLiteral("old text"); }));
    }
    std::optional<QString> grab() {
        std::optional<std::optional<QString>> result;
        grabber.grabViaClipboardSimulation([&](std::optional<QString> text) { result = text; });
        EXPECT_TRUE(waitFor([&] { return result.has_value(); }));
        return result.value_or(std::nullopt);
    }
    void pass(double seconds) {
        bool passed = false;
        scheduler.scheduleAfter(seconds, [&] { passed = true; });
        ASSERT_TRUE(waitFor([&] { return passed; }));
    }
    static std::optional<QString> clipboardAs(const QString& target) {
        return runTool("xclip", {"-selection", "clipboard", "-o", "-t", target});
    }

    QtScheduler scheduler;
    QtClipboard clipboard;
    XTestCopyCommandSender sender{scheduler};
    SelectionGrabber grabber{clipboard, sender, scheduler};
    std::optional<ChildProcess> owner;
};

TEST_F(SelectionGrabberX11Test, ThePrimarySelectionOfAnotherProgramIsReturnedUnchanged) {
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), {"-selection", "primary", "-loops", "20"});
    xclip.write("  selected\ttext \n");
    xclip.closeWriteChannel();
    EXPECT_TRUE(waitFor([&] { return grabber.accessibilitySelectedText().has_value(); }));
    EXPECT_EQ(grabber.accessibilitySelectedText(), QStringLiteral("  selected\ttext \n"));
    xclip.kill();
    waitFor([&] { return xclip.state() == QProcess::NotRunning; });
}

TEST_F(SelectionGrabberX11Test, ASelectionIsCopiedAndTheClipboardRestoredWithBothFormatsInOrder) {
    ownOldClipboard();
    const ClipboardSnapshot before = clipboard.snapshot();
    QStringList formats;
    for (const auto& entry : before)
        formats << entry.first;
    EXPECT_EQ(formats, (QStringList{"text/plain", "text/html"})); // No TARGETS, TIMESTAMP, ...
    ChildProcess editor(QStringLiteral(X11_TEST_CLIENT), {"lineedit", "new words", "select"});
    start(editor);

    EXPECT_EQ(grab(), QStringLiteral("new words"));
    ASSERT_TRUE(waitFor([] { return QGuiApplication::clipboard()->ownsClipboard(); }));
    EXPECT_EQ(clipboard.snapshot(), before);
    const QStringList targets = clipboardAs(QStringLiteral("TARGETS")).value_or("").split('\n');
    EXPECT_GT(targets.indexOf("text/html"), targets.indexOf("text/plain"));
    EXPECT_GE(targets.indexOf("text/plain"), 0);
    EXPECT_EQ(clipboardAs(QStringLiteral("text/html")), QStringLiteral("<b>old</b>"));
}

TEST_F(SelectionGrabberX11Test, WithNothingSelectedTheClipboardIsLeftUntouched) {
    ownOldClipboard();
    ChildProcess editor(QStringLiteral(X11_TEST_CLIENT), {"lineedit", "nothing selected"});
    start(editor);
    const long long count = clipboard.changeCount();
    EXPECT_EQ(grab(), QStringLiteral("old text"));
    pass(SelectionGrabber::restoreDelay + 0.2);
    EXPECT_EQ(clipboard.changeCount(), count);
    EXPECT_FALSE(QGuiApplication::clipboard()->ownsClipboard());
    EXPECT_EQ(clipboardAs(QStringLiteral("text/html")), QStringLiteral("<b>old</b>"));
}

TEST_F(SelectionGrabberX11Test, TheCopyWaitsUntilTheHotKeysModifiersAreReleased) {
    ChildProcess editor(QStringLiteral(X11_TEST_CLIENT), {"lineedit", "held keys", "select"});
    start(editor);
    // Sent while the user holds Ctrl+Shift of the hot key, the copy would be Ctrl+Shift+C.
    ASSERT_TRUE(runTool("xdotool", {"keydown", "ctrl+shift"}));
    bool posted = false;
    sender.postCommandC([&] { posted = true; });
    pass(0.2);
    EXPECT_FALSE(posted);
    ASSERT_TRUE(runTool("xdotool", {"keyup", "ctrl+shift"}));
    ASSERT_TRUE(waitFor([&] { return posted; }));
    EXPECT_TRUE(waitFor([&] { return clipboard.plainText() == QStringLiteral("held keys"); }));
}

TEST_F(SelectionGrabberX11Test, APictureIsSnapshottedInOneLosslessFormat) {
    ChildProcess picture(QStringLiteral(X11_TEST_CLIENT), {"image"});
    start(picture);
    ASSERT_TRUE(waitFor([] { return QGuiApplication::clipboard()->mimeData()->hasImage(); }));
    const ClipboardSnapshot snapshot = clipboard.snapshot();
    ASSERT_EQ(snapshot.size(), 1u);
    EXPECT_EQ(snapshot[0].first, QStringLiteral("image/png"));
    EXPECT_EQ(QImage::fromData(snapshot[0].second, "PNG").pixelColor(1, 1), QColor(Qt::red));
}

} // namespace
