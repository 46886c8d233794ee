#include "web/jsontext.h"

QByteArray JsonQuote(const QString &text) {
    static const char hex[] = "0123456789abcdef";
    const QByteArray utf8 = text.toUtf8();
    // At most six bytes for each byte of the text, and the quotes.
    QByteArray quoted(utf8.size() * 6 + 2, Qt::Uninitialized);
    char *out = quoted.data();
    *out++ = '"';
    for (const char c : utf8) {
        if (c == '"' || c == '\\') {
            *out++ = '\\';
            *out++ = c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            *out++ = '\\';
            *out++ = 'u';
            *out++ = '0';
            *out++ = '0';
            *out++ = hex[(c >> 4) & 0xF];
            *out++ = hex[c & 0xF];
        } else {
            *out++ = c;
        }
    }
    *out++ = '"';
    quoted.truncate(out - quoted.constData());
    return quoted;
}
