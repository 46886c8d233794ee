#pragma once

#include <QColor>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextImageFormat>

#include <array>
#include <memory>
#include <variant>
#include <vector>

class QTextDocument;
class QTextTable;

// Puts what the RTF reader found into a QTextDocument. Text is gathered per paragraph and
// inserted when the paragraph ends, all in one edit block, so that the document is laid out
// once and every step costs the same however long the document is. Table rows are gathered
// until the table ends and then become a QTextTable; footnotes are kept and listed at the end.
class RtfDocumentWriter {
public:
    // One cell of a row definition (\cellx and the cell properties before it).
    struct CellDef {
        int right = 0;                                // twips from the row's left edge
        bool mergeFirst = false, mergeNext = false;   // \clmgf, \clmrg
        bool vMergeFirst = false, vMergeNext = false; // \clvmgf, \clvmrg
        QColor shading;                               // invalid: none
        std::array<int, 4> borders{};                 // top, left, bottom, right in twips
        std::array<int, 4> borderStyles{};            // QTextFrameFormat::BorderStyle; 0 solid
        std::array<QColor, 4> borderColors;           // \brdrcf; invalid: black
        std::array<int, 4> padding{-1, -1, -1, -1};   // \clpad…, twips; -1: the row's
        int verticalAlignment = 0;                    // 0 top, 1 centre, 2 bottom

        bool operator==(const CellDef &) const = default;
    };
    struct RowDef {
        std::vector<CellDef> cells;
        int gap = 0; // \trgaph: half the space between cells, twips
        std::array<int, 4> padding{-1, -1, -1, -1}; // \trpadd…, twips; -1: from the gap
        int height = 0; // \trrh, twips: at least, or exactly when negative
        std::array<int, 2> textDistance{}; // \tdfrmtxtTop, \tdfrmtxtBottom: space above and below the table
        bool box = false; // the box of paragraphs, as wide as the page

        bool operator==(const RowDef &other) const {
            return gap == other.gap && padding == other.padding && height == other.height;
        }
    };

    // `document` is cleared first.
    explicit RtfDocumentWriter(QTextDocument &document);
    ~RtfDocumentWriter();

    // Text and pictures of the current paragraph; `depth` is its table nesting so far.
    void addText(const QString &text, const QTextCharFormat &format, int depth);
    void addImage(const QTextImageFormat &format, int depth);

    // The runs of the current paragraph so far, to look back at and drop what followed.
    // The next text starts a run of its own, so that it can be dropped alone.
    qsizetype mark() {
        m_marked = true;
        return m_spilledRuns + qsizetype(m_paragraph.runs.size());
    }
    QString textSince(qsizetype mark) const;
    void truncate(qsizetype mark);

    // Ends the current paragraph; `depth` is its table nesting (0 outside tables). A paragraph
    // outside tables with a `box` stands in a table of one cell, with the paragraphs before it
    // of the same box.
    void endParagraph(const QTextBlockFormat &block, const QTextCharFormat &blockChar, int depth,
                      const CellDef *box = nullptr);
    void endCell(const QTextBlockFormat &block, const QTextCharFormat &blockChar, int depth);
    void endRow(const QTextBlockFormat &block, const QTextCharFormat &blockChar, int depth,
                const RowDef &row);

    // Text between these two goes to a footnote (or the page header or footer) instead of the
    // current paragraph. The header goes before the document's text, the footer after it;
    // their blocks carry Rtf::kPageHeader or Rtf::kPageFooter.
    // `variant` of a header or footer: 0 for left pages, 1 the first page, 2 all (right) pages.
    // The view shows the one for all pages, else the first page's; all are kept for printing.
    enum class Aside { Footnote, Header, Footer };
    void beginFootnote(Aside aside = Aside::Footnote, int variant = 2);
    // \titlepg: the first page has its own header and footer; \facingp: left and right pages.
    void setTitlePage() { m_titlePage = true; }
    void setFacingPages() { m_facingPages = true; }
    void endFootnote(const QTextBlockFormat &block, const QTextCharFormat &blockChar);
    bool inFootnote() const { return m_inFootnote; }

