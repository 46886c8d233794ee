#include "web/codesmode.h"

#include "web/accesscode.h"
#include "web/classlist.h"

#include <QFile>
#include <QSaveFile>
#include <QSet>

#include <cstdio>

namespace {
void complain(const QString &text) {
    std::fprintf(stderr, "fachlese-web: %s\n", text.toLocal8Bit().constData());
}

bool writeAtomically(const QString &path, const QByteArray &bytes) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

QString slipsPath(const QString &codeList) {
    QString path = codeList;
    if (path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        path.chop(4);
    return path + QStringLiteral(".html");
}
} // namespace

int WriteCodes(const WebOptions &options) {
    QFile input(options.classList);
    if (!input.open(QIODevice::ReadOnly)) {
        complain(QStringLiteral("Die Klassenliste %1 kann nicht gelesen werden.").arg(options.classList));
        return 2;
    }
    QString error;
    QList<Pupil> pupils = ParseClassList(input.read(16 * 1024 * 1024), &error);
    if (pupils.isEmpty()) {
        complain(error.isEmpty() ? QStringLiteral("Die Klassenliste %1 enthält keine Namen.").arg(options.classList)
                                 : QStringLiteral("Die Klassenliste %1: %2").arg(options.classList, error));
        return 2;
    }
    QSet<QString> used;
    for (Pupil &pupil : pupils) {
        do
            pupil.code = NewAccessCode();
        while (used.contains(pupil.code));
        used.insert(pupil.code);
    }
    if (!writeAtomically(options.codeList, CodeListBytes(pupils)) ||
        !writeAtomically(slipsPath(options.codeList), CodeSlipsHtml(pupils))) {
        complain(QStringLiteral("Die Codes können nicht nach %1 geschrieben werden.").arg(options.codeList));
        return 1;
    }
    std::fprintf(stdout, "%lld Codes geschrieben: %s, Zettel: %s\n", static_cast<long long>(pupils.size()),
                 options.codeList.toLocal8Bit().constData(), slipsPath(options.codeList).toLocal8Bit().constData());
    return 0;
}
