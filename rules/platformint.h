#pragma once

#include <QString>

#include <optional>

// The integer conversion of the platform, as the Abitur points window reads a cell:
// - leading blanks (the space character only) are skipped;
// - an optional sign "+" or "-" follows;
// - then decimal digits, or hexadecimal digits (either case) after "$", "x", "X", "0x" or "0X";
// - nothing may follow the digits, and at least one digit is needed.
// A decimal value must lie within the signed 32-bit range. A hexadecimal value may use all
// 32 bits and is read as the bit pattern of a signed 32-bit integer ("$FFFFFFFF" is -1).
// Returns the value, or nothing when the text is no such number.
std::optional<int> StrToIntPlatform(const QString &text);