    // The paragraphs ended so far (a cell counts as several), the characters of text and the runs given; of
    // the paragraph being read.
    qsizetype blocks() const { return m_blocks; }
    qsizetype characters() const { return m_characters; }
    qsizetype runs() const { return m_runs; }
    qsizetype paragraphCharacters() const { return m_characters - m_paragraphStart; }
    qsizetype paragraphRuns() const { return m_runs - m_paragraphRunStart; }
    // The height the document's text would at least take in pixels at a width of 120 pixels:
    // its lines at the largest letters of each paragraph, its spacing and pictures.
    // Kept only when `measure` is set.
    double height() const { return m_height; }
    void setMeasuring(bool measure) { m_measure = measure; }

    // Ends the last paragraph, closes open tables and lists the footnotes.
    void finish(const QTextBlockFormat &block, const QTextCharFormat &blockChar);

    // What the writer holds until a paragraph or table ends.
    struct Run {
        QString text;
        QTextCharFormat format; // a QTextImageFormat for a picture
        bool image = false;
    };
    struct Paragraph {
        std::vector<Run> runs;
        QTextBlockFormat block;
        QTextCharFormat blockChar;
    };
    struct Table;
    using Item = std::variant<Paragraph, std::unique_ptr<Table>>;
    struct Cell {
        std::vector<Item> items;
    };
    struct Row {
        RowDef def;
        std::vector<Cell> cells;
    };
    struct Table {
        std::vector<Row> rows;
        std::vector<Cell> cells; // of the row not yet ended
        Cell cell;               // not yet ended
        std::unique_ptr<CellDef> box; // a box of paragraphs
    };

private:

    void spill(int depth);
    void writeFootnotes();
    void startBody(); // the header goes in before the first text
    void addHeight(const std::vector<Run> &runs, const QTextBlockFormat *block);
    void finishSpilled(const QTextBlockFormat &block, const QTextCharFormat &blockChar);
    Paragraph takeParagraph(const QTextBlockFormat &block, const QTextCharFormat &blockChar);
    Table &tableAt(int depth); // opens tables up to `depth`
    void closeTablesBelow(int depth);
    void writeParagraph(const Paragraph &paragraph);
    void writeRuns(QTextCursor &cursor, const std::vector<Run> &runs);
    void writeItems(QTextCursor &cursor, std::vector<Item> &items);
    void writeTable(QTextCursor &cursor, Table &table);

    QTextDocument &m_document;
    QTextCursor m_cursor;     // at the end of the document
    bool m_blockUsed = false; // the block at m_cursor holds a paragraph already
    Paragraph m_paragraph;    // the runs of the paragraph being read
    // Runs of a long paragraph outside tables already in the document, whose block format
    // is set when the paragraph ends.
    qsizetype m_spilledRuns = 0;
    bool m_marked = false;                        // a mark was taken after the last run
    std::vector<std::unique_ptr<Table>> m_tables; // open tables, outermost first

    qsizetype m_blocks = 0;
    qsizetype m_characters = 0;
    qsizetype m_runs = 0;
    double m_height = 0;
    bool m_measure = false;
    qsizetype m_paragraphStart = 0; // m_characters and m_runs when the current paragraph began
    qsizetype m_paragraphRunStart = 0;
    bool m_inFootnote = false;
    Paragraph m_mainParagraph; // the paragraph interrupted by a footnote
    std::vector<Paragraph> m_footnotes;
    std::array<std::vector<Paragraph>, 6> m_asides; // headers left, first, all; footers alike
    bool m_titlePage = false, m_facingPages = false;
    const std::vector<Paragraph> &shownAside(int footer) const {
        const std::vector<Paragraph> &allPages = m_asides[size_t(footer * 3 + 2)];
        return allPages.empty() ? m_asides[size_t(footer * 3 + 1)] : allPages;
    }
    void keepPageAsides();
    std::vector<Paragraph> *m_aside = &m_footnotes;
    Aside m_asideKind = Aside::Footnote;
    bool m_bodyStarted = false, m_headerPending = false;
};
