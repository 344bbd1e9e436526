#include "ORP.h"

#include "UnicodeText.h"

namespace BlinkwitCore {

std::int64_t ORP::index(std::string_view text) {
    return indexForLength(UnicodeText::graphemeCount(text));
}

std::int64_t ORP::indexForLength(std::int64_t n) {
    if (n < 2)
        return 0;
    if (n < 6)
        return 1;
    if (n < 10)
        return 2;
    if (n < 14)
        return 3;
    return 4;
}

} // namespace BlinkwitCore
