#pragma once

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QTest>

// Case tables and expected outputs kept as files under tests/.
//
// A table has one case a line, its fields separated by TAB, the first field the case's name;
// empty lines and lines starting with '#' are skipped. Inside a field ⟨tab⟩, ⟨lf⟩, ⟨cr⟩ and
// ⟨nul⟩ stand for those characters, ⟨xHH⟩ for the byte (or character) HH, ⟨U+HHHH⟩ for any
// character and ⟨⟩ for nothing (an empty field that must not look like a missing one).
namespace tables {

inline QByteArray fileBytes(const QString &name) {
    QFile file(QStringLiteral(FACHLESE_SOURCE_DIR "/tests/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing " + name.toUtf8() + '>');
}

// The file `name` under tests/; with FACHLESE_UPDATE_GOLDEN set, `actual` is written into it
// first (to renew it after a deliberate change, then checked by hand).
inline QByteArray golden(const QString &name, const QByteArray &actual) {
    QFile file(QStringLiteral(FACHLESE_SOURCE_DIR "/tests/") + name);
    if (qEnvironmentVariableIsSet("FACHLESE_UPDATE_GOLDEN") && file.open(QIODevice::WriteOnly)) {
        file.write(actual);
        file.close();
    }
    return tables::fileBytes(name);
}

// Calls `literal` with each piece of `field` between escapes and `escape` with each escape's
// code ("tab", "x41", "U+20AC", "").
template <typename Literal, typename Escape>
void expand(const QByteArray &field, Literal literal, Escape escape) {
    static const QRegularExpression pattern(QStringLiteral("⟨(tab|lf|cr|nul|x[0-9A-Fa-f]{2}|U\\+[0-9A-Fa-f]+|)⟩"));
    const QString text = QString::fromUtf8(field);
    qsizetype at = 0;
    for (const QRegularExpressionMatch &m : pattern.globalMatch(text)) {
        literal(text.mid(at, m.capturedStart() - at));
        escape(m.captured(1));
        at = m.capturedEnd();
    }
    literal(text.mid(at));
}

// The character of an escape's code; ⟨xHH⟩ is U+00HH.
inline QString escaped(const QString &code) {
    static const QMap<QString, QChar> named = {{QStringLiteral("tab"), u'\t'}, {QStringLiteral("lf"), u'\n'},
                                               {QStringLiteral("cr"), u'\r'}, {QStringLiteral("nul"), QChar(0)}};
    if (named.contains(code) || code.isEmpty())
        return code.isEmpty() ? QString() : QString(named.value(code));
    const char32_t value = code.mid(code.startsWith(u'x') ? 1 : 2).toUInt(nullptr, 16);
    return value <= 0xFFFF ? QString(QChar(value)) : QString::fromUcs4(&value, 1); // lone surrogates too
}

// A field as text.
inline QString text(const QByteArray &field) {
    QString result;
    expand(field, [&](const QString &piece) { result += piece; }, [&](const QString &code) { result += escaped(code); });
    return result;
}

// A field as bytes: the text as UTF-8, but ⟨xHH⟩ the byte HH.
inline QByteArray bytes(const QByteArray &field) {
    QByteArray result;
    expand(field, [&](const QString &piece) { result += piece.toUtf8(); },
           [&](const QString &code) {
               result += code.startsWith(u'x') ? QByteArray(1, char(code.mid(1).toInt(nullptr, 16))) : escaped(code).toUtf8();
           });
    return result;
}

// The rows of the table `name` under tests/: the name, then the fields as written.
inline QList<QList<QByteArray>> rows(const QString &name) {
    QList<QList<QByteArray>> result;
    for (const QByteArray &line : tables::fileBytes(name).split('\n'))
        if (!line.isEmpty() && !line.startsWith('#'))
            result.append(line.split('\t'));
    return result;
}

// Adds a QString column for each of `columns` and a row for each line of the table `name`.
inline void addTextRows(const QString &name, const QList<const char *> &columns) {
    for (const char *column : columns)
        QTest::addColumn<QString>(column);
    for (const QList<QByteArray> &row : rows(name)) {
        QTestData &data = QTest::newRow(row.value(0).constData());
        for (qsizetype i = 1; i <= columns.size(); ++i)
            data << text(row.value(i));
    }
}

} // namespace tables
