#include "richtext/rtftext.h"

#include <array>
#include <map>

namespace RtfText {

namespace {

// Bytes 0x80 … 0x9F of Windows-1252; the other bytes equal their Unicode code points.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t cp1252(unsigned char b) {
    return b >= 0x80 && b <= 0x9F ? kCp1252High[b - 0x80] : char16_t(b);
}

// The glyphs of list bullets and other common signs in the two symbol fonts.
const std::map<unsigned char, char16_t> kSymbolGlyphs = {
    {0xB7, 0x2022}, // •
    {0xA7, 0x2663}, // ♣
    {0xA8, 0x2666}, // ♦
    {0xA9, 0x2665}, // ♥
    {0xAA, 0x2660}, // ♠
    {0xAE, 0x2192}, // →
    {0xDE, 0x21D2}, // ⇒
    {0xB0, 0x00B0}, // °
    {0x2D, 0x2212}, // −
    {0xD7, 0x22C5}, // ⋅
};
const std::map<unsigned char, char16_t> kWingdingsGlyphs = {
    {0x6C, 0x25CF}, // ●
    {0x6D, 0x274D}, // ❍
    {0x6E, 0x25A0}, // ■
    {0x6F, 0x25A1}, // □
    {0x71, 0x2751}, // ❑
    {0x75, 0x25C6}, // ◆
    {0x76, 0x2756}, // ❖
    {0x77, 0x2B25}, // ⬥
    {0x9F, 0x2022}, // •
    {0xA1, 0x25CB}, // ○
    {0xA7, 0x25AA}, // ▪
    {0xA8, 0x25FB}, // ◻
    {0xD8, 0x27A2}, // ➢
    {0xE0, 0x2192}, // →
    {0xE8, 0x2794}, // ➔
    {0xFB, 0x2717}, // ✗
    {0xFC, 0x2713}, // ✓
    {0xFE, 0x2611}, // ☑
};

} // namespace

QString decodeCp1252(QByteArrayView bytes) {
    QString result(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(result.data());
    for (char c : bytes)
        *out++ = cp1252(static_cast<unsigned char>(c));
    return result;
}

QByteArray decoderName(int codePage) {
    static const std::map<int, QByteArray> names = {
        {437, "IBM437"},      {850, "IBM850"}, {932, "Shift_JIS"},   {936, "GBK"},
        {949, "windows-949"}, {950, "Big5"},   {10000, "macintosh"}, {65001, "UTF-8"}};
    const auto it = names.find(codePage);
    return it != names.end() ? it->second : "windows-" + QByteArray::number(codePage);
}

QString dropControlCharacters(QString text, bool keepLineEnds) {
    text.removeIf([keepLineEnds](QChar c) {
        return c.unicode() < 0x20 && c != u'\t' && !(keepLineEnds && (c == u'\n' || c == u'\r'));
    });
    return text;
}

void repairSurrogates(QString &text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
}

RtfSymbolFont symbolFontOf(const QString &name) {
    if (name.startsWith(QLatin1String("Wingdings"), Qt::CaseInsensitive))
        return RtfSymbolFont::Wingdings;
    if (name.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0)
        return RtfSymbolFont::Symbol;
    return RtfSymbolFont::None;
}

char16_t mapSymbol(RtfSymbolFont font, char16_t code) {
    const bool privateUse = code >= 0xF020 && code <= 0xF0FF;
    if (code > 0xFF && !privateUse)
        return code;
    const auto glyph = static_cast<unsigned char>(code & 0xFF);
    if (font == RtfSymbolFont::None) {
        // A private-use character in an ordinary font (the list bullets of some files name no
        // font): the common bullets of either symbol font.
        if (!privateUse)
            return code;
        for (const auto *table : {&kWingdingsGlyphs, &kSymbolGlyphs})
            if (const auto it = table->find(glyph); it != table->end())
                return it->second;
        return code;
    }
    const auto &table = font == RtfSymbolFont::Wingdings ? kWingdingsGlyphs : kSymbolGlyphs;
    if (const auto it = table.find(glyph); it != table.end())
        return it->second;
    return cp1252(glyph);
}

} // namespace RtfText
