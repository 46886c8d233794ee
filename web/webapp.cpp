#include "web/webapp.h"

#include "rules/datafile.h"
#include "sheet/sheetlayout.h"
#include "web/accesscode.h"
#include "web/choiceform.h"
#include "web/choicerun.h"
#include "web/formdata.h"
#include "web/jsontext.h"
#include "web/pages.h"
#include "web/sheetpdf.h"
#include "web/staticfiles.h"


namespace {
const QString kForbiddenText = QStringLiteral(
    "Die Anfrage kam nicht von einer Seite dieser Kurswahl oder die Sitzung ist abgelaufen. "
    "Lade die Seite neu und versuche es noch einmal. (Cookies müssen erlaubt sein.)");

std::optional<bool> answerOf(const FormFields &fields) {
    const QString answer = FormValue(fields, QStringLiteral("fremdsprache-lk"));
    if (answer == u"ja")
        return true;
    if (answer == u"nein")
        return false;
    return std::nullopt;
}
} // namespace

WebApp::WebApp(CodeBook codes, const QString &dataFolder, std::optional<QDateTime> deadline)
    : m_codes(std::move(codes)), m_store(dataFolder, int(m_codes.pupils().size())), m_deadline(std::move(deadline)) {}

HttpResponse WebApp::handle(const HttpRequest &request) {
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const bool get = request.method == "GET" || request.method == "HEAD";
    const bool post = request.method == "POST";
    if (std::optional<HttpResponse> file = StaticFile(request.path)) {
        if (get)
            return *file;
    } else if (request.path == "/") {
        if (get)
            return signInPage(request, now);
    } else if (request.path == "/anmelden") {
        if (post)
            return signIn(request, now);
    } else if (request.path == "/abmelden") {
        if (post)
            return signOut(request, now);
    } else if (request.path == "/wahl") {
        if (get)
            return choicePage(request, now);
        if (post)
            return choiceAction(request, now);
    } else if (request.path == "/api/pruefen") {
        if (post)
            return liveCheck(request, now);
    } else if (request.path == "/bogen.pdf") {
        if (get)
            return sheet(request, now);
    } else if (request.path == "/uebersicht") {
        if (get)
            return overview(request, now);
    } else {
        return page(404, MessagePage(QStringLiteral("Seite nicht gefunden"),
                                     QStringLiteral("Diese Seite gibt es hier nicht.")));
    }
    HttpResponse response = page(405, MessagePage(QStringLiteral("Nicht erlaubt"),
                                                  QStringLiteral("Diese Seite kann so nicht aufgerufen werden.")));
    response.addHeader("Allow", "GET, HEAD, POST");
    return response;
}

WebApp::Visitor WebApp::visitorOf(const HttpRequest &request, qint64 now) {
    Visitor visitor;
    visitor.cookie = CookieValue(request.header("cookie"), kCookieName);
    if (!visitor.cookie.isEmpty())
        visitor.session = m_sessions.find(visitor.cookie, now);
    return visitor;
}

HttpResponse WebApp::page(int status, const QByteArray &html) const {
    HttpResponse response;
    response.status = status;
    response.body = html;
    return response;
}

HttpResponse WebApp::forbidden() const {
    return page(403, MessagePage(QStringLiteral("Anfrage abgelehnt"), kForbiddenText));
}

HttpResponse WebApp::redirect(const QByteArray &target) {
    HttpResponse response;
    response.status = 303;
    response.addHeader("Location", target);
    return response;
}

QByteArray WebApp::cookieHeader(const QByteArray &value, const HttpRequest &request, bool expire) const {
    QByteArray header = QByteArray(kCookieName) + '=' + value + "; Path=/; HttpOnly; SameSite=Strict";
    if (request.viaTls)
        header += "; Secure";
    if (expire)
        header += "; Max-Age=0";
    return header;
}

QString WebApp::deadlineText() const {
    return m_deadline ? QStringLiteral("Abgabe bis zum ") + GermanDateTime(*m_deadline) + u'.' : QString();
}

bool WebApp::deadlinePassed() const {
    return m_deadline && QDateTime::currentDateTime() >= *m_deadline;
}

HttpResponse WebApp::signInPage(const HttpRequest &request, qint64 now) {
    Visitor visitor = visitorOf(request, now);
    if (visitor.session)
        return redirect(visitor.session->who == CodeBook::kCoordinator ? "/uebersicht" : "/wahl");
    // A random value that is no session: the sign-in form's token is bound to it.
    const QByteArray value = visitor.cookie.size() == 43 ? visitor.cookie : RandomToken(32);
    HttpResponse response = page(200, SignInPage(m_sessions.csrfToken(value)));
    response.addHeader("Set-Cookie", cookieHeader(value, request));
    return response;
}

