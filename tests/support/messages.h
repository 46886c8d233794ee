#pragma once

#include "support/tables.h"

#include <QMap>

// The texts of the messages the tests compare against, kept in rules/data/messages.tsv by key
// ("unter-33", "regel-6"); %1 and %2 stand for what a message names.
namespace messages {

inline QString text(const QString &key, const QStringList &args = {}) {
    static const QMap<QString, QString> all = [] {
        QMap<QString, QString> map;
        for (const QList<QByteArray> &row : tables::rows(QStringLiteral("rules/data/messages.tsv")))
            map.insert(QString::fromUtf8(row.value(0)), tables::text(row.value(1)));
        return map;
    }();
    QString result = all.value(key, QStringLiteral("<no message ") + key + u'>');
    for (const QString &arg : args)
        result = result.arg(arg);
    return result;
}

// The texts of a list of messages written "key:first,second|key" ("regel-11:LK 2|unter-33:32").
inline QStringList list(const QString &keys) {
    QStringList texts;
    for (const QString &entry : keys.split(u'|', Qt::SkipEmptyParts)) {
        const qsizetype colon = entry.indexOf(u':');
        texts << text(entry.left(colon), colon < 0 ? QStringList() : entry.mid(colon + 1).split(u','));
    }
    return texts;
}

} // namespace messages
