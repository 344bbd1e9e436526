#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace Blinkwit {

// The HTTP transfers of the update flow. Callbacks arrive on the main thread. Redirects are
// followed only to HTTPS addresses.
class HttpClient {
public:
    struct Response {
        int status = 0;
        QByteArray body;
    };
    // A response, or none with the transport error's description (refused, timed out, too
    // large, redirected away...).
    struct Answer {
        std::optional<Response> response;
        QString error;
    };
    // An ongoing download; destroying it cancels the transfer.
    class Transfer {
    public:
        virtual ~Transfer() = default;
    };
    using Progress = std::function<void(qint64 received, qint64 expected)>;

    virtual ~HttpClient() = default;

    // A GET that never answers from a cache. Fails when no data arrives for `idle`, or when the
    // body would exceed maxBytes.
    virtual void get(const QUrl& url, std::chrono::milliseconds idle, qint64 maxBytes,
                     std::function<void(Answer)> done) = 0;

    // Streams the body into file (created anew, readable by the user only), reporting bytes so
    // far and bytes expected (negative when the server gives no length). The HTTP status is not
    // looked at. done receives none on success, else the error's description; the file is then
    // whatever arrived. A body that ends before its stated length is an error.
    virtual std::unique_ptr<Transfer>
    download(const QUrl& url, const QString& file, std::chrono::milliseconds idle, qint64 maxBytes,
             Progress progress, std::function<void(std::optional<QString>)> done) = 0;
};

} // namespace Blinkwit
