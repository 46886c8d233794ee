#include "rules/answers.h"
#include "support/choicefiles.h"
#include "support/mainwindow.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

using namespace Qt::StringLiterals;

// fachlese-check and the main window agree: for every sample choice, the dialogs the tool
// reports are exactly those that "&Öffnen" and "&Wahl testen" show in the window, answered
// alike, and the grid, ChoiceTested and the course count after the run are the same.
class TestCheckAgreement : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QHash<QString, QJsonObject> m_reports[2]; // per file name; [1]: LK language answered Yes

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid() && choicefiles::writeSamples(m_dir.path()));
        for (const bool continued : {false, true}) { // one run over the folder, as a coordinator would
            QProcess tool;
            tool.start(u"" FACHLESE_BINARY_DIR "/tools/fachlese-check"_s,
                       {u"--json"_s, continued ? u"--foreign-lk=yes"_s : u"--foreign-lk=no"_s, m_dir.path()});
            QVERIFY(tool.waitForFinished(60000));
            for (const QJsonValue file :
                 QJsonDocument::fromJson(tool.readAllStandardOutput())[u"files"_s].toArray())
                m_reports[continued].insert(file[u"file"_s].toString().section(u'/', -1), file.toObject());
            QCOMPARE(m_reports[continued].size(), choicefiles::samples().size());
        }
    }

    void sameDialogs_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("continued");
        for (const QString &name : choicefiles::samples().keys())
            for (const bool yes : {true, false})
                QTest::addRow("%s, %s", qPrintable(name), yes ? "yes" : "no") << name << yes;
    }

    void sameDialogs() {
        QFETCH(QString, name);
        QFETCH(bool, continued);
        const QJsonObject report = m_reports[continued].value(name);
        MainWindowFixture f;
        f.dialogs.fallback = [continued](const DialogRequest &r) { return UnattendedAnswer(r, continued); };
        f.system.fileAnswers.enqueue(m_dir.filePath(name));
        f.form->OeffnenClick();
        if (report[u"read"_s] == u"error"_s) { // the window shows as a dialog what the tool reports
            QCOMPARE(choices::dialogTexts(f.dialogs), QStringList{report[u"readMessage"_s].toString()});
            return;
        }
        f.form->B_TestenClick();
        QJsonArray shown;
        for (const DialogRecorder::Entry &entry : f.dialogs.entries) {
            QJsonObject dialog{{u"kind"_s, kindName(entry.request.kind)},
                               {u"answer"_s, buttonText(entry.answer)}};
            dialog[u"caption"_s] = entry.request.caption;
            dialog[u"text"_s] = entry.request.text;
            for (DialogButton button : entry.request.buttons)
                dialog[u"buttons"_s] = dialog[u"buttons"_s].toArray() + buttonText(button);
            shown.append(dialog);
        }
        QCOMPARE(report[u"dialogs"_s].toArray(), shown);
        QCOMPARE(report[u"choiceTested"_s].toBool(), f.form->Test.ChoiceTested);
        QCOMPARE(report[u"courses"_s].toInt(-1), f.form->Test.LastCourseCount.value_or(-1));
        for (int row = 1; row <= GridModel::kCourseRows; ++row)
            QCOMPARE(report[u"grid"_s][row - 1].toVariant().toStringList().join(u'|'), f.row(row));
    }
};

QTEST_MAIN(TestCheckAgreement)
#include "tst_check_agreement.moc"
