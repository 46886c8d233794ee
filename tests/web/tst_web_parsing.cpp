// What the server parses itself: form bodies, cookies, the class list, typed codes.

#include "web/accesscode.h"
#include "web/classlist.h"
#include "web/codebook.h"
#include "web/formdata.h"
#include "web/httpserver.h"
#include "web/netaddress.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestWebParsing : public QObject {
    Q_OBJECT

private slots:
    void formBody_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("pairs"); // name, value, name, value ...
        QTest::newRow("plain") << QByteArray("a=1&b=2") << QStringList{u"a"_s, u"1"_s, u"b"_s, u"2"_s};
        QTest::newRow("plus and percent") << QByteArray("f-1-1=Werte+u.+Normen&x=%C3%A4%3D%26")
                                          << QStringList{u"f-1-1"_s, u"Werte u. Normen"_s, u"x"_s, u"ä=&"_s};
        QTest::newRow("broken escapes stay") << QByteArray("a=%4&b=%zz%") << QStringList{u"a"_s, u"%4"_s, u"b"_s, u"%zz%"_s};
        QTest::newRow("no value, empty parts") << QByteArray("&&a&=x&") << QStringList{u"a"_s, QString(), QString(), u"x"_s};
        QTest::newRow("second equals sign") << QByteArray("a=b=c") << QStringList{u"a"_s, u"b=c"_s};
        QTest::newRow("byte order mark kept") << QByteArray("%EF%BB%BFf-1-1=\xEF\xBB\xBFx")
                                              << QStringList{u"\uFEFFf-1-1"_s, u"\uFEFFx"_s};
        QTest::newRow("invalid UTF-8 replaced") << QByteArray("a=%FF") << QStringList{u"a"_s, QString(QChar(0xFFFD))};
        QTest::newRow("sequence cut off at the end") << QByteArray("f-1-1%C2=x")
                                                     << QStringList{u"f-1-1\uFFFD"_s, u"x"_s};
    }
    void formBody() {
        QFETCH(QByteArray, body);
        QFETCH(QStringList, pairs);
        QStringList parsed;
        for (const auto &[name, value] : ParseFormBody(body))
            parsed << name << value;
        QCOMPARE(parsed, pairs);
    }

    void fieldLimit() {
        QByteArray body;
        for (int i = 0; i < 1000; ++i)
            body += "a=1&";
        QCOMPARE(ParseFormBody(body).size(), 200);
    }

    void cookie_data() {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("only") << QByteArray("fachlese_sitzung=abc") << QByteArray("abc");
        QTest::newRow("among others") << QByteArray("x=1; fachlese_sitzung = abc ;y=2") << QByteArray("abc");
        QTest::newRow("prefix of another name") << QByteArray("fachlese_sitzungX=1") << QByteArray();
        QTest::newRow("first one counts") << QByteArray("fachlese_sitzung=a; fachlese_sitzung=b") << QByteArray("a");
        QTest::newRow("none") << QByteArray(";;=;") << QByteArray();
    }
    void cookie() {
        QFETCH(QByteArray, header);
        QFETCH(QByteArray, value);
        QCOMPARE(CookieValue(header, "fachlese_sitzung"), value);
    }

    void classList_data() {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("pupils"); // "surname|first name|class"
        QTest::addColumn<QString>("error");
        QTest::newRow("header, BOM, CR LF") << QByteArray("\xEF\xBB\xBFNachname;Vorname;Klasse\r\nM\xC3\xBCller;Jan;12a\r\n")
                                            << QStringList{u"Müller|Jan|12a"_s} << QString();
        QTest::newRow("no header, blank lines, spaces") << QByteArray("\n A ; B ;C\n\n;;\nD;E;\n")
                                                        << QStringList{u"A|B|C"_s, u"D|E|"_s} << QString();
        QTest::newRow("quoted") << QByteArray("\"Meier; \"\"Jr\"\"\";Ann;12b\n")
                                << QStringList{u"Meier; \"Jr\"|Ann|12b"_s} << QString();
        QTest::newRow("too many columns") << QByteArray("A;B;C\nD;E;F;G\n") << QStringList{}
                                          << u"Zeile 2 hat nicht 3 Spalten."_s;
    }
    void classList() {
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, pupils);
        QFETCH(QString, error);
        QString problem;
        QStringList parsed;
        for (const Pupil &pupil : ParseClassList(csv, &problem))
            parsed.append(pupil.surname + u'|' + pupil.firstName + u'|' + pupil.className);
        QCOMPARE(parsed, pupils);
        QCOMPARE(problem, error);
    }

    void codeListRoundTrip() {
        const QList<Pupil> pupils = {{u"Ölmann"_s, u"Eva;Maria"_s, u"12a"_s, NewAccessCode()},
                                     {u"B"_s, u"C"_s, QString(), NewAccessCode()}};
        QCOMPARE(ParseCodeList(CodeListBytes(pupils)), pupils);
        QString error;
        QVERIFY(ParseCodeList("Nachname;Vorname;Klasse;Code\r\nA;B;C;\r\n", &error).isEmpty());
        QCOMPARE(error, u"B A hat keinen Code."_s);
    }

    void connectionsPerAddress() {
        HttpServer server([](const HttpRequest &) { return HttpResponse(); }, HttpServer::Limits{});
        NetAddress pupil;
        NetAddress other;
        NetAddress local;
        QVERIFY(ParseNetAddress(u"192.0.2.7"_s, 0, &pupil) && ParseNetAddress(u"2001:db8::1"_s, 0, &other) &&
                ParseNetAddress(u"127.0.0.1"_s, 0, &local));
        const auto *p = reinterpret_cast<const sockaddr *>(&pupil.storage);
        const auto *l = reinterpret_cast<const sockaddr *>(&local.storage);
        for (int i = 0; i < HttpServer::Limits{}.connectionsPerAddress; ++i) {
            QVERIFY(server.admit(p));
            server.connectionOpened(p);
            server.connectionOpened(l);
        }
        QVERIFY(!server.admit(p));
        QVERIFY(!server.connectionOpened(p)); // admitted by two threads at once: one too many
        QVERIFY(server.connectionOpened(l));
        server.connectionClosed(p);
        QVERIFY(server.admit(reinterpret_cast<const sockaddr *>(&other.storage)));
        QVERIFY(server.admit(l)); // the local TLS proxy limits its own
        server.connectionClosed(p);
        QVERIFY(server.admit(p));
        QCOMPARE(NetAddressText(reinterpret_cast<const sockaddr *>(&other.storage)), u"2001:db8::1"_s);
    }

    void codeBook() {
        const QList<Pupil> pupils = {{u"A"_s, u"B"_s, u"1"_s, u"ABCD-EFGH-JKMN"_s}, {u"C"_s, u"D"_s, u"2"_s, u"PQRS-TUVW-XYZ2"_s}};
        const CodeBook book(pupils, u"Leitung 1"_s);
        QCOMPARE(book.lookUp(u"pqrs tuvw-xyz2"_s), 1);
        QCOMPARE(book.lookUp(u"ABCDEFGHJKMN"_s), 0);
        QCOMPARE(book.lookUp(u"ABCDEFGHJKM"_s), CodeBook::kNobody);
        QCOMPARE(book.lookUp(u"LEITUNG1"_s), CodeBook::kCoordinator);
        QCOMPARE(book.lookUp(u" - "_s), CodeBook::kNobody);
        QVERIFY(book.pupils().at(0).code.isEmpty()); // kept only hashed
        QCOMPARE(CodeBook(pupils, QString()).lookUp(QString()), CodeBook::kNobody);
        QCOMPARE(CodeBook::pupilId(6), u"schueler-0007"_s);
    }
};

QTEST_GUILESS_MAIN(TestWebParsing)
#include "tst_web_parsing.moc"
