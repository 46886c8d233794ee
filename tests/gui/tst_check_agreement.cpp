#include "rules/dialogs.h"
#include "shell/main.h"
#include "support/choicefiles.h"
#include "support/fakes.h"
#include "tools/answers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// fachlese-check and the main window agree: for every sample choice, the dialogs the tool
// reports are exactly those that "&Öffnen" and "&Wahl testen" show in the window, answered
// alike, and the grid, ChoiceTested and the course count after the run are the same.
class TestCheckAgreement : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void sameDialogs_data();
    void sameDialogs();

private:
    QTemporaryDir m_dir;
    QHash<QString, QJsonObject> m_reports[2]; // per file name; [1]: LK language answered Yes
};

void TestCheckAgreement::initTestCase() {
    QVERIFY(m_dir.isValid());
    QVERIFY(choicefiles::writeSamples(m_dir.path()));
    for (const bool continued : {false, true}) {
        QProcess process;
        process.start(QStringLiteral(FACHLESE_BINARY_DIR "/tools/fachlese-check"),
                      {u"--json"_s, continued ? u"--foreign-lk=yes"_s : u"--foreign-lk=no"_s, m_dir.path()});
        QVERIFY(process.waitForFinished(60000));
        const QJsonDocument document = QJsonDocument::fromJson(process.readAllStandardOutput());
        for (const QJsonValue file : document.object().value(u"files"_s).toArray())
            m_reports[continued].insert(file[u"file"_s].toString().section(u'/', -1), file.toObject());
        QCOMPARE(m_reports[continued].size(), choicefiles::samples().size());
    }
}

void TestCheckAgreement::sameDialogs_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("continued");
    for (const choicefiles::Sample &sample : choicefiles::samples()) {
        QTest::addRow("%s, yes", qPrintable(sample.name)) << sample.name << true;
        QTest::addRow("%s, no", qPrintable(sample.name)) << sample.name << false;
    }
}

void TestCheckAgreement::sameDialogs() {
    QFETCH(QString, name);
    QFETCH(bool, continued);
    const QJsonObject report = m_reports[continued].value(name);

    DialogRecorder dialogs;
    dialogs.fallback = [continued](const DialogRequest &request) {
        return UnattendedAnswer(request, continued);
    };
    ScriptedSystemDialogs system;
    TMainForm form(dialogs, system);
    form.CreateSideWindows();
    form.FirstShowPending = false;
    system.fileAnswers.enqueue(m_dir.filePath(name));
    form.OeffnenClick();
    if (report[u"read"_s] == u"error"_s) {
        // The window shows the refusal as a dialog; the tool names it as the read message.
        QCOMPARE(dialogs.entries.size(), 1);
        QCOMPARE(dialogs.entries.first().request.text, report[u"readMessage"_s].toString());
        QCOMPARE(report[u"dialogs"_s].toArray(), QJsonArray());
        return;
    }
    QVERIFY(dialogs.entries.isEmpty());
    form.B_TestenClick();

    QJsonArray shown;
    for (const DialogRecorder::Entry &entry : dialogs.entries) {
        QJsonArray buttons;
        for (DialogButton button : entry.request.buttons)
            buttons.append(buttonText(button));
        shown.append(QJsonObject{{u"kind"_s, kindName(entry.request.kind)},
                                 {u"caption"_s, entry.request.caption},
                                 {u"text"_s, entry.request.text},
                                 {u"buttons"_s, buttons},
                                 {u"answer"_s, buttonText(entry.answer)}});
    }
    QCOMPARE(report[u"dialogs"_s].toArray(), shown);
    QCOMPARE(report[u"choiceTested"_s].toBool(), form.Test.ChoiceTested);
    QCOMPARE(report[u"courses"_s].toInt(-1), form.Test.LastCourseCount.value_or(-1));
    const QJsonArray grid = report[u"grid"_s].toArray();
    QCOMPARE(grid.size(), GridModel::kCourseRows);
    for (int row = 1; row <= GridModel::kCourseRows; ++row) {
        for (int column = 1; column <= GridModel::kSemesters; ++column)
            QCOMPARE(grid[row - 1][column - 1].toString(), form.StringGrid->cell(column, row));
    }
    QCOMPARE(system.printerRequests, 0); // the verdict was answered "&Nein"
}

QTEST_MAIN(TestCheckAgreement)
#include "tst_check_agreement.moc"
