#include "tests/support/tables.h"
#include "tools/run.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

// fachlese-check --abitur: the result of a points file, as text and as JSON, and its refusals.
class CheckAbiturTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(QDir::setCurrent(QStringLiteral(FACHLESE_SOURCE_DIR "/tests/tools/data/abitur")));
    }

    void run_data() {
        tables::addTextRows(u"tools/data/check-abitur.tsv"_s, {"arguments", "status", "golden", "err"});
    }

    void run() {
        QFETCH(QString, arguments);
        QFETCH(QString, golden);
        QList<QByteArray> list;
        for (const QString &a : arguments.split(u' '))
            list << a.toUtf8();
        QByteArray out, err;
        const int status =
            RunCheck(list, {[&](const QByteArray &b) { out += b; }, [&](const QByteArray &b) { err += b; }});
        QTEST(QString::number(status), "status");
        QCOMPARE(out, golden.isEmpty() ? QByteArray() : tables::golden(u"tools/golden/"_s + golden, out));
        QTEST(QString::fromUtf8(err), "err");
    }
};

QTEST_APPLESS_MAIN(CheckAbiturTest)
#include "tst_check_abitur.moc"
