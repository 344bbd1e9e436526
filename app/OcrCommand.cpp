#include "OcrCommand.h"

#include "ScreenOCR.h"
#include "platform/TesseractRecognizer.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <string>
#include <unistd.h>

namespace Blinkwit {

namespace {

// The file's bytes or standard input's, as a device for the image reader.
std::unique_ptr<QIODevice> openInput(const std::string& path, QString& reason) {
    if (path != "-") {
        auto file = std::make_unique<QFile>(QFile::decodeName(path.c_str()));
        if (!file->open(QIODevice::ReadOnly)) {
            reason = file->errorString();
            return nullptr;
        }
        return file;
    }
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly)) {
        reason = input.errorString();
        return nullptr;
    }
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(input.read(OcrCommand::maximumInputBytes + 1));
    if (buffer->size() > OcrCommand::maximumInputBytes) {
        reason = QStringLiteral("more than %1 MiB").arg(OcrCommand::maximumInputBytes >> 20);
        return nullptr;
    }
    buffer->open(QIODevice::ReadOnly);
    return buffer;
}

// libpng writes its own complaints straight to standard error, where they would add a line to
// the one this command writes.
class QuietStandardError {
public:
    QuietStandardError()
        : saved_(dup(STDERR_FILENO)) {
        const int sink = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (sink >= 0) {
            dup2(sink, STDERR_FILENO);
            close(sink);
        }
    }
    ~QuietStandardError() {
        if (saved_ < 0)
            return;
        dup2(saved_, STDERR_FILENO);
        close(saved_);
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved_;
};

bool withinLimits(QSize size) {
    return size.width() <= OcrCommand::maximumSide && size.height() <= OcrCommand::maximumSide &&
           qint64(size.width()) * size.height() <= OcrCommand::maximumPixels;
}

QString tooLarge(QSize size) {
    return QStringLiteral("the image is %1 × %2 pixels; at most %3 million pixels, and %4 in "
                          "either direction, are read")
        .arg(size.width())
        .arg(size.height())
        .arg(OcrCommand::maximumPixels / 1'000'000)
        .arg(OcrCommand::maximumSide);
}

int fail(const std::string& what, const QString& reason) {
    std::fprintf(stderr, "blinkwit ocr: %s: %s\n", what.c_str(), reason.toLocal8Bit().constData());
    return 1;
}

} // namespace

const char* OcrCommand::usage() {
    return "usage: blinkwit ocr [IMAGE|-]\n";
}

std::optional<QImage> OcrCommand::decode(QIODevice& device, QString& reason) {
    const QuietStandardError quiet;
    QImageReader reader(&device);
    if (!reader.canRead()) {
        reason = QStringLiteral("not an image in a format this program reads (PNG, JPEG, ...)");
        return std::nullopt;
    }
    // Known from the header for most formats: refused before any memory is taken for pixels.
    if (reader.size().isValid() && !withinLimits(reader.size())) {
        reason = tooLarge(reader.size());
        return std::nullopt;
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        reason = QStringLiteral("the image cannot be decoded (%1)").arg(reader.errorString());
        return std::nullopt;
    }
    if (!withinLimits(image.size())) {
        reason = tooLarge(image.size());
        return std::nullopt;
    }
    return image;
}

int OcrCommand::run(const std::vector<std::string_view>& args) {
    std::string path = "-";
    bool named = false;
    for (const std::string_view arg : args) {
        const bool option = arg.size() > 1 && arg.front() == '-';
        if (option || named) {
            std::fprintf(stderr, "blinkwit ocr: %s '%s'\n%s",
                         option ? "unknown option" : "more than one image:",
                         std::string(arg).c_str(), usage());
            return 2;
        }
        path = std::string(arg);
        named = true;
    }
    // Nothing named and nothing piped in: waiting for an image from the keyboard would hang.
    if (!named && isatty(STDIN_FILENO)) {
        std::fprintf(stderr, "blinkwit ocr: no image given: name an IMAGE or pipe one in\n%s",
                     usage());
        return 2;
    }
    const std::string what = path == "-" ? "standard input" : path;
    QString reason;
    const std::unique_ptr<QIODevice> input = openInput(path, reason);
    if (!input)
        return fail("cannot read " + what, reason);
    const std::optional<QImage> image = decode(*input, reason);
    if (!image)
        return fail(what, reason);

    TesseractRecognizer recognizer;
    const OcrResult result = ScreenOCR::recognize(recognizer, *image);
    if (const auto* error = std::get_if<ScreenOCRError>(&result)) {
        std::fprintf(stderr, "%s\n", error->description().toLocal8Bit().constData());
        return 1;
    }
    std::printf("%s\n", std::get<QString>(result).toUtf8().constData());
    return 0;
}

} // namespace Blinkwit
