#pragma once

#include <QByteArrayView>
#include <QString>

class QTextDocument;

// The program's own reader for rich-text (RTF) files, as word processors write them. It fills a
// QTextDocument with the visible text and the formatting the document viewer can show: fonts
// (also from the style sheet), sizes, bold, italic, underline, strike-out, small capitals,
// colours, highlighting, alignment, indents, spacing, line spacing, tab stops with their kinds
// and leaders, paragraph boxes and page breaks; styles take what their base style gives. Tables
// become QTextTables (merged cells, borders of each side with style and colour, shading,
// padding, vertical alignment, row heights, nested tables), PNG and JPEG pictures are shown,
// also those of shapes ("[Bild]" for other formats), footnotes are numbered and listed at the
// end, the page header stands above the text and the footer below it (all of a document's headers
// and footers are kept for printing, see rtfprint.h); fields show their result.
// Reading takes time and memory in proportion to the file.
namespace Rtf {

// Block properties the text document has no own attribute for. kTabLeaders: a string with one
// character for each of the block's tab stops, the character its leader repeats (blank: none).
constexpr int kTabLeaders = 0x100000 + 1;
// A character property: the underline is double.
constexpr int kDoubleUnderline = 0x100000 + 2;
// Block properties: the block belongs to the page header or the page footer.
constexpr int kPageHeader = 0x100000 + 3;
constexpr int kPageFooter = 0x100000 + 4;
// A character property: the text is the number of the page it is printed on.
constexpr int kPageNumber = 0x100000 + 6;

// The largest document the viewer reads (32 MB). Reading needs memory of a few times the file's
// size, and much more for files of nothing but empty paragraphs; larger files are refused.
constexpr qsizetype kMaxDocumentSize = 32 * 1024 * 1024;

// True when `data` begins with the RTF signature "{\rtf" (blanks, tabs and line ends before it
// allowed).
bool looksLikeRtf(QByteArrayView data);

// Replaces the content of `document` with what `data` holds. Never fails and never runs longer
// than a few passes over the input: malformed, truncated or absurdly nested input gives the text
// that could be read. The document's default font is left as it is; it applies to text for which
// the file names no font of its own.
void read(QByteArrayView data, QTextDocument &document);

// How much of a document a view shows at most. The view's layout takes far longer than
// reading: with many paragraphs and cells, with much text, with long paragraphs and with
// paragraphs of many format runs (in their square), and it stalls once the document is about
// 8 million pixels tall. The view shows the beginning of such a file instead.
struct Limits {
    qsizetype blocks = 120'000;              // paragraphs and table cells
    qsizetype characters = 2'000'000;        // of text
    qsizetype runs = 200'000;                // text of one format, pictures
    qsizetype paragraphCharacters = 200'000; // of one paragraph
    qsizetype paragraphRuns = 1'000;
    double height = 4'000'000; // pixels, as estimated for a text 120 pixels wide
};

// As read() above, but stops once the document holds more than `limits` allow. False when the
// document holds only the beginning of the file.
bool read(QByteArrayView data, QTextDocument &document, const Limits &limits);

// `bytes` decoded in the Windows code page `codePage` (1252, 1250, 932, 65001, ...). An unknown
// code page is read as 1252. Control characters other than tab, CR and LF are dropped.
QString decode(QByteArrayView bytes, int codePage);

// The Windows code page that belongs to an RTF font charset number (\fcharsetN); 0 for "the
// document's code page".
int codePageOfCharset(int charset);

} // namespace Rtf
