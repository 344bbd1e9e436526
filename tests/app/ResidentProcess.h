#pragma once

#include "settings/HistoryStore.h"
#include "settings/JsonFileDefaultsStore.h"
#include "tests/support/X11Testing.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

// The resident program as a process of the test's own, in the session the test chose.

namespace Blinkwit::Testing {

inline constexpr const char* busName = "com.blinkwit.app";

// Starting and stopping a whole program takes longer than most waits.
inline bool wait(const std::function<bool()>& condition) {
    return waitFor(condition, 15000);
}

// Never 0 or below: kill() would signal the whole process group, the test runner included.
inline void signalProcess(qint64 pid, int number) {
    ASSERT_GT(pid, 0);
    ::kill(pid_t(pid), number);
}

inline void xdotool(const QStringList& arguments) {
    ASSERT_TRUE(runTool(QStringLiteral("xdotool"), arguments)) << arguments.join(' ').toStdString();
}

inline QDBusConnectionInterface& residentBus() {
    return *QDBusConnection::sessionBus().interface();
}

// A call to the resident that keeps serving our own bus objects meanwhile: the resident may be
// calling them at the same moment.
inline QDBusMessage callServing(const QDBusMessage& message) {
    QDBusPendingCall call = QDBusConnection::sessionBus().asyncCall(message, 5000);
    waitFor([&] { return call.isFinished(); }, 6000);
    return call.reply();
}

// A running `blinkwit` (or another executable) with its own home, configuration and data.
class ResidentProcess {
public:
    // An X11 session, whatever session runs the tests.
    static QProcessEnvironment x11Session() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("WAYLAND_DISPLAY");
        environment.insert("XDG_SESSION_TYPE", "x11");
        return environment;
    }

    explicit ResidentProcess(const QTemporaryDir& home, QProcessEnvironment session = x11Session())
        : environment_(std::move(session)) {
        environment_.insert("HOME", home.filePath("home"));
        environment_.insert("XDG_CONFIG_HOME", home.filePath("config"));
        environment_.insert("XDG_DATA_HOME", home.filePath("data"));
        environment_.insert("XDG_STATE_HOME", home.filePath("state"));
        environment_.insert("XDG_RUNTIME_DIR", home.path());
        environment_.insert("TMPDIR", home.filePath("tmp"));
        // The automatic update check 5 s after start asks this machine, where nothing answers,
        // never the internet.
        environment_.insert("BLINKWIT_MANIFEST_URL", "http://127.0.0.1:9/build.json");
        QDir().mkpath(home.filePath("home"));
        QDir().mkpath(home.filePath("tmp"));
        process_.setProcessEnvironment(environment_);
    }
    ~ResidentProcess() {
        process_.kill();
        waitFor([&] { return process_.state() == QProcess::NotRunning; });
    }

    void setEnvironment(const QString& name, const QString& value) {
        environment_.insert(name, value);
        process_.setProcessEnvironment(environment_);
    }
    void start(const QString& executable = QStringLiteral(BLINKWIT_EXECUTABLE)) {
        process_.start(executable, {});
        ASSERT_TRUE(process_.waitForStarted());
    }
    // Runs blinkwit with arguments to its end: its status and standard error.
    std::pair<int, QString> run(const QStringList& arguments) {
        QProcess command;
        command.setProcessEnvironment(environment_);
        command.start(QStringLiteral(BLINKWIT_EXECUTABLE), arguments);
        EXPECT_TRUE(wait([&] { return command.state() == QProcess::NotRunning; }))
            << arguments.join(' ').toStdString();
        return {command.exitCode(), QString::fromUtf8(command.readAllStandardError())};
    }
    bool ownsBusName() const {
        return residentBus().servicePid(busName).value() == uint(process_.processId());
    }
    // Answering on the bus: its event loop runs, so its start-up (hot keys included) is done.
    bool isServing() const {
        const QDBusMessage introspect = QDBusMessage::createMethodCall(
            busName, "/com/blinkwit/app", "org.freedesktop.DBus.Introspectable", "Introspect");
        return ownsBusName() && callServing(introspect).type() == QDBusMessage::ReplyMessage;
    }
    int terminate() {
        signalProcess(process_.processId(), SIGTERM);
        EXPECT_TRUE(wait([&] { return process_.state() == QProcess::NotRunning; }));
        EXPECT_EQ(process_.exitStatus(), QProcess::NormalExit);
        return process_.exitCode();
    }
    QString output() { return output_ += QString::fromUtf8(process_.readAllStandardOutput()); }
    QString errors() { return errors_ += QString::fromUtf8(process_.readAllStandardError()); }
    QProcess& process() { return process_; }
    QString configFile() const {
        return environment_.value("XDG_CONFIG_HOME") + "/blinkwit/defaults.json";
    }
    QStringList history() const {
        QStringList texts;
        const QVariant stored = JsonFileDefaultsStore(configFile()).value(HistoryStore::key);
        for (const auto& entry :
             HistoryStore::decode(stored.toByteArray()).value_or(QList<HistoryStore::Entry>()))
            texts.append(entry.text);
        return texts;
    }
    void setWelcomeShown() const {
        JsonFileDefaultsStore(configFile()).setValue("hasShownWelcome", true);
    }

private:
    QProcessEnvironment environment_;
    QProcess process_;
    QString output_;
    QString errors_;
};

} // namespace Blinkwit::Testing
