// The page's "Wahl testen" and the desktop's choice test agree: thousands of generated choices,
// each sent to the real server and run through ChoiceTest with a DialogRecorder, give the same
// dialogs in the same order, with the same kinds and texts, and the same verdict.

#include "support/variedchoices.h"
#include "tools/answers.h"
#include "webclient.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace webclient;

namespace {
struct Shown {
    QStringList messages; // "kind: text"
    bool passed = false;
};

QString unescape(QString html) {
    html.replace(u"<br>"_s, u"\r"_s).replace(u"&lt;"_s, u"<"_s).replace(u"&gt;"_s, u">"_s);
    return html.replace(u"&quot;"_s, u"\""_s).replace(u"&#39;"_s, u"'"_s).replace(u"&amp;"_s, u"&"_s);
}

Shown fromPage(const QByteArray &page) {
    static const QRegularExpression block(
        u"<(?:div|fieldset) class=\"meldung[^\"]*\" data-art=\"([a-z]+)\">.*?<p class=\"meldungstext\">(.*?)</p>"_s,
        QRegularExpression::DotMatchesEverythingOption);
    Shown shown;
    const QString text = QString::fromUtf8(page);
    for (auto it = block.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        shown.messages.append(match.captured(1) + u": "_s + unescape(match.captured(2)));
    }
    shown.passed = text.contains(u"class=\"urteil bestanden\""_s);
    return shown;
}

// The desktop: the question answered as the form says (no answer: the run stops there as
// after No), the verdict's offer to print answered No.
Shown fromDesktop(GridModel &grid, const QString &answer) {
    DialogRecorder dialogs;
    dialogs.fallback = [&](const DialogRequest &request) { return UnattendedAnswer(request, answer == u"ja"); };
    ChoiceTest test(grid, dialogs);
    Shown shown;
    shown.passed = test.RunValidation();
    for (const DialogRecorder::Entry &entry : dialogs.entries)
        shown.messages.append(kindName(entry.request.kind) + u": "_s + entry.request.text);
    return shown;
}
} // namespace

class TestWebAgreement : public QObject {
    Q_OBJECT

private slots:
    void sameMessagesAndVerdict() {
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(u"daten"_s);
        const QStringList codes = makeCodes(dir, "Muster;Anna;12a\n");
        Server server;
        QVERIFY(server.start({u"--daten"_s, dir.filePath(u"daten"_s), u"--zugang"_s, dir.filePath(u"codes.csv"_s),
                              u"--port"_s, u"0"_s}));
        const QByteArray cookie = server.signIn(codes.first());
        const QString token = QString::fromLatin1(request(server.port, "GET", "/wahl", cookie).csrf());

        QRandomGenerator random(26);
        int passed = 0;
        int questions = 0;
        constexpr int kChoices = 3000;
        for (int i = 0; i < kChoices; ++i) {
            GridModel grid;
            variedchoices::fillVaried(grid, random);
            const QString answer = QStringList{QString(), u"ja"_s, u"nein"_s}.at(random.bounded(3));
            QList<QPair<QString, QString>> fields = {{u"csrf"_s, token}, {u"aktion"_s, u"testen"_s}};
            for (int r = 1; r <= GridModel::kCourseRows; ++r) {
                for (int s = 1; s <= GridModel::kSemesters; ++s)
                    fields.append({u"f-%1-%2"_s.arg(r).arg(s), grid.cell(s, r)});
            }
            if (!answer.isEmpty())
                fields.append({u"fremdsprache-lk"_s, answer});
            const Reply reply = request(server.port, "POST", "/wahl", cookie, form(fields));
            QCOMPARE(reply.status, 200);
            const Shown page = fromPage(reply.body);
            const Shown desktop = fromDesktop(grid, answer);
            QCOMPARE(page.messages, desktop.messages);
            QCOMPARE(page.passed, desktop.passed);
            passed += desktop.passed;
            questions += desktop.messages.join(u'\n').contains(u"messagebox: "_s);
        }
        // Every road was taken often enough to mean something.
        QVERIFY2(passed > kChoices / 10 && passed < kChoices * 9 / 10, qPrintable(QString::number(passed)));
        QVERIFY2(questions > kChoices / 20, qPrintable(QString::number(questions)));
    }
};

QTEST_GUILESS_MAIN(TestWebAgreement)
#include "tst_web_agreement.moc"
