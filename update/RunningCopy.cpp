#include "RunningCopy.h"

#include "bundle/Bundle.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace Blinkwit {

RunningCopy RunningCopy::current(std::function<Location()> location) {
    RunningCopy copy{QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath(),
                     std::nullopt,
                     {},
                     std::move(location),
                     QCoreApplication::applicationPid()};
    if (const std::optional<Bundle> bundle = Bundle::running()) {
        copy.bundle = bundle->path();
        if (const auto key = bundle->publicKey())
            copy.signer = key->signerId();
    }
    return copy;
}

} // namespace Blinkwit
