#pragma once

#include "app/TextRecognizer.h"

#include <QString>
#include <memory>
#include <vector>

namespace tesseract {
class TessBaseAPI;
}

namespace Blinkwit {

// Text recognition with Tesseract 5 and its English model. The engines start on the first call
// and stay loaded for the next; its text lines are the fragments. Small text is enlarged and
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
    // The index-th engine (one per band of a tall image), started once; nothing and the reason
    // when it cannot start.
    tesseract::TessBaseAPI* engine(std::size_t index, QString& error);

    QString dataPath_;
    std::vector<std::unique_ptr<tesseract::TessBaseAPI>> engines_;
};

} // namespace Blinkwit
