#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Splits rich-text (RTF) bytes into tokens: group braces, control words with their optional
// signed parameter, control symbols, hex-escaped bytes, runs of plain text and skipped binary
// data. The tokenizer never fails: truncated or malformed input ends in an End token, and
// every call consumes at least one byte, so a loop over next() always terminates.
class RtfTokenizer {
public:
    enum class Type {
        GroupStart,    // {
        GroupEnd,      // }
        ControlWord,   // \word or \wordN; `word` and (when hasParameter) `parameter`
        ControlSymbol, // \ followed by one non-letter, in `symbol` (\' is returned as HexByte)
        HexByte,       // \'hh: the byte in `byte`
        Text,          // a run of plain bytes in `text` (no braces, backslashes, CR or LF)
        Binary,        // the data of \binN: its length in `parameter`, the bytes in `text`
        End,           // no more input
    };

    struct Token {
        Type type = Type::End;
        QByteArray word; // ControlWord: the letters, at most kMaxWordLength of them
        bool hasParameter = false;
        int parameter = 0;      // ControlWord / Binary; clamped to the range of int
        char symbol = 0;        // ControlSymbol
        unsigned char byte = 0; // HexByte
        QByteArrayView text;    // Text, Binary: a view into the tokenizer's input
    };

    static constexpr int kMaxWordLength = 32;

    // `data` is not copied and must outlive the tokenizer.
    explicit RtfTokenizer(QByteArrayView data) : m_data(data) {}

    // The next token; End once the input is used up.
    Token next();

    // Bytes not yet consumed.
    qsizetype remaining() const { return m_data.size() - m_pos; }

private:
    Token lexToken(); // at an input position that starts a token
    Token controlWord();

    QByteArrayView m_data;
    qsizetype m_pos = 0;
};
