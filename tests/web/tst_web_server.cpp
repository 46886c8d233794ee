// The real fachlese-web over HTTP: sign-in, the request limits and protections, the pages'
// escaping, handing in with the desktop's file bytes, the earlier version, the deadline and the
// coordinator's overview.

#include "rules/datafile.h"
#include "support/choices.h"
#include "support/files.h"
#include "webclient.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace webclient;

namespace {
const QByteArray kClassList = "\xEF\xBB\xBFNachname;Vorname;Klasse\r\nMuster;Anna;12a\r\n"
                              "<script>alert(1)</script>;\xC3\x96laf & Co;12b\n\"Kurz\";Kai;\n";

// The form fields of a whole grid.
QList<QPair<QString, QString>> gridFields(const GridModel &grid) {
    QList<QPair<QString, QString>> fields;
    for (int r = 1; r <= 12; ++r) {
        for (int s = 1; s <= 4; ++s)
            fields.append({u"f-%1-%2"_s.arg(r).arg(s), grid.cell(s, r)});
    }
    return fields;
}
} // namespace

class TestWebServer : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_codes;
    Server m_server;

    QString data() const { return m_dir.filePath(u"daten"_s); }
    QStringList serverArguments() const {
        return {u"--daten"_s, data(), u"--zugang"_s, m_dir.filePath(u"codes.csv"_s), u"--verwaltung"_s,
                m_dir.filePath(u"verwaltung.txt"_s), u"--port"_s, u"0"_s};
    }
    Reply post(const QByteArray &path, const QByteArray &cookie, QList<QPair<QString, QString>> fields,
               bool withCsrf = true) {
        if (withCsrf)
            fields.prepend({u"csrf"_s, QString::fromLatin1(request(m_server.port, "GET", "/wahl", cookie).csrf())});
        return request(m_server.port, "POST", path, cookie, form(fields));
    }

