// What the server parses itself: form bodies, cookies, the class list, typed codes.

#include "support/tables.h"
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

    // The rows of web/data/TABLE.tsv: the input as bytes, the expected texts after it.
    static void addRows(const QString &table) {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("expected");
        for (const QList<QByteArray> &row : tables::rows(u"web/data/"_s + table + u".tsv"_s)) {
            QStringList expected;
            for (const QByteArray &field : row.mid(2))
                expected.append(tables::text(field));
            QTest::newRow(row.value(0).constData()) << tables::bytes(row.value(1)) << expected;
        }
    }

private slots:
    void formBody_data() { addRows(u"form-bodies"_s); }
    void formBody() {
        QFETCH(QByteArray, input);
        QFETCH(QStringList, expected);
        QStringList parsed;
        for (const auto &[name, value] : ParseFormBody(input))
            parsed << name << value;
        QCOMPARE(parsed, expected);
    }

    void fieldLimit() {
        QByteArray body;
        for (int i = 0; i < 1000; ++i)
            body += "a=1&";
        QCOMPARE(ParseFormBody(body).size(), 200);
    }

    void cookie_data() { addRows(u"cookies"_s); }
    void cookie() {
        QFETCH(QByteArray, input);
        QFETCH(QStringList, expected);
        QCOMPARE(QString::fromLatin1(CookieValue(input, "fachlese_sitzung")), expected.value(0));
    }

    void classList_data() { addRows(u"class-lists"_s); }
    void classList() {
        QFETCH(QByteArray, input);
        QFETCH(QStringList, expected); // the error, then the pupils
        QString problem;
        const QList<Pupil> pupils = ParseClassList(input, &problem);
        QStringList parsed{problem};
        for (const Pupil &pupil : pupils)
            parsed.append(pupil.surname + u'|' + pupil.firstName + u'|' + pupil.className);
        QCOMPARE(parsed, expected);
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
