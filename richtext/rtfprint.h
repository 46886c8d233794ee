#pragma once

#include <QTextDocument>

#include <array>
#include <memory>

class QPagedPaintDevice;

namespace Rtf {

// The page headers and footers of a read document, for printing: headers for left pages, the
// first page and all (or right) pages, then footers alike; null where the document has none.
// The document keeps them in its root frame's property kPageAsides.
struct PageAsides {
    std::array<std::shared_ptr<QTextDocument>, 6> documents;
    bool titlePage = false;   // the first page has its own
    bool facingPages = false; // left pages have their own
};
constexpr int kPageAsides = 0x100000 + 5;

// The header (`footer` false) or footer that page `page` (counted from 1) gets; null for none.
const QTextDocument *pageAside(const PageAsides &asides, int page, bool footer);

// Prints `document` on `device`, page by page: the text without the blocks of the page header
// and footer (Rtf::kPageHeader, kPageFooter), with long lines broken at the page, lines never
// cut between pages, tab leaders and double underlines; each page gets its header at the top
// and its footer at the bottom, a page-number field (Rtf::kPageNumber) showing the page's
// number. A document without a footer gets the page's number at the bottom right. Pages
// `fromPage` to `toPage` (from 1) only, when given; all when 0.
void print(const QTextDocument &document, QPagedPaintDevice &device, int fromPage = 0, int toPage = 0);

} // namespace Rtf
