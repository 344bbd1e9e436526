#include "app/ScreenOCR.h"
#include "platform/TesseractRecognizer.h"
#include "tests/support/TextPicture.h"

#include <QFont>
#include <QPainter>
#include <QRandomGenerator>
#include <gtest/gtest.h>

// The real recogniser on text drawn as screens show it, with the fonts a desktop uses.

namespace Blinkwit {
namespace {

using Testing::TextPicture;

const QStringList prose = {
    QStringLiteral("Reading on a screen is a different task from reading on paper. The eye jumps "
                   "from word to word, and each jump costs a little time."),
    QStringLiteral("A speed reader shows one word at a time in the same place, so that the eye can "
                   "rest while the words arrive.")};

QString read(const QImage& image) {
    static TesseractRecognizer recognizer; // loaded once, as in the resident program
    const OcrResult result = ScreenOCR::recognize(recognizer, image);
    if (const auto* error = std::get_if<ScreenOCRError>(&result))
        return QStringLiteral("<error> ") + error->description();
    return std::get<QString>(result);
}

QImage filled(QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

TEST(RecognitionTest, ParagraphsComeBackWithTheirLinesAndBreaks) {
    const TextPicture picture =
        TextPicture::paragraphs(prose, QStringLiteral("DejaVu Serif"), 15, QColor(40, 40, 40),
                                QColor(250, 248, 240), QSize(640, 240));
    EXPECT_EQ(read(picture.image), picture.text);
}

TEST(RecognitionTest, SmallTextIsReadWhole) {
    for (const int size : {9, 10, 11}) {
        const TextPicture picture = TextPicture::paragraphs(
            {prose[0]}, QStringLiteral("DejaVu Sans"), size, Qt::black, Qt::white, QSize(420, 80));
        EXPECT_EQ(read(picture.image), picture.text) << size << " px";
    }
}

TEST(RecognitionTest, LightTerminalTextOnDarkIsRead) {
    const TextPicture picture = TextPicture::paragraphs(
        {QStringLiteral("user@host:~/src/blinkwit$ git status"),
         QStringLiteral("On branch main, nothing to commit, working tree clean")},
        QStringLiteral("DejaVu Sans Mono"), 13, QColor(0xd3, 0xd7, 0xcf), QColor(0x1e, 0x1e, 0x1e),
        QSize(520, 90));
    EXPECT_EQ(read(picture.image), picture.text);
}

TEST(RecognitionTest, FragmentsFarApartOnOneLineAreJoinedInOrder) {
    QImage image = filled(QSize(800, 70), Qt::white);
    QPainter painter(&image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(14);
    painter.setFont(font);
    painter.drawText(20, 28, QStringLiteral("Total amount"));
    painter.drawText(640, 28, QStringLiteral("42 dollars"));
    painter.drawText(20, 48, QStringLiteral("Due date"));
    painter.drawText(640, 48, QStringLiteral("next Monday"));
    painter.end();
    EXPECT_EQ(read(image), QStringLiteral("Total amount 42 dollars\nDue date next Monday"));
}

TEST(RecognitionTest, ImagesWithoutTextHaveNone) {
    QImage noise(320, 160, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, random.generate() | 0xff000000u);
    const QString noText = QStringLiteral("<error> No text was recognized in the selected region.");
    EXPECT_EQ(read(filled(QSize(400, 200), Qt::white)), noText);
    EXPECT_EQ(read(filled(QSize(1, 1), Qt::black)), noText);
    EXPECT_EQ(read(noise), noText);
}

TEST(RecognitionTest, AMissingModelIsAFailureThatNamesIt) {
    TesseractRecognizer recognizer(QStringLiteral("/nonexistent/tessdata"));
    const Recognition result = recognizer.recognize(filled(QSize(40, 40), Qt::white));
    const auto* error = std::get_if<ScreenOCRError>(&result);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->errorCase(), ScreenOCRError::Case::recognitionFailed);
    EXPECT_TRUE(
        error->description().contains(QStringLiteral("/nonexistent/tessdata/eng.traineddata")))
        << error->description().toStdString();
}

} // namespace
} // namespace Blinkwit
