#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

namespace Blinkwit {

// Which build is running: the Info.json entries of the running bundle or, outside a bundle (a
// build tree), the values this program was compiled with. The overloads taking a lookup
// describe any other set of entries the same way (another bundle, tests).
class BuildInfo {
public:
    using InfoLookup = std::function<std::optional<QString>(const QString& key)>;

    static constexpr const char* versionKey = "CFBundleShortVersionString";
    static constexpr const char* buildNumberKey = "CFBundleVersion";
    static constexpr const char* commitKey = "BlinkwitGitCommit";
    static constexpr const char* identifierKey = "CFBundleIdentifier";
    static constexpr const char* identifier = "com.blinkwit.app";

    BuildInfo() = delete;

    // The published build manifest (HTTPS, path /build.json), fixed at build time.
    static QUrl manifestURL();
    // The entry's value when it is a string.
    static std::optional<QString> string(const QString& key);
    // The commit the build was made from; absent when missing, empty or "unknown".
    static std::optional<QString> commit();
    // "1.4.2 (57) · a1b2c3d", or "1.4.2 (57)" without a commit; "0.0.0 (0)" without entries.
    static QString displayString();

    static std::optional<QString> commit(const InfoLookup& info);
    static QString displayString(const InfoLookup& info);
    // The entries compiled into this program.
    static std::optional<QString> compiledIn(const QString& key);
};

} // namespace Blinkwit
