#pragma once

#include <QFont>
#include <QHashFunctions>
#include <QList>
#include <QString>

#include <array>
#include <Qt>

// The formatting state that the RTF reader keeps per group: what the next character and the
// current paragraph look like. Plain values; RtfBuilder turns them into Qt text formats.

// Where the text of a group goes.
enum class RtfDestination {
    Text,       // visible text
    Skip,       // a group whose content is not shown
    FontTable,  // \fonttbl
    ColorTable, // \colortbl
    StyleSheet, // \stylesheet
    Picture,    // \pict: picture properties and hex data
    ListText,   // \listtext: the number or bullet of a list paragraph, dropped when empty
};

struct RtfCharState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool doubleUnderline = false; // \uldb, with underline
    bool strike = false;
    bool hidden = false;
    bool smallCaps = false;
    bool allCaps = false;
    int vertical = 0;   // 1 superscript, -1 subscript
    int halfPoints = 0; // 0: the document's default size
    int font = -1;      // -1: the document's default font (\deff)
    int color = 0;      // index into the colour table; 0 is "automatic"
    int background = 0; // \highlight or \chcbpat; 0 is none
    bool pageNumber = false; // the result of a PAGE field, \chpgn

    bool operator==(const RtfCharState &) const = default;
};

inline size_t qHash(const RtfCharState &c, size_t seed = 0) {
    const int flags = c.bold | c.italic << 1 | c.underline << 2 | c.strike << 3 | c.hidden << 4 |
                      c.smallCaps << 5 | c.allCaps << 6 | c.doubleUnderline << 7 | c.pageNumber << 8;
    return qHashMulti(seed, flags, c.vertical, c.halfPoints, c.font, c.color, c.background);
}

struct RtfParaState {
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftIndent = 0; // all in twips
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int shading = 0;              // \cbpat: index into the colour table; 0 is none
    int tableDepth = 0;           // 0 outside tables; \intbl makes it at least 1, \itapN sets it
    bool pageBreakBefore = false; // \pagebb
    bool bottomBorder = false;    // \brdrb with a visible style: a line under the paragraph
    // The paragraph's borders (\brdrt, \brdrl, \brdrb, \brdrr, \box): width in twips, style
    // (see RtfBuilder::onBorderStyle), colour index and the space to the text (\brsp), per side.
    std::array<int, 4> boxWidths{}, boxStyles{}, boxColors{}, boxSpace{};
    QList<int> tabStops;          // twips from the left margin
    QList<char> tabKinds;         // of each tab stop: 'l' left, 'r' right, 'c' centre, 'd' decimal
    QList<char> tabLeaders;       // of each tab stop: 0 none, '.', '-', '_', '=' (see onTabLeader)
    char tabKind = 'l';           // for the next \tx
    char tabLeader = 0;
    int lineSpacing = 0;          // \slN: twips; negative an exact height, 0 single
    bool lineMultiple = false;    // \slmult1: lineSpacing is in 240ths of a line

    bool operator==(const RtfParaState &) const = default;
};

struct RtfGroupState {
    RtfDestination destination = RtfDestination::Text;
    RtfCharState chars;
    RtfParaState para;
    int unicodeSkip = 1; // \ucN: bytes that stand in for each \uN
};

// How a font's glyphs relate to characters: a symbol font draws glyphs at byte values (and at
// the private-use characters U+F020 … U+F0FF) that stand for ordinary characters elsewhere.
enum class RtfSymbolFont { None, Symbol, Wingdings };

struct RtfFontEntry {
    QString name;
    int codePage = 0; // 0: the document's code page
    QFont::StyleHint hint = QFont::AnyStyle;
    RtfSymbolFont symbol = RtfSymbolFont::None;
    bool nameDone = false;
};

// A paragraph or character style of the style sheet: what it gives, and the style it is based
// on (\sbasedon) for what it leaves open. -1: not set.
struct RtfStyle {
    int font = -1;
    int halfPoints = 0; // 0: not set
    int bold = -1;      // else 0 or 1
    int italic = -1;
    int color = -1;
    std::array<int, 5> twips{-1, -1, -1, -1, -1}; // \li \ri \fi \sb \sa
    int basedOn = -1;
};
