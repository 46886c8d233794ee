#include "richtext/rtfreader.h"

#include "richtext/rtftokenizer.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QSet>
#include <QStringDecoder>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <map>
#include <vector>

namespace {

using Token = RtfTokenizer::Token;
using TokenType = RtfTokenizer::Type;

// Deeper nesting than this is not followed: the content of such groups is dropped. Word
// processors nest a few dozen levels at most.
constexpr int kMaxGroupDepth = 200;

// Lengths in twips (1/20 point) become document pixels at 96 per inch.
constexpr double kTwipsPerPixel = 15.0;
constexpr int kMaxTwips = 31680; // 22 inches, the largest page dimension word processors allow
constexpr int kMaxHalfPoints = 3276;
constexpr int kMaxTabStops = 64;

constexpr int kSymbolCodePage = 42; // the "symbol" charset: byte values are glyph numbers

// Bytes 0x80 … 0x9F of Windows-1252; the other bytes equal their Unicode code points.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString decodeCp1252(QByteArrayView bytes) {
    QString result;
    result.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        result.append(b >= 0x80 && b <= 0x9F ? QChar(kCp1252High[b - 0x80]) : QChar(char16_t(b)));
    }
    return result;
}

QByteArray decoderName(int codePage) {
    static const std::map<int, QByteArray> names = {
        {437, "IBM437"},      {850, "IBM850"}, {932, "Shift_JIS"},   {936, "GBK"},
        {949, "windows-949"}, {950, "Big5"},   {10000, "macintosh"}, {65001, "UTF-8"}};
    const auto it = names.find(codePage);
    return it != names.end() ? it->second : "windows-" + QByteArray::number(codePage);
}

// Keeps the tab and, in plain text, the line ends; in RTF text line ends come only from \par.
QString dropControlCharacters(QString text, bool keepLineEnds = false) {
    text.removeIf([keepLineEnds](QChar c) {
        return c.unicode() < 0x20 && c != u'\t' && !(keepLineEnds && (c == u'\n' || c == u'\r'));
    });
    return text;
}

// Unpaired surrogates would make the text invalid UTF-16; they become U+FFFD.
QString repairSurrogates(const QString &text) {
    QString result = text;
    for (qsizetype i = 0; i < result.size(); ++i) {
        const QChar c = result.at(i);
        if (c.isHighSurrogate() && i + 1 < result.size() && result.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            result[i] = QChar::ReplacementCharacter;
    }
    return result;
}

enum class Destination {
    Text,       // visible text
    Skip,       // a group whose content is not shown
    FontTable,  // \fonttbl
    ColorTable, // \colortbl
};

struct CharState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    int vertical = 0;   // 1 superscript, -1 subscript
    int halfPoints = 0; // 0: the document's default size
    int font = -1;      // -1: the document's default font (\deff)
    int color = 0;      // index into the colour table; 0 is "automatic"

    bool operator==(const CharState &) const = default;
};

struct ParaState {
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftIndent = 0; // all in twips
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    QList<int> tabStops; // twips from the left margin
};

struct GroupState {
    Destination destination = Destination::Text;
    CharState chars;
    ParaState para;
    int unicodeSkip = 1; // \ucN: bytes that stand in for each \uN
};

struct FontEntry {
    QString name;
    int codePage = 0; // 0: the document's code page
    QFont::StyleHint hint = QFont::AnyStyle;
    bool nameDone = false;
};

class RtfBuilder {
public:
    explicit RtfBuilder(QTextDocument &document) : m_document(document), m_cursor(&document) {}

    void run(QByteArrayView data);

private:
    GroupState &state() { return m_stack.back(); }

    void groupStart();
    void groupEnd();
    void controlWord(const Token &token);
    void controlSymbol(char symbol);
    void textBytes(QByteArrayView bytes);
    void hexByte(unsigned char byte);
    void unicodeChar(int value);
    bool skipFallback(const Token &token);

    void fontTableWord(const Token &token);
    void fontTableText(QByteArrayView bytes);
    void colorTableText(QByteArrayView bytes);
    void finishFontName();

    void appendText(const QString &text);
    void decodePending();
    void flush();
    void endParagraph(bool pageBreakAfter);
    void cell();

