#include "richtext/rtfreader.h"

#include "richtext/rtfbuilder.h"
#include "richtext/rtftext.h"

#include <QStringDecoder>
#include <QTextDocument>

#include <limits>
#include <map>

namespace Rtf {

bool looksLikeRtf(QByteArrayView data) {
    qsizetype i = 0;
    while (i < data.size() && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'))
        ++i;
    return data.sliced(i).startsWith("{\\rtf");
}

void read(QByteArrayView data, QTextDocument &document) {
    constexpr qsizetype none = std::numeric_limits<qsizetype>::max();
    read(data, document, Limits{none, none, none, none, none, std::numeric_limits<double>::infinity()});
}

bool read(QByteArrayView data, QTextDocument &document, const Limits &limits) {
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    const bool whole = RtfBuilder(document, limits).run(data);
    document.setUndoRedoEnabled(undo);
    return whole;
}

QString decode(QByteArrayView bytes, int codePage) {
    if (codePage == 1252)
        return RtfText::dropControlCharacters(RtfText::decodeCp1252(bytes), true);
    QStringDecoder decoder(RtfText::decoderName(codePage).constData(), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return RtfText::dropControlCharacters(RtfText::decodeCp1252(bytes), true);
    return RtfText::dropControlCharacters(decoder.decode(bytes), true);
}

int codePageOfCharset(int charset) {
    // 1 "default" and anything unknown: 0, the document's code page.
    static const std::map<int, int> codePages = {{0, 1252},   {2, RtfText::kSymbolCodePage},
                                                 {77, 10000}, {128, 932},
                                                 {129, 949},  {134, 936},
                                                 {136, 950},  {161, 1253},
                                                 {162, 1254}, {163, 1258},
                                                 {177, 1255}, {178, 1256},
                                                 {186, 1257}, {204, 1251},
                                                 {222, 874},  {238, 1250},
                                                 {255, 437}};
    const auto it = codePages.find(charset);
    return it != codePages.end() ? it->second : 0;
}

} // namespace Rtf
