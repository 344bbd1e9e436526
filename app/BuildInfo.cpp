#include "BuildInfo.h"

#include "BuildIdentity.h"

namespace Blinkwit {

QString BuildInfo::version() {
    return QStringLiteral(BLINKWIT_VERSION);
}
QString BuildInfo::buildNumber() {
    return QStringLiteral(BLINKWIT_BUILD_NUMBER);
}
QString BuildInfo::gitCommit() {
    return QStringLiteral(BLINKWIT_GIT_COMMIT);
}

} // namespace Blinkwit
