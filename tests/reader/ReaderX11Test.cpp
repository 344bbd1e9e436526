#include "ReaderTestKit.h"
#include "reader/FooterView.h"
#include "reader/PanelPlacement.h"
#include "reader/ReaderPanel.h"
#include "reader/ReaderPanelController.h"
#include "reader/ReaderTheme.h"
#include "reader/ReaderView.h"
#include "reader/SeekableProgressBar.h"
#include "reader/WordStageView.h"
#include "tests/support/X11Testing.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <utility>

// Real X11: keys and clicks from xdotool (XTest), dragging with the pointer with and without a
// window manager, the pivot letter as it lands on the screen, and the panel's background as a
// compositing manager starts and stops. Runs on a display of its own (with-private-display):
// nothing else may take the focus or run a compositor or window manager meanwhile.

inline void PrintTo(const QPoint& point, std::ostream* out) {
    *out << '(' << point.x() << ", " << point.y() << ')';
}

namespace Blinkwit {
namespace {

using Testing::word;

bool waitFor(const std::function<bool()>& condition) {
    return Testing::waitFor(condition, 10000);
}

QImage grabScreen(const QRect& area) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage();
}

// Runs xdotool with the space-separated arguments.
void xdotool(const QString& args) {
    ASSERT_TRUE(Testing::runTool(QStringLiteral("xdotool"), args.split(QLatin1Char(' '))))
        << args.toStdString();
}

// Starts Openbox and waits until it has started up and manages the screen.
void startWindowManager(QProcess& openbox) {
    openbox.start(QStringLiteral("openbox"), {"--startup", "echo ready"});
    EXPECT_TRUE(waitFor([&] { return openbox.readAllStandardOutput().contains("ready"); }));
}

// The position of a top-level window as xdotool reports it.
QPoint windowPosition(const QString& id) {
    const QString shell =
        Testing::runTool(QStringLiteral("xdotool"), {"getwindowgeometry", "--shell", id})
            .value_or(QString());
    const auto value = [&](const QString& key) {
        return QRegularExpression(key + QStringLiteral("=(\\d+)")).match(shell).captured(1).toInt();
    };
    return {value(QStringLiteral("X")), value(QStringLiteral("Y"))};
}

// Relative luminance and contrast ratio as the web's accessibility guidelines define them.
double luminance(const QColor& colour) {
    const auto linear = [](double v) {
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

double contrast(double luminanceA, double luminanceB) {
    return (std::max(luminanceA, luminanceB) + 0.05) / (std::min(luminanceA, luminanceB) + 0.05);
}

class ReaderX11Test : public ::testing::Test, public Testing::ReaderRig {
protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        controller.ensurePanel()->view()->setAnimated(false);
    }

    void showAt(QPoint topLeft) {
        const QPointF origin = PanelPlacement::current().coordinates().originOf(
            QRect(topLeft, QSize(PanelPlacement::width, PanelPlacement::height)));
        store.setValue(QLatin1String(ReaderPanelController::originKey),
                       PanelPlacement::storedFromOrigin(origin));
        controller.show();
        ASSERT_TRUE(waitFor([&] { return controller.panel()->windowHandle()->isExposed(); }));
    }

    // The panel's pixels once drawn and composited: two grabs a little apart agree.
    QImage settledPanel() {
        controller.panel()->repaint();
        QImage previous;
        QImage current = grabScreen(controller.panel()->geometry());
        for (int attempt = 0; attempt < 50 && previous != current; ++attempt) {
            Testing::waitFor([] { return false; }, 40);
            previous = std::exchange(current, grabScreen(controller.panel()->geometry()));
        }
        return current;
    }

    ReaderPanelController controller{engine, settings};
};

TEST_F(ReaderX11Test, KeysFromTheKeyboardReachThePanel) {
    loadAndStart(Testing::words(9, 3));
    showAt({200, 200});
    ASSERT_TRUE(waitFor([&] { return controller.panel()->windowHandle()->isActive(); }));
    xdotool(QStringLiteral("key space"));
    EXPECT_TRUE(waitFor([&] { return engine.phase().is(Phase::Case::paused); }));
    xdotool(QStringLiteral("key Right shift+Up ctrl+Up"));
    EXPECT_TRUE(waitFor([&] { return engine.wpm() == 450; }));
    EXPECT_EQ(engine.index(), 3);
    xdotool(QStringLiteral("key Escape"));
    EXPECT_TRUE(waitFor([&] { return !controller.panel()->isVisible(); }));
    EXPECT_TRUE(engine.phase().is(Phase::Case::idle));
}

TEST_F(ReaderX11Test, DraggingTheBackgroundMovesThePanelAndTheNewPlaceIsRemembered) {
    loadAndStart({word("drag")});
    showAt({100, 100});
    const QPoint grab = controller.panel()->mapToGlobal(QPoint(40, 30));
    xdotool(QStringLiteral("mousemove %1 %2 mousedown 1").arg(grab.x()).arg(grab.y()));
    xdotool(QStringLiteral("mousemove %1 %2").arg(grab.x() + 60).arg(grab.y() + 30));
    xdotool(QStringLiteral("mousemove %1 %2 mouseup 1").arg(grab.x() + 120).arg(grab.y() + 70));
    ASSERT_TRUE(waitFor([&] { return controller.panel()->pos() == QPoint(220, 170); }))
        << controller.panel()->pos().x() << "," << controller.panel()->pos().y();
    const QPointF expected =
        PanelPlacement::current().coordinates().originOf(QRect(QPoint(220, 170), QSize(640, 230)));
    EXPECT_EQ(controller.rememberedOrigin(), expected);
    controller.hide();
    controller.show();
    EXPECT_EQ(controller.panel()->pos(), QPoint(220, 170));
}

// Over a fine black and white checkerboard, the busiest backdrop there is: opaque with cut corners
// without a compositing manager, nearly opaque with one, translucent where it also blurs.
TEST_F(ReaderX11Test, BackgroundFollowsCompositingAndBlurAndKeepsTheFooterLegible) {
    QPixmap checker(2, 2);
    checker.fill(Qt::white);
    QPainter(&checker).fillRect(0, 0, 1, 1, Qt::black);
    QPainter(&checker).fillRect(1, 1, 1, 1, Qt::black);
    QWidget backdrop;
    backdrop.setWindowFlags(Qt::FramelessWindowHint);
    QPalette colours;
    colours.setBrush(QPalette::Window, QBrush(checker));
    backdrop.setPalette(colours);
    backdrop.setAutoFillBackground(true);
    backdrop.setGeometry(50, 50, 900, 500);
    backdrop.show();
    ASSERT_TRUE(waitFor([&] { return backdrop.windowHandle()->isExposed(); }));
    loadAndStart(Testing::words(20));
    engine.togglePause();
    showAt({150, 120});
    ReaderPanel* panel = controller.panel();
    const auto cornerShowsBackdrop = [&] {
        return std::abs(settledPanel().pixelColor(1, 1).lightness() - 128) > 120;
    };

    ASSERT_FALSE(panel->compositing()) << "no compositing manager runs yet";
    EXPECT_FALSE(panel->mask().isEmpty());
    EXPECT_TRUE(cornerShowsBackdrop()) << "not a black corner";
    EXPECT_TRUE(Testing::near(settledPanel().pixelColor(320, 6),
                              ReaderTheme(true, {}).background(Backdrop::opaque), 3));

    QProcess compositor;
    compositor.start(QStringLiteral("xcompmgr"), {QStringLiteral("-n")});
    ASSERT_TRUE(waitFor([&] { return panel->compositing(); }));
    EXPECT_TRUE(panel->mask().isEmpty());
    EXPECT_TRUE(cornerShowsBackdrop());
    // Footer rows below the bar, between the rate on the left and the key reminder: the worst
    // contrast of the footer text there, and the checkerboard's own as seen through the panel.
    const SeekableProgressBar* bar = panel->view()->footer()->progressBar();
    const int top = bar->mapTo(panel, bar->barRect().toRect().bottomLeft()).y() + 2;
    const auto measure = [&, quiet = QRect(90, top, 80, panel->height() - 3 - top)] {
        const QImage image = settledPanel();
        double darkest = 1;
        double lightest = 0;
        for (int y = quiet.top(); y <= quiet.bottom(); ++y)
            for (int x = quiet.left(); x <= quiet.right(); ++x) {
                darkest = std::min(darkest, luminance(image.pixelColor(x, y)));
                lightest = std::max(lightest, luminance(image.pixelColor(x, y)));
            }
        const double text = luminance(ReaderTheme::of(settings).tertiaryText());
        return std::pair{std::min(contrast(text, darkest), contrast(text, lightest)),
                         contrast(darkest, lightest)};
    };
    for (const bool dark : {true, false}) {
        settings.setDarkTheme(dark);
        const auto [footer, showThrough] = measure();
        std::cout << (dark ? "dark" : "light") << " theme, no blur: footer text " << footer
                  << " : 1, backdrop through the panel " << showThrough << " : 1\n";
        EXPECT_GE(footer, 4.0) << dark;
        EXPECT_LE(showThrough, 1.15) << dark;
    }

    // KWin announces its blur effect on the root window: then the translucent look returns.
    const QString blur = QStringLiteral("_KDE_NET_WM_BLUR_BEHIND_REGION");
    ASSERT_TRUE(
        Testing::runTool(QStringLiteral("xprop"), {"-root", "-f", blur, "32c", "-set", blur, "0"}));
    ASSERT_TRUE(waitFor([&] { return panel->view()->backdrop() == Backdrop::blurred; }));
    EXPECT_GT(measure().second, 1.5);
    ASSERT_TRUE(Testing::runTool(QStringLiteral("xprop"), {"-root", "-remove", blur}));
    EXPECT_TRUE(waitFor([&] { return panel->view()->backdrop() == Backdrop::sharp; }));

    compositor.terminate();
    ASSERT_TRUE(compositor.waitForFinished(5000));
    ASSERT_TRUE(waitFor([&] { return !panel->compositing(); }));
    EXPECT_FALSE(panel->mask().isEmpty());
}

TEST_F(ReaderX11Test, PivotInkOfAPausedWordIsCentredOnThePanelInEveryScript) {
    showAt({100, 100});
    const QColor accent = ReaderTheme::of(settings).accent();
    const double size = settings.fontSize();
    for (const char* text :
         {"office", "waffle", "affirms", "find", "first",
          "\u05E9\u05DC\u05D5\u05DD",                   // שלום
          "\u0645\u0631\u062D\u0628\u0627.",            // مرحبا.
          "\u0628\u0627\u0644\u0639\u0627\u0644\u0645", // بالعالم
          "\u0633\u0644\u0627\u0645", "2026", "3.14159", "abc\u05E9\u05DC\u05D5\u05DD",
          "nai\u0308ve", "\U0001F44D\U0001F3FDok", "\u6771\u4EAC\u90FD\u5E81",
          "Donaudampfschifffahrtsgesellschaftskapit\u00E4n"}) {
        loadAndStart({word(text)});
        engine.togglePause();
        const QImage panel = settledPanel();
        const double y = controller.panel()->view()->wordStage()->fixation().y();
        const auto [first, last] = Testing::columnsOf(panel, accent, int(y - size), int(y + size));
        EXPECT_GE(first, 0) << text;
        if (first >= 0) {
            EXPECT_NEAR((first + last + 1) / 2.0, panel.width() / 2.0, 1.5) << text;
        }
    }
}

// The real program under Openbox. A click shorter than the time the program takes to handle its
// press must not start a window-manager move that outlasts it; a drag still moves the panel.
TEST(ReadCommandX11Test, ReadsAFileInThePanelWhereOnlyDragsMoveItAndExitsZeroOnEscape) {
    QProcess openbox;
    startWindowManager(openbox);
    QTemporaryDir config;
    QProcess blinkwit;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    blinkwit.setProcessEnvironment(environment);
    blinkwit.start(QStringLiteral(BLINKWIT_EXECUTABLE),
                   {QStringLiteral("read"), QStringLiteral(BLINKWIT_SAMPLE)});
    ASSERT_TRUE(blinkwit.waitForStarted());
    const auto found = Testing::runTool(
        QStringLiteral("xdotool"), {"search", "--sync", "--onlyvisible", "--name", "^Blinkwit$"});
    ASSERT_TRUE(found);
    const QString id = found->split(QLatin1Char('\n')).first();
    const QPoint start = windowPosition(id);
    const QPoint grab = start + QPoint(40, 30);
    xdotool(QStringLiteral("mousemove %1 %2 click 1").arg(grab.x()).arg(grab.y()));
    xdotool(QStringLiteral("mousemove %1 %2").arg(grab.x() + 200).arg(grab.y() + 100));
    Testing::waitFor([] { return false; }, 300);
    EXPECT_EQ(windowPosition(id), start) << "the panel follows the pointer after a click";
    xdotool(QStringLiteral("mousemove %1 %2 mousedown 1").arg(grab.x()).arg(grab.y()));
    xdotool(QStringLiteral("mousemove %1 %2").arg(grab.x() + 60).arg(grab.y() + 30));
    xdotool(QStringLiteral("mousemove %1 %2 mouseup 1").arg(grab.x() + 120).arg(grab.y() + 70));
    EXPECT_TRUE(waitFor([&] { return windowPosition(id) == start + QPoint(120, 70); }));

    xdotool(QStringLiteral("key Escape"));
    ASSERT_TRUE(waitFor([&] { return blinkwit.state() == QProcess::NotRunning; }));
    EXPECT_EQ(blinkwit.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(blinkwit.exitCode(), 0);
    EXPECT_TRUE(QFile::exists(config.filePath(QStringLiteral("blinkwit/defaults.json"))))
        << "the text went to the history and the panel's place was saved";
    openbox.terminate();
    EXPECT_TRUE(openbox.waitForFinished(5000));
}

} // namespace
} // namespace Blinkwit
