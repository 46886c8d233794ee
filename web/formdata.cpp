#include "web/formdata.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>

namespace {
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

namespace {
// UTF-8 as it stands: a byte order mark at the start is kept as a character and a sequence cut
// off at the end becomes a replacement character, never dropped, so that "\uFEFFf-1-1" or
// "f-1-1\xC2" stays a name the page never gave out.
QString fromUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder(bytes);
}
} // namespace

QString DecodeFormComponent(QByteArrayView text) {
    if (!text.contains('%') && !text.contains('+'))
        return fromUtf8(text);
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            bytes.append(' ');
        } else if (c == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
                   hexValue(text[i + 2]) >= 0) {
            bytes.append(char(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
            i += 2;
        } else {
            bytes.append(c);
        }
    }
    return fromUtf8(bytes);
}

FormFields ParseFormBody(QByteArrayView body, qsizetype maxFields) {
    FormFields fields;
    fields.reserve(qMin(maxFields, body.count('&') + 1));
    qsizetype start = 0;
    while (start <= body.size() && fields.size() < maxFields) {
        qsizetype end = body.indexOf('&', start);
        if (end < 0)
            end = body.size();
        const QByteArrayView part = body.sliced(start, end - start);
        if (!part.isEmpty()) {
            const qsizetype equals = part.indexOf('=');
            if (equals < 0)
                fields.append({DecodeFormComponent(part), QString()});
            else
                fields.append({DecodeFormComponent(part.first(equals)), DecodeFormComponent(part.sliced(equals + 1))});
        }
        start = end + 1;
    }
    return fields;
}

FormFields ParseJsonFields(const QByteArray &body, qsizetype maxFields) {
    FormFields fields;
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (!document.isObject())
        return fields;
    const QJsonObject object = document.object();
    for (auto it = object.begin(); it != object.end() && fields.size() < maxFields; ++it) {
        if (it.value().isString())
            fields.append({it.key(), it.value().toString()});
    }
    return fields;
}

QString FormValue(const FormFields &fields, const QString &name) {
    for (const auto &field : fields) {
        if (field.first == name)
            return field.second;
    }
    return QString();
}

bool HasFormField(const FormFields &fields, const QString &name) {
    for (const auto &field : fields) {
        if (field.first == name)
            return true;
    }
    return false;
}

QByteArray CookieValue(QByteArrayView header, QByteArrayView name) {
    qsizetype start = 0;
    while (start < header.size()) {
        qsizetype end = header.indexOf(';', start);
        if (end < 0)
            end = header.size();
        QByteArrayView part = header.sliced(start, end - start).trimmed();
        const qsizetype equals = part.indexOf('=');
        if (equals > 0 && part.first(equals).trimmed() == name)
            return part.sliced(equals + 1).trimmed().toByteArray();
        start = end + 1;
    }
    return QByteArray();
}
