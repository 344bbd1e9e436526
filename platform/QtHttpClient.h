#pragma once

#include "update/HttpClient.h"

#include <QNetworkAccessManager>
#include <QObject>

class QNetworkReply;
class QNetworkRequest;

namespace Blinkwit {

// HttpClient on Qt Network. Answers are never taken from or put into a cache; an answer that
// grows past its limit is cut off at once; redirects are followed only to allowed addresses.
class QtHttpClient final : public QObject, public HttpClient {
    Q_OBJECT
public:
    explicit QtHttpClient(QObject* parent = nullptr);

    void get(const QUrl& url, std::chrono::milliseconds idle, qint64 maxBytes,
             std::function<void(Answer)> done) override;
    std::unique_ptr<Transfer> download(const QUrl& url, const QString& file,
                                       std::chrono::milliseconds idle, qint64 maxBytes,
                                       Progress progress,
                                       std::function<void(std::optional<QString>)> done) override;

private:
    QNetworkReply* start(const QUrl& url, std::chrono::milliseconds idle, qint64 maxBytes,
                         std::shared_ptr<QString> problem);

    QNetworkAccessManager manager_;
};

} // namespace Blinkwit
