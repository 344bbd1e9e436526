#pragma once

#include "app/TextRecognizer.h"

#include <QString>
#include <memory>

namespace tesseract {
class TessBaseAPI;
}

namespace Blinkwit {

// Text recognition with Tesseract 5 and its English model. The engine starts on the first call
// and stays loaded for the next; its text lines are the fragments. Small text is enlarged and
// light text on a dark background inverted first, which Tesseract reads far better.
class TesseractRecognizer final : public TextRecognizer {
public:
    static constexpr const char* language = "eng";

    // dataPath: the folder holding eng.traineddata; empty means $TESSDATA_PREFIX, or the
    // system's folder when that is unset.
    explicit TesseractRecognizer(QString dataPath = {});
    ~TesseractRecognizer() override;
    TesseractRecognizer(const TesseractRecognizer&) = delete;
    TesseractRecognizer& operator=(const TesseractRecognizer&) = delete;

    Recognition recognize(const QImage& image) override;

    // Where the model is looked for.
    QString dataPath() const { return dataPath_; }

private:
    // The engine, started once; nothing and the reason when it cannot start.
    tesseract::TessBaseAPI* engine(QString& error);

    QString dataPath_;
    std::unique_ptr<tesseract::TessBaseAPI> api_;
};

} // namespace Blinkwit
