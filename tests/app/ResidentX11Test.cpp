#include "ResidentProcess.h"
#include "app/AppCoordinator.h"
#include "app/TaskbarPolicy.h"
#include "settings/JsonFileDefaultsStore.h"
#include "tests/bundle/ReleaseKit.h"
#include "tests/support/StatusNotifierWatcher.h"
#include "tests/support/X11Testing.h"
#include "tests/update/LoopbackServer.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWidget>
#include <csignal>
#include <gtest/gtest.h>

// The resident program as a user meets it: started as a process on a desktop of its own
// (with-desktop: X server, window manager, session bus), with a tray from trayer, keys from
// xdotool and selections from xclip. What it read is checked in its history file.

namespace Blinkwit {
namespace {

using Testing::busName;
using Testing::callServing;
using Testing::residentBus;
using Testing::ResidentProcess;
using Testing::runTool;
using Testing::signalProcess;
using Testing::wait;
using Testing::waitFor;
using Testing::xdotool;

// The process holding Blinkwit's bus name; 0 when none does.
uint residentPid() {
    return residentBus().servicePid(busName).value();
}

// The program the process holding the bus name runs.
QString residentProgram() {
    return QFileInfo(QString("/proc/%1/exe").arg(residentPid())).canonicalFilePath();
}

// What `PROGRAM --version` prints.
QString versionOf(const QString& program) {
    QProcess run;
    run.start(program, {"--version"});
    run.waitForFinished();
    return QString::fromUtf8(run.readAllStandardOutput());
}

class ResidentTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb")); }

    void startTray() {
        tray.start(QStringLiteral("trayer"), {"--edge", "top", "--widthtype", "request"});
        ASSERT_TRUE(tray.waitForStarted());
    }
    // Started, and holding its name and its hot keys.
    void startResident(const QString& executable = QStringLiteral(BLINKWIT_EXECUTABLE)) {
        resident.start(executable);
        ASSERT_TRUE(wait([&] { return resident.isServing(); }));
    }
    // The tray's panel holds the embedded icon, one level deeper in the window tree.
    static bool iconInTray() {
        const QStringList lines = runTool("xwininfo", {"-root", "-tree"}).value_or("").split('\n');
        const auto depth = [](const QString& line) { return line.size() - line.trimmed().size(); };
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (!lines[i].contains("(\"panel\" \"trayer\")"))
                continue;
            for (qsizetype j = i + 1; j < lines.size() && depth(lines[j]) > depth(lines[i]); ++j)
                if (lines[j].contains("(\"blinkwit\" \"Blinkwit\")"))
                    return true;
        }
        return false;
    }
    void own(const char* selection, const QString& text) {
        QFile file(home.filePath(selection));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
        file.close();
        // xclip answers from the background until another program takes the selection.
        ASSERT_TRUE(runTool("xclip", {"-selection", selection, file.fileName()}));
    }
    bool lastRead(const QString& text) {
        return wait([&] { return resident.history().value(0) == text; });
    }

    QTemporaryDir home;
    ResidentProcess resident{home};
    QProcess tray;

    ~ResidentTest() override {
        tray.kill();
        tray.waitForFinished();
    }
};

TEST_F(ResidentTest, HotKeysCommandsAndASecondStartReachTheOneResident) {
    startTray();
    startResident();
    EXPECT_TRUE(wait(iconInTray));
    ASSERT_TRUE(lastRead(AppCoordinator::welcomeText()));
    xdotool({"search", "--sync", "--onlyvisible", "--name", "^Blinkwit$"});

    own("primary", QStringLiteral("Words selected in another program."));
    xdotool({"key", "ctrl+shift+r"});
    EXPECT_TRUE(lastRead(QStringLiteral("Words selected in another program.")));
    own("clipboard", QStringLiteral("Words on the clipboard."));
    xdotool({"key", "ctrl+shift+v"});
    EXPECT_TRUE(lastRead(QStringLiteral("Words on the clipboard.")));

    own("clipboard", QStringLiteral("Asked for by name."));
    EXPECT_EQ(resident.run({"--command", "readClipboard"}).first, 0);
    EXPECT_TRUE(lastRead(QStringLiteral("Asked for by name.")));
    EXPECT_EQ(resident.run({"--command", "readScreen"}).first, 2);

    EXPECT_EQ(resident.run({}).first, 0) << "a second start hands over and ends";
    EXPECT_TRUE(resident.ownsBusName());
    // The reader on screen must not hold up the end.
    xdotool({"search", "--sync", "--onlyvisible", "--name", "^Blinkwit$"});
    EXPECT_EQ(resident.terminate(), 0);
    EXPECT_EQ(resident.history().size(), 4) << "the history file is whole after SIGTERM";
}

