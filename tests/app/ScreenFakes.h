#pragma once

#include "app/ScreenGrabber.h"
#include "app/TextRecognizer.h"

#include <QThread>
#include <atomic>
#include <map>

namespace Blinkwit::Testing {

// Displays with fixed geometry and scales; every capture is recorded and answered with image.
class FakeScreens final : public ScreenGrabber {
public:
    struct Grab {
        QString display;
        QRectF source;
        QSize pixels;
    };

    std::vector<Display> displays() const override { return list; }
    std::optional<double> backingScale(const QString& display) const override {
        const auto found = scales.find(display);
        return found == scales.end() ? std::nullopt : std::optional(found->second);
    }
    QImage grab(const QString& display, const QRectF& source, QSize pixels) override {
        grabs.push_back({display, source, pixels});
        return image;
    }

    std::vector<Display> list{{QStringLiteral("primary"), QRectF(0, 0, 1440, 900)}};
    std::map<QString, double> scales{{QStringLiteral("primary"), 1.0}};
    QImage image{8, 8, QImage::Format_RGB32};
    std::vector<Grab> grabs;
};

// Answers every image with the same fragments (or failure), noting the thread it ran on.
class FakeRecognizer final : public TextRecognizer {
public:
    Recognition recognize(const QImage&) override {
        thread = QThread::currentThread();
        ++calls;
        return answer;
    }

    std::atomic<QThread*> thread = nullptr;
    std::atomic<int> calls = 0;
    // Changed only between requests.
    Recognition answer =
        std::vector<Box>{{QStringLiteral("Recognised words here."), QRectF(0.1, 0.4, 0.8, 0.2)}};
};

} // namespace Blinkwit::Testing
