#pragma once

#include <QByteArrayView>
#include <QString>

class QTextDocument;

// The program's own reader for rich-text (RTF) files, as word processors write them. It fills a
// QTextDocument with the visible text and the formatting the document viewer can show: fonts,
// sizes, bold, italic, underline, strike-out, colours, alignment, indents and spacing. Tables come
// out as one paragraph per row with the cells separated by tabs; fields show their result.
namespace Rtf {

// The largest document the viewer reads (32 MB). Reading needs memory of a few times the file's
// size, and much more for files of nothing but empty paragraphs; larger files are refused.
constexpr qsizetype kMaxDocumentSize = 32 * 1024 * 1024;

// True when `data` begins with the RTF signature "{\rtf" (blanks and line ends before it allowed).
bool looksLikeRtf(QByteArrayView data);

// Replaces the content of `document` with what `data` holds. Never fails and never runs longer
// than a few passes over the input: malformed, truncated or absurdly nested input gives the text
// that could be read. The document's default font is left as it is; it applies to text for which
// the file names no font of its own.
void read(QByteArrayView data, QTextDocument &document);

// `bytes` decoded in the Windows code page `codePage` (1252, 1250, 932, 65001, ...). An unknown
// code page is read as 1252. Control characters other than tab, CR and LF are dropped.
QString decode(QByteArrayView bytes, int codePage);

// The Windows code page that belongs to an RTF font charset number (\fcharsetN); 0 for "the
// document's code page".
int codePageOfCharset(int charset);

} // namespace Rtf
