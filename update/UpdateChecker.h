#pragma once

#include "BuildManifest.h"
#include "Downloader.h"
#include "UpdateState.h"
#include "platform/Timer.h"

#include <QDateTime>
#include <QObject>
#include <QUrl>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace Blinkwit {

class DefaultsStore;
class Installer;
class Scheduler;

// Owns the update flow: fetches and judges the build manifest, runs the automatic checks, and
// downloads, verifies and hands over a build the user chose to install. Everything happens on
// the main thread; views follow stateChanged().
class UpdateChecker final : public QObject {
    Q_OBJECT
public:
    static constexpr const char* lastCheckKey = "lastUpdateCheck";
    static constexpr qint64 maximumManifestSize = 1024 * 1024;

    // The running build's identity, as its Info.json (or the build) states it.
    struct RunningBuild {
        std::optional<QString> version;
        std::optional<QString> commit;
    };
    struct Timing {
        double firstCheckDelay = 5.0;
        double checkInterval = 86400.0;
        std::chrono::milliseconds manifestTimeout{20000};
    };
    struct Services {
        HttpClient& http;
        Scheduler& scheduler;
        DefaultsStore& defaults;
        Installer& installer;
        // The automaticUpdateChecks setting, read when a check is due.
        std::function<bool()> automaticChecks;
        RunningBuild build;
        QUrl manifestUrl;
        QString temporaryDirectory;
        Timing timing = {};
    };

    explicit UpdateChecker(Services services, QObject* parent = nullptr);
    ~UpdateChecker() override;

    const UpdateState& state() const { return state_; }
    // When a manifest was last fetched and decoded; none before the first success.
    std::optional<QDateTime> lastChecked() const { return lastChecked_; }

    // With automatic checks on: one check after the first-check delay, then one per interval
    // for as long as the program runs (each skipped while the setting is off). With them off at
    // this call, nothing is ever scheduled.
    void startAutomaticChecks();
    // Fetches the manifest. An automatic check does nothing while work is under way; no check
    // starts during a download.
    void check(bool userInitiated);
    bool isNewer(const BuildManifest& manifest) const;
    // Downloads the build, checks it and hands it to the installer.
    void install(BuildManifest manifest);

signals:
    void stateChanged(const Blinkwit::UpdateState& state);
    void lastCheckedChanged(const QDateTime& when);

private:
    void setState(UpdateState state);
    void completeCheck(const HttpClient::Answer& answer, bool userInitiated);
    void scheduleDailyCheck();
    void finish(quint64 number, const Downloader::Result& result, const BuildManifest& manifest);
    void verifyAndInstall(const QString& file, const BuildManifest& manifest);

    Services services_;
    UpdateState state_;
    std::optional<QDateTime> lastChecked_;
    Timer firstCheck_;
    Timer dailyCheck_;
    std::unique_ptr<Downloader> downloader_;
    quint64 downloadNumber_ = 0;
};

} // namespace Blinkwit