TEST_F(ResidentTest, CtrlShiftOReadsTheTextInTheRectangleDraggedOverTheScreen) {
    resident.setWelcomeShown();
    startResident();
    Testing::ChildProcess picture(QStringLiteral(X11_TEST_CLIENT),
                                  {"label", "Words only a picture holds."});
    ASSERT_EQ(picture.firstLine(), QStringLiteral("ready"));
    xdotool({"key", "ctrl+shift+o"});
    xdotool({"search", "--sync", "--onlyvisible", "--name", "^Blinkwit$"}); // the overlay
    xdotool({"mousemove", "20", "20", "mousedown", "1"});
    xdotool({"mousemove", "300", "80"});
    xdotool({"mousemove", "560", "140", "mouseup", "1"});
    EXPECT_TRUE(lastRead(QStringLiteral("Words only a picture holds.")))
        << resident.history().value(0).toStdString();
}

TEST_F(ResidentTest, WithoutATrayItsHotKeysOrItsSettingsItKeepsRunningAndSaysSo) {
    Testing::ChildProcess holder(QStringLiteral(X11_TEST_CLIENT), {"grab", "r", "5"});
    ASSERT_EQ(holder.firstLine(), QStringLiteral("ready"));
    QDir().mkpath(QFileInfo(resident.configFile()).absolutePath());
    QFile corrupt(resident.configFile());
    ASSERT_TRUE(corrupt.open(QIODevice::WriteOnly));
    corrupt.write("{ not json");
    corrupt.close();

    resident.start();
    ASSERT_TRUE(wait([&] { return resident.ownsBusName(); }));
    EXPECT_TRUE(wait(
        [&] { return resident.output().contains("Error registering hotkey Ctrl+Shift+R: 10\n"); }));
    EXPECT_TRUE(wait([&] {
        return resident.errors().contains("blinkwit: no system tray is running") &&
               resident.errors().contains("could not be read; it was moved to");
    })) << resident.errors().toStdString();
    EXPECT_TRUE(lastRead(AppCoordinator::welcomeText())) << "a fresh start from the defaults";

    own("clipboard", QStringLiteral("Read by the hot key no one else holds."));
    xdotool({"key", "ctrl+shift+v"});
    EXPECT_TRUE(lastRead(QStringLiteral("Read by the hot key no one else holds.")));
    startTray();
    EXPECT_TRUE(wait(iconInTray)) << "a tray that starts later gets the icon";
    EXPECT_TRUE(resident.errors().contains(" session: hot keys by X key grabs, "));
    EXPECT_EQ(resident.errors().count('\n'), 3) << resident.errors().toStdString();
}

TEST_F(ResidentTest, AConfigurationFolderThatCannotBeWrittenLeavesTheDefaultsInMemory) {
    QFile blocker(QFileInfo(resident.configFile()).absolutePath());
    ASSERT_TRUE(QDir().mkpath(QFileInfo(blocker.fileName()).absolutePath()));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    startResident();
    EXPECT_TRUE(
        wait([&] { return resident.errors().contains("Blinkwit runs with its defaults"); }));
    own("clipboard", QStringLiteral("Read all the same."));
    EXPECT_EQ(resident.run({"--command", "readClipboard"}).first, 0);
    EXPECT_TRUE(resident.ownsBusName());
}

