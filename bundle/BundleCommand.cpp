#include "BundleCommand.h"

#include "Bundle.h"
#include "BundleVerifier.h"

#include <QFileInfo>
#include <cstdio>
#include <string>

namespace Blinkwit {

namespace {

int verify(const Bundle& bundle) {
    const BundleVerifier::Verdict verdict = BundleVerifier::verify(bundle);
    if (!verdict.valid) {
        std::fprintf(stderr, "invalid: %s\n", verdict.problem.toUtf8().constData());
        return 1;
    }
    std::printf("valid\nsigner=%s\nfiles=%d\n", verdict.signer.toUtf8().constData(),
                verdict.fileCount);
    return 0;
}

int describe(const Bundle& bundle) {
    if (!QFileInfo(bundle.infoPath()).isFile()) {
        std::fprintf(stderr, "%s has no Info.json\n", bundle.path().toUtf8().constData());
        return 1;
    }
    const auto line = [](const char* name, const std::optional<QString>& value) {
        if (value)
            std::printf("%s=%s\n", name, value->toUtf8().constData());
    };
    const std::optional<Ed25519PublicKey> key = bundle.publicKey();
    line("Identifier", bundle.infoString(QString::fromLatin1(Bundle::identifierKey)));
    line("TeamIdentifier", key ? std::optional(key->signerId()) : std::nullopt);
    line("Version", bundle.infoString(QString::fromLatin1(Bundle::versionKey)));
    line("Build", bundle.infoString(QString::fromLatin1(Bundle::buildKey)));
    line("Commit", bundle.infoString(QString::fromLatin1(Bundle::commitKey)));
    return 0;
}

} // namespace

int BundleCommand::run(const std::vector<std::string_view>& arguments) {
    if (arguments.size() != 2 || (arguments[0] != "verify" && arguments[0] != "describe")) {
        std::fputs("usage: blinkwit bundle verify|describe DIR\n", stderr);
        return 2;
    }
    const Bundle bundle(QString::fromUtf8(arguments[1].data(), qsizetype(arguments[1].size())));
    return arguments[0] == "verify" ? verify(bundle) : describe(bundle);
}

} // namespace Blinkwit
