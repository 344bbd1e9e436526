#pragma once

#include "update/ToolRunner.h"

namespace Blinkwit {

// ToolRunner on QProcess: the tool's output channels merged, waited for to the end.
class QProcessToolRunner final : public ToolRunner {
public:
    Result run(const QString& path, const QStringList& arguments) override;
};

} // namespace Blinkwit
