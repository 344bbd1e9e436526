#include "FrameWriter.h"

namespace Blinkwit {

namespace {

constexpr const char* beginUpdate = "\x1b[?2026h";
constexpr const char* endUpdate = "\x1b[0m\x1b[?2026l";

bool sameRow(const Frame& frame, const Frame& previous, int row) {
    for (int column = 0; column < frame.columns(); ++column)
        if (!(frame.at(row, column) == previous.at(row, column)))
            return false;
    return true;
}

void appendRow(std::string& out, const Frame& frame, int row, ColorDepth depth) {
    out += "\x1b[" + std::to_string(row + 1) + ";1H";
    const CellStyle* current = nullptr;
    for (int column = 0; column < frame.columns(); ++column) {
        const Cell& cell = frame.at(row, column);
        if (cell.continuation)
            continue;
        if (current == nullptr || !(*current == cell.style)) {
            out += FrameWriter::style(cell.style, depth);
            current = &cell.style;
        }
        out += cell.text;
    }
}

} // namespace

std::string FrameWriter::style(const CellStyle& style, ColorDepth depth) {
    std::string sgr = "\x1b[0";
    const auto add = [&sgr](const std::string& parameters) {
        if (!parameters.empty())
            sgr += ";" + parameters;
    };
    if (style.bold)
        add("1");
    if (style.dim)
        add("2");
    if (style.underline)
        add("4");
    if (style.reverse)
        add("7");
    if (style.foreground)
        add(TerminalColor::foreground(*style.foreground, depth));
    if (style.background)
        add(TerminalColor::background(*style.background, depth));
    return sgr + "m";
}

std::string FrameWriter::render(const Frame& frame, const Frame* previous, ColorDepth depth) {
    const bool comparable = previous != nullptr && previous->rows() == frame.rows() &&
                            previous->columns() == frame.columns();
    std::string out = beginUpdate;
    if (!comparable)
        out += "\x1b[0m\x1b[2J";
    for (int row = 0; row < frame.rows(); ++row)
        if (!comparable || !sameRow(frame, *previous, row))
            appendRow(out, frame, row, depth);
    out += endUpdate;
    return out;
}

} // namespace Blinkwit
