#include "ReaderTestKit.h"
#include "app/AppCoordinator.h"
#include "reader/PanelPlacement.h"
#include "reader/ReaderPanel.h"
#include "reader/ReaderPanelController.h"
#include "reader/ReaderTheme.h"
#include "reader/ReaderView.h"
#include "settings/HistoryStore.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>

// Real X11: keys from xdotool (XTest), dragging with the pointer, the X clipboard, and the
// switch between translucent and opaque drawing as a compositing manager starts and stops.
// Runs on a display of its own (with-private-display): nothing else may take the focus or run a
// compositor meanwhile.

namespace Blinkwit {
namespace {

using Testing::word;

// Processes events until the condition holds or 10 seconds have passed.
bool waitFor(const std::function<bool()>& condition) {
    QDeadlineTimer deadline(10000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void xdotool(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral("xdotool"), args);
    ASSERT_TRUE(process.waitForFinished(10000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
}

class ReaderX11Test : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        controller.ensurePanel()->view()->setAnimated(false);
    }

    void showAt(QPoint topLeft) {
        const QPointF origin = PanelPlacement::current().coordinates().originOf(
            QRect(topLeft, QSize(PanelPlacement::width, PanelPlacement::height)));
        rig.store.setValue(QLatin1String(ReaderPanelController::originKey),
                           PanelPlacement::storedFromOrigin(origin));
        controller.show();
        ASSERT_TRUE(waitFor([&] { return controller.panel()->windowHandle()->isExposed(); }));
    }

    QImage screenAround(const QRect& area) const {
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
            .toImage();
    }

    Testing::ReaderRig rig;
    ReaderPanelController controller{rig.engine, rig.settings};
};

TEST_F(ReaderX11Test, KeysFromTheKeyboardReachThePanel) {
    rig.loadAndStart(Testing::sentences(1, 3, 3));
    showAt({200, 200});
    ASSERT_TRUE(waitFor([&] { return controller.panel()->windowHandle()->isActive(); }));
    xdotool({QStringLiteral("key"), QStringLiteral("space")});
    EXPECT_TRUE(waitFor([&] { return rig.engine.phase().is(Phase::Case::paused); }));
    xdotool({QStringLiteral("key"), QStringLiteral("Right"), QStringLiteral("shift+Up"),
             QStringLiteral("ctrl+Up")});
    EXPECT_TRUE(waitFor([&] { return rig.engine.wpm() == 450; }));
    EXPECT_EQ(rig.engine.index(), 3);
    xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
    EXPECT_TRUE(waitFor([&] { return !controller.panel()->isVisible(); }));
    EXPECT_TRUE(rig.engine.phase().is(Phase::Case::idle));
}

TEST_F(ReaderX11Test, DraggingTheBackgroundMovesThePanelAndTheNewPlaceIsRemembered) {
    rig.loadAndStart({word("drag")});
    showAt({100, 100});
    const QPoint grab = controller.panel()->mapToGlobal(QPoint(40, 30));
    xdotool({QStringLiteral("mousemove"), QString::number(grab.x()), QString::number(grab.y()),
             QStringLiteral("mousedown"), QStringLiteral("1")});
    xdotool({QStringLiteral("mousemove"), QString::number(grab.x() + 60),
             QString::number(grab.y() + 30)});
    xdotool({QStringLiteral("mousemove"), QString::number(grab.x() + 120),
             QString::number(grab.y() + 70), QStringLiteral("mouseup"), QStringLiteral("1")});
    ASSERT_TRUE(waitFor([&] { return controller.panel()->pos() == QPoint(220, 170); }))
        << controller.panel()->pos().x() << "," << controller.panel()->pos().y();
    const QPointF expected =
        PanelPlacement::current().coordinates().originOf(QRect(QPoint(220, 170), QSize(640, 230)));
    EXPECT_EQ(controller.rememberedOrigin(), expected);
    controller.hide();
    controller.show();
    EXPECT_EQ(controller.panel()->pos(), QPoint(220, 170));
}

// A plain coloured window to see through the panel's corners.
class Backdrop : public QWidget {
public:
    Backdrop() {
        setWindowFlags(Qt::FramelessWindowHint);
        setAutoFillBackground(true);
        QPalette colours = palette();
        colours.setColor(QPalette::Window, QColor(255, 0, 255));
        setPalette(colours);
        setGeometry(50, 50, 900, 500);
    }
};

TEST_F(ReaderX11Test, CornersShowWhatIsBehindWithOrWithoutACompositingManager) {
    Backdrop backdrop;
    backdrop.show();
    ASSERT_TRUE(waitFor([&] { return backdrop.windowHandle()->isExposed(); }));
    rig.engine.load({});
    showAt({150, 120});
    ReaderPanel* panel = controller.panel();
    const QRect frame = panel->geometry();
    const QColor magenta(255, 0, 255);

    ASSERT_FALSE(panel->compositing()) << "no compositing manager runs yet";
    EXPECT_FALSE(panel->mask().isEmpty());
    QImage screen;
    ASSERT_TRUE(waitFor([&] {
        screen = screenAround(frame);
        return Testing::near(screen.pixelColor(1, 1), magenta, 8);
    })) << "a black corner: "
        << screen.pixelColor(1, 1).name().toStdString();
    EXPECT_TRUE(
        Testing::near(screen.pixelColor(320, 6), ReaderTheme(true, {}).opaqueBackground(), 3));

    QProcess compositor;
    compositor.start(QStringLiteral("xcompmgr"), {QStringLiteral("-n")});
    ASSERT_TRUE(compositor.waitForStarted());
    ASSERT_TRUE(waitFor([&] { return panel->compositing(); }));
    EXPECT_TRUE(panel->mask().isEmpty());
    ASSERT_TRUE(waitFor([&] {
        screen = screenAround(frame);
        // The dark tint blended over magenta: mostly dark, with some magenta showing through.
        const QColor inside = screen.pixelColor(320, 6);
        return Testing::near(screen.pixelColor(1, 1), magenta, 8) && inside.red() > 25 &&
               inside.red() < 80 && inside.green() < 15;
    })) << screen.pixelColor(320, 6).name().toStdString();

    compositor.terminate();
    ASSERT_TRUE(compositor.waitForFinished(5000));
    ASSERT_TRUE(waitFor([&] { return !panel->compositing(); }));
    EXPECT_FALSE(panel->mask().isEmpty());
}

TEST_F(ReaderX11Test, ClipboardCommandReadsTheXClipboardOfAnotherProgram) {
    QTemporaryDir config;
    HistoryStore history(rig.store);
    AppCoordinator coordinator(rig.settings, rig.engine, controller, history);
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"),
                                          QStringLiteral("-quiet")});
    ASSERT_TRUE(xclip.waitForStarted());
    xclip.write("Words from another program.");
    xclip.closeWriteChannel();
    ASSERT_TRUE(waitFor([&] {
        return QGuiApplication::clipboard()->text() ==
               QStringLiteral("Words from another program.");
    }));
    coordinator.readClipboard();
    EXPECT_EQ(rig.engine.tokens().size(), 4u);
    EXPECT_EQ(history.entries().size(), 1);
    xclip.terminate();
    xclip.waitForFinished(5000);
}

TEST(ReadCommandX11Test, ReadsAFileInThePanelAndExitsZeroOnEscape) {
    QTemporaryDir config;
    QProcess blinkwit;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    blinkwit.setProcessEnvironment(environment);
    blinkwit.start(QStringLiteral(BLINKWIT_EXECUTABLE),
                   {QStringLiteral("read"), QStringLiteral(BLINKWIT_SAMPLE)});
    ASSERT_TRUE(blinkwit.waitForStarted());
    xdotool({QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
             QStringLiteral("--name"), QStringLiteral("^Blinkwit$")});
    xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
    ASSERT_TRUE(blinkwit.waitForFinished(10000));
    EXPECT_EQ(blinkwit.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(blinkwit.exitCode(), 0);
    EXPECT_TRUE(QFile::exists(config.filePath(QStringLiteral("blinkwit/defaults.json"))))
        << "the text went to the history and the panel's place was saved";
}

} // namespace
} // namespace Blinkwit
