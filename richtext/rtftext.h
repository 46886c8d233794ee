#pragma once

#include "richtext/rtfstate.h"

#include <QByteArrayView>
#include <QString>

// Character-level helpers of the RTF reader: the Windows code pages, symbol fonts and the
// clean-up of decoded text.
namespace RtfText {

// The code page of the "symbol" charset (\fcharset2): byte values are glyph numbers.
constexpr int kSymbolCodePage = 42;

QString decodeCp1252(QByteArrayView bytes);

// The name of the Qt decoder for a Windows code page; "windows-N" for those without an alias.
QByteArray decoderName(int codePage);

// Drops control characters but the tab and, with `keepLineEnds`, CR and LF.
QString dropControlCharacters(QString text, bool keepLineEnds = false);

// Unpaired surrogates would make the text invalid UTF-16; they become U+FFFD.
void repairSurrogates(QString &text);

// The Symbol font name of a font table entry, from its name ("Symbol", "Wingdings" …).
RtfSymbolFont symbolFontOf(const QString &name);

// The ordinary character that a glyph of a symbol font stands for: `code` is a byte value or a
// private-use character U+F020 … U+F0FF. Glyphs without a common meaning are returned as they
// come for bytes (as Windows-1252) and unchanged for other characters. With RtfSymbolFont::None
// only private-use characters are mapped, to the bullets of either font.
char16_t mapSymbol(RtfSymbolFont font, char16_t code);

} // namespace RtfText
