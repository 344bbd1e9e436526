#include "QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace Blinkwit {

namespace {

// Images are kept in one lossless format; the owner offers a dozen conversions of the same
// picture, and reading them all is slow.
QString imageFormatOf(const QStringList& formats) {
    if (formats.contains(QLatin1String("image/png")))
        return QStringLiteral("image/png");
    for (const QString& format : formats)
        if (format.startsWith(QLatin1String("image/")))
            return format;
    return {};
}

// X11 bookkeeping targets (TARGETS, TIMESTAMP, SAVE_TARGETS, ...) carry no MIME type; Qt's
// own image alias is offered again as image/*.
bool isDataFormat(const QString& format) {
    return format.contains(QLatin1Char('/')) && format != QLatin1String("application/x-qt-image");
}

} // namespace

QtClipboard::QtClipboard(QObject* parent)
    : QObject(parent) {
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            [this] { ++changeCount_; });
}

ClipboardSnapshot QtClipboard::snapshot() const {
    ClipboardSnapshot snapshot;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    if (!data)
        return snapshot;
    const QStringList formats = data->formats();
    const QString image = imageFormatOf(formats);
    for (const QString& format : formats) {
        if (!isDataFormat(format) ||
            (format.startsWith(QLatin1String("image/")) && format != image))
            continue;
        const QByteArray bytes = data->data(format);
        if (!bytes.isEmpty())
            snapshot.emplace_back(format, bytes);
    }
    return snapshot;
}

std::optional<QString> QtClipboard::plainText() const {
    QString text = QGuiApplication::clipboard()->text(QClipboard::Clipboard);
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

void QtClipboard::restore(const ClipboardSnapshot& snapshot) {
    auto* data = new QMimeData;
    for (const auto& [format, bytes] : snapshot)
        data->setData(format, bytes);
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
}

std::optional<QString> QtClipboard::selectedText() const {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard->supportsSelection())
        return std::nullopt;
    QString text = clipboard->text(QClipboard::Selection);
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

} // namespace Blinkwit
