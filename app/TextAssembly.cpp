#include "TextAssembly.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace Blinkwit {

namespace {

using Line = std::vector<Box>;

// Top to bottom, then grouped against the fragment that opened each line: a slanted run stays
// on one line only while it stays near where the line began.
std::vector<Line> groupIntoLines(std::vector<Box> fragments) {
    std::stable_sort(fragments.begin(), fragments.end(), [](const Box& a, const Box& b) {
        return a.rect.center().y() > b.rect.center().y();
    });
    std::vector<Line> lines;
    for (Box& fragment : fragments) {
        if (!lines.empty()) {
            const QRectF& first = lines.back().front().rect;
            const double tolerance =
                TextAssembly::sameLineTolerance * std::max(first.height(), fragment.rect.height());
            if (std::abs(first.center().y() - fragment.rect.center().y()) < tolerance) {
                lines.back().push_back(std::move(fragment));
                continue;
            }
        }
        lines.push_back({std::move(fragment)});
    }
    return lines;
}

QString lineText(Line line) {
    std::stable_sort(line.begin(), line.end(),
                     [](const Box& a, const Box& b) { return a.rect.left() < b.rect.left(); });
    QStringList texts;
    for (const Box& fragment : line)
        texts.append(fragment.text);
    return texts.join(QLatin1Char(' '));
}

} // namespace

std::optional<QString> TextAssembly::assemble(std::vector<Box> fragments) {
    if (fragments.empty())
        return std::nullopt;
    double heights = 0;
    for (const Box& fragment : fragments)
        heights += fragment.rect.height();
    const double gap = paragraphGap * heights / double(fragments.size());

    QString text;
    double previousMiddle = 0;
    bool first = true;
    for (Line& line : groupIntoLines(std::move(fragments))) {
        // The line's place is that of the fragment that opened it, taken before sorting.
        const double middle = line.front().rect.center().y();
        if (!first)
            text += previousMiddle - middle > gap ? QStringLiteral("\n\n") : QStringLiteral("\n");
        text += lineText(std::move(line));
        previousMiddle = middle;
        first = false;
    }
    text = text.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

} // namespace Blinkwit
