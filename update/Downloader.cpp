#include "Downloader.h"

#include "UpdateAddress.h"
#include "bundle/UpdateImage.h"

#include <QFile>
#include <QUuid>

namespace Blinkwit {

namespace {

QString freshName(const QString& directory) {
    return directory + QStringLiteral("/Blinkwit-") +
           QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

} // namespace

Downloader::Downloader(HttpClient& http, QUrl url, QString directory,
                       std::function<void(double)> onProgress, std::function<void(Result)> onFinish)
    : http_(http)
    , url_(std::move(url))
    , directory_(std::move(directory))
    , onProgress_(std::move(onProgress))
    , onFinish_(std::move(onFinish)) {}

Downloader::~Downloader() {
    transfer_.reset();
    if (!partial_.isEmpty())
        QFile::remove(partial_);
}

void Downloader::start() {
    if (!UpdateAddress::isAllowed(url_)) {
        onFinish_(
            {std::nullopt, QStringLiteral("The update image's address isn't secure (HTTPS).")});
        return;
    }
    partial_ = freshName(directory_) + QStringLiteral(".part");
    transfer_ = http_.download(
        url_, partial_, idleTimeout, UpdateImage::maximumSize,
        [this](qint64 received, qint64 expected) {
            if (expected > 0)
                onProgress_(double(received) / double(expected));
        },
        [this](const std::optional<QString>& error) { finished(error); });
}

void Downloader::finished(const std::optional<QString>& error) {
    const QString partial = std::exchange(partial_, QString());
    if (error) {
        QFile::remove(partial);
        onFinish_({std::nullopt, *error});
        return;
    }
    QString destination = partial;
    destination.replace(destination.size() - 5, 5, QStringLiteral(".tar"));
    QFile file(partial);
    if (!file.rename(destination)) {
        const QString problem = file.errorString();
        QFile::remove(partial);
        onFinish_({std::nullopt, QStringLiteral("Couldn't keep the download: %1").arg(problem)});
        return;
    }
    onFinish_({destination, {}});
}

} // namespace Blinkwit
