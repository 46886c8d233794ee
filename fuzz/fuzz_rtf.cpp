// Fuzz target: the RTF tokenizer and reader.
//
// Every input is
// - split into tokens: each token but the last consumes input, the last (End) comes only when
//   all input is used, control words are 1 ... kMaxWordLength ASCII letters, text runs are
//   non-empty views into the input without braces, backslashes or line ends;
// - read into a text document, whose text must hold no unpaired surrogate;
// - decoded in a code page chosen by its first byte, which must give no unpaired surrogate and
//   no control character other than TAB, CR and LF.
// A broken property aborts, which libFuzzer reports as a finding.

#include "fuzz/property.h"
#include "richtext/rtfreader.h"
#include "richtext/rtftokenizer.h"

#include <QByteArrayView>
#include <QGuiApplication>
#include <QTextDocument>

#include <array>
#include <cstdint>

namespace {

bool pairedSurrogates(const QString &text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return false;
    }
    return true;
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

void tokenize(QByteArrayView data) {
    RtfTokenizer tokenizer(data);
    for (;;) {
        const qsizetype before = tokenizer.remaining();
        const RtfTokenizer::Token token = tokenizer.next();
        const qsizetype after = tokenizer.remaining();
        require(after >= 0 && after <= before, "the tokenizer stays within its input");
        if (token.type == RtfTokenizer::Type::End) {
            require(after == 0, "End comes only when all input is used");
            require(tokenizer.next().type == RtfTokenizer::Type::End, "End stays End");
            return;
        }
        require(after < before, "the tokenizer always advances");
        switch (token.type) {
        case RtfTokenizer::Type::ControlWord:
            require(!token.word.isEmpty() && token.word.size() <= RtfTokenizer::kMaxWordLength,
                    "a control word has 1 ... kMaxWordLength letters");
            for (const char c : token.word)
                require(isLetter(c), "a control word has only ASCII letters");
            break;
        case RtfTokenizer::Type::Text:
            require(!token.text.isEmpty(), "a text run is not empty");
            require(token.text.data() >= data.data() &&
                        token.text.data() + token.text.size() <= data.data() + data.size(),
                    "a text run lies within the input");
            for (const char c : token.text)
                require(c != '{' && c != '}' && c != '\\' && c != '\r' && c != '\n',
                        "a text run holds no brace, backslash or line end");
            break;
        case RtfTokenizer::Type::Binary:
            require(token.parameter >= 0 && token.parameter <= before,
                    "skipped binary data lies within the input");
            break;
        default:
            break;
        }
    }
}

void decode(QByteArrayView data) {
    static constexpr std::array codePages = {1252, 1250, 1251, 1253, 1254,  1255,  1256, 1257, 1258, 874,
                                             932,  936,  949,  950,  65001, 10000, 437,  850,  0,    -1};
    const int codePage = data.isEmpty() ? 1252 : codePages[std::uint8_t(data[0]) % codePages.size()];
    const QString text = Rtf::decode(data, codePage);
    require(pairedSurrogates(text), "decoding gives no unpaired surrogate");
    for (const QChar c : text)
        require(c.unicode() >= 0x20 || c == u'\t' || c == u'\r' || c == u'\n',
                "decoding drops control characters but TAB, CR and LF");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    // The document needs fonts, and so a GUI application; the offscreen platform needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *bytes, std::size_t size) {
    const QByteArrayView data(reinterpret_cast<const char *>(bytes), qsizetype(size));
    tokenize(data);
    decode(data);
    Rtf::looksLikeRtf(data);
    QTextDocument document;
    Rtf::read(data, document);
    require(pairedSurrogates(document.toRawText()), "the document text holds no unpaired surrogate");
    return 0;
}
