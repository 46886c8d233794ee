#pragma once

#include "richtext/rtfdocumentwriter.h"
#include "richtext/rtfreader.h"
#include "richtext/rtfstate.h"
#include "richtext/rtftokenizer.h"

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QList>
#include <QStringDecoder>
#include <QTextBlockFormat>
#include <QTextCharFormat>

#include <array>
#include <map>
#include <vector>

class QTextDocument;

// Reads the tokens of an RTF file and keeps the state of its groups: the header tables, the
// character and paragraph formatting, tables, pictures and footnotes. What is to be shown goes
// to an RtfDocumentWriter. Control words are looked up in one table (rtfcontrolwords.cpp).
class RtfBuilder {
public:
    RtfBuilder(QTextDocument &document, const Rtf::Limits &limits);

    // Reads `data`; the document holds the result when run() returns. False when reading
    // stopped at the limits.
    bool run(QByteArrayView data);

private:
    using Token = RtfTokenizer::Token;

    // A control word's entry: the handler and the value it passes on.
    enum class Scope {
        Shown,       // only where text is shown
        Anywhere,    // in every group but the header tables
        Destination, // starts a destination: where text is shown, and right after \*
    };
    struct ControlWord {
        void (RtfBuilder::*handler)(const Token &token, int value);
        int value = 0;
        Scope scope = Scope::Shown;
    };
    static const QHash<QByteArray, ControlWord> &controlWords();

    RtfGroupState &state() { return m_stack.back(); }
    bool showsText() const;

    void groupStart();
    void groupEnd();
    void controlWord(const Token &token);
    void controlSymbol(char symbol);
    void textBytes(QByteArrayView bytes);
    void hexByte(unsigned char byte);
    bool skipFallback(const Token &token);
    bool withinLimits();

    // The destinations read apart from the text.
    void fontTableWord(const Token &token);
    void fontTableText(QByteArrayView bytes);
    void finishFontName();
    void colorTableWord(const Token &token);
    void colorTableText(QByteArrayView bytes);
    void styleSheetWord(const Token &token);
    void pictureWord(const Token &token);
    void finishPicture();

    // Handlers of the control word table; `value` is the entry's value.
    void onDestination(const Token &token, int value);
    void onSkip(const Token &token, int value);
    void onCodePage(const Token &token, int value);
    void onAnsiCodePage(const Token &token, int value);
    void onDefaultFont(const Token &token, int value);
    void onUnicodeSkip(const Token &token, int value);
    void onUnicode(const Token &token, int value);
    void onCharacter(const Token &token, int value);
    void onParagraph(const Token &token, int value);
    void onCell(const Token &token, int value);
    void onRow(const Token &token, int value);
    void onTableDepth(const Token &token, int value);
    void onRowDefinition(const Token &token, int value);
    void onCellEdge(const Token &token, int value);
    void onCellMerge(const Token &token, int value);
    void onCellShading(const Token &token, int value);
    void onBorderSide(const Token &token, int value);
    void onBorderWidth(const Token &token, int value);
    void onBorderStyle(const Token &token, int value);
    void onBorderColor(const Token &token, int value);
    void onBorderSpace(const Token &token, int value);
    // The sides that a border word sets: of the cell or of the paragraph.
    template <typename Set> void forBorderSides(Set set);
    RtfDocumentWriter::CellDef paragraphBox() const; // of the current paragraph
    void onRowGap(const Token &token, int value);
    void onNestedRowProperties(const Token &token, int value);
    void onFootnote(const Token &token, int value);
    void onPageHeader(const Token &token, int value);
    void onFieldInstruction(const Token &token, int value);
    void onFieldResult(const Token &token, int value);
    void onPageNumber(const Token &token, int value);
    void onPageSetup(const Token &token, int value);
    void onPageGeometry(const Token &token, int value);
    void onShapeFrame(const Token &token, int value);
    void onFootnoteNumber(const Token &token, int value);
    void onPicture(const Token &token, int value);
    void onShapePicture(const Token &token, int value);
    void onListText(const Token &token, int value);
    void onShape(const Token &token, int value);
    void onShapeProperty(const Token &token, int value);
    void onShapeEdge(const Token &token, int value);
    void onResetParagraph(const Token &token, int value);
    void onResetCharacters(const Token &token, int value);
    void onCharFlag(const Token &token, int value);
    void onUnderlineNone(const Token &token, int value);
    void onDoubleUnderline(const Token &token, int value);
    void onVertical(const Token &token, int value);
    void onFontSize(const Token &token, int value);
    void onFont(const Token &token, int value);
    void onColor(const Token &token, int value);
    void onBackground(const Token &token, int value);
    void onParagraphShading(const Token &token, int value);
    void onStyle(const Token &token, int value);
    void onAlignment(const Token &token, int value);
    void onParagraphTwips(const Token &token, int value);
    void onTabStop(const Token &token, int value);
    void onTabKind(const Token &token, int value);
    void onTabLeader(const Token &token, int value);
    void onLineSpacing(const Token &token, int value);
    void onCellAlignment(const Token &token, int value);
    void onPadding(const Token &token, int value);
    void onRowHeight(const Token &token, int value);
    void onPageBreakBefore(const Token &token, int value);

