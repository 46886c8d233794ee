#include "web/sheetpdf.h"

#include <QStringEncoder>

namespace {
constexpr double kPointsPerUnit = 72.0 / 254.0; // one unit of the layout is 0.1 mm
constexpr double kPageHeight = 841.89;          // A4 in points
constexpr double kMargin = 10.0 / 25.4 * 72.0;  // the printable area begins 10 mm in
// Times: the character cell (ascent + descent) and the ascent in units of the font size.
constexpr double kCell = 1.107;
constexpr double kAscent = 0.891;

QByteArray number(double value) {
    return QByteArray::number(value, 'f', 2);
}

QByteArray pdfString(const QString &text) {
    QStringEncoder encoder("windows-1252");
    QByteArray escaped = "(";
    for (const char c : QByteArray(encoder(text))) {
        if (c == '(' || c == ')' || c == '\\')
            escaped += '\\';
        escaped += (c == '\r' || c == '\n') ? ' ' : c;
    }
    return escaped + ')';
}
} // namespace

QByteArray SheetPdf(const QList<SheetText> &texts) {
    QByteArray content;
    for (const SheetText &item : texts) {
        if (item.text.isEmpty())
            continue;
        const double size = item.height / kCell * kPointsPerUnit;
        const double x = kMargin + item.x * kPointsPerUnit;
        const double y = kPageHeight - kMargin - item.y * kPointsPerUnit - kAscent * size;
        content += "BT /" + QByteArray(item.bold ? "F2 " : "F1 ") + number(size) + " Tf " + number(x) + ' ' +
                   number(y) + " Td " + pdfString(item.text) + " Tj ET\n";
    }
    const QList<QByteArray> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595.28 841.89] /Contents 4 0 R "
        "/Resources << /Font << /F1 5 0 R /F2 6 0 R >> >> >>",
        "<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content + "endstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Times-Roman /Encoding /WinAnsiEncoding >>",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Times-Bold /Encoding /WinAnsiEncoding >>",
    };
    QByteArray pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets.append(pdf.size());
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects.at(i) + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}
