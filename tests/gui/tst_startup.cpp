#include "shell/commandline.h"
#include "support/mainwindow.h"
#include "support/tables.h"
#include "windows/documentpath.h"

#include <QFile>
#include <QProcess>

using namespace Qt::StringLiterals;

namespace {
bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString describe(const CommandLine &line) {
    static const char *const names[] = {"run", "help", "version", "usage"};
    return QString::fromLatin1(names[int(line.action)]) + u'|' + line.file + u'|' + line.error;
}
} // namespace

// What happens before the window is up: the arguments, the file named on the command line,
// and where the three documents are found.
class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void parse_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");
        for (const QList<QByteArray> &row : tables::rows(u"gui/data/startup-arguments.tsv"_s))
            QTest::newRow(row.value(0).constData())
                << tables::text(row.value(1)).split(u' ', Qt::SkipEmptyParts) << tables::text(row.value(2));
        QTest::newRow("empty name") << QStringList{QString()} << u"usage||fachlese: leerer Dateiname"_s;
    }

    void parse() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        QCOMPARE(describe(ParseCommandLine(arguments)), expected);
    }

    void toolkitOptions_data() {
        tables::addTextRows(u"gui/data/startup-toolkit.tsv"_s, {"arguments", "holds"});
    }

    void toolkitOptions() {
        QFETCH(QString, arguments);
        QFETCH(QString, holds);
        QCOMPARE(HoldsToolkitOption(arguments.split(u' ')), holds == u"1");
    }

    // The program itself: what it prints and its exit status, before any window appears.
    void process_data() {
        tables::addTextRows(u"gui/data/startup-process.tsv"_s, {"arguments", "status", "out", "err"});
    }

    void process() {
        QFETCH(QString, arguments);
        QFETCH(QString, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QProcess program;
        QTemporaryDir runtime; // private, as the toolkit wants it, so that it has nothing to say
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        environment.insert(u"XDG_RUNTIME_DIR"_s, runtime.path());
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(FACHLESE_BINARY_DIR "/fachlese"), arguments.split(u' '));
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()), out);
        QCOMPARE(QString::fromUtf8(program.readAllStandardError()), err);
        QCOMPARE(program.exitCode(), status.toInt());
    }

    // The file named on the command line is opened once the information window is closed,
    // exactly as "&Öffnen" opens a chosen file: the same messages, and a refused file changes
    // nothing.
    void fileFromCommandLine_data() {
        tables::addTextRows(u"gui/data/startup-file.tsv"_s, {"bytes", "shown", "state"});
    }

    void fileFromCommandLine() {
        QFETCH(QString, bytes);
        QFETCH(QString, shown);
        QFETCH(QString, state);
        MainWindowFixture w;
        const QString name = u"anna.wahl.fld"_s;
        const QString path = bytes == u"<none>" ? w.dir.filePath(name) : w.file(name, bytes.toUtf8());
        w.form->StartupFileName = path;
        w.form->FirstShowPending = true;
        QString captionWhileInfoShown;
        QVERIFY(duringModal([&] { w.form->FormShow(); },
                            [&](QWidget *) { captionWhileInfoShown = w.captionTail(); }));
        QCOMPARE(captionWhileInfoShown, u"<bare>"_s);
        QCOMPARE(w.shown().join(u'\n').section(u'|', 0, 2), shown);
        QCOMPARE(u"%1 %2 %3 %4"_s.arg(w.captionTail(), QFileInfo(w.form->CurrentFileName).fileName())
                     .arg(int(w.form->Speichern->isEnabled()))
                     .arg(w.row(1)),
                 state);
        QVERIFY(w.form->StartupFileName.isEmpty());
        if (shown.isEmpty())
            QCOMPARE(w.form->CurrentFileName, path);
    }

    // The working folder first, then the program's folder, then ../share/fachlese beside it;
    // a folder of the document's name does not count, and without any the bare name stays.
    void documentLookup_data() {
        tables::addTextRows(u"gui/data/document-lookup.tsv"_s, {"present", "found"});
    }

    void documentLookup() {
        QFETCH(QString, present);
        QFETCH(QString, found);
        QTemporaryDir dir;
        QDir root(dir.path());
        root.mkpath(u"work"_s);
        root.mkpath(u"bin"_s);
        for (const QString &folder : present.split(u' ', Qt::SkipEmptyParts))
            QVERIFY(root.mkpath(folder) &&
                    (folder.endsWith(u".rtf"_s) ||
                     writeFile(root.filePath(folder + u"/Verordnung.rtf"_s), "{\\rtf1 x}")));
        const QString path =
            LocateDocument(u"Verordnung.rtf"_s, root.filePath(u"work"_s), root.filePath(u"bin"_s));
        QCOMPARE(path, found.isEmpty() ? u"Verordnung.rtf"_s : root.filePath(found + u"/Verordnung.rtf"_s));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
