#include "richtext/rtfdocumentwriter.h"

#include "richtext/rtfprint.h"
#include "richtext/rtfreader.h"

#include <QTextDocument>
#include <QTextLength>
#include <QTextTable>

#include <algorithm>
#include <map>

namespace {

constexpr double kTwipsPerPixel = 15.0;
// Word processors allow 63 cells in a row; further cells of a row join its last one.
constexpr int kMaxColumns = 63;
constexpr int kDefaultCellWidth = 1440; // twips, for cells that a row does not define
// A paragraph outside tables with more runs than this goes into the document before it ends.
constexpr size_t kMaxHeldRuns = 1024;
constexpr double kFootnoteLinePixels = 160; // the line above the footnotes
constexpr double kAsideGap = 18;             // between the page header or footer and the text
// For the height a document takes at least: the narrowest text, the size of letters that
// name none, a letter's width and a line's height against the letters' size.
constexpr double kNarrowestText = 120;
constexpr double kDefaultLetterPixels = 12;
constexpr double kLetterWidth = 0.5, kLineHeight = 1.1;
// A table cell costs the text layout about as much as this many paragraphs.
constexpr qsizetype kCellBlocks = 10;

} // namespace

RtfDocumentWriter::RtfDocumentWriter(QTextDocument &document) : m_document(document), m_cursor(&document) {
    m_cursor.beginEditBlock();
}

RtfDocumentWriter::~RtfDocumentWriter() {
    m_cursor.endEditBlock();
}

void RtfDocumentWriter::addText(const QString &text, const QTextCharFormat &format, int depth) {
    if (text.isEmpty())
        return;
    m_characters += text.size();
    std::vector<Run> &runs = m_paragraph.runs;
    if (!runs.empty() && !m_marked && !runs.back().image && runs.back().format == format)
        runs.back().text += text;
    else {
        runs.push_back({text, format, false});
        ++m_runs;
    }
    m_marked = false;
    spill(depth);
}

void RtfDocumentWriter::addImage(const QTextImageFormat &format, int depth) {
    m_paragraph.runs.push_back({QString(), format, true});
    ++m_runs;
    m_marked = false;
    spill(depth);
}

// A paragraph that began in the document before it turned out to belong to a table ends
// there with the runs it has; the rest go where the paragraph ends.
void RtfDocumentWriter::finishSpilled(const QTextBlockFormat &block, const QTextCharFormat &blockChar) {
    if (m_spilledRuns == 0)
        return;
    m_spilledRuns = 0;
    m_cursor.setBlockFormat(block);
    m_cursor.setBlockCharFormat(blockChar);
    m_blockUsed = true;
}

void RtfDocumentWriter::addHeight(const std::vector<Run> &runs, const QTextBlockFormat *block) {
    if (!m_measure)
        return;
    double letters = kDefaultLetterPixels;
    qsizetype characters = 0;
    for (const Run &run : runs) {
        if (run.image)
            m_height += run.format.toImageFormat().height();
        characters += run.text.size();
        if (run.format.hasProperty(QTextFormat::FontPointSize))
            letters = std::max(letters, run.format.fontPointSize() * 96 / 72);
    }
    const double perLine = std::max(1.0, std::floor(kNarrowestText / (letters * kLetterWidth)));
    const double lines = std::ceil(double(characters) / perLine);
    m_height += letters * kLineHeight * std::max(lines, block ? 1.0 : 0.0);
    if (block)
        m_height += block->topMargin() + block->bottomMargin();
}

// Keeps the memory of a long paragraph small: its runs so far go into the document.
void RtfDocumentWriter::spill(int depth) {
    if (m_paragraph.runs.size() < kMaxHeldRuns || depth > 0 || m_inFootnote || !m_tables.empty())
        return;
    startBody();
    if (m_spilledRuns == 0 && m_blockUsed) {
        m_cursor.insertBlock();
        m_blockUsed = false;
    }
    writeRuns(m_cursor, m_paragraph.runs);
    addHeight(m_paragraph.runs, nullptr);
    m_spilledRuns += qsizetype(m_paragraph.runs.size());
    m_paragraph.runs.clear();
}

