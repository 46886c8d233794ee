#include "richtext/rtfbuilder.h"

#include "richtext/rtfreader.h"
#include "richtext/rtftext.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextLength>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace {

using TokenType = RtfTokenizer::Type;

// Deeper nesting than this is not followed: the content of such groups is dropped. Word
// processors nest a few dozen levels at most.
constexpr int kMaxGroupDepth = 200;
// Tables nested deeper than this are read as part of the deepest one.
constexpr int kMaxTableDepth = 8;

// Lengths in twips (1/20 point) become document pixels at 96 per inch.
constexpr double kTwipsPerPixel = 15.0;
constexpr int kMaxTwips = 31680; // 22 inches, the largest page dimension word processors allow
constexpr int kMaxBorderTwips = 300;
constexpr int kMaxHalfPoints = 3276;
constexpr int kMaxTabStops = 64;
constexpr int kMaxPicturePixels = 4000;
constexpr double kPageGapPixels = 36;                      // the space that stands for a page break on screen
constexpr qsizetype kMaxFormats = 4096;                    // character formats kept for reuse
constexpr qint64 kMaxPixelsPerDocument = 64 * 1024 * 1024; // of all pictures, 256 MB decoded

int clampTwips(int value) {
    return std::clamp(value, -kMaxTwips, kMaxTwips);
}

} // namespace

RtfBuilder::RtfBuilder(QTextDocument &document, const Rtf::Limits &limits)
    : m_document(document), m_writer(document), m_limits(limits) {
    m_writer.setMeasuring(std::isfinite(limits.height));
}

bool RtfBuilder::run(QByteArrayView data) {
    bool whole = true;
    m_stack.reserve(kMaxGroupDepth + 1);
    m_stack.emplace_back();
    RtfTokenizer tokenizer(data);
    bool started = false;
    while (!m_finished) {
        const Token token = tokenizer.next();
        if (token.type == TokenType::End)
            break;
        if (!withinLimits()) {
            whole = false;
            break;
        }
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
        if (token.type != TokenType::ControlWord)
            m_starPending = false;
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
            if (state().destination == RtfDestination::Picture) {
                m_picture.data.append(token.text);
                m_picture.binary = true;
            }
            break;
        case TokenType::End:
            break;
        }
    }
    flush();
    while (m_stack.size() > 1) // close what a truncated file left open
        groupEnd();
    m_writer.finish(blockFormat(), charFormat());
    return whole;
}

