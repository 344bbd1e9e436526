#pragma once

#include "HttpClient.h"

#include <QString>
#include <QUrl>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace Blinkwit {

// Downloads an update image into the temporary directory as "Blinkwit-<UUID>.tar" (the UUID in
// upper case), moving it to that name once complete. Progress is the fraction done, reported
// only when the server states the length. A failed or cancelled download leaves no file.
class Downloader {
public:
    struct Result {
        std::optional<QString> file;
        QString error;
    };
    static constexpr std::chrono::milliseconds idleTimeout{60000};

    Downloader(HttpClient& http, QUrl url, QString directory,
               std::function<void(double)> onProgress, std::function<void(Result)> onFinish);
    ~Downloader();
    Downloader(const Downloader&) = delete;
    Downloader& operator=(const Downloader&) = delete;

    void start();

private:
    void finished(const std::optional<QString>& error);

    HttpClient& http_;
    QUrl url_;
    QString directory_;
    std::function<void(double)> onProgress_;
    std::function<void(Result)> onFinish_;
    QString partial_;
    std::unique_ptr<HttpClient::Transfer> transfer_;
};

} // namespace Blinkwit