    const FontEntry *currentFont(); // null when the font table names neither it nor \deff
    int currentCodePage();
    QString decodeBytes(QByteArrayView bytes, int codePage);
    QTextCharFormat charFormat();
    QTextCharFormat buildCharFormat(const CharState &chars);
    QTextBlockFormat blockFormat();

    QTextDocument &m_document;
    QTextCursor m_cursor;
    std::vector<GroupState> m_stack;
    int m_overflowDepth = 0; // groups opened beyond kMaxGroupDepth and not yet closed
    bool m_finished = false;
    int m_skipRemaining = 0; // fallback bytes of \uN still to skip

    int m_documentCodePage = 1252;
    int m_defaultFont = 0;
    std::map<int, FontEntry> m_fonts;
    int m_currentFont = -1; // the font table entry being read
    QList<QColor> m_colors;
    int m_red = -1, m_green = -1, m_blue = -1;

    QByteArray m_pendingBytes; // plain text bytes not yet decoded
    int m_pendingCodePage = 1252;
    QString m_pendingText; // decoded text not yet inserted
    bool m_cellSeparatorPending = false;
    bool m_pageBreakBeforeBlock = false; // the current block starts a new page
    std::map<int, QStringDecoder> m_decoders;
    static constexpr size_t kRecentFormats = 8;
    std::vector<std::pair<CharState, QTextCharFormat>> m_recentFormats;
};

void RtfBuilder::run(QByteArrayView data) {
    m_stack.reserve(kMaxGroupDepth + 1);
    m_stack.emplace_back();
    RtfTokenizer tokenizer(data);
    bool started = false;
    m_cursor.beginEditBlock();
    while (!m_finished) {
        const Token token = tokenizer.next();
        if (token.type == TokenType::End)
            break;
        if (m_overflowDepth > 0) {
            if (token.type == TokenType::GroupStart)
                ++m_overflowDepth;
            else if (token.type == TokenType::GroupEnd)
                --m_overflowDepth;
            continue;
        }
        // Nothing before the document's first group belongs to it.
        if (!started && token.type != TokenType::GroupStart)
            continue;
        if (skipFallback(token))
            continue;
        switch (token.type) {
        case TokenType::GroupStart:
            started = true;
            groupStart();
            break;
        case TokenType::GroupEnd:
            groupEnd();
            break;
        case TokenType::ControlWord:
            controlWord(token);
            break;
        case TokenType::ControlSymbol:
            controlSymbol(token.symbol);
            break;
        case TokenType::HexByte:
            hexByte(token.byte);
            break;
        case TokenType::Text:
            textBytes(token.text);
            break;
        case TokenType::Binary:
        case TokenType::End:
            break;
        }
    }
    flush();
    m_cursor.setBlockFormat(blockFormat());
    m_cursor.endEditBlock();
}

// After \uN the next N characters of fallback text are skipped; a brace ends the skipping.
bool RtfBuilder::skipFallback(const Token &token) {
    if (m_skipRemaining <= 0)
        return false;
    switch (token.type) {
    case TokenType::GroupStart:
    case TokenType::GroupEnd:
    case TokenType::End:
        m_skipRemaining = 0;
        return false;
    case TokenType::Text: {
        const qsizetype skipped = std::min<qsizetype>(m_skipRemaining, token.text.size());
        m_skipRemaining -= static_cast<int>(skipped);
        if (skipped < token.text.size())
            textBytes(token.text.sliced(skipped));
        return true;
    }
    default:
        --m_skipRemaining;
        return true;
    }
}

void RtfBuilder::groupStart() {
    flush();
    if (int(m_stack.size()) > kMaxGroupDepth) {
        m_overflowDepth = 1;
        return;
    }
    m_stack.push_back(m_stack.back());
}

void RtfBuilder::groupEnd() {
    flush();
    if (state().destination == Destination::FontTable)
        finishFontName();
    if (m_stack.size() <= 1) { // an unbalanced closing brace ends nothing
        return;
    }
    m_stack.pop_back();
    if (m_stack.size() == 1)
        m_finished = true; // the document's outermost group is closed
}

