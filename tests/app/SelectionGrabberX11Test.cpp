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

// The grabber with its real adapters, against other X clients: xclip and a Qt line edit in a
// child process. Nothing here blocks the event loop while another client may be reading a
// selection we own.
class SelectionGrabberX11Test : public testing::Test {
protected:
    void SetUp() override {
        if (!x11Available())
            GTEST_SKIP() << "needs an X server (run under scripts/with-display)";
    }

    std::optional<QString> grabAndWait() {
        bool done = false;
        std::optional<QString> result;
        grabber.grabViaClipboardSimulation([&](std::optional<QString> text) {
            result = std::move(text);
            done = true;
        });
        EXPECT_TRUE(waitFor([&] { return done; }));
        return result;
    }

    static std::optional<QString> clipboardAs(const QString& target) {
        return runTool("xclip", {"-selection", "clipboard", "-o", "-t", target});
    }

    QtScheduler scheduler;
    QtClipboard clipboard;
    XTestCopyCommandSender sender{scheduler};
    SelectionGrabber grabber{clipboard, sender, scheduler};
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
    ChildProcess owner(QStringLiteral(X11_TEST_CLIENT), {"clipboard", "old text", "<b>old</b>"});
    ASSERT_EQ(owner.firstLine(), QStringLiteral("ready"));
    ASSERT_TRUE(waitFor([&] { return clipboard.plainText() == QStringLiteral("old text"); }));
    const ClipboardSnapshot before = clipboard.snapshot();
    ChildProcess editor(QStringLiteral(X11_TEST_CLIENT), {"lineedit", "new words", "select"});
    ASSERT_EQ(editor.firstLine(), QStringLiteral("ready"));

    EXPECT_EQ(grabAndWait(), QStringLiteral("new words"));
    ASSERT_TRUE(waitFor([] { return QGuiApplication::clipboard()->ownsClipboard(); }));
    EXPECT_EQ(clipboard.snapshot(), before);

    // Another program sees the old clipboard, its formats in their old order.
    const QStringList targets =
        clipboardAs(QStringLiteral("TARGETS")).value_or(QString()).split('\n');
    const auto plain = targets.indexOf(QStringLiteral("text/plain"));
    const auto html = targets.indexOf(QStringLiteral("text/html"));
    EXPECT_TRUE(plain >= 0 && html > plain) << targets.join(' ').toStdString();
    EXPECT_EQ(clipboardAs(QStringLiteral("text/plain")), QStringLiteral("old text"));
    EXPECT_EQ(clipboardAs(QStringLiteral("text/html")), QStringLiteral("<b>old</b>"));
}

TEST_F(SelectionGrabberX11Test, TheCopyWaitsUntilTheHotKeysModifiersAreReleased) {
    ChildProcess editor(QStringLiteral(X11_TEST_CLIENT), {"lineedit", "held keys", "select"});
    ASSERT_EQ(editor.firstLine(), QStringLiteral("ready"));
    // The user still holds Ctrl+Shift of the hot key: sent now, the copy would be Ctrl+Shift+C.
    ASSERT_TRUE(runTool("xdotool", {"keydown", "ctrl+shift"}));
    bool posted = false;
    sender.postCommandC([&] { posted = true; });
    bool waited = false;
    scheduler.scheduleAfter(0.2, [&] { waited = true; });
    ASSERT_TRUE(waitFor([&] { return waited; }));
    EXPECT_FALSE(posted);

    ASSERT_TRUE(runTool("xdotool", {"keyup", "ctrl+shift"}));
    ASSERT_TRUE(waitFor([&] { return posted; }));
    EXPECT_TRUE(waitFor([&] { return clipboard.plainText() == QStringLiteral("held keys"); }));
}

TEST_F(SelectionGrabberX11Test, WithNothingSelectedTheClipboardIsLeftUntouched) {
    ChildProcess owner(QStringLiteral(X11_TEST_CLIENT), {"clipboard", "old text", "<b>old</b>"});
    ASSERT_EQ(owner.firstLine(), QStringLiteral("ready"));
    ASSERT_TRUE(waitFor([&] { return clipboard.plainText() == QStringLiteral("old text"); }));
    ChildProcess editor(QStringLiteral(X11_TEST_CLIENT), {"lineedit", "nothing selected"});
    ASSERT_EQ(editor.firstLine(), QStringLiteral("ready"));
    const long long count = clipboard.changeCount();

    EXPECT_EQ(grabAndWait(), QStringLiteral("old text"));
    // Past the moment a restore would have run.
    QtScheduler later;
    bool passed = false;
    later.scheduleAfter(SelectionGrabber::restoreDelay + 0.2, [&] { passed = true; });
    ASSERT_TRUE(waitFor([&] { return passed; }));
    EXPECT_EQ(clipboard.changeCount(), count);
    EXPECT_FALSE(QGuiApplication::clipboard()->ownsClipboard());
    EXPECT_EQ(clipboardAs(QStringLiteral("text/html")), QStringLiteral("<b>old</b>"));
}

TEST_F(SelectionGrabberX11Test, SnapshotsKeepDataFormatsButNotX11Bookkeeping) {
    ChildProcess owner(QStringLiteral(X11_TEST_CLIENT), {"clipboard", "old text", "<b>old</b>"});
    ASSERT_EQ(owner.firstLine(), QStringLiteral("ready"));
    ASSERT_TRUE(waitFor([&] { return clipboard.plainText() == QStringLiteral("old text"); }));
    const ClipboardSnapshot snapshot = clipboard.snapshot();
    QStringList formats;
    for (const auto& [format, bytes] : snapshot)
        formats << format;
    EXPECT_EQ(formats, (QStringList{"text/plain", "text/html"}));
}

TEST_F(SelectionGrabberX11Test, APictureIsSnapshottedInOneLosslessFormat) {
    ChildProcess owner(QStringLiteral(X11_TEST_CLIENT), {"image"});
    ASSERT_EQ(owner.firstLine(), QStringLiteral("ready"));
    ASSERT_TRUE(waitFor([] { return QGuiApplication::clipboard()->mimeData()->hasImage(); }));
    const ClipboardSnapshot snapshot = clipboard.snapshot();
    ASSERT_EQ(snapshot.size(), 1u);
    EXPECT_EQ(snapshot[0].first, QStringLiteral("image/png"));
    EXPECT_TRUE(QImage::fromData(snapshot[0].second, "PNG").pixelColor(1, 1) == QColor(Qt::red));
}

} // namespace
