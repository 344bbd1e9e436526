#include "ScreenOCR.h"

#include "TextAssembly.h"
#include "TextRecognizer.h"

#include <QPointer>
#include <algorithm>

namespace Blinkwit {

namespace {

double area(const QRectF& rect) {
    return rect.isEmpty() ? 0.0 : rect.width() * rect.height();
}

// At least one pixel, whatever the rounding.
int pixelsFor(double points, double scale) {
    return std::max(1, int(points * scale));
}

} // namespace

ScreenOCR::ScreenOCR(ScreenGrabber& grabber, TextRecognizer& recognizer, QObject* parent)
    : QObject(parent)
    , grabber_(grabber)
    , recognizer_(recognizer) {
    worker_.setMaxThreadCount(1);
    worker_.setExpiryTimeout(-1);
}

ScreenOCR::~ScreenOCR() {
    worker_.waitForDone();
}

double ScreenOCR::backingScale(const ScreenGrabber& grabber, const QString& display) {
    return grabber.backingScale(display).value_or(defaultBackingScale);
}

std::optional<ScreenOCR::Capture> ScreenOCR::captureFor(const QRectF& rect,
                                                        const ScreenGrabber& grabber) {
    const std::vector<ScreenGrabber::Display> displays = grabber.displays();
    const ScreenGrabber::Display* chosen = nullptr;
    double largest = 0;
    for (const ScreenGrabber::Display& display : displays) {
        const double shared = area(display.bounds.intersected(rect));
        if (!chosen || shared > largest) {
            chosen = &display;
            largest = shared;
        }
    }
    if (!chosen || largest <= 0)
        return std::nullopt;
    const QRectF bounds = chosen->bounds;
    const QRectF local =
        rect.translated(-bounds.topLeft()).intersected(QRectF(QPointF(0, 0), bounds.size()));
    const double scale = backingScale(grabber, chosen->name);
    return Capture{chosen->name, local,
                   QSize(pixelsFor(local.width(), scale), pixelsFor(local.height(), scale))};
}

OcrResult ScreenOCR::recognize(TextRecognizer& recognizer, const QImage& image) {
    Recognition recognition = recognizer.recognize(image);
    if (auto* error = std::get_if<ScreenOCRError>(&recognition))
        return *error;
    std::optional<QString> text =
        TextAssembly::assemble(std::move(std::get<std::vector<Box>>(recognition)));
    if (!text)
        return ScreenOCRError(ScreenOCRError::Case::noText);
    return *text;
}

void ScreenOCR::deliver(Completion completion, OcrResult result) {
    QMetaObject::invokeMethod(
        this,
        [completion = std::move(completion), result = std::move(result)]() mutable {
            completion(std::move(result));
        },
        Qt::QueuedConnection);
}

void ScreenOCR::recognizeText(const QRectF& rect, Completion completion) {
    const std::optional<Capture> capture = captureFor(rect, grabber_);
    if (!capture)
        return deliver(std::move(completion), ScreenOCRError(ScreenOCRError::Case::noDisplay));
    grabber_.capture(capture->display, capture->source, capture->pixels,
                     [self = QPointer(this), completion](QImage image) {
                         if (self)
                             self->recognizeCaptured(std::move(image), completion);
                     });
}

void ScreenOCR::recognizeCaptured(QImage image, Completion completion) {
    if (image.isNull())
        return deliver(std::move(completion),
                       ScreenOCRError(ScreenOCRError::Case::captureFailed,
                                      QStringLiteral("Couldn't capture the selected region.")));
    // The destructor waits for the worker, so this object outlives the job.
    worker_.start([this, image = std::move(image), completion = std::move(completion)]() mutable {
        deliver(std::move(completion), recognize(recognizer_, image));
    });
}

} // namespace Blinkwit