TEST_F(ResidentTest, ARequestThatNoResidentTakesFailsWithAReason) {
    auto [status, errors] = resident.run({"--command", "readSelection"});
    EXPECT_EQ(status, 1);
    EXPECT_EQ(errors.toStdString(), "blinkwit: Blinkwit is not running; start it with blinkwit\n");

    // Another program holds the name.
    ASSERT_TRUE(QDBusConnection::sessionBus().registerService(busName));
    std::tie(status, errors) = resident.run({"--command", "readSelection"});
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(errors.contains("is not Blinkwit")) << errors.toStdString();
    std::tie(status, errors) = resident.run({});
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(errors.contains("not starting a second copy")) << errors.toStdString();
    ASSERT_TRUE(QDBusConnection::sessionBus().unregisterService(busName));

    // The resident dies while a request waits for its answer.
    resident.setWelcomeShown();
    startResident();
    signalProcess(resident.process().processId(), SIGSTOP);
    QProcess waiting;
    waiting.setProcessEnvironment(resident.process().processEnvironment());
    waiting.start(QStringLiteral(BLINKWIT_EXECUTABLE), {"--command", "readClipboard"});
    ASSERT_TRUE(waiting.waitForStarted());
    QTest::qWait(500);
    EXPECT_EQ(waiting.state(), QProcess::Running);
    resident.process().kill();
    ASSERT_TRUE(wait([&] { return waiting.state() == QProcess::NotRunning; }));
    EXPECT_EQ(waiting.exitCode(), 1);
    EXPECT_TRUE(waiting.readAllStandardError().startsWith(
        "blinkwit: the running Blinkwit did not take the command"));
}

// One row of a menu served over the bus: its id, "label" ("-" for a separator, "(off)" after
// a row that cannot be chosen) and its rows.
struct MenuRow {
    int id = 0;
    QString label;
    std::vector<MenuRow> rows;

    static MenuRow read(const QDBusArgument& argument) {
        MenuRow row;
        QVariantMap properties;
        argument.beginStructure();
        argument >> row.id >> properties;
        argument.beginArray();
        while (!argument.atEnd()) {
            QDBusVariant child;
            argument >> child;
            row.rows.push_back(read(qvariant_cast<QDBusArgument>(child.variant())));
        }
        argument.endArray();
        argument.endStructure();
        row.label =
            properties.value("type") == "separator" ? "-" : properties.value("label").toString();
        if (!properties.value("enabled", true).toBool())
            row.label += " (off)";
        return row;
    }
    QStringList labels() const {
        QStringList result;
        for (const MenuRow& row : rows)
            result.append(row.label);
        return result;
    }
};

class TrayMenuOverTheBusTest : public ResidentTest {
protected:
    QDBusMessage callMenu(const QString& method, const QVariantList& arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(watcher.item, "/MenuBar",
                                                              "com.canonical.dbusmenu", method);
        message.setArguments(arguments);
        return callServing(message);
    }
    MenuRow menu() {
        const QDBusMessage reply = callMenu("GetLayout", {0, -1, QStringList()});
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2)
            return {};
        return MenuRow::read(qvariant_cast<QDBusArgument>(reply.arguments()[1]));
    }
    void click(const MenuRow& row) {
        callMenu("Event",
                 {row.id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u});
    }
    void click(const QString& label) {
        for (const MenuRow& row : menu().rows)
            if (row.label == label)
                return click(row);
        ADD_FAILURE() << "no row " << label.toStdString();
    }

    Testing::StatusNotifierWatcher watcher;
};

TEST_F(TrayMenuOverTheBusTest, TheMenuListsTheCommandsAndTheHistoryAndQuits) {
    resident.setWelcomeShown();
    startResident();
    ASSERT_TRUE(wait([&] { return !watcher.item.isEmpty(); }));
    ASSERT_TRUE(wait([&] { return menu().rows.size() == 10; }));
    EXPECT_EQ(menu().labels(),
              (QStringList{"Read Selection\tCtrl+Shift+R", "Read Clipboard\tCtrl+Shift+V",
                           "Read Screen Region (OCR)\tCtrl+Shift+O", "-", "History", "-",
                           "Settings…", "Check for Updates…", "-", "Quit Blinkwit"}));
    EXPECT_EQ(menu().rows[4].labels(), QStringList{"Nothing read yet (off)"});

    own("clipboard", QStringLiteral("First line of it\nand more"));
    EXPECT_EQ(resident.run({"--command", "readClipboard"}).first, 0);
    EXPECT_TRUE(wait([&] {
        return menu().rows[4].labels() == QStringList({"First line of it", "-", "Clear History"});
    })) << menu().rows[4].labels().join('|').toStdString();

    click(menu().rows.back());
    ASSERT_TRUE(wait([&] { return resident.process().state() == QProcess::NotRunning; }));
    EXPECT_EQ(resident.process().exitCode(), 0);
}