QString RtfDocumentWriter::textSince(qsizetype mark) const {
    QString text;
    const qsizetype first =
        std::clamp(mark - m_spilledRuns, qsizetype(0), qsizetype(m_paragraph.runs.size()));
    for (auto run = m_paragraph.runs.begin() + first; run != m_paragraph.runs.end(); ++run)
        text += run->image ? QStringLiteral("\uFFFC") : run->text;
    return text;
}

void RtfDocumentWriter::truncate(qsizetype mark) {
    if (mark >= m_spilledRuns && mark < this->mark())
        m_paragraph.runs.resize(size_t(mark - m_spilledRuns));
}

RtfDocumentWriter::Paragraph RtfDocumentWriter::takeParagraph(const QTextBlockFormat &block,
                                                              const QTextCharFormat &blockChar) {
    Paragraph paragraph;
    paragraph.runs.swap(m_paragraph.runs);
    paragraph.block = block;
    paragraph.blockChar = blockChar;
    return paragraph;
}

void RtfDocumentWriter::endParagraph(const QTextBlockFormat &block, const QTextCharFormat &blockChar,
                                     int depth, const CellDef *box) {
    ++m_blocks;
    m_paragraphStart = m_characters;
    m_paragraphRunStart = m_runs;
    addHeight(m_paragraph.runs, &block);
    if (m_inFootnote) {
        m_aside->push_back(takeParagraph(block, blockChar));
        return;
    }
    if (m_spilledRuns > 0 && depth == 0) {
        // The paragraph began in the document: the rest of its runs follow there.
        writeRuns(m_cursor, m_paragraph.runs);
        m_paragraph.runs.clear();
        finishSpilled(block, blockChar);
        return;
    }
    finishSpilled(block, blockChar);
    if (box && depth == 0) {
        if (!m_tables.empty() && !(m_tables.front()->box && *m_tables.front()->box == *box))
            closeTablesBelow(0);
        Table &table = tableAt(1);
        if (!table.box)
            table.box = std::make_unique<CellDef>(*box);
        table.cell.items.emplace_back(takeParagraph(block, blockChar));
        return;
    }
    closeTablesBelow(depth);
    if (depth == 0)
        writeParagraph(takeParagraph(block, blockChar));
    else
        tableAt(depth).cell.items.emplace_back(takeParagraph(block, blockChar));
}

void RtfDocumentWriter::endCell(const QTextBlockFormat &block, const QTextCharFormat &blockChar, int depth) {
    m_blocks += kCellBlocks;
    m_paragraphStart = m_characters;
    m_paragraphRunStart = m_runs;
    addHeight(m_paragraph.runs, &block);
    if (m_inFootnote) { // no tables in footnotes: cells are separated by tabs
        addText(QStringLiteral("\t"), blockChar, 0);
        return;
    }
    depth = std::max(depth, 1);
    finishSpilled(block, blockChar);
    if (!m_tables.empty() && m_tables.front()->box)
        closeTablesBelow(0);
    closeTablesBelow(depth);
    Table &table = tableAt(depth);
    if (!m_paragraph.runs.empty() || table.cell.items.empty())
        table.cell.items.emplace_back(takeParagraph(block, blockChar));
    table.cells.push_back(std::move(table.cell));
    table.cell = Cell();
}

void RtfDocumentWriter::endRow(const QTextBlockFormat &block, const QTextCharFormat &blockChar, int depth,
                               const RowDef &row) {
    if (m_inFootnote) {
        endParagraph(block, blockChar, 0);
        return;
    }
    depth = std::max(depth, 1);
    if (!m_tables.empty() && m_tables.front()->box)
        closeTablesBelow(0);
    closeTablesBelow(depth);
    Table &table = tableAt(depth);
    if (!m_paragraph.runs.empty() || !table.cell.items.empty()) // content after the last \cell
        endCell(block, blockChar, depth);
    if (!table.cells.empty()) // a row without cells shows nothing
        table.rows.push_back({row, std::move(table.cells)});
    table.cells.clear();
}

RtfDocumentWriter::Table &RtfDocumentWriter::tableAt(int depth) {
    while (int(m_tables.size()) < depth)
        m_tables.push_back(std::make_unique<Table>());
    return *m_tables[size_t(depth) - 1];
}

