#include "rules/platformint.h"

#include <cstdint>

namespace {
// The value of an ASCII digit in the given base, or -1.
int digitValue(QChar c, int base) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (base == 16 && u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (base == 16 && u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

bool isX(QChar c) {
    return c == u'x' || c == u'X';
}
} // namespace

std::optional<int> StrToIntPlatform(const QString &text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text.at(i) == u' ')
        ++i;

    bool negative = false;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }

    int base = 10;
    if (i < n && (text.at(i) == u'$' || isX(text.at(i)))) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text.at(i) == u'0' && isX(text.at(i + 1))) {
        base = 16;
        i += 2;
    }

    if (i == n)
        return std::nullopt; // no digit at all

    // The largest magnitude the text may spell: all 32 bits in hexadecimal, the signed range
    // in decimal (one more below zero than above).
    const std::uint64_t limit = base == 16 ? 0xFFFFFFFFu : (negative ? 0x80000000u : 0x7FFFFFFFu);
    std::uint64_t magnitude = 0;
    for (; i < n; ++i) {
        const int digit = digitValue(text.at(i), base);
        if (digit < 0)
            return std::nullopt;
        magnitude = magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (magnitude > limit)
            return std::nullopt;
    }

    // Negation and the hexadecimal bit pattern both work modulo 2^32.
    std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
    if (negative)
        bits = 0u - bits;
    return static_cast<std::int32_t>(bits);
}
