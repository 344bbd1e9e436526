#pragma once

#include <QImage>
#include <QString>
#include <optional>
#include <string_view>
#include <vector>

class QIODevice;

namespace Blinkwit {

// `blinkwit ocr [IMAGE|-]`: recognises the text of a PNG or JPEG image (or any other format Qt
// reads) and prints it. Needs no display.
class OcrCommand {
public:
    // Larger images are refused before they are decoded: a 20000 × 20000 image would need 1.6 GB.
    static constexpr qint64 maximumPixels = 40'000'000;
    // Tesseract keeps coordinates in 16 bits.
    static constexpr int maximumSide = 32767;
    // Standard input is read whole first; a valid image within the pixel limit is far smaller.
    static constexpr qint64 maximumInputBytes = 256 * 1024 * 1024;

    OcrCommand() = delete;

    static const char* usage();

    // Exit status: 0 text printed, 1 no text or an image that cannot be read, 2 usage.
    static int run(const std::vector<std::string_view>& args);

    // The decoded image from the device, or nothing with a one-line reason.
    static std::optional<QImage> decode(QIODevice& device, QString& reason);
};

} // namespace Blinkwit