// Tables nested deeper than `depth` end: each becomes part of the cell around it, the
// outermost one part of the document.
void RtfDocumentWriter::closeTablesBelow(int depth) {
    while (int(m_tables.size()) > depth) {
        std::unique_ptr<Table> table = std::move(m_tables.back());
        m_tables.pop_back();
        // A row that was never ended still shows.
        if (!table->cell.items.empty())
            table->cells.push_back(std::move(table->cell));
        RowDef def;
        if (table->box) {
            def.cells.push_back(*table->box);
            def.box = true;
        }
        if (!table->cells.empty())
            table->rows.push_back({def, std::move(table->cells)});
        if (table->rows.empty())
            continue;
        if (!m_tables.empty()) {
            m_tables.back()->cell.items.emplace_back(std::move(table));
        } else {
            // A table goes in after the block at the cursor; the cursor ends in a new empty
            // block after the table.
            startBody();
            writeTable(m_cursor, *table);
            m_blockUsed = false;
        }
    }
}

void RtfDocumentWriter::beginFootnote(Aside aside, int variant) {
    if (m_inFootnote)
        return;
    m_inFootnote = true;
    m_asideKind = aside;
    m_aside = aside == Aside::Footnote ? &m_footnotes : &m_asides[size_t((aside == Aside::Footer) * 3 + variant)];
    if (aside != Aside::Footnote)
        m_aside->clear(); // a later header or footer replaces the one before
    m_mainParagraph.runs.swap(m_paragraph.runs);
}

void RtfDocumentWriter::endFootnote(const QTextBlockFormat &block, const QTextCharFormat &blockChar) {
    if (!m_inFootnote)
        return;
    if (!m_paragraph.runs.empty())
        m_aside->push_back(takeParagraph(block, blockChar));
    m_inFootnote = false;
    m_paragraph.runs.swap(m_mainParagraph.runs);
    m_mainParagraph.runs.clear();
    // The header stands above the text once; one that comes after the text began is not shown.
    if (m_asideKind == Aside::Header && !m_bodyStarted)
        m_headerPending = !shownAside(0).empty();
}

void RtfDocumentWriter::startBody() {
    m_bodyStarted = true;
    if (!m_headerPending)
        return;
    m_headerPending = false;
    for (Paragraph paragraph : shownAside(0)) {
        paragraph.block.setProperty(Rtf::kPageHeader, true);
        writeParagraph(paragraph);
    }
    QTextBlockFormat last = m_cursor.blockFormat();
    last.setBottomMargin(last.bottomMargin() + kAsideGap);
    m_cursor.setBlockFormat(last);
}

void RtfDocumentWriter::finish(const QTextBlockFormat &block, const QTextCharFormat &blockChar) {
    endFootnote(block, blockChar);
    // The last paragraph has no \par; a document that ends with a table gets no empty one.
    if (m_paragraph.runs.empty() && !m_tables.empty())
        closeTablesBelow(0);
    else
        endParagraph(block, blockChar, 0);
    if (!m_footnotes.empty())
        writeFootnotes();
    // The footer stands below all, once.
    const std::vector<Paragraph> &footer = shownAside(1);
    for (size_t i = 0; i < footer.size(); ++i) {
        Paragraph paragraph = footer[i];
        paragraph.block.setProperty(Rtf::kPageFooter, true);
        if (i == 0)
            paragraph.block.setTopMargin(paragraph.block.topMargin() + kAsideGap);
        writeParagraph(paragraph);
    }
    keepPageAsides();
}

// Each header and footer as a document of its own, kept with the document for printing.
void RtfDocumentWriter::keepPageAsides() {
    auto asides = std::make_shared<Rtf::PageAsides>();
    bool any = false;
    for (size_t i = 0; i < m_asides.size(); ++i) {
        if (m_asides[i].empty())
            continue;
        any = true;
        asides->documents[i] = std::make_shared<QTextDocument>();
        QTextCursor cursor(asides->documents[i].get());
        for (size_t p = 0; p < m_asides[i].size(); ++p) {
            const Paragraph &paragraph = m_asides[i][p];
            if (p > 0)
                cursor.insertBlock(paragraph.block, paragraph.blockChar);
            else {
                cursor.setBlockFormat(paragraph.block);
                cursor.setBlockCharFormat(paragraph.blockChar);
            }
            writeRuns(cursor, paragraph.runs);
        }
    }
    if (!any)
        return;
    asides->titlePage = m_titlePage;
    asides->facingPages = m_facingPages;
    QTextFrameFormat root = m_document.rootFrame()->frameFormat();
    root.setProperty(Rtf::kPageAsides, QVariant::fromValue(std::shared_ptr<const Rtf::PageAsides>(asides)));
    m_document.rootFrame()->setFrameFormat(root);
}