// The window the window manager has active: its id as xdotool prints it.
QString activeWindow() {
    return runTool("xdotool", {"getactivewindow"}).value_or(QString()).trimmed();
}

TEST_F(TrayMenuOverTheBusTest, SettingsOpenFromTheMenuAndASecondStartInFrontOfAnotherProgram) {
    resident.setWelcomeShown();
    startResident();
    ASSERT_TRUE(wait([&] { return menu().labels().contains("Settings…"); }));
    Testing::ChildProcess other(QStringLiteral(X11_TEST_CLIENT), {"lineedit", "Another program"});
    ASSERT_EQ(other.firstLine(), QStringLiteral("ready"));
    QString otherWindow;
    ASSERT_TRUE(wait([&] { return !(otherWindow = activeWindow()).isEmpty(); }));

    click(QStringLiteral("Settings…"));
    const QString settings =
        runTool("xdotool", {"search", "--sync", "--onlyvisible", "--name", "^Blinkwit Settings$"})
            .value_or(QString())
            .trimmed();
    ASSERT_FALSE(settings.isEmpty());
    EXPECT_TRUE(wait([&] { return activeWindow() == settings; })) << "opened behind the other";

    xdotool({"windowactivate", "--sync", otherWindow});
    EXPECT_EQ(resident.run({}).first, 0) << "a second start hands over and ends";
    EXPECT_TRUE(wait([&] { return activeWindow() == settings; })) << "left behind the other";
    EXPECT_EQ(runTool("xdotool", {"search", "--onlyvisible", "--name", "^Blinkwit Settings$"})
                  .value_or(QString())
                  .trimmed(),
              settings)
        << "one settings window, reused";
}

// A copy unpacked into the temporary folder, as an archive manager leaves it.
class UnpackedCopyTest : public ResidentTest {
protected:
    void SetUp() override {
        ResidentTest::SetUp();
        const QString bin = home.filePath("tmp/Blinkwit.app/bin");
        ASSERT_TRUE(QDir().mkpath(bin));
        ASSERT_TRUE(QFile::copy(BLINKWIT_EXECUTABLE, bin + "/blinkwit"));
        QFile info(home.filePath("tmp/Blinkwit.app/Info.json"));
        ASSERT_TRUE(info.open(QIODevice::WriteOnly));
        info.write(R"({"CFBundleShortVersionString": "9.9.9", "CFBundleVersion": "1"})");
        info.close();
        resident.setWelcomeShown();
        startResident(bin + "/blinkwit");
    }
    void pressMove() {
        xdotool({"search", "--sync", "--onlyvisible", "--name", "^Blinkwit$", "windowactivate",
                 "--sync", "key", "Return"});
    }
    const QString installed = home.filePath("home/Applications/Blinkwit.app/bin/blinkwit");
};

TEST_F(UnpackedCopyTest, MovingToApplicationsStartsTheInstalledCopyInsteadOfThisOne) {
    pressMove();
    ASSERT_TRUE(wait([&] { return resident.process().state() == QProcess::NotRunning; }));
    EXPECT_EQ(resident.process().exitCode(), 0);
    ASSERT_TRUE(wait([&] { return residentProgram() == installed; }));
    EXPECT_TRUE(QFile::exists(home.filePath("data/applications/com.blinkwit.app.desktop")));
    EXPECT_EQ(versionOf(installed), "9.9.9 (1)\n");
    signalProcess(residentPid(), SIGTERM);
    EXPECT_TRUE(wait([&] { return !residentBus().isServiceRegistered(busName).value(); }));
}

