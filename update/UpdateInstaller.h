#pragma once

#include "Installer.h"
#include "RunningCopy.h"
#include "ToolRunner.h"

#include <QString>
#include <optional>

namespace Blinkwit {

// The installer's steps, each done by a tool with fixed arguments: the running program's own
// `image assess`, `image unpack`, `bundle verify` and `bundle describe`, then `cp -a` into a
// private staging folder; the swap is a shell script started in the background. Every check
// stops at its first failure with its UpdateError and leaves the installed copy untouched.
class UpdateInstaller final : public Installer {
public:
    UpdateInstaller(ToolRunner& tools, RunningCopy running, QString temporaryDirectory);

    std::variant<QString, UpdateError> verifyAndStage(const QString& image) override;
    // A swap that does not start removes the staging folder.
    std::optional<QString> swapAndRelaunch(const QString& staged) override;

    // The value after "key=" on the first line that starts so, trimmed; none without one.
    static std::optional<QString> value(const QString& key, const QString& text);
    // Where the swap script's output goes: $XDG_STATE_HOME/blinkwit/update.log.
    static QString logPath();

private:
    std::variant<QString, UpdateError> checkAndCopy(const QString& unpacked);
    std::optional<QString> startSwap(const QString& staged);
    QString freshPath(const QString& prefix, const QString& suffix = {}) const;

    ToolRunner& tools_;
    RunningCopy running_;
    QString temporaryDirectory_;
};

} // namespace Blinkwit