void RtfDocumentWriter::writeFootnotes() {
    // The notes follow under a short line, as at the foot of a printed page.
    QTextBlockFormat line;
    line.setTopMargin(12);
    line.setProperty(QTextFormat::BlockTrailingHorizontalRulerWidth,
                     QTextLength(QTextLength::FixedLength, kFootnoteLinePixels));
    writeParagraph({{}, line, QTextCharFormat()});
    for (const Paragraph &note : m_footnotes)
        writeParagraph(note);
    m_footnotes.clear();
}

void RtfDocumentWriter::writeParagraph(const Paragraph &paragraph) {
    startBody();
    if (m_blockUsed) {
        m_cursor.insertBlock(paragraph.block, paragraph.blockChar);
    } else {
        m_cursor.setBlockFormat(paragraph.block);
        m_cursor.setBlockCharFormat(paragraph.blockChar);
    }
    m_blockUsed = true;
    writeRuns(m_cursor, paragraph.runs);
}

void RtfDocumentWriter::writeRuns(QTextCursor &cursor, const std::vector<Run> &runs) {
    for (const Run &run : runs) {
        if (run.image)
            cursor.insertImage(run.format.toImageFormat());
        else
            cursor.insertText(run.text, run.format);
    }
}

// The cursor stands in the empty first block of a cell; the items fill it and blocks after it.
void RtfDocumentWriter::writeItems(QTextCursor &cursor, std::vector<Item> &items) {
    bool used = false;
    for (Item &item : items) {
        if (auto *paragraph = std::get_if<Paragraph>(&item)) {
            if (used) {
                cursor.insertBlock(paragraph->block, paragraph->blockChar);
            } else {
                // The character format of a cell's first block holds the cell's own format
                // (borders, shading, spans) and stays as it is.
                cursor.setBlockFormat(paragraph->block);
            }
            used = true;
            writeRuns(cursor, paragraph->runs);
        } else {
            writeTable(cursor, *std::get<std::unique_ptr<Table>>(item));
            used = false;
        }
    }
}