private slots:
    void initTestCase() {
        QDir(m_dir.path()).mkdir(u"daten"_s);
        m_codes = makeCodes(m_dir, kClassList);
        QFile coordinator(m_dir.filePath(u"verwaltung.txt"_s));
        QVERIFY(coordinator.open(QIODevice::WriteOnly));
        coordinator.write("Koordination-2026\n");
        coordinator.close();
        QVERIFY(m_server.start(serverArguments()));
    }

    void codeList() {
        const QByteArray bytes = fileBytes(m_dir.filePath(u"codes.csv"_s));
        QVERIFY(bytes.startsWith("\xEF\xBB\xBFNachname;Vorname;Klasse;Code\r\nMuster;Anna;12a;"));
        QCOMPARE(bytes.count("\r\n"), 4);
        QCOMPARE(m_codes.size(), 3);
        const QRegularExpression format(u"^[A-HJKMNP-Z2-9]{4}-[A-HJKMNP-Z2-9]{4}-[A-HJKMNP-Z2-9]{4}$"_s);
        for (const QString &code : m_codes)
            QVERIFY2(format.match(code).hasMatch(), qPrintable(code));
        QVERIFY(m_codes.at(0) != m_codes.at(1));
        const QByteArray slips = fileBytes(m_dir.filePath(u"codes.html"_s));
        QVERIFY(slips.contains(m_codes.at(1).toLatin1()));
        QVERIFY(slips.contains("&lt;script&gt;") && !slips.contains("<script>"));
    }

    void signIn_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("location");
        QTest::newRow("as printed") << u"@0"_s << 303 << QByteArray("/wahl");
        QTest::newRow("small letters, blanks, no hyphens") << u"@0lower"_s << 303 << QByteArray("/wahl");
        QTest::newRow("coordinator") << u"koordination 2026"_s << 303 << QByteArray("/uebersicht");
        QTest::newRow("one character wrong") << u"@0wrong"_s << 403 << QByteArray();
        QTest::newRow("empty") << QString() << 403 << QByteArray();
    }
    void signIn() {
        QFETCH(QString, code);
        QFETCH(int, status);
        QFETCH(QByteArray, location);
        QString typed = code;
        if (code.startsWith(u"@0")) {
            typed = m_codes.at(0);
            if (code.contains(u"lower"))
                typed = u"  "_s + typed.toLower().remove(u'-') + u" "_s;
            if (code.contains(u"wrong"))
                typed[0] = typed[0] == u'A' ? u'B' : u'A';
        }
        const Reply page = request(m_server.port, "GET", "/");
        const Reply reply = request(m_server.port, "POST", "/anmelden", page.cookie(),
                                    form({{u"csrf"_s, QString::fromLatin1(page.csrf())}, {u"code"_s, typed}}));
        QCOMPARE(reply.status, status);
        QCOMPARE(reply.header("Location"), location);
        if (status == 303) {
            QCOMPARE(reply.header("Set-Cookie").mid(reply.header("Set-Cookie").indexOf(';')),
                     QByteArray("; Path=/; HttpOnly; SameSite=Strict"));
            QVERIFY(reply.cookie() != page.cookie()); // a new id after sign-in
        } else {
            QVERIFY(reply.body.contains("Diesen Code kennt die Kurswahl nicht."));
        }
    }

    void secureCookieBehindTls() {
        const Reply page = request(m_server.port, "GET", "/", {}, {}, "X-Forwarded-Proto: https\r\n");
        QVERIFY(page.header("Set-Cookie").endsWith("; HttpOnly; SameSite=Strict; Secure"));
    }

    void tooManyAttempts() {
        const QByteArray from = "X-Forwarded-For: 198.51.100.7\r\n";
        for (int i = 0; i < 10; ++i)
            QVERIFY(m_server.signIn(u"AAAA-AAAA-AAAA"_s, from).isEmpty());
        const Reply page = request(m_server.port, "GET", "/");
        const QByteArray body = form({{u"csrf"_s, QString::fromLatin1(page.csrf())}, {u"code"_s, m_codes.at(0)}});
        const Reply refused = request(m_server.port, "POST", "/anmelden", page.cookie(), body, from);
        QCOMPARE(refused.status, 429);
        QVERIFY(refused.body.contains("<html lang=\"de\">") && refused.body.contains("Zu viele Versuche"));
        // Another address is not affected.
        QCOMPARE(request(m_server.port, "POST", "/anmelden", page.cookie(), body).status, 303);
    }

    void csrf_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("token");
        QTest::newRow("hand-in without token") << QByteArray("/wahl") << QByteArray();
        QTest::newRow("hand-in with forged token") << QByteArray("/wahl") << QByteArray("x2Vf0gXnO1Q");
        QTest::newRow("sign-out without token") << QByteArray("/abmelden") << QByteArray();
        QTest::newRow("live check without header") << QByteArray("/api/pruefen") << QByteArray();
        QTest::newRow("live check with forged header") << QByteArray("/api/pruefen") << QByteArray("abc");
    }
    void csrf() {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, token);
        const QByteArray cookie = m_server.signIn(m_codes.at(2));
        const bool api = path.startsWith("/api");
        const Reply reply = request(m_server.port, "POST", path, cookie,
                                    api ? QByteArray("{}") : "aktion=abgeben&f-1-1=Deutsch&csrf=" + token,
                                    api ? "Content-Type: application/json\r\nX-CSRF-Token: " + token + "\r\n" : "");
        QCOMPARE(reply.status, 403);
        QVERIFY(!QFileInfo::exists(data() + u"/schueler-0003.fld"_s));
    }

    void headersAndEscaping() {
        const QByteArray cookie = m_server.signIn(m_codes.at(1));
        const Reply page = post("/wahl", cookie, {{u"aktion"_s, u"pruefen"_s}, {u"f-5-1"_s, u"<img src=x onerror=alert(1)>"_s}});
        QCOMPARE(page.status, 200);
        const QByteArray policy = page.header("Content-Security-Policy");
        QVERIFY(policy.contains("script-src 'self'") && policy.contains("default-src 'none'"));
        QVERIFY(!policy.contains("unsafe"));
        QCOMPARE(page.header("X-Content-Type-Options"), QByteArray("nosniff"));
        QVERIFY(page.body.contains("<h1>Kurswahl von \xC3\x96laf &amp; Co &lt;script&gt;alert(1)&lt;/script&gt;</h1>"));
        QVERIFY(page.body.contains("value=\"&lt;img src=x onerror=alert(1)&gt;\""));
        QVERIFY(page.body.contains("Das Fach »&lt;img src=x onerror=alert(1)&gt;« ist nicht bekannt."));
        QVERIFY(!page.body.contains("<img") && !page.body.contains("<script>"));
        QVERIFY(page.body.contains("aria-label=\"GK 9, 4. Semester\""));
    }

    void limits_data() {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("status");
        QTest::newRow("body over 64 KiB") << QByteArray("POST /wahl HTTP/1.1\r\nHost: x\r\nContent-Type: "
                                                        "application/x-www-form-urlencoded\r\nContent-Length: 70000\r\n\r\n")
                                                 + QByteArray(70000, 'a')
                                          << 413;
        QTest::newRow("header over 16 KiB") << "GET / HTTP/1.1\r\nHost: x\r\nX-Long: " + QByteArray(20000, 'a') + "\r\n\r\n"
                                            << 431;
        QTest::newRow("unknown page") << QByteArray("GET /../etc/passwd HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n") << 404;
        QTest::newRow("wrong method") << QByteArray("DELETE /wahl HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n") << 405;
    }
    void limits() {
        QFETCH(QByteArray, request);
        QFETCH(int, status);
        QCOMPARE(exchange(m_server.port, request).status, status);
    }

    void liveCheck() {
        const QByteArray cookie = m_server.signIn(m_codes.at(1));
        const QByteArray token = request(m_server.port, "GET", "/wahl", cookie).csrf();
        const Reply reply = request(m_server.port, "POST", "/api/pruefen", cookie,
                                    QString(u"{\"f-1-2\":\"Deutsch\",\"f-6-1\":\"Mathe\",\"f-5-1\":\"Physik\"}"_s).toUtf8(),
                                    "Content-Type: application/json\r\nX-CSRF-Token: " + token + "\r\n");
        QCOMPARE(reply.status, 200);
        // The desktop's auto-fill: an examination row across, a natural science across.
        for (const char *filled : {"\"f-1-1\":\"Deutsch\"", "\"f-1-4\":\"Deutsch\"", "\"f-5-4\":\"Physik\""})
            QVERIFY2(reply.body.contains(filled), filled);
        QVERIFY(!reply.body.contains("\"f-1-2\":") && !reply.body.contains("\"f-6-2\":")); // only what the fill changed
        QVERIFY(QString::fromUtf8(reply.body).contains(u"Meinst du »Mathematik«?"_s));
        QVERIFY(QString::fromUtf8(reply.body).contains(u"GK 4, 1. Semester: »Mathe« ist kein Fach"_s));
    }

    void foreignLanguageQuestion() {
        const QByteArray cookie = m_server.signIn(m_codes.at(1));
        GridModel grid;
        choices::fill(grid, choices::validForeignLanguageLkChoice());
        auto fields = gridFields(grid);
        fields.append({u"aktion"_s, u"testen"_s});
        const Reply asked = post("/wahl", cookie, fields);
        QVERIFY(asked.body.contains("name=\"fremdsprache-lk\" value=\"ja\""));
        QVERIFY(asked.body.contains("Beantworte die Frage"));
        fields.append({u"fremdsprache-lk"_s, u"ja"_s});
        const Reply answered = post("/wahl", cookie, fields);
        QVERIFY(answered.body.contains("Die Wahl hat den Test bestanden."));
        QVERIFY(answered.body.contains("value=\"ja\" checked"));
    }

    void handIn() {
        const QByteArray cookie = m_server.signIn(m_codes.at(0));
        GridModel grid;
        choices::fill(grid, choices::validChoice());
        grid.setCell(2, 12, u"Notiz"_s); // the spare row is stored as well
        auto fields = gridFields(grid);
        // Names the page never gives out are ignored.
        fields.append({{u"f-13-1"_s, u"X"_s}, {u"f-0-1"_s, u"X"_s}, {u"f-1-5"_s, u"X"_s}, {u"f-01-1"_s, u"X"_s},
                       {u"f-1-1-1"_s, u"X"_s}, {u"aktion"_s, u"abgeben"_s}});
        const QByteArray expected = EncodeDataFile(grid) + "Nachname=Muster\r\nVorname=Anna\r\nKlasse=12a\r\n";
        const QString file = data() + u"/schueler-0001.fld"_s;

        const Reply first = post("/wahl", cookie, fields);
        QCOMPARE(first.status, 200);
        QVERIFY(QRegularExpression(u"Deine Wahl wurde am \\d\\d\\.\\d\\d\\.20\\d\\d um \\d\\d:\\d\\d Uhr abgegeben\\."_s)
                    .match(QString::fromUtf8(first.body)).hasMatch());
        QVERIFY(first.body.contains("Die Wahl hat den Test bestanden."));
        QCOMPARE(fileBytes(file), expected);
        // The sheet of what was handed in, made without a display.
        QVERIFY(first.body.contains("<a href=\"/bogen.pdf\">"));
        const Reply sheet = request(m_server.port, "GET", "/bogen.pdf", cookie);
        QCOMPARE(sheet.header("Content-Type"), QByteArray("application/pdf"));
        QVERIFY(sheet.body.startsWith("%PDF-1.4") && sheet.body.endsWith("%%EOF\n"));
        QVERIFY(sheet.body.contains("(Muster) Tj") && sheet.body.contains("(Die Wahl ist o.k. !) Tj"));
        QCOMPARE(request(m_server.port, "GET", "/bogen.pdf", m_server.signIn(m_codes.at(1))).status, 404);

        // Handed in again: the newest under the same name, the earlier one kept beside it.
        QTest::qWait(1100);
        fields.append({u"f-9-1"_s, u"Musik"_s});
        QCOMPARE(post("/wahl", cookie, fields).status, 200);
        QVERIFY(fileBytes(file) != expected);
        const QStringList kept = QDir(data()).entryList({u"schueler-0001.*.fld.alt"_s});
        QCOMPARE(kept.size(), 1);
        QVERIFY(QRegularExpression(u"^schueler-0001\\.20\\d{6}-\\d{6}\\.fld\\.alt$"_s).match(kept.first()).hasMatch());
        QCOMPARE(fileBytes(data() + u'/' + kept.first()), expected);
        QCOMPARE(QDir(data()).entryList({u"*.fld"_s}), QStringList{u"schueler-0001.fld"_s});

        // An empty class gives no Klasse line.
        const QByteArray kai = m_server.signIn(m_codes.at(2));
        QCOMPARE(post("/wahl", kai, {{u"aktion"_s, u"abgeben"_s}}).status, 200);
        QVERIFY(fileBytes(data() + u"/schueler-0003.fld"_s).endsWith("\t\t\t\r\nNachname=Kurz\r\nVorname=Kai\r\n"));
    }

    void overview() {
        QCOMPARE(request(m_server.port, "GET", "/uebersicht").status, 303);
        QCOMPARE(request(m_server.port, "GET", "/uebersicht", m_server.signIn(m_codes.at(0))).status, 403);
        const Reply page = request(m_server.port, "GET", "/uebersicht", m_server.signIn(u"KOORDINATION-2026"_s));
        QCOMPARE(page.status, 200);
        QVERIFY(page.body.contains("<td>Muster</td><td>Anna</td><td>12a</td><td>abgegeben am "));
        QVERIFY(page.body.contains("&lt;script&gt;alert(1)&lt;/script&gt;</td><td>\xC3\x96laf &amp; Co</td><td>12b</td>"
                                   "<td class=\"offen\">nicht abgegeben"));
    }

    void writeFailure() {
        // The data folder gone (as root, a read-only one would still be written).
        const QByteArray cookie = m_server.signIn(m_codes.at(1));
        QVERIFY(QDir().rename(data(), data() + u"-weg"_s));
        const Reply reply = post("/wahl", cookie, {{u"aktion"_s, u"abgeben"_s}, {u"f-1-1"_s, u"Deutsch"_s}});
        QVERIFY(QDir().rename(data() + u"-weg"_s, data()));
        QCOMPARE(reply.status, 500);
        QVERIFY(reply.body.contains("Sie ist nicht abgegeben."));
        QVERIFY(!reply.body.contains("abgegeben.</p>"));
        QVERIFY(!QFileInfo::exists(data() + u"/schueler-0002.fld"_s));
    }

    void fullDisk() {
        // A file system of 32 KiB, filled up after a first hand-in: needs the right to mount one.
        QTemporaryDir tiny;
        const QString folder = tiny.filePath(u"voll"_s);
        QDir().mkpath(folder);
        if (QProcess::execute(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=32k"_s, u"tmpfs"_s, folder}) != 0)
            QSKIP("no right to mount a small file system");
        const auto unmount = qScopeGuard([&] { QProcess::execute(u"umount"_s, {folder}); });
        QStringList arguments = serverArguments();
        arguments[1] = folder;
        Server full;
        QVERIFY(full.start(arguments));
        const QByteArray cookie = full.signIn(m_codes.at(0));
        const QByteArray token = request(full.port, "GET", "/wahl", cookie).csrf();
        const auto handIn = [&](const QByteArray &subject) {
            return request(full.port, "POST", "/wahl", cookie, "aktion=abgeben&f-1-1=" + subject + "&csrf=" + token);
        };
        const QString file = folder + u"/schueler-0001.fld"_s;
        QCOMPARE(handIn("Deutsch").status, 200);
        const QByteArray first = fileBytes(file);
        QFile fill(folder + u"/fuellung"_s);
        fill.open(QIODevice::WriteOnly);
        while (fill.write(QByteArray(4096, 'x')) > 0 && fill.flush()) {
        }
        while (fill.write("x", 1) > 0 && fill.flush()) {
        }
        fill.close();
        const Reply reply = handIn("Englisch");
        QCOMPARE(reply.status, 507);
        QVERIFY(reply.body.contains("weil der Speicher des Servers voll ist. Sie ist nicht abgegeben."));
        QCOMPARE(fileBytes(file), first);
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);
        fill.remove(); // with room again, handing in works
        QCOMPARE(handIn("Englisch").status, 200);
        QVERIFY(fileBytes(file).contains("Englisch"));
    }

    void deadline() {
        Server late;
        QVERIFY(late.start(serverArguments() << u"--frist"_s << u"2020-01-31T12:00"_s));
        const QByteArray cookie = late.signIn(m_codes.at(1));
        const QByteArray token = request(late.port, "GET", "/wahl", cookie).csrf();
        const auto send = [&](const QString &action) {
            return request(late.port, "POST", "/wahl", cookie,
                           form({{u"csrf"_s, QString::fromLatin1(token)}, {u"aktion"_s, action}, {u"f-1-1"_s, u"Deutsch"_s}}));
        };
        const Reply refused = send(u"abgeben"_s);
        QCOMPARE(refused.status, 403);
        QVERIFY(refused.body.contains("Die Frist für die Abgabe ist am 31.01.2020 um 12:00 Uhr abgelaufen."));
        QVERIFY(!QFileInfo::exists(data() + u"/schueler-0002.fld"_s));
        QCOMPARE(send(u"testen"_s).status, 200);
    }

    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("output");
        QTest::newRow("version") << QStringList{u"--version"_s} << 0 << QByteArray("fachlese-web " FACHLESE_VERSION "\n");
        QTest::newRow("unknown option") << QStringList{u"--gibts-nicht"_s} << 2 << QByteArray("Unbekannte Angabe");
        QTest::newRow("bad deadline") << QStringList{u"--daten"_s, u"."_s, u"--zugang"_s, u"x"_s, u"--frist"_s, u"morgen"_s}
                                      << 2 << QByteArray("JJJJ-MM-TTTHH:MM");
        QTest::newRow("bad address") << QStringList{u"--daten"_s, u"."_s, u"--zugang"_s, u"x"_s, u"--adresse"_s, u"schule"_s}
                                     << 2 << QByteArray("keine IP-Adresse");
        QTest::newRow("no data folder") << QStringList{u"--zugang"_s, u"x"_s} << 2 << QByteArray("--daten");
    }
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, output);
        QProcess process;
        process.start(QStringLiteral(FACHLESE_BINARY_DIR "/web/fachlese-web"), arguments);
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), exitCode);
        QVERIFY((process.readAllStandardOutput() + process.readAllStandardError()).contains(output));
    }
};

QTEST_GUILESS_MAIN(TestWebServer)
#include "tst_web_server.moc"