void RtfBuilder::controlSymbol(char symbol) {
    if (symbol == '*') {
        // An ignorable destination: none of them holds text this viewer shows.
        flush();
        state().destination = Destination::Skip;
        return;
    }
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        textBytes(QByteArrayView(&symbol, 1));
        break;
    case '~':
        appendText(QString(QChar(0x00A0)));
        break;
    case '-':
        appendText(QString(QChar(0x00AD)));
        break;
    case '_':
        appendText(QString(QChar(0x2011)));
        break;
    case '\n':
    case '\r':
        if (state().destination == Destination::Text)
            endParagraph(false);
        break;
    case '\t':
        appendText(QStringLiteral("\t"));
        break;
    default: // \| \: and unknown symbols
        break;
    }
}

void RtfBuilder::textBytes(QByteArrayView bytes) {
    GroupState &s = state();
    switch (s.destination) {
    case Destination::Text:
        if (s.chars.hidden)
            return;
        if (m_cellSeparatorPending)
            appendText(QString()); // puts in the separator
        if (!m_pendingBytes.isEmpty() && m_pendingCodePage != currentCodePage())
            decodePending();
        m_pendingCodePage = currentCodePage();
        m_pendingBytes.append(bytes);
        break;
    case Destination::FontTable:
        fontTableText(bytes);
        break;
    case Destination::ColorTable:
        colorTableText(bytes);
        break;
    case Destination::Skip:
        break;
    }
}

void RtfBuilder::hexByte(unsigned char byte) {
    const char c = static_cast<char>(byte);
    // An escaped ';' in a font name is part of the name, not its end.
    if (state().destination == Destination::FontTable) {
        if (m_currentFont >= 0 && !m_fonts[m_currentFont].nameDone)
            m_fonts[m_currentFont].name += decodeBytes(QByteArrayView(&c, 1), currentCodePage());
        return;
    }
    textBytes(QByteArrayView(&c, 1));
}

void RtfBuilder::unicodeChar(int value) {
    if (value < 0)
        value += 65536;
    value = std::clamp(value, 0, 0xFFFF);
    appendText(QString(QChar(char16_t(value))));
    m_skipRemaining = state().unicodeSkip;
}

void RtfBuilder::appendText(const QString &text) {
    const GroupState &s = state();
    if (s.destination != Destination::Text || s.chars.hidden)
        return;
    if (m_cellSeparatorPending) {
        m_cellSeparatorPending = false;
        m_pendingText.append(u'\t');
    }
    decodePending();
    m_pendingText.append(text);
}

void RtfBuilder::decodePending() {
    if (m_pendingBytes.isEmpty())
        return;
    m_pendingText.append(decodeBytes(m_pendingBytes, m_pendingCodePage));
    m_pendingBytes.clear();
}

void RtfBuilder::flush() {
    decodePending();
    if (m_pendingText.isEmpty())
        return;
    m_cursor.insertText(repairSurrogates(m_pendingText), charFormat());
    m_pendingText.clear();
}

void RtfBuilder::endParagraph(bool pageBreakAfter) {
    flush();
    m_cellSeparatorPending = false;
    m_cursor.setBlockFormat(blockFormat());
    m_cursor.insertBlock(QTextBlockFormat(), charFormat());
    m_pageBreakBeforeBlock = pageBreakAfter;
}

void RtfBuilder::cell() {
    // A cell separator goes in only once the next cell has content or ends, so that a row
    // has no tab at its end.
    appendText(QString());
    m_cellSeparatorPending = true;
}

const FontEntry *RtfBuilder::currentFont() {
    const int number = state().chars.font;
    auto entry = m_fonts.find(number >= 0 ? number : m_defaultFont);
    if (entry == m_fonts.end()) // a font missing from the table: the default font
        entry = m_fonts.find(m_defaultFont);
    return entry == m_fonts.end() ? nullptr : &entry->second;
}

int RtfBuilder::currentCodePage() {
    const FontEntry *font = currentFont();
    return font && font->codePage > 0 ? font->codePage : m_documentCodePage;
}