namespace {

// Where a cell of a row lies among the table's columns.
struct Placement {
    int column = 0;
    int span = 1;
    int rowSpan = 1;
    bool covered = false; // merged into another cell
};

QTextTableCellFormat cellFormat(const RtfDocumentWriter::CellDef &def, const RtfDocumentWriter::RowDef &row) {
    QTextTableCellFormat format;
    if (def.shading.isValid())
        format.setBackground(def.shading);
    format.setTopBorder(def.borders[0] / kTwipsPerPixel);
    format.setLeftBorder(def.borders[1] / kTwipsPerPixel);
    format.setBottomBorder(def.borders[2] / kTwipsPerPixel);
    format.setRightBorder(def.borders[3] / kTwipsPerPixel);
    const auto style = [&](int side) {
        return def.borderStyles[size_t(side)] ? QTextFrameFormat::BorderStyle(def.borderStyles[size_t(side)])
                                              : QTextFrameFormat::BorderStyle_Solid;
    };
    const auto brush = [&](int side) {
        const QColor &color = def.borderColors[size_t(side)];
        return QBrush(color.isValid() ? color : QColor(Qt::black));
    };
    format.setTopBorderStyle(style(0));
    format.setLeftBorderStyle(style(1));
    format.setBottomBorderStyle(style(2));
    format.setRightBorderStyle(style(3));
    format.setTopBorderBrush(brush(0));
    format.setLeftBorderBrush(brush(1));
    format.setBottomBorderBrush(brush(2));
    format.setRightBorderBrush(brush(3));
    // Padding of the cell, else of the row, else half the gap between cells at the sides.
    std::array<double, 4> padding{};
    for (size_t side = 0; side < 4; ++side) {
        const int twips = def.padding[side] >= 0 ? def.padding[side] : row.padding[side];
        padding[side] = twips >= 0 ? twips / kTwipsPerPixel
                                   : (side % 2 ? std::max(row.gap / kTwipsPerPixel, 2.0) : 3.0);
    }
    format.setTopPadding(padding[0]);
    format.setLeftPadding(padding[1]);
    format.setBottomPadding(padding[2]);
    format.setRightPadding(padding[3]);
    if (def.verticalAlignment == 1)
        format.setVerticalAlignment(QTextCharFormat::AlignMiddle);
    else if (def.verticalAlignment == 2)
        format.setVerticalAlignment(QTextCharFormat::AlignBottom);
    return format;
}

// A row's height (\trrh) as padding of its cell: the cell's text is about a line of its
// largest letters for each paragraph; the rest of the height goes above or below it as the
// cell is aligned.
QTextTableCellFormat withRowHeight(QTextTableCellFormat format, int twips,
                                   const std::vector<RtfDocumentWriter::Item> &items) {
    double text = 0;
    for (const auto &item : items) {
        const auto *paragraph = std::get_if<RtfDocumentWriter::Paragraph>(&item);
        if (!paragraph)
            return format; // a nested table: its height is not known here
        double letters = kDefaultLetterPixels * 4 / 3;
        for (const auto &run : paragraph->runs)
            if (run.image)
                letters = std::max(letters, run.format.toImageFormat().height());
            else if (run.format.hasProperty(QTextFormat::FontPointSize))
                letters = std::max(letters, run.format.fontPointSize() * 96 / 72 * 1.15);
        text += letters + paragraph->block.topMargin() + paragraph->block.bottomMargin();
    }
    const double extra =
        std::abs(twips) / kTwipsPerPixel - text - format.topPadding() - format.bottomPadding();
    if (extra <= 0)
        return format;
    const auto alignment = format.verticalAlignment();
    const double above = alignment == QTextCharFormat::AlignBottom   ? extra
                         : alignment == QTextCharFormat::AlignMiddle ? extra / 2
                                                                     : 0;
    format.setTopPadding(format.topPadding() + above);
    format.setBottomPadding(format.bottomPadding() + extra - above);
    return format;
}

} // namespace

