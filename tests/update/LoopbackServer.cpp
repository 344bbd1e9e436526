#include "LoopbackServer.h"

namespace Blinkwit::Testing {

LoopbackServer::LoopbackServer(const QString& root, const QStringList& tls) {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start("/usr/bin/python3", QStringList{LOOPBACK_SERVER, root} + tls);
    if (!process_.waitForReadyRead(10000))
        return;
    const QString port = QString::fromLatin1(process_.readLine()).trimmed();
    address_ = (tls.isEmpty() ? "http://127.0.0.1:" : "https://127.0.0.1:") + port;
}

LoopbackServer::~LoopbackServer() {
    process_.kill();
    process_.waitForFinished();
}

} // namespace Blinkwit::Testing