QString RtfBuilder::decodeBytes(QByteArrayView bytes, int codePage) {
    if (codePage == kSymbolCodePage) {
        // Symbol fonts: the bullet of list items is the one glyph worth mapping.
        QString text = decodeCp1252(bytes);
        text.replace(QChar(0x00B7), QChar(0x2022));
        return dropControlCharacters(text);
    }
    if (codePage == 1252)
        return dropControlCharacters(decodeCp1252(bytes));
    auto it = m_decoders.find(codePage);
    if (it == m_decoders.end())
        it = m_decoders
                 .emplace(codePage,
                          QStringDecoder(decoderName(codePage).constData(), QStringDecoder::Flag::Stateless))
                 .first;
    if (!it->second.isValid())
        return dropControlCharacters(decodeCp1252(bytes));
    return dropControlCharacters(it->second.decode(bytes));
}

QTextCharFormat RtfBuilder::charFormat() {
    const CharState &c = state().chars;
    // A few recent formats are kept: text mostly alternates between a handful of them, and a
    // format built once also keeps its hash for the document's format lookup.
    for (const auto &[chars, format] : m_recentFormats)
        if (chars == c)
            return format;
    const QTextCharFormat format = buildCharFormat(c);
    if (m_recentFormats.size() >= kRecentFormats)
        m_recentFormats.erase(m_recentFormats.begin());
    m_recentFormats.emplace_back(c, format);
    return format;
}