// Columns are the right edges of all rows' cells together, so that cells of different rows
// line up where their edges agree and span several columns where a row has fewer edges.
void RtfDocumentWriter::writeTable(QTextCursor &cursor, Table &table) {
    std::vector<std::vector<int>> rights(table.rows.size());
    std::vector<int> edges;
    for (size_t r = 0; r < table.rows.size(); ++r) {
        const Row &row = table.rows[r];
        int previous = 0;
        for (size_t c = 0; c < row.cells.size() && c < size_t(kMaxColumns); ++c) {
            const int defined =
                c < row.def.cells.size() ? row.def.cells[c].right : previous + kDefaultCellWidth;
            previous = std::max(defined, previous + 1);
            rights[r].push_back(previous);
            edges.push_back(previous);
        }
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    const bool byEdges = edges.size() <= size_t(kMaxColumns);
    size_t columns = 1;
    for (const auto &row : rights)
        columns = std::max(columns, row.size());
    if (byEdges)
        columns = std::max<size_t>(edges.size(), 1);

    // Rows of a few cells beside rows of many would make the grid far larger than what the file
    // holds; such a table becomes one column of its cells, so that memory stays in proportion.
    size_t cells = 0;
    for (const auto &row : rights)
        cells += row.size();
    if (table.rows.size() * columns > 4 * cells + 64) {
        Table column;
        for (Row &row : table.rows)
            for (Cell &cell : row.cells) {
                column.rows.push_back(Row());
                column.rows.back().cells.push_back(std::move(cell));
            }
        table.rows.clear();
        writeTable(cursor, column);
        return;
    }

    // Each cell's place: its columns from the edges, then the merges.
    std::vector<std::vector<Placement>> places(table.rows.size());
    std::map<int, std::pair<size_t, size_t>> verticalAnchor; // column -> (row, cell)
    for (size_t r = 0; r < table.rows.size(); ++r) {
        const Row &row = table.rows[r];
        int column = 0;
        for (size_t c = 0; c < rights[r].size(); ++c) {
            Placement place;
            place.column = column;
            const int end =
                byEdges ? int(std::lower_bound(edges.begin(), edges.end(), rights[r][c]) - edges.begin())
                        : column;
            place.span = std::max(end - column + 1, 1);
            column = place.column + place.span;
            const CellDef def = c < row.def.cells.size() ? row.def.cells[c] : CellDef();
            if (def.mergeNext && c > 0) {
                // Joins the cell before it, whose span grows over this one.
                for (size_t k = c; k-- > 0;)
                    if (!places[r][k].covered) {
                        places[r][k].span = column - places[r][k].column;
                        break;
                    }
                place.covered = true;
            }
            if (def.vMergeNext && verticalAnchor.count(place.column)) {
                const auto [ar, ac] = verticalAnchor[place.column];
                places[ar][ac].rowSpan = int(r - ar) + 1;
                place.covered = true;
            } else if (def.vMergeFirst) {
                verticalAnchor[place.column] = {r, c};
            } else if (!def.vMergeNext) {
                verticalAnchor.erase(place.column);
            }
            places[r].push_back(place);
        }
    }

    QTextTableFormat format;
    format.setCellPadding(3);
    format.setCellSpacing(0);
    format.setBorder(0);
    format.setBorderCollapse(true);
    format.setAlignment(Qt::AlignLeft);
    // The space a floating table keeps from the text: the only space around a table that a
    // document can give, its first row's above and its last row's below.
    if (const int above = table.rows.empty() ? 0 : table.rows.front().def.textDistance[0]; above > 0)
        format.setTopMargin(above / kTwipsPerPixel);
    if (const int below = table.rows.empty() ? 0 : table.rows.back().def.textDistance[1]; below > 0)
        format.setBottomMargin(below / kTwipsPerPixel);
    const bool box = table.rows.size() == 1 && table.rows.front().def.box;
    if (box)
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    else if (byEdges && !edges.empty()) {
        QList<QTextLength> widths;
        int left = 0;
        for (int edge : edges) {
            widths.append(QTextLength(QTextLength::FixedLength, (edge - left) / kTwipsPerPixel));
            left = edge;
        }
        format.setColumnWidthConstraints(widths);
    }
    QTextTable *qtable = cursor.insertTable(int(table.rows.size()), int(columns), format);

    // Merges and cell formats first; then the cells are filled from the last to the first, so
    // that the positions taken before stay valid and the table's grid is built only once.
    struct Fill {
        int position;
        size_t row, cell;
    };
    std::vector<Fill> fills;
    for (size_t r = 0; r < table.rows.size(); ++r)
        for (const Placement &place : places[r]) {
            const int span = std::min(place.span, int(columns) - place.column);
            if (!place.covered && place.column < int(columns) && (span > 1 || place.rowSpan > 1))
                qtable->mergeCells(int(r), place.column, place.rowSpan, span);
        }
    CellDef lastDef;
    const RowDef *lastRow = nullptr;
    QTextTableCellFormat lastFormat;
    for (size_t r = 0; r < table.rows.size(); ++r) {
        const Row &row = table.rows[r];
        for (size_t c = 0; c < places[r].size(); ++c) {
            const Placement &place = places[r][c];
            if (place.covered || place.column >= int(columns))
                continue;
            const CellDef def = c < row.def.cells.size() ? row.def.cells[c] : CellDef();
            if (!lastRow || !(row.def == *lastRow) || !(def == lastDef)) { // cells mostly look alike
                lastFormat = cellFormat(def, row.def);
                lastDef = def;
                lastRow = &row.def;
            }
            QTextTableCell cell = qtable->cellAt(int(r), place.column);
            if (row.def.height != 0 && place.rowSpan == 1)
                cell.setFormat(withRowHeight(lastFormat, row.def.height, row.cells[c].items));
            else
                cell.setFormat(lastFormat);
            fills.push_back({cell.firstPosition(), r, c});
        }
    }
    for (auto fill = fills.rbegin(); fill != fills.rend(); ++fill) {
        Row &row = table.rows[fill->row];
        std::vector<Item> items = std::move(row.cells[fill->cell].items);
        // Cells beyond the last column join it.
        if (fill->cell + 1 == places[fill->row].size())
            for (size_t extra = fill->cell + 1; extra < row.cells.size(); ++extra)
                for (Item &item : row.cells[extra].items)
                    items.push_back(std::move(item));
        QTextCursor inCell(&m_document);
        inCell.setPosition(fill->position);
        writeItems(inCell, items);
    }
    cursor.setPosition(qtable->lastPosition() + 1);
}