HttpResponse WebApp::signIn(const HttpRequest &request, qint64 now) {
    const Visitor visitor = visitorOf(request, now);
    const FormFields fields = ParseFormBody(request.body);
    if (!m_sessions.csrfValid(visitor.cookie, FormValue(fields, QStringLiteral("csrf")).toLatin1()))
        return forbidden();
    if (!m_limiter.allowed(request.clientAddress, now)) {
        HttpResponse response = page(429, MessagePage(QStringLiteral("Zu viele Versuche"),
                                                      QStringLiteral("Von diesem Gerät wurde zu oft ein falscher Code "
                                                                     "eingegeben. Warte eine Viertelstunde und versuche "
                                                                     "es dann noch einmal.")));
        response.addHeader("Retry-After", QByteArray::number(SignInLimiter::kWindowSeconds));
        return response;
    }
    const int who = m_codes.lookUp(FormValue(fields, QStringLiteral("code")));
    if (who == CodeBook::kNobody) {
        m_limiter.recordFailure(request.clientAddress, now);
        return page(403, SignInPage(m_sessions.csrfToken(visitor.cookie),
                                    QStringLiteral("Diesen Code kennt die Kurswahl nicht. Prüfe ihn und versuche es "
                                                   "noch einmal.")));
    }
    if (visitor.session)
        m_sessions.remove(visitor.cookie);
    const QByteArray session = m_sessions.create(who, now);
    HttpResponse response = redirect(who == CodeBook::kCoordinator ? "/uebersicht" : "/wahl");
    response.addHeader("Set-Cookie", cookieHeader(session, request));
    return response;
}

HttpResponse WebApp::signOut(const HttpRequest &request, qint64 now) {
    const Visitor visitor = visitorOf(request, now);
    const FormFields fields = ParseFormBody(request.body);
    if (!m_sessions.csrfValid(visitor.cookie, FormValue(fields, QStringLiteral("csrf")).toLatin1()))
        return forbidden();
    m_sessions.remove(visitor.cookie);
    HttpResponse response = redirect("/");
    response.addHeader("Set-Cookie", cookieHeader(QByteArray(), request, true));
    return response;
}

HttpResponse WebApp::choicePage(const HttpRequest &request, qint64 now) {
    const Visitor visitor = visitorOf(request, now);
    if (!visitor.session || visitor.session->who < 0)
        return redirect("/");
    GridPageData data;
    data.pupil = m_codes.pupils().at(visitor.session->who);
    data.csrf = visitor.session->csrf;
    data.cells = visitor.session->cells;
    data.deadlineText = deadlineText();
    data.lastHandIn = m_store.handedInAt(visitor.session->who);
    return page(200, GridPage(data));
}

HttpResponse WebApp::choiceAction(const HttpRequest &request, qint64 now) {
    const Visitor visitor = visitorOf(request, now);
    const FormFields fields = ParseFormBody(request.body);
    if (!visitor.session || visitor.session->who < 0 ||
        !SessionStore::csrfValid(visitor.session, FormValue(fields, QStringLiteral("csrf")).toLatin1()))
        return forbidden();
    const int pupil = visitor.session->who;
    const QString action = FormValue(fields, QStringLiteral("aktion"));
    GridPageData data;
    data.pupil = m_codes.pupils().at(pupil);
    data.csrf = visitor.session->csrf;
    data.cells = CellsFromForm(fields);
    data.deadlineText = deadlineText();
    data.foreignLanguageAnswer = answerOf(fields);
    int status = 200;
    if (action == u"testen" || action == u"abgeben") {
        // The grid as the pupil sees it is tested and handed in; no fill at this point.
        data.outcome = RunChoiceTest(data.cells, data.foreignLanguageAnswer);
        data.cells = data.outcome->cells;
    } else {
        AutoFillChanged(data.cells, visitor.session->cells);
    }
    if (action == u"abgeben") {
        if (deadlinePassed()) {
            status = 403;
            data.problem = QStringLiteral("Die Frist für die Abgabe ist am %1 abgelaufen. Deine Wahl wurde nicht "
                                          "gespeichert.")
                               .arg(GermanDateTime(*m_deadline));
        } else {
            const HandInStore::Result result = m_store.handIn(pupil, data.pupil, data.cells);
            switch (result.status) {
            case HandInStore::Status::Saved:
                data.handedInText = QStringLiteral("Deine Wahl wurde am %1 abgegeben.").arg(GermanDateTime(result.when));
                m_sessions.storeHandInVerdict(visitor.cookie, data.outcome->passed);
                data.sheetOffered = true;
                break;
            case HandInStore::Status::Unencodable:
            case HandInStore::Status::TooLong:
                status = 422;
                data.problem = result.message + QStringLiteral("\rDeine Wahl wurde nicht abgegeben.");
                break;
            case HandInStore::Status::DiskFull:
                status = 507;
                data.problem = result.message;
                break;
            case HandInStore::Status::Failed:
                status = 500;
                data.problem = result.message;
                break;
            }
        }
    }
    data.lastHandIn = m_store.handedInAt(pupil);
    m_sessions.storeCells(visitor.cookie, data.cells);
    return page(status, GridPage(data));
}

