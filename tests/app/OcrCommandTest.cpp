#include "app/OcrCommand.h"

#include "tests/support/TextPicture.h"

#include <QBuffer>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// blinkwit ocr as a script uses it: without a display, an exit status and one line per failure.

namespace Blinkwit {
namespace {

struct Outcome {
    int exitCode;
    QString output;
    QString error;
};

Outcome ocr(const QStringList& args, const QByteArray& input = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(BLINKWIT_EXECUTABLE), QStringList{QStringLiteral("ocr")} + args);
    process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QByteArray png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

TEST(OcrCommandTest, PrintsTheTextOfAFileOrStandardInput) {
    const Testing::TextPicture picture = Testing::TextPicture::paragraphs(
        {QStringLiteral("Text in a picture, read back by the command.")},
        QStringLiteral("DejaVu Sans"), 16, Qt::black, Qt::white, QSize(460, 50));
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("text.png"));
    ASSERT_TRUE(picture.image.save(path));
    for (const Outcome& outcome : {ocr({path}), ocr({QStringLiteral("-")}, png(picture.image))}) {
        EXPECT_EQ(outcome.exitCode, 0) << outcome.error.toStdString();
        EXPECT_EQ(outcome.output, picture.text + QLatin1Char('\n'));
    }
}

TEST(OcrCommandTest, EveryFailureIsOneLineAndAnExitStatus) {
    QTemporaryDir folder;
    const auto file = [&](const char* name, const QByteArray& bytes) {
        QFile out(folder.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return out.fileName();
    };
    QImage blank(200, 80, QImage::Format_RGB32);
    blank.fill(Qt::white);
    const QByteArray text = png(Testing::TextPicture::paragraphs(
                                    {QStringLiteral("Cut short")}, QStringLiteral("DejaVu Sans"),
                                    16, Qt::black, Qt::white, QSize(200, 50))
                                    .image);
    const struct {
        QStringList args;
        int exitCode;
        const char* error;
    } cases[] = {
        {{file("blank.png", png(blank))}, 1, "No text was recognized in the selected region."},
        {{file("cut.png", text.left(text.size() / 2))}, 1, "the image cannot be decoded"},
        {{file("huge.ppm", "P6 20000 20000 255\n")}, 1, "20000 × 20000 pixels"},
        {{file("notes.txt", "plain words")}, 1, "not an image"},
        {{folder.filePath(QStringLiteral("missing.png"))}, 1, "cannot read"},
        {{QStringLiteral("a.png"), QStringLiteral("b.png")}, 2, "more than one image"},
        {{QStringLiteral("--fast")}, 2, "unknown option"},
    };
    for (const auto& [args, exitCode, error] : cases) {
        const Outcome outcome = ocr(args);
        EXPECT_EQ(outcome.exitCode, exitCode) << args.join(' ').toStdString();
        EXPECT_TRUE(outcome.error.contains(QString::fromUtf8(error)))
            << outcome.error.toStdString();
        EXPECT_TRUE(outcome.output.isEmpty());
        if (exitCode == 1) {
            EXPECT_EQ(outcome.error.count(QLatin1Char('\n')), 1) << outcome.error.toStdString();
        }
    }
}

} // namespace
} // namespace Blinkwit
