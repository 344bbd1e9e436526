#pragma once

#include <QString>

namespace Blinkwit {

// Version texts in numeric order: runs of decimal digits compare by their value (1.10 after 1.9,
// leading zeros ignored), other characters one by one by code, case-sensitive; a text that is a
// proper prefix of the other comes first (1.2 before 1.2.0).
class VersionOrder {
public:
    VersionOrder() = delete;

    // Negative, zero or positive as a comes before, equals or comes after b.
    static int compare(const QString& a, const QString& b);
};

} // namespace Blinkwit
