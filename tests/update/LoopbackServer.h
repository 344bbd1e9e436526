#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace Blinkwit::Testing {

// loopback_server.py serving a folder on 127.0.0.1, for as long as the object lives.
class LoopbackServer {
public:
    // With a certificate and key the server speaks TLS.
    explicit LoopbackServer(const QString& root, const QStringList& tls = {});
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // "http://127.0.0.1:PORT" (https with TLS); empty when the server did not start.
    QString address() const { return address_; }

private:
    QProcess process_;
    QString address_;
};

} // namespace Blinkwit::Testing
