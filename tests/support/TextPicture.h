#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

namespace Blinkwit::Testing {

// Text drawn as a screen would show it, for the recogniser to read back.
struct TextPicture {
    QImage image;
    // What was drawn: the wrapped lines joined by "\n", paragraphs by "\n\n".
    QString text;

    // Paragraphs wrapped to the picture's width inside a margin of 10 pixels, one blank line
    // between paragraphs, as many lines as fit.
    static TextPicture paragraphs(const QStringList& paragraphs, const QString& family,
                                  int pixelSize, QColor ink, QColor paper, QSize size);
};

} // namespace Blinkwit::Testing
