#pragma once

#include "app/InstanceChannel.h"

#include <QObject>
#include <QVariantList>
#include <memory>

namespace Blinkwit {

// The instance channel on the session bus: the resident owns the well-known name and serves
// the object below; requests are method calls that the resident answers at once and carries
// out afterwards, so a caller never waits for the reading itself.
class DBusInstanceChannel final : public InstanceChannel {
public:
    static constexpr const char* serviceName = "com.blinkwit.app";
    static constexpr const char* objectPath = "/com/blinkwit/app";
    static constexpr const char* interfaceName = "com.blinkwit.app.Resident";
    static constexpr const char* unknownCommandError = "com.blinkwit.app.Error.UnknownCommand";
    static constexpr int replyTimeoutMilliseconds = 5000;

    DBusInstanceChannel();
    ~DBusInstanceChannel() override;

    Claim claim(Handlers handlers, QString& detail) override;
    void release() override;
    Reply requestReopen() override;
    Reply requestCommand(const QString& name) override;

private:
    Reply call(const QString& method, const QVariantList& arguments);

    // The object served while this copy is the resident.
    std::unique_ptr<QObject> adaptor_;
};

} // namespace Blinkwit
