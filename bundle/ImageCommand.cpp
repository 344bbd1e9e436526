#include "ImageCommand.h"

#include "ImageUnpacker.h"
#include "UpdateImage.h"

#include <cstdio>

namespace Blinkwit {

namespace {

QString text(std::string_view argument) {
    return QString::fromUtf8(argument.data(), qsizetype(argument.size()));
}

int reject(const QString& problem) {
    std::fprintf(stderr, "rejected: %s\n", problem.toUtf8().constData());
    return 1;
}

} // namespace

int ImageCommand::run(const std::vector<std::string_view>& arguments) {
    const bool assess = arguments.size() == 2 && arguments[0] == "assess";
    const bool unpack = arguments.size() == 3 && arguments[0] == "unpack";
    if (!assess && !unpack) {
        std::fputs("usage: blinkwit image assess FILE\n       blinkwit image unpack FILE DIR\n",
                   stderr);
        return 2;
    }
    UpdateImage image(text(arguments[1]));
    if (const auto problem = image.assess())
        return reject(*problem);
    if (assess) {
        std::printf("accepted\nsigner=%s\n", image.signer().toUtf8().constData());
        return 0;
    }
    if (const auto problem = ImageUnpacker().unpack(image.archive(), text(arguments[2]))) {
        std::fprintf(stderr, "%s\n", problem->toUtf8().constData());
        return 1;
    }
    return 0;
}

} // namespace Blinkwit