HttpResponse WebApp::liveCheck(const HttpRequest &request, qint64 now) {
    const Visitor visitor = visitorOf(request, now);
    if (!visitor.session || visitor.session->who < 0 ||
        !SessionStore::csrfValid(visitor.session, request.header("x-csrf-token")))
        return forbidden();
    const GridSnapshotTexts sent = request.header("content-type").startsWith("application/json")
                                       ? CellsFromForm(ParseJsonFields(request.body))
                                       : CellsFromFormBody(request.body);
    HttpResponse response;
    response.contentType = "application/json";
    // The same grid again (the script checks on typing and once more on leaving the cell): the
    // same answer.
    if (sent.texts == visitor.session->cells.texts && !visitor.session->checkAnswer.isEmpty()) {
        response.body = visitor.session->checkAnswer;
        return response;
    }
    GridSnapshotTexts cells = sent;
    const QList<ChecklistItem> items = AutoFillChanged(cells, visitor.session->cells);
    // Only the cells the auto-fill changed, and the hints of the cells that hold no subject.
    QByteArray changed;
    QByteArray hints;
    for (int r = 1; r <= GridModel::kDataRows; ++r) {
        for (int s = 1; s <= GridModel::kSemesters; ++s) {
            const QByteArray name = JsonQuote(CellFieldName(r, s));
            if (cells.at(s, r) != sent.at(s, r))
                changed += (changed.isEmpty() ? "" : ",") + name + ':' + JsonQuote(cells.at(s, r));
            const UnknownSubjectHint hint = r <= GridModel::kCourseRows ? HintFor(cells.at(s, r)) : UnknownSubjectHint{};
            if (!hint.text.isEmpty())
                hints += (hints.isEmpty() ? "" : ",") + name + ":{\"text\":" + JsonQuote(hint.text) +
                         ",\"vorschlag\":" + JsonQuote(hint.suggestion) + '}';
        }
    }
    response.body = "{\"zellen\":{" + changed + "},\"hinweise\":{" + hints +
                    "},\"ueberschrift\":" + JsonQuote(ChecklistHeading(items)) +
                    ",\"eintraege\":" + ChecklistEntriesJson(items) + '}';
    // The answer stands for the filled grid; sent with changed cells it has to be made anew.
    m_sessions.storeCells(visitor.cookie, cells, changed.isEmpty() ? response.body : QByteArray());
    return response;
}

HttpResponse WebApp::sheet(const HttpRequest &request, qint64 now) {
    const Visitor visitor = visitorOf(request, now);
    if (!visitor.session || visitor.session->who < 0)
        return redirect("/");
    const int pupil = visitor.session->who;
    // The sheet of the choice as handed in.
    const DataFileReadResult file = ReadDataFile(m_store.filePath(pupil));
    if (file.status != DataFileStatus::Ok)
        return page(404, MessagePage(QStringLiteral("Noch nichts abgegeben"),
                                     QStringLiteral("Der Fachlesebogen entsteht aus der abgegebenen Wahl. "
                                                    "Gib deine Wahl zuerst ab."),
                                     QStringLiteral("/wahl"), QStringLiteral("Zurück zur Kurswahl")));
    GridModel grid;
    ApplyDataFile(grid, file.texts);
    DialogRecorder unused;
    ChoiceTest test(grid, unused);
    test.BuildCourseMatrix();
    const Pupil &who = m_codes.pupils().at(pupil);
    const QString today = QLocale(QLocale::German, QLocale::Germany).toString(QDate::currentDate(), QLocale::ShortFormat);
    HttpResponse response;
    response.contentType = "application/pdf";
    response.body = SheetPdf(SheetLayout(grid, test.CourseMatrix, visitor.session->handedInPassed,
                                         PersonalData{who.surname, who.firstName, who.className, QString()}, today));
    response.addHeader("Content-Disposition", "inline; filename=\"fachlesebogen.pdf\"");
    return response;
}

HttpResponse WebApp::overview(const HttpRequest &request, qint64 now) {
    const Visitor visitor = visitorOf(request, now);
    if (!visitor.session)
        return redirect("/");
    if (visitor.session->who != CodeBook::kCoordinator)
        return page(403, MessagePage(QStringLiteral("Kein Zugang"),
                                     QStringLiteral("Die Übersicht sieht nur die Oberstufenkoordination."),
                                     QStringLiteral("/wahl"), QStringLiteral("Zurück zur Kurswahl")));
    QList<std::optional<QDateTime>> times;
    for (int i = 0; i < int(m_codes.pupils().size()); ++i)
        times.append(m_store.handedInAt(i));
    return page(200, OverviewPage(m_codes.pupils(), times, m_sessions.csrfToken(visitor.cookie), deadlineText()));
}
