#pragma once

#include <cstdint>
#include <string_view>

namespace BlinkwitCore {

// The optimal recognition point: which user-perceived character of a word the eye is
// anchored on.
class ORP {
public:
    ORP() = delete;

    static std::int64_t index(std::string_view text);
    static std::int64_t indexForLength(std::int64_t characterCount);
};

} // namespace BlinkwitCore