TEST_F(UnpackedCopyTest, AMoveThatFailsLeavesThisCopyRunning) {
    QFile blocker(home.filePath("home/Applications"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    pressMove();
    QTest::qWait(1000);
    EXPECT_TRUE(resident.ownsBusName());
    xdotool({"search", "--onlyvisible", "--name", "^Blinkwit$"});
}

// Releases of the test build's program, packaged once for the suite with a throwaway key:
// 1.0.0 to install, 1.0.1 published on a loopback server.
struct Releases {
    Releases() {
        signer.writePem(folder.filePath("key.pem"));
        for (const auto& [version, out] :
             {std::pair{"1.0.0", folder.filePath("1.0.0")}, {"1.0.1", site.path()}}) {
            const Testing::ToolRun run =
                Testing::package(version, folder.filePath("key.pem"), out, server.address());
            if (run.status != 0)
                problem += run.output;
        }
    }

    QTemporaryDir folder;
    QTemporaryDir site;
    Testing::LoopbackServer server{site.path()};
    Testing::TestSigner signer;
    QString problem;
};

// 1.0.0 installed by hand and started as the resident, which finds 1.0.1 on the server.
class UpdateFromTheTrayTest : public TrayMenuOverTheBusTest {
protected:
    static void SetUpTestSuite() { releases = std::make_unique<Releases>(); }
    static void TearDownTestSuite() { releases.reset(); }

    void SetUp() override {
        TrayMenuOverTheBusTest::SetUp();
        ASSERT_TRUE(releases->problem.isEmpty()) << releases->problem.toStdString();
        resident.setEnvironment("BLINKWIT_MANIFEST_URL",
                                releases->server.address() + "/build.json");
        resident.setWelcomeShown();
    }
    // A copy that took over from the one this test started.
    void TearDown() override {
        if (residentProgram().startsWith(home.path()))
            signalProcess(residentPid(), SIGTERM);
    }
    // Unpacks 1.0.0 into the folder as its first installation; returns its program.
    QString install(const QString& folder) {
        const Testing::ToolRun run = Testing::runProgram(
            BLINKWIT_EXECUTABLE,
            {"image", "unpack", releases->folder.filePath("1.0.0/Blinkwit-1.0.0.tar"), folder});
        EXPECT_EQ(run.status, 0) << run.output.toStdString();
        return folder + "/Blinkwit.app/bin/blinkwit";
    }
    QString firstRow() { return menu().labels().value(0); }
    // Downloading, checking and unpacking a release: slow under the sanitizers.
    static bool waitForInstall(const std::function<bool()>& condition) {
        return waitFor(condition, 60000);
    }
    void pressInUpdateWindow(const QString& key) {
        xdotool({"search", "--sync", "--onlyvisible", "--name", "^Software Update$",
                 "windowactivate", "--sync", "key", key});
    }
    // What the update left in the temporary folder, swap scripts aside.
    QStringList leftovers() const {
        QDir folder(home.filePath("tmp"));
        folder.setFilter(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        QStringList entries = folder.entryList();
        entries.removeIf([](const QString& name) { return name.startsWith("blinkwit-swap-"); });
        return entries;
    }

    inline static std::unique_ptr<Releases> releases;
    const QString available = QStringLiteral("Update to Blinkwit 1.0.1…");
};

TEST_F(UpdateFromTheTrayTest, CheckForUpdatesInstallsTheNewBuildInPlaceAndItTakesOver) {
    const QString installed = home.filePath("home/Applications/Blinkwit.app");
    const QString program = install(home.filePath("home/Applications"));
    JsonFileDefaultsStore(resident.configFile()).setValue("automaticUpdateChecks", false);
    // Started through a link on the PATH, whose command line doesn't show the bundle.
    const QString link = home.filePath("home/.local/bin/blinkwit");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(link).path()) && QFile::link(program, link));
    startResident(link);
    ASSERT_TRUE(wait([&] { return menu().labels().contains("Check for Updates…"); }));
    const QString firstIcon = watcher.item;
    const MenuRow rows = menu();
    click(rows.rows[size_t(rows.labels().indexOf("Check for Updates…"))]);
    ASSERT_TRUE(wait([&] { return firstRow() == available; }));
    pressInUpdateWindow("Return");

    ASSERT_TRUE(waitForInstall([&] { return resident.process().state() == QProcess::NotRunning; }));
    EXPECT_EQ(resident.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(resident.process().exitCode(), 0) << "ended by the swap";
    ASSERT_TRUE(wait([&] { return residentProgram() == program && watcher.item != firstIcon; }))
        << "the new copy holds the name and shows its icon";
    EXPECT_TRUE(versionOf(program).startsWith("1.0.1 (")) << versionOf(program).toStdString();
    EXPECT_EQ(Testing::runProgram(program, {"bundle", "verify", installed}).status, 0);

    const QDir trash(home.filePath("data/Trash"));
    const QStringList trashed = QDir(trash.filePath("files")).entryList({"Blinkwit-*.app"});
    ASSERT_EQ(trashed.size(), 1);
    EXPECT_TRUE(
        versionOf(trash.filePath("files/" + trashed[0] + "/bin/blinkwit")).startsWith("1.0.0 ("));
    EXPECT_TRUE(Testing::readFile(trash.filePath("info/" + trashed[0] + ".trashinfo"))
                    .contains("\nPath=" + QUrl::toPercentEncoding(installed, "/") + "\n"));
    EXPECT_TRUE(wait([&] { return leftovers().isEmpty(); })) << leftovers().join(' ').toStdString();

    const uint updated = residentPid();
    signalProcess(updated, SIGTERM);
    EXPECT_TRUE(wait([&] { return !residentBus().isServiceRegistered(busName).value(); }));
}

TEST_F(UpdateFromTheTrayTest, ACopyInTheTemporaryFolderIsOfferedTheUpdateButNeverReplaced) {
    const QString program = install(home.filePath("tmp"));
    startResident(program);
    ASSERT_TRUE(wait([&] { return firstRow() == available; })) << "the check soon after start";
    click(menu().rows[0]);
    pressInUpdateWindow("Return");
    ASSERT_TRUE(wait([&] { return firstRow() != available; })) << "the install started";

    // Refused: the window offers Check Again on Return, which finds 1.0.1 again. Return does
    // nothing while the install is still at work.
    EXPECT_TRUE(waitForInstall([&] {
        pressInUpdateWindow("Return");
        return waitFor([&] { return firstRow() == available; }, 2000);
    }));
    EXPECT_TRUE(resident.ownsBusName());
    EXPECT_TRUE(versionOf(program).startsWith("1.0.0 (")) << versionOf(program).toStdString();
    EXPECT_EQ(leftovers(), QStringList{"Blinkwit.app"}) << "no image, staging folder or script";
    EXPECT_FALSE(QFile::exists(home.filePath("state/blinkwit/update.log")));
}

TEST(TaskbarPolicyTest, AnAccessoryKeepsItsWindowsOutOfTaskBarsAndPagers) {
    TaskbarPolicy policy;
    const auto states = [](QWidget& window) {
        return runTool("xprop", {"-id", QString::number(window.winId()), "_NET_WM_STATE"})
            .value_or("");
    };
    QWidget shown;
    shown.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&shown));
    policy.setActivationPolicy(ActivationPolicy::accessory);
    EXPECT_TRUE(wait([&] { return states(shown).contains("_NET_WM_STATE_SKIP_TASKBAR"); }));
    EXPECT_TRUE(states(shown).contains("_NET_WM_STATE_SKIP_PAGER"));

    QWidget later;
    later.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&later));
    EXPECT_TRUE(states(later).contains("_NET_WM_STATE_SKIP_TASKBAR")) << "from its first map";

    policy.setActivationPolicy(ActivationPolicy::regular);
    EXPECT_TRUE(wait([&] { return !states(shown).contains("SKIP"); }));
    EXPECT_TRUE(wait([&] { return !states(later).contains("SKIP"); }));
}

} // namespace
} // namespace Blinkwit
