#pragma once

#include "settings/InMemoryDefaultsStore.h"
#include "tests/support/ManualScheduler.h"
#include "update/HttpClient.h"
#include "update/Installer.h"
#include "update/UpdateChecker.h"
#include "update/UpdateState.h"

#include <QDir>
#include <QFile>
#include <ostream>
#include <vector>

namespace Blinkwit {

inline void PrintTo(const UpdateState& state, std::ostream* out) {
    *out << "kind " << int(state.kind) << " fraction " << state.fraction << " message \""
         << state.message.toStdString() << "\" version " << state.manifest.version.toStdString();
}

} // namespace Blinkwit

namespace Blinkwit::Testing {

// Records requests; the test answers them.
class FakeHttpClient final : public HttpClient {
public:
    struct Get {
        QUrl url;
        std::chrono::milliseconds idle;
        std::function<void(Answer)> done;
    };
    struct Download {
        QString file;
        Progress progress;
        std::function<void(std::optional<QString>)> done;
    };

    void get(const QUrl& url, std::chrono::milliseconds idle, qint64,
             std::function<void(Answer)> done) override {
        gets.push_back({url, idle, std::move(done)});
    }
    std::unique_ptr<Transfer> download(const QUrl&, const QString& file, std::chrono::milliseconds,
                                       qint64, Progress progress,
                                       std::function<void(std::optional<QString>)> done) override {
        downloads.push_back({file, std::move(progress), std::move(done)});
        return std::make_unique<Transfer>();
    }

    void answer(int status, const QByteArray& body) {
        gets.back().done({Response{status, body}, {}});
    }
    // Writes the body where the download goes, then reports success.
    void deliver(const QByteArray& body) {
        QFile file(downloads.back().file);
        file.open(QIODevice::WriteOnly);
        file.write(body);
        file.close();
        downloads.back().done(std::nullopt);
    }

    std::vector<Get> gets;
    std::vector<Download> downloads;
};

// Stages nothing; says what it was told to.
class FakeInstaller final : public Installer {
public:
    std::variant<QString, UpdateError> verifyAndStage(const QString& image) override {
        QFile file(image);
        file.open(QIODevice::ReadOnly);
        imageSeen = file.readAll();
        return stage;
    }
    std::optional<QString> swapAndRelaunch(const QString& staged) override {
        swapped = staged;
        return swapError;
    }

    std::variant<QString, UpdateError> stage = QStringLiteral("/staged/Blinkwit.app");
    std::optional<QString> swapError;
    QByteArray imageSeen;
    QString swapped;
};

// The fakes an update checker runs on in the tests of the views over it; automatic checks on.
struct UpdateRig {
    UpdateChecker::Services services(UpdateChecker::RunningBuild build,
                                     const QString& temporaryDirectory = QDir::tempPath()) {
        return {http,
                scheduler,
                defaults,
                installer,
                [] { return true; },
                std::move(build),
                QUrl("https://u.example/build.json"),
                temporaryDirectory};
    }

    FakeHttpClient http;
    ManualScheduler scheduler;
    InMemoryDefaultsStore defaults;
    FakeInstaller installer;
};

} // namespace Blinkwit::Testing
