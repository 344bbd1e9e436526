#include "UpdateChecker.h"

#include "Installer.h"
#include "UpdateAddress.h"
#include "UpdateTexts.h"
#include "VersionOrder.h"
#include "bundle/FileDigest.h"
#include "platform/Scheduler.h"
#include "settings/DefaultsStore.h"

#include <QFile>
#include <QPointer>

namespace Blinkwit {

namespace {

// Deletes the downloaded image however the hand-over ends.
struct RemoveWhenDone {
    QString path;
    ~RemoveWhenDone() { QFile::remove(path); }
};

} // namespace

UpdateChecker::UpdateChecker(Services services, QObject* parent)
    : QObject(parent)
    , services_(std::move(services))
    , firstCheck_(services_.scheduler)
    , dailyCheck_(services_.scheduler) {
    const QVariant stored = services_.defaults.value(QString::fromLatin1(lastCheckKey));
    if (stored.typeId() == QMetaType::QDateTime && stored.toDateTime().isValid())
        lastChecked_ = stored.toDateTime();
}

UpdateChecker::~UpdateChecker() = default;

void UpdateChecker::setState(UpdateState state) {
    state_ = std::move(state);
    emit stateChanged(state_);
}

void UpdateChecker::startAutomaticChecks() {
    if (!services_.automaticChecks())
        return;
    firstCheck_.startAfter(services_.timing.firstCheckDelay, [this] { check(false); });
    dailyCheck_.startAfter(services_.timing.checkInterval, [this] { scheduleDailyCheck(); });
}

void UpdateChecker::scheduleDailyCheck() {
    // Each firing books the next one from its own deadline, so the period never drifts.
    dailyCheck_.startAt(dailyCheck_.deadline() + services_.timing.checkInterval,
                        [this] { scheduleDailyCheck(); });
    if (services_.automaticChecks())
        check(false);
}

void UpdateChecker::check(bool userInitiated) {
    if ((state_.isBusy() && !userInitiated) || state_.kind == UpdateState::Kind::downloading)
        return;
    setState(UpdateState::checking());
    if (!UpdateAddress::isAllowed(services_.manifestUrl)) {
        completeCheck({std::nullopt, QString::fromUtf8(UpdateTexts::insecureManifest)},
                      userInitiated);
        return;
    }
    services_.http.get(services_.manifestUrl, services_.timing.manifestTimeout, maximumManifestSize,
                       [self = QPointer(this), userInitiated](const HttpClient::Answer& answer) {
                           if (self)
                               self->completeCheck(answer, userInitiated);
                       });
}

void UpdateChecker::completeCheck(const HttpClient::Answer& answer, bool userInitiated) {
    QString problem = answer.error;
    std::optional<BuildManifest> manifest;
    if (answer.response && answer.response->status != 200)
        problem = QString::fromUtf8(UpdateTexts::unexpectedAnswer);
    else if (answer.response)
        manifest = BuildManifest::decode(answer.response->body, &problem);
    if (!manifest) {
        setState(userInitiated ? UpdateState::failed(UpdateTexts::unreachablePrefix + problem)
                               : UpdateState::idle());
        return;
    }
    lastChecked_ = QDateTime::currentDateTimeUtc();
    services_.defaults.setValue(QString::fromLatin1(lastCheckKey), *lastChecked_);
    emit lastCheckedChanged(*lastChecked_);
    setState(isNewer(*manifest) ? UpdateState::available(*manifest) : UpdateState::upToDate());
}

bool UpdateChecker::isNewer(const BuildManifest& manifest) const {
    const int order = VersionOrder::compare(
        manifest.version, services_.build.version.value_or(QStringLiteral("0.0.0")));
    if (order != 0)
        return order > 0;
    return manifest.commit != services_.build.commit.value_or(QString());
}

void UpdateChecker::install(BuildManifest manifest) {
    setState(UpdateState::downloading(0.0));
    // Reports reach the checker a turn later, through the scheduler, so that the download's own
    // callbacks never see it replaced or destroyed under them. The number tells reports of a
    // download that a newer install replaced.
    const quint64 number = ++downloadNumber_;
    auto later = [self = QPointer(this), number](std::function<void(UpdateChecker&)> step) {
        if (self)
            self->services_.scheduler.scheduleAfter(0.0, [self, number, step] {
                if (self)
                    step(*self);
            });
    };
    downloader_ = std::make_unique<Downloader>(
        services_.http, manifest.dmg, services_.temporaryDirectory,
        [later, number](double fraction) {
            later([number, fraction](UpdateChecker& checker) {
                if (number == checker.downloadNumber_ &&
                    checker.state_.kind == UpdateState::Kind::downloading)
                    checker.setState(UpdateState::downloading(fraction));
            });
        },
        [later, number, manifest](const Downloader::Result& result) {
            later([number, result, manifest](UpdateChecker& checker) {
                checker.finish(number, result, manifest);
            });
        });
    downloader_->start();
}

void UpdateChecker::finish(quint64 number, const Downloader::Result& result,
                           const BuildManifest& manifest) {
    if (number != downloadNumber_) {
        if (result.file)
            QFile::remove(*result.file);
        return;
    }
    downloader_.reset();
    setState(UpdateState::verifying());
    if (!result.file) {
        setState(UpdateState::failed(result.error));
        return;
    }
    verifyAndInstall(*result.file, manifest);
}

void UpdateChecker::verifyAndInstall(const QString& file, const BuildManifest& manifest) {
    const RemoveWhenDone removal{file};
    const QString published = manifest.sha256.value_or(QString()).toLower();
    if (!published.isEmpty()) {
        QString error;
        const std::optional<QString> digest = FileDigest::sha256(file, &error);
        if (!digest || *digest != published) {
            setState(UpdateState::failed(digest ? UpdateTexts::checksumMismatch : error));
            return;
        }
    }
    const std::variant<QString, UpdateError> staged = services_.installer.verifyAndStage(file);
    if (const UpdateError* error = std::get_if<UpdateError>(&staged)) {
        setState(UpdateState::failed(error->description()));
        return;
    }
    setState(UpdateState::readyToRestart());
    if (const std::optional<QString> error =
            services_.installer.swapAndRelaunch(std::get<QString>(staged)))
        setState(UpdateState::failed(*error));
}

} // namespace Blinkwit
