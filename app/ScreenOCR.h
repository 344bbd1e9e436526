#pragma once

#include "ScreenGrabber.h"
#include "ScreenOCRError.h"

#include <QImage>
#include <QObject>
#include <QRectF>
#include <QThreadPool>
#include <functional>
#include <optional>

namespace Blinkwit {

class TextRecognizer;

// Turns a rectangle of the screen into reading text: captures only that part of the display
// holding most of it, at the display's own pixel density, recognises the text on a worker thread
// and assembles lines and paragraphs.
class ScreenOCR final : public QObject {
    Q_OBJECT
public:
    using Completion = std::function<void(OcrResult)>;

    // What to capture for a rectangle: which display, which part of it, how many pixels.
    struct Capture {
        QString display;
        QRectF source; // points from the display's top-left corner
        QSize pixels;
    };

    // Used when the chosen display's scale cannot be found.
    static constexpr double defaultBackingScale = 2.0;

    ScreenOCR(ScreenGrabber& grabber, TextRecognizer& recognizer, QObject* parent = nullptr);
    ~ScreenOCR() override;

    // `rect` is in points on the desktop, from the primary display's top-left corner. Captures at
    // once; always calls completion later, on this object's thread, unless this object is gone.
    void recognizeText(const QRectF& rect, Completion completion);

    // The display with the largest share of rect (the first listed on a tie), and rect clipped
    // to it; nothing when rect touches no display.
    static std::optional<Capture> captureFor(const QRectF& rect, const ScreenGrabber& grabber);
    static double backingScale(const ScreenGrabber& grabber, const QString& display);
    // Recognises and assembles the text of one image, on the calling thread.
    static OcrResult recognize(TextRecognizer& recognizer, const QImage& image);

private:
    void recognizeCaptured(QImage image, Completion completion);
    // Hands the result to completion on this object's thread, later.
    void deliver(Completion completion, OcrResult result);

    ScreenGrabber& grabber_;
    TextRecognizer& recognizer_;
    // One worker, kept: the recogniser is not reentrant, and a warm thread starts at once.
    QThreadPool worker_;
};

} // namespace Blinkwit
