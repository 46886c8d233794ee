#include "richtext/rtftokenizer.h"

#include <limits>

namespace {

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

RtfTokenizer::Token RtfTokenizer::next() {
    for (;;) {
        if (m_pos >= m_data.size())
            return Token();
        // Line ends between tokens carry no meaning; a broken \' escape is dropped.
        if (m_data[m_pos] == '\r' || m_data[m_pos] == '\n') {
            ++m_pos;
            continue;
        }
        if (m_data[m_pos] == '\\' && m_pos + 1 < m_data.size() && m_data[m_pos + 1] == '\'' &&
            (m_pos + 2 >= m_data.size() || hexValue(m_data[m_pos + 2]) < 0)) {
            m_pos += 2;
            continue;
        }
        return lexToken();
    }
}

RtfTokenizer::Token RtfTokenizer::lexToken() {
    Token token;

    const char c = m_data[m_pos];
    if (c == '{') {
        ++m_pos;
        token.type = Type::GroupStart;
        return token;
    }
    if (c == '}') {
        ++m_pos;
        token.type = Type::GroupEnd;
        return token;
    }
    if (c == '\\') {
        if (m_pos + 1 >= m_data.size()) { // a lone backslash at the very end
            m_pos = m_data.size();
            return token;
        }
        const char after = m_data[m_pos + 1];
        if (isLetter(after))
            return controlWord();
        if (after == '\'') {
            // \'hh: two hex digits; a broken escape yields what could be read.
            m_pos += 2;
            int value = 0;
            int digits = 0;
            while (digits < 2 && m_pos < m_data.size() && hexValue(m_data[m_pos]) >= 0) {
                value = value * 16 + hexValue(m_data[m_pos]);
                ++m_pos;
                ++digits;
            }
            token.type = Type::HexByte;
            token.byte = static_cast<unsigned char>(value);
            return token;
        }
        m_pos += 2;
        token.type = Type::ControlSymbol;
        token.symbol = after;
        return token;
    }
    const qsizetype start = m_pos;
    while (m_pos < m_data.size()) {
        const char t = m_data[m_pos];
        if (t == '{' || t == '}' || t == '\\' || t == '\r' || t == '\n')
            break;
        ++m_pos;
    }
    token.type = Type::Text;
    token.text = m_data.sliced(start, m_pos - start);
    return token;
}

RtfTokenizer::Token RtfTokenizer::controlWord() {
    Token token;
    token.type = Type::ControlWord;
    ++m_pos; // the backslash
    while (m_pos < m_data.size() && isLetter(m_data[m_pos])) {
        if (token.word.size() < kMaxWordLength)
            token.word.append(m_data[m_pos]);
        ++m_pos;
    }

    bool negative = false;
    if (m_pos + 1 < m_data.size() && m_data[m_pos] == '-' && isDigit(m_data[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    if (m_pos < m_data.size() && isDigit(m_data[m_pos])) {
        token.hasParameter = true;
        long long value = 0;
        constexpr long long kLimit = std::numeric_limits<int>::max();
        while (m_pos < m_data.size() && isDigit(m_data[m_pos])) {
            if (value <= kLimit)
                value = value * 10 + (m_data[m_pos] - '0');
            ++m_pos;
        }
        if (value > kLimit)
            value = kLimit;
        token.parameter = static_cast<int>(negative ? -value : value);
    }
    // One blank delimits the word and belongs to it.
    if (m_pos < m_data.size() && m_data[m_pos] == ' ')
        ++m_pos;

    if (token.word == "bin") {
        // \binN: N bytes of raw data follow; never beyond the end of the input.
        const qsizetype wanted = token.hasParameter && token.parameter > 0 ? token.parameter : 0;
        const qsizetype length = qMin(wanted, remaining());
        token.text = m_data.sliced(m_pos, length);
        m_pos += length;
        token.type = Type::Binary;
        token.parameter = static_cast<int>(length);
    }
    return token;
}
