#include "TesseractRecognizer.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QThread>
#include <algorithm>
#include <array>
#include <dlfcn.h>
#include <leptonica/allheaders.h>
#include <memory>
#include <optional>
#include <tesseract/baseapi.h>
#include <thread>
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
// Tesseract reads on one thread: a tall image is read in horizontal bands, one per core (up to
// four) on engines of their own, cut only where a row holds no ink.
constexpr int minimumBandHeight = 150;
constexpr int maximumBands = 4;
// A row whose lightest and darkest pixels are this close holds no ink.
constexpr int blankRowRange = 24;

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

// Rows first to last (exclusive) of the image.
using Band = std::pair<int, int>;

void setImage(tesseract::TessBaseAPI& api, const QImage& grey, Band rows, int scale) {
    api.SetImage(grey.constScanLine(rows.first), grey.width(), rows.second - rows.first, 1,
                 int(grey.bytesPerLine()));
    api.SetSourceResolution(screenResolution * scale);
}

bool blankRow(const QImage& grey, int row) {
    const uchar* line = grey.constScanLine(row);
    const auto [lightest, darkest] = std::minmax_element(line, line + grey.width());
    return *darkest - *lightest < blankRowRange;
}

// Bands of about equal height, as many as the cores and the height allow; fewer where no row
// near a cut is blank.
std::vector<Band> bands(const QImage& grey) {
    const int count = std::clamp(grey.height() / minimumBandHeight, 1,
                                 std::min(maximumBands, QThread::idealThreadCount()));
    std::vector<Band> bands;
    int top = 0;
    for (int i = 1; i < count; ++i) {
        const int ideal = grey.height() * i / count;
        const int reach = grey.height() / count / 2;
        // Nearest first: ideal, ideal - 1, ideal + 1, ideal - 2 ...
        for (int step = 0; step <= 2 * reach; ++step) {
            const int row = ideal + (step % 2 == 0 ? step / 2 : -(step + 1) / 2);
            if (row > top && row < grey.height() && blankRow(grey, row)) {
                bands.push_back({top, row});
                top = row;
                break;
            }
        }
    }
    bands.push_back({top, grey.height()});
    return bands;
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

struct TextLine {
    QString text;
    QRect box; // pixels of the band
};

std::vector<TextLine> textLines(tesseract::TessBaseAPI& api, int glyphHeight) {
    std::vector<TextLine> lines;
    std::unique_ptr<tesseract::ResultIterator> line(api.GetIterator());
    if (!line)
        return lines;
    do {
        const std::unique_ptr<char[]> text(line->GetUTF8Text(tesseract::RIL_TEXTLINE));
        int left = 0, top = 0, right = 0, bottom = 0;
        if (!text || line->Confidence(tesseract::RIL_TEXTLINE) < minimumLineConfidence ||
            !line->BoundingBox(tesseract::RIL_TEXTLINE, &left, &top, &right, &bottom))
            continue;
        std::tie(top, bottom) = lineExtent(*line, top, bottom, glyphHeight);
        lines.push_back({QString::fromUtf8(text.get()).trimmed(),
                         QRect(QPoint(left, top), QPoint(right - 1, bottom - 1))});
    } while (line->Next(tesseract::RIL_TEXTLINE));
    return lines;
}

// One band's text lines; nothing when Tesseract fails.
std::optional<std::vector<TextLine>> readBand(tesseract::TessBaseAPI& api, const QImage& grey,
                                              Band rows, int scale, int glyphHeight) {
    keepOpenMpOnThisThread();
    setImage(api, grey, rows, scale);
    std::optional<std::vector<TextLine>> lines;
    if (api.Recognize(nullptr) == 0)
        lines = textLines(api, glyphHeight);
    api.Clear(); // the image goes; the model stays loaded
    return lines;
}

// A band's line as a fragment: its box as fractions of the whole image, from its bottom-left
// corner, y up.
Box fragment(const TextLine& line, int bandTop, QSize image) {
    const double width = image.width();
    const double height = image.height();
    const QRect& box = line.box;
    return {line.text, QRectF(box.left() / width, (height - bandTop - box.bottom() - 1) / height,
                              box.width() / width, box.height() / height)};
}

} // namespace

TesseractRecognizer::TesseractRecognizer(QString dataPath)
    : dataPath_(dataPath.isEmpty() ? systemDataPath() : std::move(dataPath)) {}

TesseractRecognizer::~TesseractRecognizer() = default;

tesseract::TessBaseAPI* TesseractRecognizer::engine(std::size_t index, QString& error) {
    const QString model = QDir(dataPath_).filePath(QStringLiteral("%1.traineddata").arg(language));
    while (engines_.size() <= index) {
        // Checked first: Tesseract itself would only complain on standard error.
        if (!QFileInfo(model).isReadable()) {
            error = QStringLiteral("The English text recognition model is missing: %1 cannot be "
                                   "read (install tesseract-ocr-eng, or set TESSDATA_PREFIX)")
                        .arg(model);
            return nullptr;
        }
        auto api = std::make_unique<tesseract::TessBaseAPI>();
        if (api->Init(QFile::encodeName(dataPath_).constData(), language,
                      tesseract::OEM_LSTM_ONLY) != 0) {
            error = QStringLiteral("Tesseract could not start with the model %1").arg(model);
            return nullptr;
        }
        // Its notes and warnings would land on the program's standard error.
        api->SetVariable("debug_file", "/dev/null");
        engines_.push_back(std::move(api));
    }
    return engines_[index].get();
}

Recognition TesseractRecognizer::recognize(const QImage& image) {
    keepOpenMpOnThisThread();
    QString error;
    tesseract::TessBaseAPI* first = engine(0, error);
    if (!first)
        return ScreenOCRError(ScreenOCRError::Case::recognitionFailed, error);
    if (image.isNull())
        return std::vector<Box>();
    QImage grey = greyInk(image);
    setImage(*first, grey, {0, grey.height()}, 1);
    int glyphHeight = typicalGlyphHeight(*first);
    first->Clear();
    int scale = 1;
    if (worthEnlarging(grey, glyphHeight)) {
        scale = upscaleFactor;
        grey = grey.scaled(grey.size() * scale, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                   .convertToFormat(QImage::Format_Grayscale8);
        glyphHeight *= scale;
    }
    const std::vector<Band> rows = bands(grey);
    // Started here, one after the other, before any band is read: on first use only.
    std::vector<tesseract::TessBaseAPI*> apis;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        apis.push_back(engine(i, error));
        if (!apis.back())
            return ScreenOCRError(ScreenOCRError::Case::recognitionFailed, error);
    }
    std::vector<std::optional<std::vector<TextLine>>> read(rows.size());
    {
        std::vector<std::jthread> helpers;
        for (std::size_t i = 1; i < rows.size(); ++i)
            helpers.emplace_back(
                [&, i] { read[i] = readBand(*apis[i], grey, rows[i], scale, glyphHeight); });
        read[0] = readBand(*apis[0], grey, rows[0], scale, glyphHeight);
    }
    std::vector<Box> fragments;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!read[i])
            return ScreenOCRError(ScreenOCRError::Case::recognitionFailed,
                                  QStringLiteral("Tesseract could not read the image"));
        for (const TextLine& line : *read[i])
            fragments.push_back(fragment(line, rows[i].first, grey.size()));
    }
    return fragments;
}

} // namespace Blinkwit
