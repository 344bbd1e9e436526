// Warm text recognition of an 800 × 400 region, as the resident program does for every region
// after the first: the Tesseract engine is loaded once, outside the timing.
//   QT_QPA_PLATFORM=offscreen build-release/bench/bench_ocr
// Cases: body text at 14 px (read as it is), 10 px (enlarged first), and a terminal's light
// 13 px monospaced text on a dark background (inverted first).

#include "app/ScreenOCR.h"
#include "platform/TesseractRecognizer.h"
#include "tests/support/TextPicture.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace {

using namespace Blinkwit;

const QStringList prose = {
    QStringLiteral("Reading on a screen is a different task from reading on paper. The eye jumps "
                   "from word to word, and each jump costs a little time. A speed reader removes "
                   "those jumps by showing one word at a time in the same place, so that the eye "
                   "can rest while the words arrive."),
    QStringLiteral("Numbers such as 1534 or 10:00 and names like README.md, user@host and "
                   "~/src/app must survive the trip unchanged. When the text is small, every "
                   "pixel matters: thin strokes blur together, and letters such as r, n and m "
                   "start to look alike. Careful scaling helps the recogniser see each shape "
                   "clearly before it decides what it is looking at.")};

Testing::TextPicture picture(int which) {
    const QSize region(800, 400);
    switch (which) {
    case 0:
        return Testing::TextPicture::paragraphs(prose, QStringLiteral("DejaVu Sans"), 14, Qt::black,
                                                Qt::white, region);
    case 1:
        return Testing::TextPicture::paragraphs(prose, QStringLiteral("DejaVu Sans"), 10, Qt::black,
                                                Qt::white, region);
    default:
        return Testing::TextPicture::paragraphs(prose, QStringLiteral("DejaVu Sans Mono"), 13,
                                                QColor(0xd3, 0xd7, 0xcf), QColor(0x1e, 0x1e, 0x1e),
                                                region);
    }
}

void warmRecognition(benchmark::State& state) {
    const QImage image = picture(int(state.range(0))).image;
    TesseractRecognizer recognizer;
    if (!std::holds_alternative<QString>(ScreenOCR::recognize(recognizer, image))) {
        state.SkipWithError("nothing recognised");
        return;
    }
    for (auto _ : state) {
        OcrResult result = ScreenOCR::recognize(recognizer, image);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(warmRecognition)->ArgName("case")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