QTextCharFormat RtfBuilder::buildCharFormat(const CharState &c) {
    QTextCharFormat format;
    // Symbol fonts are not applied: their bytes are already mapped to ordinary Unicode
    // characters, which such a font would draw as other glyphs or not at all.
    if (const FontEntry *font = currentFont();
        font && !font->name.isEmpty() && font->codePage != kSymbolCodePage) {
        format.setFontFamilies(QStringList{font->name});
        format.setFontStyleHint(font->hint);
    }
    if (c.halfPoints > 0)
        format.setFontPointSize(c.halfPoints / 2.0);
    format.setFontWeight(c.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(c.italic);
    format.setFontUnderline(c.underline);
    format.setFontStrikeOut(c.strike);
    if (c.vertical > 0)
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (c.vertical < 0)
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (c.color > 0 && c.color < m_colors.size() && m_colors.at(c.color).isValid())
        format.setForeground(m_colors.at(c.color));
    return format;
}

QTextBlockFormat RtfBuilder::blockFormat() {
    const ParaState &p = state().para;
    QTextBlockFormat format;
    format.setAlignment(p.alignment);
    format.setLeftMargin(p.leftIndent / kTwipsPerPixel);
    format.setRightMargin(p.rightIndent / kTwipsPerPixel);
    format.setTextIndent(p.firstIndent / kTwipsPerPixel);
    format.setTopMargin(p.spaceBefore / kTwipsPerPixel);
    format.setBottomMargin(p.spaceAfter / kTwipsPerPixel);
    if (!p.tabStops.isEmpty()) {
        QList<QTextOption::Tab> tabs;
        // RTF measures tab stops from the left margin, the text layout from where the
        // paragraph's first line begins.
        for (int stop : p.tabStops) {
            const int fromLineStart = stop - p.leftIndent - p.firstIndent;
            if (fromLineStart > 0)
                tabs.append(QTextOption::Tab(fromLineStart / kTwipsPerPixel, QTextOption::LeftTab));
        }
        format.setTabPositions(tabs);
    }
    if (m_pageBreakBeforeBlock)
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    return format;
}

// --- Header tables ---

void RtfBuilder::fontTableWord(const Token &token) {
    const QByteArray &w = token.word;
    const int n = token.parameter;
    if (w == "f" && token.hasParameter) {
        finishFontName();
        m_currentFont = n;
        m_fonts[n] = FontEntry();
        m_recentFormats.clear();
        return;
    }
    if (m_currentFont < 0)
        return;
    FontEntry &font = m_fonts[m_currentFont];
    if (w == "fcharset")
        font.codePage = Rtf::codePageOfCharset(n);
    else if (w == "cpg" && n > 0)
        font.codePage = n;
    else if (w == "froman")
        font.hint = QFont::Serif;
    else if (w == "fswiss")
        font.hint = QFont::SansSerif;
    else if (w == "fmodern")
        font.hint = QFont::Monospace;
    else if (w == "fscript")
        font.hint = QFont::Cursive;
    else if (w == "fdecor")
        font.hint = QFont::Decorative;
}

void RtfBuilder::fontTableText(QByteArrayView bytes) {
    if (m_currentFont < 0)
        return;
    FontEntry &font = m_fonts[m_currentFont];
    for (char c : bytes) {
        if (font.nameDone)
            return;
        if (c == ';')
            finishFontName();
        else
            font.name += decodeBytes(QByteArrayView(&c, 1), font.codePage > 0 ? font.codePage : 1252);
    }
}

void RtfBuilder::finishFontName() {
    if (m_currentFont < 0)
        return;
    FontEntry &font = m_fonts[m_currentFont];
    if (!font.nameDone) {
        font.name = font.name.trimmed();
        font.nameDone = true;
    }
}

void RtfBuilder::colorTableText(QByteArrayView bytes) {
    for (char c : bytes) {
        if (c != ';')
            continue;
        m_recentFormats.clear();
        if (m_red < 0 && m_green < 0 && m_blue < 0)
            m_colors.append(QColor()); // "automatic"
        else
            m_colors.append(QColor(std::max(m_red, 0), std::max(m_green, 0), std::max(m_blue, 0)));
        m_red = m_green = m_blue = -1;
    }
}

// --- Control words ---

// Destinations whose content is not shown. Starred groups ({\* ...}) are skipped anyway; these
// are the ones word processors also write without the star.
bool isSkippedDestination(const QByteArray &w) {
    static const QList<QByteArray> list =
        QByteArray("stylesheet info pict object header headerl headerr headerf footer footerl footerr "
                   "footerf footnote fldinst xe tc txe ftnsep ftnsepc ftncn aftnsep aftnsepc aftncn shp "
                   "nonshppict listtable listoverridetable themedata datastore generator rsidtbl "
                   "annotation latentstyles colorschememapping")
            .split(' ');
    static const QSet<QByteArray> words(list.cbegin(), list.cend());
    return words.contains(w);
}

int clampTwips(int value) {
    return std::clamp(value, -kMaxTwips, kMaxTwips);
}

void RtfBuilder::controlWord(const Token &token) {
    const QByteArray &w = token.word;
    const int n = token.parameter;
    const bool on = !token.hasParameter || n != 0;

    if (w == "u") {
        if (token.hasParameter)
            unicodeChar(n);
        return;
    }
    flush();
    GroupState &s = state();

    // Destinations.
    if (w == "fonttbl") {
        s.destination = Destination::FontTable;
        return;
    }
    if (w == "colortbl") {
        s.destination = Destination::ColorTable;
        return;
    }
    if (isSkippedDestination(w)) {
        s.destination = Destination::Skip;
        return;
    }
    if (s.destination == Destination::FontTable) {
        fontTableWord(token);
        return;
    }
    if (s.destination == Destination::ColorTable) {
        const int value = std::clamp(n, 0, 255);
        if (w == "red")
            m_red = value;
        else if (w == "green")
            m_green = value;
        else if (w == "blue")
            m_blue = value;
        return;
    }

    // Document properties.
    if (w == "ansi") {
        m_documentCodePage = 1252;
    } else if (w == "mac") {
        m_documentCodePage = 10000;
    } else if (w == "pc") {
        m_documentCodePage = 437;
    } else if (w == "pca") {
        m_documentCodePage = 850;
    } else if (w == "ansicpg") {
        if (n > 0)
            m_documentCodePage = n;
    } else if (w == "deff") {
        m_defaultFont = n;
        m_recentFormats.clear();
    } else if (w == "uc") {
        s.unicodeSkip = std::clamp(n, 0, 16);
    }
    if (s.destination != Destination::Text)
        return;

    // Special characters and breaks.
    static const QHash<QByteArray, char16_t> characters = {
        {"emdash", 0x2014},  {"endash", 0x2013},    {"bullet", 0x2022},    {"lquote", 0x2018},
        {"rquote", 0x2019},  {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"emspace", 0x2003},
        {"enspace", 0x2002}, {"qmspace", 0x2005},   {"zwj", 0x200D},       {"zwnj", 0x200C},
        {"zwbo", 0x200B},    {"tab", u'\t'},        {"line", 0x2028}};
    if (const auto it = characters.constFind(w); it != characters.cend()) {
        appendText(QString(QChar(*it)));
        return;
    }
    if (w == "par" || w == "sect") {
        endParagraph(false);
    } else if (w == "page") {
        endParagraph(true);
    } else if (w == "cell" || w == "nestcell") {
        cell();
    } else if (w == "row" || w == "nestrow") {
        endParagraph(false);
    } else if (w == "pard") {
        s.para = ParaState();
    } else if (w == "plain") {
        s.chars = CharState();
    } else if (w == "b") {
        s.chars.bold = on;
    } else if (w == "i") {
        s.chars.italic = on;
    } else if (w == "ul" || w == "uld" || w == "uldb" || w == "uldash" || w == "ulth" || w == "ulw" ||
               w == "ulwave") {
        s.chars.underline = on;
    } else if (w == "ulnone") {
        s.chars.underline = false;
    } else if (w == "strike" || w == "striked") {
        s.chars.strike = on;
    } else if (w == "v") {
        s.chars.hidden = on;
    } else if (w == "super") {
        s.chars.vertical = 1;
    } else if (w == "sub") {
        s.chars.vertical = -1;
    } else if (w == "nosupersub") {
        s.chars.vertical = 0;
    } else if (w == "fs") {
        s.chars.halfPoints = token.hasParameter && n > 0 ? std::min(n, kMaxHalfPoints) : 24;
    } else if (w == "f") {
        if (token.hasParameter)
            s.chars.font = n;
    } else if (w == "cf") {
        s.chars.color = std::max(n, 0);
    } else if (w == "ql") {
        s.para.alignment = Qt::AlignLeft;
    } else if (w == "qc") {
        s.para.alignment = Qt::AlignHCenter;
    } else if (w == "qr") {
        s.para.alignment = Qt::AlignRight;
    } else if (w == "qj") {
        s.para.alignment = Qt::AlignJustify;
    } else if (w == "li") {
        s.para.leftIndent = clampTwips(n);
    } else if (w == "ri") {
        s.para.rightIndent = clampTwips(n);
    } else if (w == "fi") {
        s.para.firstIndent = clampTwips(n);
    } else if (w == "sb") {
        s.para.spaceBefore = std::clamp(n, 0, kMaxTwips);
    } else if (w == "sa") {
        s.para.spaceAfter = std::clamp(n, 0, kMaxTwips);
    } else if (w == "tx") {
        if (s.para.tabStops.size() < kMaxTabStops)
            s.para.tabStops.append(std::clamp(n, 0, kMaxTwips));
    }
    // Every other control word is ignored.
}

} // namespace

namespace Rtf {

bool looksLikeRtf(QByteArrayView data) {
    qsizetype i = 0;
    while (i < data.size() && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'))
        ++i;
    return data.sliced(i).startsWith("{\\rtf");
}

void read(QByteArrayView data, QTextDocument &document) {
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    RtfBuilder(document).run(data);
    document.setUndoRedoEnabled(undo);
}

QString decode(QByteArrayView bytes, int codePage) {
    if (codePage == 1252)
        return dropControlCharacters(decodeCp1252(bytes), true);
    QStringDecoder decoder(decoderName(codePage).constData(), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return dropControlCharacters(decodeCp1252(bytes), true);
    return dropControlCharacters(decoder.decode(bytes), true);
}

int codePageOfCharset(int charset) {
    // 1 "default" and anything unknown: 0, the document's code page.
    static const std::map<int, int> codePages = {
        {0, 1252},   {2, kSymbolCodePage}, {77, 10000}, {128, 932},  {129, 949},  {134, 936},
        {136, 950},  {161, 1253},          {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256},
        {186, 1257}, {204, 1251},          {222, 874},  {238, 1250}, {255, 437}};
    const auto it = codePages.find(charset);
    return it != codePages.end() ? it->second : 0;
}

} // namespace Rtf
