#pragma once

#include <QString>
#include <variant>

namespace Blinkwit {

// Why reading text from the screen or an image gave nothing. The first two cases are the
// reader's own findings with fixed descriptions; the others carry the platform's message.
class ScreenOCRError {
public:
    enum class Case { noDisplay, noText, captureFailed, recognitionFailed };

    explicit ScreenOCRError(Case errorCase, QString detail = {})
        : case_(errorCase)
        , detail_(std::move(detail)) {}

    Case errorCase() const { return case_; }
    QString description() const;

private:
    Case case_;
    QString detail_;
};

// Recognised text (never empty), or why there is none.
using OcrResult = std::variant<QString, ScreenOCRError>;

} // namespace Blinkwit
