#pragma once

#include <QString>

// Input patterns of the numeric and name fields. Each is used as a
// full-match regular expression by a validator.
namespace InputPatterns {

// Dip direction: 0 to 359.9, at most one decimal, no leading zero.
inline QString dipDirection() {
    return QStringLiteral(
        "^([0-9]|[0-9]\\.[0-9]|[1-9]\\d|[1-9]\\d\\.[0-9]|[1-2]\\d{0,2}|[1-2]\\d{0,2}\\.[0-9]|"
        "[3][0-5]\\d|[3][0-5]\\d\\.[0-9])$");
}

// Dip: 0 to 89.9, at most one decimal.
inline QString dip() {
    return QStringLiteral("^([0-9]|[0-9]\\.[0-9]|[1-8][0-9]|[1-8][0-9]\\.[0-9])$");
}

// Included angle: 1 to 89.9 with at most one decimal, or exactly 90.
inline QString includedAngle() {
    return QStringLiteral("^([1-9]|[1-9]\\.[0-9]|[1-8][0-9]|[1-8][0-9]\\.[0-9]|[9][0])$");
}

// Names and notes: ASCII letters and digits, CJK ideographs U+4E00..U+9FFF,
// the vertical bar and the hyphen.
inline QString name() {
    return QStringLiteral("^[a-zA-Z0-9\u4E00-\u9FFF|-]*$");
}

} // namespace InputPatterns
