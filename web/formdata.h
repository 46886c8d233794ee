#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// The parts of a request the server reads itself: form bodies and cookies. Both are bounded
// by the request limits of the HTTP layer; nothing here trusts its input.

using FormFields = QList<QPair<QString, QString>>;

// Decodes "%41" and "+" of a URL-encoded text; a "%" not followed by two hex digits stays as it
// is. Invalid UTF-8 is replaced, never passed on.
QString DecodeFormComponent(QByteArrayView text);

// An application/x-www-form-urlencoded body: "a=1&b=2". A part without "=" is a name with an
// empty value; empty parts are skipped. At most `maxFields` fields are read.
FormFields ParseFormBody(QByteArrayView body, qsizetype maxFields = 200);

// A JSON object of texts ({"f-1-1": "Deutsch", ...}) as form fields; values that are no texts
// are skipped. Anything but an object gives no fields.
FormFields ParseJsonFields(const QByteArray &body, qsizetype maxFields = 200);

// The value of the first field of that name, or an empty text.
QString FormValue(const FormFields &fields, const QString &name);
bool HasFormField(const FormFields &fields, const QString &name);

// The value of cookie `name` in a Cookie header ("a=1; b=2"), or an empty text.
QByteArray CookieValue(QByteArrayView header, QByteArrayView name);
