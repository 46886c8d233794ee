#include "web/identitylines.h"

QByteArray IdentityLines(const QString &surname, const QString &firstName, const QString &className) {
    QByteArray lines;
    const std::pair<const char *, const QString *> fields[] = {
        {"Nachname=", &surname}, {"Vorname=", &firstName}, {"Klasse=", &className}};
    for (const auto &[key, value] : fields) {
        if (!value->isEmpty())
            lines += QByteArray(key) + value->toUtf8() + "\r\n";
    }
    return lines;
}
