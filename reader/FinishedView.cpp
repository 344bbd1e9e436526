#include "FinishedView.h"

#include "CentredStack.h"
#include "ReaderEngine.h"
#include "ReaderFont.h"
#include "ReaderSymbols.h"
#include "ReaderTheme.h"

#include <QPainter>

namespace Blinkwit {

namespace {

constexpr double spacing = 8;
constexpr double symbolSize = 28;

} // namespace

FinishedView::FinishedView(const ReaderEngine& engine, const AppSettings& settings, QWidget* parent)
    : QWidget(parent)
    , engine_(engine)
    , settings_(settings) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

CentredStack FinishedView::stack(const QPaintDevice* device) const {
    const ReaderTheme theme = ReaderTheme::of(settings_);
    const double wide = width();
    const auto words = qulonglong(engine_.tokens().size());
    CentredStack stack(spacing);
    stack.addSymbol(symbolSize, [colour = theme.accent()](QPainter& p, const QRectF& box) {
        ReaderSymbols::paintFilledCheckmarkCircle(p, box, colour);
    });
    stack.addText(TextLines(QStringLiteral("Done — %1 words").arg(words),
                            ReaderFont::system(16, QFont::DemiBold), wide, 1, device),
                  theme.primaryText());
    stack.addText(TextLines(QStringLiteral("Space to replay · ← to step back · Esc to close"),
                            ReaderFont::system(11), wide, 1, device),
                  theme.secondaryText());
    return stack;
}

QStringList FinishedView::texts() const {
    return stack(this).texts();
}

void FinishedView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    stack(painter.device()).paint(painter, rect());
}

} // namespace Blinkwit
