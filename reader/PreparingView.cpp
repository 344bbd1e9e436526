#include "PreparingView.h"

#include "CentredStack.h"
#include "ReaderFont.h"
#include "ReaderTheme.h"

#include <QPainter>

namespace Blinkwit {

namespace {

constexpr double spacing = 8;

} // namespace

PreparingView::PreparingView(const AppSettings& settings, QWidget* parent)
    : QWidget(parent)
    , settings_(settings) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

CentredStack PreparingView::stack(const QPaintDevice* device) const {
    const ReaderTheme theme = ReaderTheme::of(settings_);
    const double wide = width();
    CentredStack stack(spacing);
    stack.addText(TextLines(QStringLiteral("Preparing…"), ReaderFont::system(16, QFont::DemiBold),
                            wide, 1, device),
                  theme.primaryText());
    stack.addText(
        TextLines(QStringLiteral("Esc to cancel"), ReaderFont::system(10), wide, 1, device),
        theme.tertiaryText());
    return stack;
}

QStringList PreparingView::texts() const {
    return stack(this).texts();
}

void PreparingView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    stack(painter.device()).paint(painter, rect());
}

} // namespace Blinkwit
