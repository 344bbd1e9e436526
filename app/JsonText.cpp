#include "JsonText.h"

#include <cstdint>
#include <cstdio>
#include <unicode/utf8.h>

namespace Blinkwit {

namespace {

void appendUnicodeEscape(std::string& out, std::uint32_t c) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\u%04x", unsigned(c));
    out += buffer;
}

void appendEscapedAscii(std::string& out, char c) {
    switch (c) {
    case '"':
        out += "\\\"";
        return;
    case '\\':
        out += "\\\\";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    case '\b':
        out += "\\b";
        return;
    case '\f':
        out += "\\f";
        return;
    default:
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            appendUnicodeEscape(out, static_cast<unsigned char>(c));
        else
            out += c;
    }
}

// Printable ASCII other than the quote and the backslash goes out as it is.
bool isPlain(std::uint8_t c) {
    return c >= 0x20 && c < 0x7F && c != '"' && c != '\\';
}

} // namespace

void JsonText::appendQuoted(std::string& out, std::string_view utf8) {
    out += '"';
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(utf8.data());
    const auto length = std::int32_t(utf8.size());
    for (std::int32_t i = 0; i < length;) {
        std::int32_t plainEnd = i;
        while (plainEnd < length && isPlain(bytes[plainEnd]))
            ++plainEnd;
        out.append(utf8.data() + i, std::size_t(plainEnd - i));
        i = plainEnd;
        if (i == length)
            break;
        const std::int32_t start = i;
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (c < 0)
            out += "\xEF\xBF\xBD"; // U+FFFD for an ill-formed sequence
        else if (c < 0x80)
            appendEscapedAscii(out, char(c));
        else if (c == 0x2028 || c == 0x2029)
            appendUnicodeEscape(out, std::uint32_t(c));
        else
            out.append(utf8.substr(std::size_t(start), std::size_t(i - start)));
    }
    out += '"';
}

std::string JsonText::quoted(std::string_view utf8) {
    std::string out;
    appendQuoted(out, utf8);
    return out;
}

} // namespace Blinkwit
