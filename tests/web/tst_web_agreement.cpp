// The page's "Wahl testen" and the desktop's choice test agree: thousands of generated choices,
// each sent to the server's application as a signed-in pupil's form and run through ChoiceTest
// with a DialogRecorder, give the same dialogs in the same order, with the same kinds and texts,
// and the same verdict.

#include "rules/answers.h"
#include "support/variedchoices.h"
#include "web/webapp.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {
// The session's cookie ("fachlese_sitzung=…") an answer sets, and the page's form token.
QByteArray cookieOf(const HttpResponse &response) {
    for (const auto &[name, value] : response.headers) {
        if (name == "Set-Cookie")
            return value.left(value.indexOf(';'));
    }
    return QByteArray();
}

HttpResponse send(WebApp &app, const char *method, const char *path, const QByteArray &cookie,
                  const QByteArray &body = {}) {
    return app.handle({method, path, {{"cookie", cookie}}, body, QString(), false});
}

QByteArray csrfOf(const HttpResponse &response) {
    static const QRegularExpression field(u"name=\"csrf\" value=\"([^\"]*)\""_s);
    return field.match(QString::fromUtf8(response.body)).captured(1).toLatin1();
}

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
        WebApp app(CodeBook({{u"Muster"_s, u"Anna"_s, u"12a"_s, u"ABCD-EFGH-JKMN"_s}}, QString()), dir.path(),
                   std::nullopt);
        const HttpResponse signInPage = send(app, "GET", "/", {});
        const QByteArray cookie = cookieOf(send(app, "POST", "/anmelden", cookieOf(signInPage),
                                                "code=ABCD-EFGH-JKMN&csrf=" + csrfOf(signInPage)));
        const QByteArray token = csrfOf(send(app, "GET", "/wahl", cookie));

        QRandomGenerator random(26);
        int passed = 0;
        int questions = 0;
        constexpr int kChoices = 3000;
        for (int i = 0; i < kChoices; ++i) {
            GridModel grid;
            variedchoices::fillVaried(grid, random);
            const QString answer = QStringList{QString(), u"ja"_s, u"nein"_s}.at(random.bounded(3));
            QByteArray body = "aktion=testen&csrf=" + token;
            for (int r = 1; r <= GridModel::kCourseRows; ++r) {
                for (int s = 1; s <= GridModel::kSemesters; ++s)
                    body += "&f-" + QByteArray::number(r) + '-' + QByteArray::number(s) + '=' +
                            QUrl::toPercentEncoding(grid.cell(s, r));
            }
            if (!answer.isEmpty())
                body += "&fremdsprache-lk=" + answer.toLatin1();
            const HttpResponse reply = send(app, "POST", "/wahl", cookie, body);
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
