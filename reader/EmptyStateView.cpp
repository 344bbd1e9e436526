#include "EmptyStateView.h"

#include "CentredStack.h"
#include "ReaderFont.h"
#include "ReaderSymbols.h"
#include "ReaderTheme.h"

#include <QPainter>

namespace Blinkwit {

namespace {

constexpr double spacing = 8;
constexpr double symbolSize = 28;
constexpr double bodyPadding = 40;

} // namespace

EmptyStateView::EmptyStateView(const AppSettings& settings, QWidget* parent)
    : QWidget(parent)
    , settings_(settings) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

// The keys are named the Linux way: "⌃⇧R", "⌃⇧V" -> "Ctrl+Shift+R", "Ctrl+Shift+V".
CentredStack EmptyStateView::stack(const QPaintDevice* device) const {
    const ReaderTheme theme = ReaderTheme::of(settings_);
    const double wide = width();
    CentredStack stack(spacing);
    stack.addSymbol(symbolSize, [colour = theme.tertiaryText()](QPainter& p, const QRectF& box) {
        ReaderSymbols::paintTextViewfinder(p, box, colour);
    });
    stack.addText(TextLines(QStringLiteral("Nothing to read"),
                            ReaderFont::system(16, QFont::DemiBold), wide, 1, device),
                  theme.primaryText());
    stack.addText(
        TextLines(
            QStringLiteral(
                "Select some text and press Ctrl+Shift+R, or copy text and press Ctrl+Shift+V."),
            ReaderFont::system(12), wide - 2 * bodyPadding, 3, device),
        theme.secondaryText());
    stack.addText(
        TextLines(QStringLiteral("Esc to close"), ReaderFont::system(10), wide, 1, device),
        theme.tertiaryText());
    return stack;
}

QStringList EmptyStateView::texts() const {
    return stack(this).texts();
}

void EmptyStateView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    stack(painter.device()).paint(painter, rect());
}

} // namespace Blinkwit