    void appendText(const QString &text, bool superscript = false);
    void decodePending();
    void flush();
    void endParagraph(bool pageBreakAfter);

    const RtfFontEntry *currentFont(); // null when the font table names neither it nor \deff
    int currentCodePage();
    QString decodeBytes(QByteArrayView bytes, int codePage, RtfSymbolFont symbol);
    QTextCharFormat charFormat();
    QTextCharFormat buildCharFormat(const RtfCharState &chars);
    QTextBlockFormat blockFormat();
    QColor color(int index) const; // invalid for "automatic" and unknown entries

    QTextDocument &m_document;
    RtfDocumentWriter m_writer;
    Rtf::Limits m_limits;
    std::vector<RtfGroupState> m_stack;
    int m_overflowDepth = 0; // groups opened beyond the depth limit and not yet closed
    bool m_finished = false;
    bool m_starPending = false; // the last token was \*
    int m_skipRemaining = 0;    // fallback bytes of \uN still to skip

    int m_documentCodePage = 1252;
    int m_defaultFont = 0;
    std::map<int, RtfFontEntry> m_fonts;
    int m_currentFont = -1; // the font table entry being read
    QList<QColor> m_colors;
    int m_red = -1, m_green = -1, m_blue = -1;
    std::map<int, RtfStyle> m_styles;
    int m_currentStyle = 0; // the style sheet entry being read

    QByteArray m_pendingBytes; // plain text bytes not yet decoded
    int m_pendingCodePage = 1252;
    RtfSymbolFont m_pendingSymbol = RtfSymbolFont::None;
    QString m_pendingText;               // decoded text not yet handed to the writer
    bool m_pageBreakBeforeBlock = false; // the current paragraph starts a new page
    std::map<int, QStringDecoder> m_decoders;
    QHash<RtfCharState, QTextCharFormat> m_formats; // built so far, for the current tables
    RtfParaState m_lastPara;
    bool m_lastPageBreak = false;
    QTextBlockFormat m_lastBlockFormat;

    // Tables: the row definitions per nesting depth and the cell being defined.
    std::map<int, RtfDocumentWriter::RowDef> m_rowDefs;
    int m_rowDefDepth = 1;
    RtfDocumentWriter::CellDef m_cellDef;
    // 0 … 3 the sides of a cell, 4 … 7 those of a paragraph, 8 all of a paragraph's, -1 others.
    int m_borderSide = -1;
    size_t m_nestedPropertiesDepth = 0; // the group of \nesttableprops

    // Footnotes: their count and the group of the one being read.
    int m_footnotes = 0;
    // Fields: the instruction being read (its group) and whether it asks for the page number.
    QByteArray m_fieldInstruction;
    size_t m_fieldDepth = 0;
    bool m_pageField = false;
    std::array<bool, 6> m_asideSeen{}; // the headers and footers read, see onPageHeader
    size_t m_footnoteDepth = 0;
    bool m_noteSpacePending = false; // a note's own number was just written

    // Pictures: the one being read, and whether the last one could be shown.
    struct Picture {
        QByteArray data; // hex digits, or raw bytes from \bin
        bool binary = false;
        const char *format = nullptr;      // "PNG", "JPG"; null for others
        int width = 0, height = 0;         // \picw, \pich
        int goalWidth = 0, goalHeight = 0; // twips
        int scaleX = 100, scaleY = 100;
        size_t depth = 0; // the group of \pict
        int role = 0;     // 0 plain, 1 in \shppict, 2 in \nonshppict
    };
    Picture m_picture;
    int m_pictureRole = 0;            // of the group being read, see Picture::role
    size_t m_pictureRoleDepth = 0;    // the group that set it
    bool m_lastPictureShown = true;   // the last \shppict picture
    qsizetype m_placeholderMark = -1; // where the placeholder of a \shppict picture went
    int m_pictureNumber = 0;
    qint64 m_picturePixels = 0; // of the pictures decoded so far

    // The shape being read: its group, the group of its property name and the name read so
    // far, its edges (twips) and the kind of wrapping around it.
    struct Shape {
        size_t depth = 0, nameDepth = 0;
        QByteArray name;
        std::array<int, 5> edges{}; // left, top, right, bottom, \shpwr
        // The property whose value is being read ("posh", "posrelh"); the horizontal alignment
        // (posh: 1 left, 2 centre, 3 right; 0 from the edges) and whether the edges count from
        // the page's edge rather than the margin.
        QByteArray valueOf;
        int alignment = 0;
        bool fromPage = false;
    };
    // The page's width and its left and right margins, twips (\paperw \margl \margr and the
    // section's).
    std::array<int, 3> m_page{12240, 1800, 1800};
    Qt::Alignment shapeAlignment() const;
    Shape m_shape;

    // \listtext: where its text began in the paragraph, and its group.
    qsizetype m_listTextMark = 0;
    size_t m_listTextDepth = 0;
};
