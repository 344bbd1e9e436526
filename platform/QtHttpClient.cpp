#include "QtHttpClient.h"

#include <QFile>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

namespace Blinkwit {

namespace {

// Errors of these kinds come with an HTTP answer: a status and a body (4xx and 5xx).
bool isHttpAnswer(QNetworkReply::NetworkError error) {
    return error == QNetworkReply::NoError ||
           (error >= QNetworkReply::ContentAccessDenied &&
            error <= QNetworkReply::UnknownContentError) ||
           (error >= QNetworkReply::InternalServerError &&
            error <= QNetworkReply::UnknownServerError);
}

// The transport error, if any: our own reason for cutting the transfer off first.
std::optional<QString> transportError(QNetworkReply* reply, const QString& problem) {
    if (!problem.isEmpty())
        return problem;
    if (isHttpAnswer(reply->error()))
        return std::nullopt;
    // Qt reports an expired transfer timeout as a cancellation.
    if (reply->error() == QNetworkReply::OperationCanceledError)
        return QStringLiteral("The request timed out.");
    return reply->errorString();
}

class ReplyTransfer final : public HttpClient::Transfer {
public:
    explicit ReplyTransfer(QNetworkReply* reply)
        : reply_(reply) {}
    ~ReplyTransfer() override {
        if (!reply_)
            return;
        reply_->disconnect();
        reply_->abort();
        reply_->deleteLater();
    }

private:
    QPointer<QNetworkReply> reply_;
};

} // namespace

QtHttpClient::QtHttpClient(QObject* parent)
    : QObject(parent) {}

QNetworkReply* QtHttpClient::start(const QUrl& url, std::chrono::milliseconds idle, qint64 maxBytes,
                                   std::shared_ptr<QString> problem) {
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setTransferTimeout(int(idle.count()));
    QNetworkReply* reply = manager_.get(request);
    connect(reply, &QNetworkReply::redirected, reply, [reply, problem](const QUrl& target) {
        // Only to HTTPS: plain HTTP to this machine is for an address chosen on purpose.
        if (reply->url().resolved(target).scheme() == QLatin1String("https")) {
            emit reply->redirectAllowed();
            return;
        }
        *problem = QStringLiteral("The server redirected to an address that isn't secure (HTTPS).");
        reply->abort();
    });
    connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, problem, maxBytes] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > maxBytes) {
            *problem = QStringLiteral("The server's answer is larger than expected.");
            reply->abort();
        }
    });
    return reply;
}

void QtHttpClient::get(const QUrl& url, std::chrono::milliseconds idle, qint64 maxBytes,
                       std::function<void(Answer)> done) {
    const auto problem = std::make_shared<QString>();
    const auto body = std::make_shared<QByteArray>();
    QNetworkReply* reply = start(url, idle, maxBytes, problem);
    connect(reply, &QNetworkReply::readyRead, reply, [reply, body, problem, maxBytes] {
        body->append(reply->read(maxBytes + 1 - body->size()));
        if (body->size() > maxBytes) {
            *problem = QStringLiteral("The server's answer is larger than expected.");
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [reply, body, problem, done] {
        reply->deleteLater();
        if (const std::optional<QString> error = transportError(reply, *problem)) {
            done({std::nullopt, *error});
            return;
        }
        body->append(reply->readAll());
        done({Response{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), *body},
              {}});
    });
}

std::unique_ptr<HttpClient::Transfer>
QtHttpClient::download(const QUrl& url, const QString& path, std::chrono::milliseconds idle,
                       qint64 maxBytes, Progress progress,
                       std::function<void(std::optional<QString>)> done) {
    const auto file = std::make_shared<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::NewOnly,
                    QFile::ReadOwner | QFile::WriteOwner)) {
        QTimer::singleShot(0, this, [done, error = file->errorString()] { done(error); });
        return std::make_unique<ReplyTransfer>(nullptr);
    }
    const auto problem = std::make_shared<QString>();
    const auto received = std::make_shared<qint64>(0);
    QNetworkReply* reply = start(url, idle, maxBytes, problem);
    const auto expected = [reply] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        return length.isValid() ? length.toLongLong() : qint64(-1);
    };
    connect(reply, &QNetworkReply::readyRead, reply,
            [reply, file, problem, received, maxBytes, progress, expected] {
                const QByteArray data = reply->read(maxBytes + 1 - *received);
                *received += data.size();
                if (*received > maxBytes || file->write(data) != data.size()) {
                    *problem = *received > maxBytes
                                   ? QStringLiteral("The download is larger than expected.")
                                   : file->errorString();
                    reply->abort();
                    return;
                }
                progress(*received, expected());
            });
    connect(reply, &QNetworkReply::finished, this,
            [reply, file, problem, received, expected, done] {
                reply->deleteLater();
                if (!file->flush() && problem->isEmpty())
                    *problem = file->errorString();
                file->close();
                std::optional<QString> error = transportError(reply, *problem);
                if (!error && expected() >= 0 && *received != expected())
                    error = QStringLiteral("The download ended before it was complete.");
                done(error);
            });
    return std::make_unique<ReplyTransfer>(reply);
}

} // namespace Blinkwit
