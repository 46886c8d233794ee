#include "rules/datafile.h"
#include "rules/dialogs.h"
#include "shell/main.h"
#include "support/choicefiles.h"
#include "support/fakes.h"
#include "tools/answers.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

// fachlese-check and the main window agree: for every sample choice, the dialogs that the
// tool reports in its JSON document are exactly those that "&Öffnen" and "&Wahl testen" show
// in the window, answered alike, and the grid, ChoiceTested and the course count after the
// run are the same.
class TestCheckAgreement : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void sameDialogs_data();
    void sameDialogs();

private:
    // The tool's report on the sample folder, per file name.
    QHash<QString, QJsonObject> runTool(bool foreignLanguageContinued);

    QTemporaryDir m_dir;
    QHash<QString, QJsonObject> m_yes;
    QHash<QString, QJsonObject> m_no;
};

namespace {
QJsonObject jsonOf(const DialogRecorder::Entry &entry) {
    QJsonArray buttons;
    for (DialogButton button : entry.request.buttons)
        buttons.append(buttonText(button));
    return QJsonObject{{u"kind"_s, kindName(entry.request.kind)},
                       {u"caption"_s, entry.request.caption},
                       {u"text"_s, entry.request.text},
                       {u"buttons"_s, buttons},
                       {u"answer"_s, buttonText(entry.answer)}};
}
} // namespace

QHash<QString, QJsonObject> TestCheckAgreement::runTool(bool foreignLanguageContinued) {
    const QString tool = QStringLiteral(FACHLESE_BINARY_DIR "/tools/fachlese-check");
    if (!QFile::exists(tool))
        qFatal("fachlese-check is not built: %s", qPrintable(tool));
    QProcess process;
    process.start(tool, {u"--json"_s, foreignLanguageContinued ? u"--foreign-lk=yes"_s : u"--foreign-lk=no"_s,
                         m_dir.path()});
    if (!process.waitForFinished(60000))
        qFatal("fachlese-check did not finish");
    const QJsonDocument document = QJsonDocument::fromJson(process.readAllStandardOutput());
    QHash<QString, QJsonObject> files;
    for (const QJsonValue file : document.object().value(u"files"_s).toArray()) {
        const QJsonObject object = file.toObject();
        files.insert(object.value(u"file"_s).toString().section(u'/', -1), object);
    }
    return files;
}

void TestCheckAgreement::initTestCase() {
    QVERIFY(m_dir.isValid());
    for (const choicefiles::Sample &sample : choicefiles::samples())
        QVERIFY(choicefiles::write(m_dir.path(), sample.name, sample.bytes));
    m_yes = runTool(true);
    m_no = runTool(false);
    QCOMPARE(m_yes.size(), choicefiles::samples().size());
    QCOMPARE(m_no.size(), choicefiles::samples().size());
}

void TestCheckAgreement::sameDialogs_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("continued");
    for (const choicefiles::Sample &sample : choicefiles::samples()) {
        QTest::addRow("%s, LK language yes", qPrintable(sample.name)) << sample.name << true;
        QTest::addRow("%s, LK language no", qPrintable(sample.name)) << sample.name << false;
    }
}

void TestCheckAgreement::sameDialogs() {
    QFETCH(QString, name);
    QFETCH(bool, continued);
    const QJsonObject report = (continued ? m_yes : m_no).value(name);
    QVERIFY(!report.isEmpty());

    DialogRecorder dialogs;
    dialogs.fallback = [continued](const DialogRequest &request) {
        return UnattendedAnswer(request, continued);
    };
    ScriptedSystemDialogs system;
    auto form = std::make_unique<TMainForm>(dialogs, system);
    form->CreateSideWindows();
    form->FirstShowPending = false;

    system.fileAnswers.enqueue(m_dir.filePath(name));
    form->OeffnenClick();
    if (report.value(u"read"_s).toString() == u"error") {
        // The window shows the refusal as a dialog; the tool names it as the read message.
        QCOMPARE(dialogs.entries.size(), 1);
        QCOMPARE(dialogs.entries.first().request.text, report.value(u"readMessage"_s).toString());
        QCOMPARE(report.value(u"dialogs"_s).toArray(), QJsonArray());
        return;
    }
    QCOMPARE(report.value(u"read"_s).toString(), u"ok"_s);
    QVERIFY(dialogs.entries.isEmpty());

    form->B_TestenClick();
    QJsonArray shown;
    for (const DialogRecorder::Entry &entry : dialogs.entries)
        shown.append(jsonOf(entry));
    QCOMPARE(report.value(u"dialogs"_s).toArray(), shown);

    QCOMPARE(report.value(u"choiceTested"_s).toBool(), form->Test.ChoiceTested);
    const QJsonValue courses = report.value(u"courses"_s);
    QCOMPARE(courses.isNull() ? -1 : courses.toInt(), form->Test.LastCourseCount.value_or(-1));
    const QJsonArray grid = report.value(u"grid"_s).toArray();
    QCOMPARE(grid.size(), GridModel::kCourseRows);
    for (int row = 1; row <= GridModel::kCourseRows; ++row) {
        for (int column = 1; column <= GridModel::kSemesters; ++column)
            QCOMPARE(grid[row - 1].toArray()[column - 1].toString(), form->StringGrid->cell(column, row));
    }
    // The verdict was answered "&Nein": nothing opened for printing.
    QCOMPARE(system.printerRequests, 0);
}

QTEST_MAIN(TestCheckAgreement)
#include "tst_check_agreement.moc"
