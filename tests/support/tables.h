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
    return fileBytes(name);
}

// A field with its escapes replaced, as bytes (⟨U+…⟩ and literal text as UTF-8).
inline QByteArray bytes(const QByteArray &field) {
    static const QRegularExpression escape(QStringLiteral("⟨(tab|lf|cr|nul|x[0-9A-Fa-f]{2}|U\\+[0-9A-Fa-f]+|)⟩"));
    static const QMap<QString, char> named = {{QStringLiteral("tab"), '\t'}, {QStringLiteral("lf"), '\n'},
                                              {QStringLiteral("cr"), '\r'}, {QStringLiteral("nul"), '\0'}};
    const QString text = QString::fromUtf8(field);
    QByteArray result;
    qsizetype at = 0;
    for (const QRegularExpressionMatch &m : escape.globalMatch(text)) {
        result += text.mid(at, m.capturedStart() - at).toUtf8();
        const QString code = m.captured(1);
        if (named.contains(code))
            result += named.value(code);
        else if (code.startsWith(u'x'))
            result += char(code.mid(1).toInt(nullptr, 16));
        else if (!code.isEmpty())
            result += QString::fromUcs4(std::array{char32_t(code.mid(2).toUInt(nullptr, 16))}.data(), 1).toUtf8();
        at = m.capturedEnd();
    }
    return result + text.mid(at).toUtf8();
}

// The same as text: ⟨xHH⟩ is the character U+00HH.
inline QString text(const QByteArray &field) {
    QByteArray marked = field;
    marked.replace("⟨x", "⟨U+");
    return QString::fromUtf8(bytes(marked));
}

// The rows of the table `name` under tests/: the name, then the fields as written.
inline QList<QList<QByteArray>> rows(const QString &name) {
    QList<QList<QByteArray>> result;
    for (const QByteArray &line : fileBytes(name).split('\n'))
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
