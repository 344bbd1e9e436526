#include "TesseractRecognizer.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <algorithm>
#include <array>
#include <dlfcn.h>
#include <leptonica/allheaders.h>
#include <memory>
#include <tesseract/baseapi.h>
#include <tuple>
#include <vector>

namespace Blinkwit {

namespace {

// Screens are taken to have 96 dots per inch; an enlarged image has proportionally more.
constexpr int screenResolution = 96;
// Text whose typical glyph (most are lower case) is shorter than this many pixels is read
// enlarged twice, smoothly: 9-12 px text loses letters at its own size. Bigger factors add
// nothing; larger text reads as well or better unscaled.
constexpr int smallGlyphHeight = 8;
constexpr int upscaleFactor = 2;
// Enlarging costs time in proportion to the pixels; beyond this the text stays as it is.
constexpr qint64 maximumUpscaledPixels = 16'000'000;
// How far a line's box may reach above and below its baseline, in typical glyph heights (most
// glyphs are lower case: capitals and ascenders reach about 1.4 of them, descenders 0.45).
constexpr double maximumAscent = 2.0;
constexpr double maximumDescent = 0.6;
// Lines read from noise, icons or pictures come with a low confidence (measured: at most 30 of
// 100), lines of rendered text with a high one (65 and more, down to 8 px text).
constexpr float minimumLineConfidence = 40;

// Tesseract's OpenMP loops ask for up to ten threads; on a machine with few cores the extra,
// spinning threads make recognition two to four times slower. OMP_THREAD_LIMIT would stop
// them, but libgomp reads it once, when it is loaded, before main() runs. Making every parallel
// region inactive on the calling thread has the same effect from here on. A limit the user set
// is left to rule.
void keepOpenMpOnThisThread() {
    if (qEnvironmentVariableIsSet("OMP_THREAD_LIMIT"))
        return;
    using SetMaxActiveLevels = void (*)(int);
    static const auto setMaxActiveLevels =
        reinterpret_cast<SetMaxActiveLevels>(dlsym(RTLD_DEFAULT, "omp_set_max_active_levels"));
    if (setMaxActiveLevels)
        setMaxActiveLevels(0);
}

QString systemDataPath() {
    const QByteArray prefix = qgetenv("TESSDATA_PREFIX");
    if (!prefix.isEmpty())
        return QString::fromLocal8Bit(prefix);
    return QStringLiteral(BLINKWIT_TESSDATA);
}

// Grey, dark text on a light background: transparent parts are laid over white, and an image
// whose typical (median) pixel is dark is inverted.
QImage greyInk(const QImage& image) {
    QImage grey;
    if (image.hasAlphaChannel()) {
        QImage flat(image.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter(&flat).drawImage(0, 0, image);
        grey = flat.convertToFormat(QImage::Format_Grayscale8);
    } else {
        grey = image.convertToFormat(QImage::Format_Grayscale8);
    }
    std::array<qint64, 256> histogram{};
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* line = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            ++histogram[line[x]];
    }
    const qint64 half = qint64(grey.width()) * grey.height() / 2;
    qint64 seen = 0;
    int middle = 0;
    while (middle < 255 && (seen += histogram[middle]) <= half)
        ++middle;
    if (middle < 128)
        grey.invertPixels();
    return grey;
}

void setImage(tesseract::TessBaseAPI& api, const QImage& grey, int scale) {
    api.SetImage(grey.constBits(), grey.width(), grey.height(), 1, int(grey.bytesPerLine()));
    api.SetSourceResolution(screenResolution * scale);
}

int median(std::vector<int> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// The median height of the glyph-sized components Tesseract found in the image set last.
int typicalGlyphHeight(tesseract::TessBaseAPI& api) {
    Boxa* boxes = api.GetConnectedComponents(nullptr);
    std::vector<int> heights;
    for (int i = 0; boxes && i < boxaGetCount(boxes); ++i) {
        l_int32 x = 0, y = 0, width = 0, height = 0;
        if (boxaGetBoxGeometry(boxes, i, &x, &y, &width, &height) == 0)
            heights.push_back(height);
    }
    boxaDestroy(&boxes);
    return heights.empty() ? 0 : median(std::move(heights));
}

bool worthEnlarging(const QImage& grey, int glyphHeight) {
    const qint64 enlarged = qint64(grey.width()) * grey.height() * upscaleFactor * upscaleFactor;
    return glyphHeight > 0 && glyphHeight < smallGlyphHeight && enlarged <= maximumUpscaledPixels;
}

// The text line's extent, kept within reach of its baseline. With tight line spacing glyphs of
// neighbouring lines touch, and Tesseract's line box (and every word and letter box in it) then
// reaches into the next line; fragments that tall would be joined into one line.
std::pair<int, int> lineExtent(tesseract::ResultIterator& line, int top, int bottom,
                               int glyphHeight) {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (glyphHeight <= 0 || !line.Baseline(tesseract::RIL_TEXTLINE, &x1, &y1, &x2, &y2))
        return {top, bottom};
    const int baseline = (y1 + y2) / 2;
    return {std::max(top, baseline - int(maximumAscent * glyphHeight)),
            std::min(bottom, baseline + int(maximumDescent * glyphHeight))};
}

// Text lines as fragments, with boxes as fractions of the image, from its bottom-left corner.
std::vector<Box> textLines(tesseract::TessBaseAPI& api, QSize size, int glyphHeight) {
    std::vector<Box> fragments;
    std::unique_ptr<tesseract::ResultIterator> line(api.GetIterator());
    if (!line)
        return fragments;
    const double width = size.width();
    const double height = size.height();
    do {
        const std::unique_ptr<char[]> text(line->GetUTF8Text(tesseract::RIL_TEXTLINE));
        int left = 0, top = 0, right = 0, bottom = 0;
        if (!text || line->Confidence(tesseract::RIL_TEXTLINE) < minimumLineConfidence ||
            !line->BoundingBox(tesseract::RIL_TEXTLINE, &left, &top, &right, &bottom))
            continue;
        std::tie(top, bottom) = lineExtent(*line, top, bottom, glyphHeight);
        fragments.push_back({QString::fromUtf8(text.get()).trimmed(),
                             QRectF(left / width, (height - bottom) / height,
                                    (right - left) / width, (bottom - top) / height)});
    } while (line->Next(tesseract::RIL_TEXTLINE));
    return fragments;
}

} // namespace

TesseractRecognizer::TesseractRecognizer(QString dataPath)
    : dataPath_(dataPath.isEmpty() ? systemDataPath() : std::move(dataPath)) {}

TesseractRecognizer::~TesseractRecognizer() = default;

tesseract::TessBaseAPI* TesseractRecognizer::engine(QString& error) {
    if (api_)
        return api_.get();
    const QString model = QDir(dataPath_).filePath(QStringLiteral("%1.traineddata").arg(language));
    // Checked first: Tesseract itself would only complain on standard error.
    if (!QFileInfo(model).isReadable()) {
        error = QStringLiteral("The English text recognition model is missing: %1 cannot be read "
                               "(install tesseract-ocr-eng, or set TESSDATA_PREFIX)")
                    .arg(model);
        return nullptr;
    }
    auto api = std::make_unique<tesseract::TessBaseAPI>();
    if (api->Init(QFile::encodeName(dataPath_).constData(), language, tesseract::OEM_LSTM_ONLY) !=
        0) {
        error = QStringLiteral("Tesseract could not start with the model %1").arg(model);
        return nullptr;
    }
    // Its notes and warnings would land on the program's standard error.
    api->SetVariable("debug_file", "/dev/null");
    api_ = std::move(api);
    return api_.get();
}

Recognition TesseractRecognizer::recognize(const QImage& image) {
    keepOpenMpOnThisThread();
    QString error;
    tesseract::TessBaseAPI* api = engine(error);
    if (!api)
        return ScreenOCRError(ScreenOCRError::Case::recognitionFailed, error);
    if (image.isNull())
        return std::vector<Box>();
    QImage grey = greyInk(image);
    setImage(*api, grey, 1);
    int glyphHeight = typicalGlyphHeight(*api);
    if (worthEnlarging(grey, glyphHeight)) {
        grey = grey.scaled(grey.size() * upscaleFactor, Qt::IgnoreAspectRatio,
                           Qt::SmoothTransformation)
                   .convertToFormat(QImage::Format_Grayscale8);
        glyphHeight *= upscaleFactor;
        setImage(*api, grey, upscaleFactor);
    }
    const int failed = api->Recognize(nullptr);
    std::vector<Box> fragments;
    if (failed == 0)
        fragments = textLines(*api, grey.size(), glyphHeight);
    api->Clear(); // the image goes; the model stays loaded
    if (failed != 0)
        return ScreenOCRError(ScreenOCRError::Case::recognitionFailed,
                              QStringLiteral("Tesseract could not read the image"));
    return fragments;
}

} // namespace Blinkwit
