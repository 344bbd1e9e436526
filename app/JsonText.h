#pragma once

#include <string>
#include <string_view>

namespace Blinkwit {

// JSON string literals for any UTF-8 text: quotes, backslashes, control characters and the
// line and paragraph separators are escaped; ill-formed UTF-8 becomes U+FFFD.
class JsonText {
public:
    JsonText() = delete;

    static void appendQuoted(std::string& out, std::string_view utf8);
    static std::string quoted(std::string_view utf8);
};

} // namespace Blinkwit
