#include "web/accesscode.h"

#include <QRandomGenerator>

namespace {
constexpr char16_t kAlphabet[] = u"ABCDEFGHJKMNPQRSTUVWXYZ23456789";
constexpr int kAlphabetSize = int(std::size(kAlphabet)) - 1;
} // namespace

QString NewAccessCode() {
    QString code;
    for (int i = 0; i < kCodeLength; ++i) {
        if (i > 0 && i % 4 == 0)
            code += u'-';
        code += QChar(kAlphabet[QRandomGenerator::system()->bounded(kAlphabetSize)]);
    }
    return code;
}

QString NormaliseAccessCode(const QString &typed) {
    QString code;
    for (const QChar c : typed) {
        if (c != u' ' && c != u'\t' && c != u'-')
            code += c.toUpper();
    }
    return code;
}

QByteArray RandomToken(int bytes) {
    QByteArray random(bytes, Qt::Uninitialized);
    for (char &c : random)
        c = char(QRandomGenerator::system()->bounded(256));
    return random.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
}

bool ConstantTimeEquals(const QByteArray &a, const QByteArray &b) {
    if (a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}