// True while the document stays within the limits; text read beyond them is dropped.
bool RtfBuilder::withinLimits() {
    const qsizetype pending = m_pendingBytes.size() + m_pendingText.size();
    const qsizetype room = std::min(m_limits.characters - m_writer.characters(),
                                    m_limits.paragraphCharacters - m_writer.paragraphCharacters());
    if (m_writer.blocks() <= m_limits.blocks && pending <= room && m_writer.runs() <= m_limits.runs &&
        m_writer.paragraphRuns() <= m_limits.paragraphRuns && m_writer.height() <= m_limits.height)
        return true;
    decodePending();
    m_pendingText.truncate(std::max<qsizetype>(room, 0));
    return false;
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

bool RtfBuilder::showsText() const {
    const RtfDestination d = m_stack.back().destination;
    return (d == RtfDestination::Text || d == RtfDestination::ListText) && !m_stack.back().chars.hidden;
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
    const size_t depth = m_stack.size();
    switch (state().destination) {
    case RtfDestination::FontTable:
        finishFontName();
        break;
    case RtfDestination::Picture:
        if (depth == m_picture.depth)
            finishPicture();
        break;
    default:
        break;
    }
    if (depth == m_listTextDepth) {
        // An empty number (a bare tab) takes no room.
        m_listTextDepth = 0;
        if (m_writer.textSince(m_listTextMark).trimmed().isEmpty())
            m_writer.truncate(m_listTextMark);
    }
    if (depth == m_footnoteDepth) {
        m_footnoteDepth = 0;
        m_writer.endFootnote(blockFormat(), charFormat());
    }
    if (depth == m_nestedPropertiesDepth)
        m_nestedPropertiesDepth = 0;
    if (depth == m_shape.nameDepth) {
        m_shape.nameDepth = 0;
        if (m_shape.valueOf == "posh")
            m_shape.alignment = m_shape.name.trimmed().toInt();
        else if (m_shape.valueOf == "posrelh")
            m_shape.fromPage = m_shape.name.trimmed() == "1";
        m_shape.valueOf.clear();
    }
    if (depth == m_fieldDepth) {
        m_fieldDepth = 0;
        const QList<QByteArray> words = m_fieldInstruction.simplified().split(' ');
        m_pageField = words.front() == "PAGE";
    }
    if (depth == m_shape.depth)
        m_shape = Shape();
    if (depth == m_pictureRoleDepth) {
        m_pictureRoleDepth = 0;
        m_pictureRole = 0;
    }
    if (m_stack.size() <= 1) // an unbalanced closing brace ends nothing
        return;
    m_stack.pop_back();
    if (m_stack.size() == 1)
        m_finished = true; // the document's outermost group is closed
}

void RtfBuilder::controlSymbol(char symbol) {
    if (symbol == '*') {
        // An ignorable destination: skipped unless the next word names one that is read.
        flush();
        if (state().destination != RtfDestination::StyleSheet) {
            state().destination = RtfDestination::Skip;
            m_starPending = true;
        }
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
        if (showsText())
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
    switch (state().destination) {
    case RtfDestination::Text:
    case RtfDestination::ListText: {
        if (state().chars.hidden)
            return;
        const int codePage = currentCodePage();
        const RtfSymbolFont symbol = currentFont() ? currentFont()->symbol : RtfSymbolFont::None;
        if (!m_pendingBytes.isEmpty() && (m_pendingCodePage != codePage || m_pendingSymbol != symbol))
            decodePending();
        m_pendingCodePage = codePage;
        m_pendingSymbol = symbol;
        m_pendingBytes.append(bytes);
        break;
    }
    case RtfDestination::FontTable:
        fontTableText(bytes);
        break;
    case RtfDestination::ColorTable:
        colorTableText(bytes);
        break;
    case RtfDestination::StyleSheet:
        if (bytes.contains(';'))
            m_currentStyle = 0;
        break;
    case RtfDestination::Picture:
        m_picture.data.append(bytes);
        break;
    case RtfDestination::Skip:
        if (m_shape.nameDepth == m_stack.size() && m_shape.name.size() < 64)
            m_shape.name.append(bytes);
        if (m_fieldDepth == m_stack.size() && m_fieldInstruction.size() < 64)
            m_fieldInstruction.append(bytes);
        break;
    }
}

void RtfBuilder::hexByte(unsigned char byte) {
    const char c = static_cast<char>(byte);
    // An escaped ';' in a font name is part of the name, not its end.
    if (state().destination == RtfDestination::FontTable) {
        if (m_currentFont >= 0 && !m_fonts[m_currentFont].nameDone) {
            const RtfFontEntry &font = m_fonts[m_currentFont];
            m_fonts[m_currentFont].name +=
                decodeBytes(QByteArrayView(&c, 1), font.codePage > 0 ? font.codePage : m_documentCodePage,
                            RtfSymbolFont::None);
        }
        return;
    }
    if (state().destination == RtfDestination::Picture) {
        m_picture.data.append(QByteArray::number(byte, 16).rightJustified(2, '0'));
        return;
    }
    textBytes(QByteArrayView(&c, 1));
}

void RtfBuilder::appendText(const QString &text, bool superscript) {
    if (!showsText())
        return;
    decodePending();
    if (superscript) {
        flush();
        QTextCharFormat format = charFormat();
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        m_writer.addText(text, format, state().para.tableDepth);
        return;
    }
    m_pendingText.append(text);
}

void RtfBuilder::decodePending() {
    if (m_pendingBytes.isEmpty())
        return;
    m_pendingText.append(decodeBytes(m_pendingBytes, m_pendingCodePage, m_pendingSymbol));
    m_pendingBytes.clear();
}

// Hands the text read so far to the writer, in the format that is current; called before
// anything changes the format.
void RtfBuilder::flush() {
    decodePending();
    if (m_pendingText.isEmpty())
        return;
    RtfText::repairSurrogates(m_pendingText);
    if (m_noteSpacePending && m_writer.inFootnote() && !m_pendingText.front().isSpace())
        m_pendingText.prepend(u' '); // the number of a note stands apart from its text
    m_noteSpacePending = false;
    m_writer.addText(m_pendingText, charFormat(), state().para.tableDepth);
    m_pendingText.clear();
}

void RtfBuilder::endParagraph(bool pageBreakAfter) {
    flush();
    const RtfDocumentWriter::CellDef box = paragraphBox();
    m_writer.endParagraph(blockFormat(), charFormat(), state().para.tableDepth,
                          box.borders == std::array<int, 4>{} ? nullptr : &box);
    m_pageBreakBeforeBlock = pageBreakAfter;
}

const RtfFontEntry *RtfBuilder::currentFont() {
    const int number = state().chars.font;
    auto entry = m_fonts.find(number >= 0 ? number : m_defaultFont);
    if (entry == m_fonts.end()) // a font missing from the table: the default font
        entry = m_fonts.find(m_defaultFont);
    return entry == m_fonts.end() ? nullptr : &entry->second;
}

int RtfBuilder::currentCodePage() {
    const RtfFontEntry *font = currentFont();
    return font && font->codePage > 0 ? font->codePage : m_documentCodePage;
}

QString RtfBuilder::decodeBytes(QByteArrayView bytes, int codePage, RtfSymbolFont symbol) {
    if (symbol != RtfSymbolFont::None || codePage == RtfText::kSymbolCodePage) {
        // Symbol fonts: their glyphs become the characters they stand for.
        const RtfSymbolFont font = symbol != RtfSymbolFont::None ? symbol : RtfSymbolFont::Symbol;
        QString text(bytes.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < bytes.size(); ++i)
            text[i] = QChar(RtfText::mapSymbol(font, static_cast<unsigned char>(bytes[i])));
        return RtfText::dropControlCharacters(text);
    }
    if (codePage == 1252)
        return RtfText::dropControlCharacters(RtfText::decodeCp1252(bytes));
    auto it = m_decoders.find(codePage);
    if (it == m_decoders.end())
        it = m_decoders
                 .emplace(codePage, QStringDecoder(RtfText::decoderName(codePage).constData(),
                                                   QStringDecoder::Flag::Stateless))
                 .first;
    if (!it->second.isValid())
        return RtfText::dropControlCharacters(RtfText::decodeCp1252(bytes));
    return RtfText::dropControlCharacters(it->second.decode(bytes));
}

QColor RtfBuilder::color(int index) const {
    return index > 0 && index < m_colors.size() ? m_colors.at(index) : QColor();
}

QTextCharFormat RtfBuilder::charFormat() {
    const RtfCharState &c = state().chars;
    // Each format is built once: building costs more than looking it up, and a format built
    // once also keeps its hash for the document's own format lookup.
    if (const auto it = m_formats.constFind(c); it != m_formats.cend())
        return *it;
    if (m_formats.size() >= kMaxFormats)
        m_formats.clear();
    return *m_formats.insert(c, buildCharFormat(c));
}

QTextCharFormat RtfBuilder::buildCharFormat(const RtfCharState &c) {
    QTextCharFormat format;
    // Symbol fonts are not applied: their glyphs are already mapped to ordinary Unicode
    // characters, which such a font would draw as other glyphs or not at all.
    if (const RtfFontEntry *font = currentFont(); font && !font->name.isEmpty() &&
                                                  font->codePage != RtfText::kSymbolCodePage &&
                                                  font->symbol == RtfSymbolFont::None) {
        format.setFontFamilies(QStringList{font->name});
        format.setFontStyleHint(font->hint);
    }
    if (c.halfPoints > 0)
        format.setFontPointSize(c.halfPoints / 2.0);
    format.setFontWeight(c.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(c.italic);
    format.setFontUnderline(c.underline);
    if (c.underline && c.doubleUnderline)
        format.setProperty(Rtf::kDoubleUnderline, true);
    if (c.pageNumber)
        format.setProperty(Rtf::kPageNumber, true);
    format.setFontStrikeOut(c.strike);
    if (c.smallCaps)
        format.setFontCapitalization(QFont::SmallCaps);
    else if (c.allCaps)
        format.setFontCapitalization(QFont::AllUppercase);
    if (c.vertical > 0)
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (c.vertical < 0)
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (const QColor foreground = color(c.color); foreground.isValid())
        format.setForeground(foreground);
    if (const QColor background = color(c.background); background.isValid())
        format.setBackground(background);
    return format;
}

QTextBlockFormat RtfBuilder::blockFormat() {
    const RtfParaState &p = state().para;
    if (p == m_lastPara && m_pageBreakBeforeBlock == m_lastPageBreak && !m_lastBlockFormat.isEmpty())
        return m_lastBlockFormat;
    QTextBlockFormat format;
    format.setAlignment(p.alignment);
    format.setLeftMargin(p.leftIndent / kTwipsPerPixel);
    format.setRightMargin(p.rightIndent / kTwipsPerPixel);
    format.setTextIndent(p.firstIndent / kTwipsPerPixel);
    format.setTopMargin(p.spaceBefore / kTwipsPerPixel);
    format.setBottomMargin(p.spaceAfter / kTwipsPerPixel);
    // RTF measures tab stops from the left margin, the text layout from where the paragraph's
    // first line begins. With a hanging indent the first tab stops at the indent, as in list
    // items, unless a tab stop of the paragraph comes before it.
    std::map<int, std::pair<char, char>> stops; // position: kind, leader
    for (qsizetype i = 0; i < p.tabStops.size(); ++i)
        if (const int stop = p.tabStops[i] - p.leftIndent - p.firstIndent; stop > 0)
            stops.emplace(stop, std::pair(p.tabKinds.value(i, 'l'), p.tabLeaders.value(i, char(0))));
    if (p.firstIndent < 0)
        stops.emplace(-p.firstIndent, std::pair('l', char(0)));
    if (!stops.empty()) {
        QList<QTextOption::Tab> tabs;
        QString leaders; // one per tab stop, blank for none
        for (const auto &[stop, kind] : stops) {
            const auto type = kind.first == 'r'   ? QTextOption::RightTab
                              : kind.first == 'c' ? QTextOption::CenterTab
                              : kind.first == 'd' ? QTextOption::DelimiterTab
                                                  : QTextOption::LeftTab;
            // The school's documents are German: numbers line up at the decimal comma.
            tabs.append(QTextOption::Tab(stop / kTwipsPerPixel, type, kind.first == 'd' ? u',' : QChar()));
            leaders += kind.second ? QChar(char16_t(kind.second)) : QChar(u' ');
        }
        format.setTabPositions(tabs);
        if (!leaders.trimmed().isEmpty())
            format.setProperty(Rtf::kTabLeaders, leaders);
    }
    if (p.lineSpacing > 0 && p.lineMultiple)
        format.setLineHeight(p.lineSpacing * 100.0 / 240, QTextBlockFormat::ProportionalHeight);
    else if (p.lineSpacing > 0)
        format.setLineHeight(p.lineSpacing / kTwipsPerPixel, QTextBlockFormat::MinimumHeight);
    else if (p.lineSpacing < 0)
        format.setLineHeight(-p.lineSpacing / kTwipsPerPixel, QTextBlockFormat::FixedHeight);
    if (const QColor shading = color(p.shading); shading.isValid())
        format.setBackground(shading);
    const bool boxed = p.boxWidths[0] || p.boxWidths[1] || p.boxWidths[3];
    if (boxed) // the box has it
        format.clearBackground();
    if (p.bottomBorder && !boxed) // a line under the paragraph
        format.setProperty(QTextFormat::BlockTrailingHorizontalRulerWidth,
                           QTextLength(QTextLength::PercentageLength, 100));
    if (m_pageBreakBeforeBlock || p.pageBreakBefore) {
        // A new page in print; on screen a gap.
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        format.setTopMargin(format.topMargin() + kPageGapPixels);
    }
    m_lastPara = p;
    m_lastPageBreak = m_pageBreakBeforeBlock;
    m_lastBlockFormat = format;
    return format;
}

// --- Header tables ---

void RtfBuilder::fontTableWord(const Token &token) {
    const QByteArray &w = token.word;
    const int n = token.parameter;
    if (w == "f" && token.hasParameter) {
        finishFontName();
        m_currentFont = n;
        m_fonts[n] = RtfFontEntry();
        m_formats.clear();
        return;
    }
    if (m_currentFont < 0)
        return;
    RtfFontEntry &font = m_fonts[m_currentFont];
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
    RtfFontEntry &font = m_fonts[m_currentFont];
    qsizetype end = bytes.indexOf(';');
    if (font.nameDone)
        return;
    const QByteArrayView name = end < 0 ? bytes : bytes.first(end);
    font.name += decodeBytes(name, font.codePage > 0 ? font.codePage : 1252, RtfSymbolFont::None);
    if (end >= 0)
        finishFontName();
}

void RtfBuilder::finishFontName() {
    if (m_currentFont < 0)
        return;
    RtfFontEntry &font = m_fonts[m_currentFont];
    if (!font.nameDone) {
        font.name = font.name.trimmed();
        font.nameDone = true;
        font.symbol = RtfText::symbolFontOf(font.name);
        m_formats.clear();
    }
}

void RtfBuilder::colorTableWord(const Token &token) {
    const int value = std::clamp(token.parameter, 0, 255);
    if (token.word == "red")
        m_red = value;
    else if (token.word == "green")
        m_green = value;
    else if (token.word == "blue")
        m_blue = value;
}

void RtfBuilder::colorTableText(QByteArrayView bytes) {
    for (char c : bytes) {
        if (c != ';')
            continue;
        m_formats.clear();
        if (m_red < 0 && m_green < 0 && m_blue < 0)
            m_colors.append(QColor()); // "automatic"
        else
            m_colors.append(QColor(std::max(m_red, 0), std::max(m_green, 0), std::max(m_blue, 0)));
        m_red = m_green = m_blue = -1;
    }
}

// A style's font and size; the rest of its formatting is written out where it is used.
void RtfBuilder::styleSheetWord(const Token &token) {
    const QByteArray &w = token.word;
    const int n = token.parameter;
    if (w == "s" || w == "cs" || w == "ds") {
        m_currentStyle = std::max(n, 0);
        return;
    }
    if (w == "ts" || w == "tsrowd") {
        m_currentStyle = -1; // table styles are not applied
        return;
    }
    if (m_currentStyle < 0)
        return;
    RtfStyle &style = m_styles[m_currentStyle];
    if (w == "f" && token.hasParameter)
        style.font = n;
    else if (w == "fs" && n > 0)
        style.halfPoints = std::min(n, kMaxHalfPoints);
    else if (w == "b")
        style.bold = !token.hasParameter || n != 0;
    else if (w == "i")
        style.italic = !token.hasParameter || n != 0;
    else if (w == "cf")
        style.color = std::max(n, 0);
    else if (w == "sbasedon")
        style.basedOn = n;
    else if (static const QByteArrayList twips{"li", "ri", "fi", "sb", "sa"}; twips.contains(w))
        style.twips[size_t(twips.indexOf(w))] = w == "sb" || w == "sa" ? std::clamp(n, 0, kMaxTwips) : clampTwips(n);
}

// --- Pictures ---

void RtfBuilder::pictureWord(const Token &token) {
    const QByteArray &w = token.word;
    const int n = token.parameter;
    if (w == "pngblip")
        m_picture.format = "PNG";
    else if (w == "jpegblip")
        m_picture.format = "JPG";
    else if (w == "wmetafile" || w == "emfblip" || w == "macpict" || w == "pmmetafile" || w == "dibitmap" ||
             w == "wbitmap")
        m_picture.format = nullptr;
    else if (w == "picw")
        m_picture.width = std::clamp(n, 0, kMaxTwips);
    else if (w == "pich")
        m_picture.height = std::clamp(n, 0, kMaxTwips);
    else if (w == "picwgoal")
        m_picture.goalWidth = std::clamp(n, 0, kMaxTwips);
    else if (w == "pichgoal")
        m_picture.goalHeight = std::clamp(n, 0, kMaxTwips);
    else if (w == "picscalex")
        m_picture.scaleX = std::clamp(n, 1, 1000);
    else if (w == "picscaley")
        m_picture.scaleY = std::clamp(n, 1, 1000);
}

void RtfBuilder::finishPicture() {
    Picture picture = std::move(m_picture);
    m_picture = Picture();
    QImage image;
    if (picture.format) {
        // Pictures are decoded only while all of them together stay within a budget: a small
        // compressed file may unpack to a huge picture.
        QByteArray bytes = picture.binary ? picture.data : QByteArray::fromHex(picture.data);
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer, picture.format);
        const QSize size = reader.size();
        const qint64 pixels = qint64(size.width()) * size.height();
        if (size.isValid() && pixels <= kMaxPixelsPerDocument - m_picturePixels) {
            image = reader.read();
            if (!image.isNull())
                m_picturePixels += pixels;
        }
    }
    // The group of \pict is closing; what it shows belongs to the group around it.
    const RtfGroupState outer = m_stack[m_stack.size() - 2];
    if (outer.destination != RtfDestination::Text || outer.chars.hidden)
        return;
    const RtfGroupState inner = state();
    state() = outer;
    if (image.isNull()) {
        // A format that cannot be shown; the alternative of a \shppict picture may be.
        if (picture.role != 2) {
            flush();
            if (picture.role == 1)
                m_placeholderMark = m_writer.mark();
            appendText(QStringLiteral("[Bild]"));
            flush();
        }
        if (picture.role == 1)
            m_lastPictureShown = false;
    } else {
        if (picture.role == 2 && m_placeholderMark >= 0)
            m_writer.truncate(m_placeholderMark);
        if (picture.role == 1)
            m_lastPictureShown = true;
        flush();
        double width = picture.goalWidth > 0 ? picture.goalWidth / kTwipsPerPixel : image.width();
        double height = picture.goalHeight > 0 ? picture.goalHeight / kTwipsPerPixel : image.height();
        width *= picture.scaleX / 100.0;
        height *= picture.scaleY / 100.0;
        if (const auto &e = m_shape.edges; m_shape.depth && e[2] > e[0] && e[3] > e[1]) {
            width = (e[2] - e[0]) / kTwipsPerPixel; // the size the shape gives the picture
            height = (e[3] - e[1]) / kTwipsPerPixel;
        }
        // No larger than a large screen, in its own proportions.
        const double shrink = std::min(1.0, kMaxPicturePixels / std::max(width, height));
        width = std::max(width * shrink, 1.0);
        height = std::max(height * shrink, 1.0);
        const QString name = QStringLiteral("rtf-bild:%1").arg(++m_pictureNumber);
        m_document.addResource(QTextDocument::ImageResource, QUrl(name), image);
        QTextImageFormat format;
        format.setName(name);
        format.setWidth(width);
        format.setHeight(height);
        // A shape with no text beside it (wrapping above and below, or none) stands on a line
        // of its own; one placed in the centre or at the right in a paragraph of its own.
        const bool ownLine = m_shape.depth && (m_shape.edges[4] == 1 || m_shape.edges[4] == 3);
        const Qt::Alignment place = ownLine ? shapeAlignment() : Qt::AlignLeft;
        if (place != Qt::AlignLeft && m_writer.paragraphRuns() > 0)
            endParagraph(false);
        m_writer.addImage(format, state().para.tableDepth);
        if (place != Qt::AlignLeft) {
            QTextBlockFormat block = blockFormat();
            block.setAlignment(place);
            m_writer.endParagraph(block, charFormat(), state().para.tableDepth);
            m_pageBreakBeforeBlock = false;
        } else if (ownLine) {
            appendText(QStringLiteral("\u2028"));
        }
    }
    if (picture.role == 2)
        m_placeholderMark = -1;
    state() = inner;
}

// --- Control words ---

void RtfBuilder::controlWord(const Token &token) {
    if (token.word == "u") {
        onUnicode(token, 0);
        m_starPending = false;
        return;
    }
    flush();
    const bool star = m_starPending;
    m_starPending = false;
    switch (state().destination) {
    case RtfDestination::FontTable:
        fontTableWord(token);
        return;
    case RtfDestination::ColorTable:
        colorTableWord(token);
        return;
    case RtfDestination::StyleSheet:
        styleSheetWord(token);
        return;
    case RtfDestination::Picture:
        pictureWord(token);
        return;
    default:
        break;
    }
    const auto &table = controlWords();
    const auto it = table.constFind(token.word);
    if (it == table.cend())
        return;
    const RtfDestination destination = state().destination;
    const bool shown = destination == RtfDestination::Text || destination == RtfDestination::ListText;
    if (shown || it->scope == Scope::Anywhere || (star && it->scope == Scope::Destination))
        (this->*(it->handler))(token, it->value);
}

void RtfBuilder::onDestination(const Token &, int value) {
    const auto destination = static_cast<RtfDestination>(value);
    state().destination = destination;
    if (destination == RtfDestination::StyleSheet)
        m_currentStyle = 0;
}

void RtfBuilder::onSkip(const Token &, int) {
    state().destination = RtfDestination::Skip;
}

void RtfBuilder::onFieldInstruction(const Token &, int) {
    state().destination = RtfDestination::Skip;
    m_pageField = false;
    if (m_stack.size() < 2 || m_stack[m_stack.size() - 2].destination != RtfDestination::Text)
        return;
    m_fieldInstruction.clear();
    m_fieldDepth = m_stack.size();
}

// A field's result; that of a PAGE field is the number of the page it is printed on.
void RtfBuilder::onFieldResult(const Token &, int) {
    state().chars.pageNumber = m_pageField;
    m_pageField = false;
}

void RtfBuilder::onPageNumber(const Token &, int) {
    flush();
    const bool before = std::exchange(state().chars.pageNumber, true);
    appendText(QStringLiteral("1"));
    flush();
    state().chars.pageNumber = before;
}

void RtfBuilder::onPageSetup(const Token &, int value) {
    if (value)
        m_writer.setFacingPages();
    else
        m_writer.setTitlePage();
}

void RtfBuilder::onCodePage(const Token &, int value) {
    m_documentCodePage = value;
}

void RtfBuilder::onAnsiCodePage(const Token &token, int) {
    if (token.parameter > 0)
        m_documentCodePage = token.parameter;
}

void RtfBuilder::onDefaultFont(const Token &token, int) {
    m_defaultFont = token.parameter;
    m_formats.clear();
}

void RtfBuilder::onUnicodeSkip(const Token &token, int) {
    state().unicodeSkip = std::clamp(token.parameter, 0, 16);
}

void RtfBuilder::onUnicode(const Token &token, int) {
    if (!token.hasParameter)
        return;
    int value = token.parameter;
    if (value < 0)
        value += 65536;
    auto code = char16_t(std::clamp(value, 0, 0xFFFF));
    const RtfFontEntry *font = currentFont();
    code = RtfText::mapSymbol(font ? font->symbol : RtfSymbolFont::None, code);
    appendText(QString(QChar(code)));
    m_skipRemaining = state().unicodeSkip;
}

void RtfBuilder::onCharacter(const Token &, int value) {
    appendText(QString(QChar(char16_t(value))));
}

void RtfBuilder::onParagraph(const Token &, int pageBreak) {
    endParagraph(pageBreak != 0);
}

void RtfBuilder::onCell(const Token &, int nested) {
    flush();
    const int depth = nested ? std::max(state().para.tableDepth, 2) : 1;
    m_writer.endCell(blockFormat(), charFormat(), depth);
}

void RtfBuilder::onRow(const Token &, int nested) {
    flush();
    const int depth = nested ? std::max(state().para.tableDepth, 2) : 1;
    m_writer.endRow(blockFormat(), charFormat(), depth, m_rowDefs[depth]);
}

void RtfBuilder::onTableDepth(const Token &token, int intbl) {
    int &depth = state().para.tableDepth;
    depth = intbl ? std::max(depth, 1) : std::clamp(token.parameter, 0, kMaxTableDepth);
}

void RtfBuilder::onRowDefinition(const Token &, int) {
    m_rowDefDepth = m_nestedPropertiesDepth ? std::max(state().para.tableDepth, 2) : 1;
    m_rowDefs[m_rowDefDepth] = RtfDocumentWriter::RowDef();
    m_cellDef = RtfDocumentWriter::CellDef();
    m_borderSide = -1;
}

void RtfBuilder::onCellEdge(const Token &token, int) {
    m_cellDef.right = std::clamp(token.parameter, 0, kMaxTwips);
    auto &cells = m_rowDefs[m_rowDefDepth].cells;
    if (cells.size() < 1000)
        cells.push_back(m_cellDef);
    m_cellDef = RtfDocumentWriter::CellDef();
    m_borderSide = -1;
}

void RtfBuilder::onCellMerge(const Token &, int which) {
    bool RtfDocumentWriter::CellDef::*flags[] = {
        &RtfDocumentWriter::CellDef::mergeFirst, &RtfDocumentWriter::CellDef::mergeNext,
        &RtfDocumentWriter::CellDef::vMergeFirst, &RtfDocumentWriter::CellDef::vMergeNext};
    m_cellDef.*flags[which] = true;
}

void RtfBuilder::onCellShading(const Token &token, int) {
    m_cellDef.shading = color(token.parameter);
}

void RtfBuilder::onBorderSide(const Token &, int side) {
    m_borderSide = side;
}

template <typename Set> void RtfBuilder::forBorderSides(Set set) {
    RtfParaState &p = state().para;
    if (m_borderSide >= 0 && m_borderSide < 4)
        set(m_cellDef.borders[size_t(m_borderSide)], m_cellDef.borderStyles[size_t(m_borderSide)],
            &m_cellDef.borderColors[size_t(m_borderSide)], nullptr, nullptr);
    for (size_t side = 0; side < 4; ++side)
        if (m_borderSide == 8 || m_borderSide == int(side) + 4)
            set(p.boxWidths[side], p.boxStyles[side], nullptr, &p.boxColors[side], &p.boxSpace[side]);
}

void RtfBuilder::onBorderWidth(const Token &token, int) {
    forBorderSides([&](int &width, int &style, QColor *, int *, int *) {
        // A double line needs three widths of a line to show as two.
        const int factor = style == QTextFrameFormat::BorderStyle_Double ? 3 : 1;
        width = std::clamp(token.parameter * factor, 0, kMaxBorderTwips);
    });
}

// The styles of the text document and the widths at which they show.
void RtfBuilder::onBorderStyle(const Token &, int style) {
    if (m_borderSide == 4 + 2)
        state().para.bottomBorder = style != 0;
    static constexpr QTextFrameFormat::BorderStyle styles[] = {
        QTextFrameFormat::BorderStyle_None, QTextFrameFormat::BorderStyle_Dotted,
        QTextFrameFormat::BorderStyle_Dashed, QTextFrameFormat::BorderStyle_Solid,
        QTextFrameFormat::BorderStyle_Double};
    forBorderSides([&](int &width, int &kind, QColor *, int *, int *) {
        width = style ? std::max(width, style == 4 ? 45 : 10) : 0;
        kind = style == 3 ? 0 : int(styles[style]);
    });
}

void RtfBuilder::onBorderColor(const Token &token, int) {
    forBorderSides([&](int &, int &, QColor *cell, int *paragraph, int *) {
        if (cell)
            *cell = color(token.parameter);
        if (paragraph)
            *paragraph = std::max(token.parameter, 0);
    });
}

void RtfBuilder::onBorderSpace(const Token &token, int) {
    forBorderSides([&](int &, int &, QColor *, int *, int *space) {
        if (space)
            *space = std::clamp(token.parameter, 0, kMaxBorderTwips * 10);
    });
}

// A paragraph with a border at the top, left or right stands in a box (a table of one cell);
// one with a border only at the bottom gets a line under it.
RtfDocumentWriter::CellDef RtfBuilder::paragraphBox() const {
    const RtfParaState &p = m_stack.back().para;
    RtfDocumentWriter::CellDef box;
    if (!p.boxWidths[0] && !p.boxWidths[1] && !p.boxWidths[3])
        return box;
    box.borders = p.boxWidths;
    box.borderStyles = p.boxStyles;
    for (size_t side = 0; side < 4; ++side) {
        box.borderColors[side] = color(p.boxColors[side]);
        box.padding[side] = p.boxSpace[side];
    }
    box.shading = color(p.shading);
    return box;
}

void RtfBuilder::onRowGap(const Token &token, int) {
    m_rowDefs[m_rowDefDepth].gap = std::clamp(token.parameter, 0, kMaxTwips);
}

void RtfBuilder::onNestedRowProperties(const Token &, int) {
    state().destination = RtfDestination::Text;
    m_nestedPropertiesDepth = m_stack.size();
}

void RtfBuilder::onFootnote(const Token &, int) {
    if (m_footnoteDepth || m_writer.inFootnote()) {
        state().destination = RtfDestination::Skip; // a footnote inside a footnote
        return;
    }
    state().destination = RtfDestination::Text;
    ++m_footnotes;
    m_footnoteDepth = m_stack.size();
    m_writer.beginFootnote();
}

// Of each, the one for all pages is shown, else the first page's; left pages' are not.
void RtfBuilder::onPageHeader(const Token &, int value) {
    const bool shown = showsText();
    state().destination = RtfDestination::Skip;
    // The first of each kind counts; later ones (a section's after the page style's) are alike.
    bool &seen = m_asideSeen[size_t(value / 4 * 3 + value % 4)];
    if (!shown || m_footnoteDepth || m_writer.inFootnote() || seen)
        return;
    seen = true;
    state().destination = RtfDestination::Text;
    state().para = RtfParaState();
    m_footnoteDepth = m_stack.size();
    m_writer.beginFootnote(value < 4 ? RtfDocumentWriter::Aside::Header : RtfDocumentWriter::Aside::Footer,
                           value % 4);
}

void RtfBuilder::onFootnoteNumber(const Token &, int) {
    // In the text the number of the footnote that follows, in the note its own.
    const int number = m_writer.inFootnote() ? m_footnotes : m_footnotes + 1;
    appendText(QString::number(number), true);
    m_noteSpacePending = m_writer.inFootnote();
}

void RtfBuilder::onPicture(const Token &, int) {
    state().destination = RtfDestination::Picture;
    m_picture = Picture();
    m_picture.depth = m_stack.size();
    m_picture.role = m_pictureRole;
}

void RtfBuilder::onShapePicture(const Token &token, int) {
    if (token.word == "nonshppict" && m_lastPictureShown) {
        state().destination = RtfDestination::Skip; // the alternative of a picture shown
        return;
    }
    state().destination = RtfDestination::Text;
    m_pictureRole = token.word == "shppict" ? 1 : 2;
    m_pictureRoleDepth = m_stack.size();
    if (m_pictureRole == 1)
        m_lastPictureShown = true;
}

void RtfBuilder::onShape(const Token &, int) {
    const bool shown = showsText();
    state().destination = RtfDestination::Skip;
    if (!shown || m_shape.depth) // only shapes in the text, not inside others
        return;
    m_shape = Shape();
    m_shape.depth = m_stack.size();
}

// \sn starts the name of a shape property, \sv its value: the value of "pib" is shown.
void RtfBuilder::onShapeProperty(const Token &, int value) {
    if (!m_shape.depth)
        return;
    if (!value) {
        m_shape.name.clear();
        m_shape.nameDepth = m_stack.size();
    } else if (const QByteArray name = m_shape.name.trimmed(); name == "posh" || name == "posrelh") {
        m_shape.valueOf = name;
        m_shape.name.clear();
        m_shape.nameDepth = m_stack.size();
    } else if (name == "pib") {
        const RtfGroupState outer = m_stack[m_shape.depth - 2];
        state().chars = outer.chars;
        state().para = outer.para;
        state().destination = RtfDestination::Text;
    }
}

void RtfBuilder::onShapeFrame(const Token &, int page) {
    if (m_shape.depth)
        m_shape.fromPage = page;
}

void RtfBuilder::onPageGeometry(const Token &token, int which) {
    if (token.parameter > 0)
        m_page[size_t(which)] = clampTwips(token.parameter);
}

// Where a shape on a line of its own stands: as its alignment says, else as its edges lie
// between the margins (centred where the space on its left and right differs by less than
// a tenth of an inch; at the right where there is none on its right).
Qt::Alignment RtfBuilder::shapeAlignment() const {
    constexpr int kNear = 144;
    if (m_shape.alignment >= 1 && m_shape.alignment <= 3)
        return m_shape.alignment == 1 ? Qt::AlignLeft : m_shape.alignment == 2 ? Qt::AlignHCenter : Qt::AlignRight;
    const auto &e = m_shape.edges;
    if (e[2] <= e[0])
        return Qt::AlignLeft;
    const int left = e[0] - (m_shape.fromPage ? m_page[1] : 0);
    const int right = m_page[0] - m_page[1] - m_page[2] - (e[2] - (m_shape.fromPage ? m_page[1] : 0));
    if (left > kNear && std::abs(left - right) < kNear)
        return Qt::AlignHCenter;
    if (left > kNear && std::abs(right) < kNear)
        return Qt::AlignRight;
    return Qt::AlignLeft;
}

void RtfBuilder::onShapeEdge(const Token &token, int edge) {
    if (m_shape.depth)
        m_shape.edges[size_t(edge)] = clampTwips(token.parameter);
}

void RtfBuilder::onListText(const Token &, int) {
    state().destination = RtfDestination::ListText;
    m_listTextMark = m_writer.mark();
    m_listTextDepth = m_stack.size();
}

void RtfBuilder::onResetParagraph(const Token &, int) {
    state().para = RtfParaState();
}

void RtfBuilder::onResetCharacters(const Token &, int) {
    state().chars = RtfCharState();
}

void RtfBuilder::onCharFlag(const Token &token, int which) {
    static constexpr bool RtfCharState::*flags[] = {
        &RtfCharState::bold,   &RtfCharState::italic,    &RtfCharState::underline, &RtfCharState::strike,
        &RtfCharState::hidden, &RtfCharState::smallCaps, &RtfCharState::allCaps};
    state().chars.*flags[which] = !token.hasParameter || token.parameter != 0;
    if (which == 2)
        state().chars.doubleUnderline = false;
}

void RtfBuilder::onUnderlineNone(const Token &, int) {
    state().chars.underline = false;
}

void RtfBuilder::onDoubleUnderline(const Token &token, int) {
    RtfCharState &c = state().chars;
    c.underline = c.doubleUnderline = !token.hasParameter || token.parameter != 0;
}

void RtfBuilder::onVertical(const Token &, int value) {
    state().chars.vertical = value;
}

void RtfBuilder::onFontSize(const Token &token, int) {
    const int n = token.parameter;
    state().chars.halfPoints = token.hasParameter && n > 0 ? std::min(n, kMaxHalfPoints) : 24;
}

void RtfBuilder::onFont(const Token &token, int) {
    if (token.hasParameter)
        state().chars.font = token.parameter;
}

void RtfBuilder::onColor(const Token &token, int) {
    state().chars.color = std::max(token.parameter, 0);
}

void RtfBuilder::onBackground(const Token &token, int) {
    state().chars.background = std::max(token.parameter, 0);
}

void RtfBuilder::onParagraphShading(const Token &token, int) {
    state().para.shading = std::max(token.parameter, 0);
}

void RtfBuilder::onStyle(const Token &token, int) {
    // The style and those it is based on, the nearest first; what a nearer one sets counts.
    RtfStyle style;
    bool found = false;
    for (int number = token.parameter, steps = 0; steps < 16; ++steps) {
        const auto it = m_styles.find(number);
        if (it == m_styles.end())
            break;
        found = true;
        const RtfStyle &s = it->second;
        if (style.font < 0)
            style.font = s.font;
        if (style.halfPoints <= 0)
            style.halfPoints = s.halfPoints;
        if (style.bold < 0)
            style.bold = s.bold;
        if (style.italic < 0)
            style.italic = s.italic;
        if (style.color < 0)
            style.color = s.color;
        for (size_t i = 0; i < style.twips.size(); ++i)
            if (style.twips[i] == -1)
                style.twips[i] = s.twips[i];
        if (s.basedOn == number)
            break;
        number = s.basedOn;
    }
    if (!found)
        return;
    RtfCharState &chars = state().chars;
    if (style.color >= 0)
        chars.color = style.color;
    if (token.word == "s") {
        static constexpr int RtfParaState::*fields[] = {&RtfParaState::leftIndent, &RtfParaState::rightIndent,
                                                        &RtfParaState::firstIndent, &RtfParaState::spaceBefore,
                                                        &RtfParaState::spaceAfter};
        for (size_t i = 0; i < style.twips.size(); ++i)
            if (style.twips[i] != -1)
                state().para.*fields[i] = style.twips[i];
    }
    if (style.font >= 0)
        chars.font = style.font;
    if (style.halfPoints > 0)
        chars.halfPoints = style.halfPoints;
    if (style.bold >= 0)
        chars.bold = style.bold != 0;
    if (style.italic >= 0)
        chars.italic = style.italic != 0;
}

void RtfBuilder::onAlignment(const Token &, int value) {
    static constexpr Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight,
                                                   Qt::AlignJustify};
    state().para.alignment = alignments[value];
}

void RtfBuilder::onParagraphTwips(const Token &token, int which) {
    static constexpr int RtfParaState::*fields[] = {&RtfParaState::leftIndent, &RtfParaState::rightIndent,
                                                    &RtfParaState::firstIndent, &RtfParaState::spaceBefore,
                                                    &RtfParaState::spaceAfter};
    // Indents may be negative, spacing not.
    const int n = token.parameter;
    state().para.*fields[which] = which < 3 ? clampTwips(n) : std::clamp(n, 0, kMaxTwips);
}

void RtfBuilder::onTabStop(const Token &token, int) {
    RtfParaState &p = state().para;
    if (p.tabStops.size() < kMaxTabStops) {
        p.tabStops.append(std::clamp(token.parameter, 0, kMaxTwips));
        p.tabKinds.append(p.tabKind);
        p.tabLeaders.append(p.tabLeader);
    }
    p.tabKind = 'l';
    p.tabLeader = 0;
}

void RtfBuilder::onTabKind(const Token &, int kind) {
    state().para.tabKind = char(kind);
}

void RtfBuilder::onTabLeader(const Token &, int leader) {
    state().para.tabLeader = char(leader);
}

void RtfBuilder::onLineSpacing(const Token &token, int multiple) {
    RtfParaState &p = state().para;
    if (multiple)
        p.lineMultiple = token.parameter != 0;
    else
        p.lineSpacing = std::clamp(token.parameter, -kMaxTwips, kMaxTwips);
}

void RtfBuilder::onCellAlignment(const Token &, int alignment) {
    m_cellDef.verticalAlignment = alignment;
}

// Values 0 … 3 the sides of a cell, 4 … 7 those of the row.
void RtfBuilder::onPadding(const Token &token, int side) {
    const int twips = std::clamp(token.parameter, 0, kMaxBorderTwips * 10);
    if (side < 4)
        m_cellDef.padding[size_t(side)] = twips;
    else
        m_rowDefs[m_rowDefDepth].padding[size_t(side - 4)] = twips;
}

// Value 0 the row's height, 1 and 2 the space a table keeps above and below it from the text.
void RtfBuilder::onRowHeight(const Token &token, int which) {
    if (which)
        m_rowDefs[m_rowDefDepth].textDistance[size_t(which - 1)] = std::clamp(token.parameter, 0, kMaxTwips);
    else
        m_rowDefs[m_rowDefDepth].height = clampTwips(token.parameter);
}

void RtfBuilder::onPageBreakBefore(const Token &token, int) {
    state().para.pageBreakBefore = !token.hasParameter || token.parameter != 0;
}
