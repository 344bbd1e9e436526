#include "TextPicture.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

namespace Blinkwit::Testing {

namespace {

constexpr int margin = 10;

QStringList wrap(const QString& paragraph, const QFontMetrics& metrics, int width) {
    QStringList lines;
    QString line;
    for (const QString& word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
            lines.append(line);
            line = word;
        } else {
            line = longer;
        }
    }
    if (!line.isEmpty())
        lines.append(line);
    return lines;
}

} // namespace

TextPicture TextPicture::paragraphs(const QStringList& paragraphs, const QString& family,
                                    int pixelSize, QColor ink, QColor paper, QSize size) {
    TextPicture picture{QImage(size, QImage::Format_RGB32), {}};
    picture.image.fill(paper);
    QPainter painter(&picture.image);
    QFont font(family);
    font.setPixelSize(pixelSize);
    painter.setFont(font);
    painter.setPen(ink);
    const QFontMetrics metrics(font);
    int baseline = margin + metrics.ascent();
    QStringList drawn;
    for (const QString& paragraph : paragraphs) {
        QStringList fitting;
        for (const QString& line : wrap(paragraph, metrics, size.width() - 2 * margin)) {
            if (baseline + metrics.descent() > size.height() - margin)
                break;
            painter.drawText(margin, baseline, line);
            fitting.append(line);
            baseline += metrics.lineSpacing();
        }
        if (!fitting.isEmpty())
            drawn.append(fitting.join(QLatin1Char('\n')));
        baseline += metrics.lineSpacing();
    }
    picture.text = drawn.join(QStringLiteral("\n\n"));
    return picture;
}

} // namespace Blinkwit::Testing
