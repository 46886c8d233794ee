#include "tools/checker.h"

#include "tools/answers.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

FileCheck::Outcome FileCheck::outcome() const {
    if (readStatus != DataFileStatus::Ok)
        return Outcome::Unreadable;
    return passed ? Outcome::Passed : Outcome::Failed;
}

QString FileCheck::readMessage() const {
    switch (readStatus) {
    case DataFileStatus::Ok:
        return QString();
    case DataFileStatus::CannotOpen:
        return kCannotOpenMessage;
    case DataFileStatus::BadFormat:
        return kBadFormatMessage;
    }
    return QString();
}

QStringList FileCheck::failureMessages() const {
    QStringList messages;
    if (outcome() != Outcome::Failed)
        return messages;
    // A failing stage reports with a warning or an error that offers only "&Abbrechen";
    // the repeated-course warning ("OK") and the questions do not end a run.
    for (const DialogRecorder::Entry &entry : dialogs) {
        const DialogRequest &request = entry.request;
        if ((request.kind == DialogKind::Warning || request.kind == DialogKind::Error) &&
            request.buttons == QList<DialogButton>{DialogButton::Cancel})
            messages.append(request.text);
    }
    return messages;
}

QString FileCheck::silentFailure() const {
    if (outcome() != Outcome::Failed || !failureMessages().isEmpty())
        return QString();
    if (!dialogs.isEmpty() && dialogs.last().request.kind == DialogKind::MessageBox &&
        dialogs.last().answer == DialogButton::No)
        return kForeignLanguageDeniedText;
    return QStringLiteral("Die Wahl hat den Test nicht bestanden.");
}

ChoiceChecker::ChoiceChecker(bool foreignLanguageContinued) : m_test(m_grid, m_dialogs) {
    m_dialogs.fallback = [foreignLanguageContinued](const DialogRequest &request) {
        return UnattendedAnswer(request, foreignLanguageContinued);
    };
    // Nothing is printed and nothing sounds without a window.
    m_test.OpenPrintForm = [] {};
    m_test.AlertSound = [] {};
}

void ChoiceChecker::reset() {
    // The grid needs no clearing: a file that is read replaces all its data cells, and the
    // report of a file that is not read shows the empty grid of a fresh window.
    m_dialogs.answers.clear();
    m_dialogs.entries.clear();
    m_test.Reset();
}

FileCheck ChoiceChecker::check(const QString &path, const QString &reportedPath) {
    reset();
    FileCheck result;
    result.file = reportedPath;

    const DataFileReadResult read = ReadDataFile(path);
    result.readStatus = read.status;
    if (read.status == DataFileStatus::Ok) {
        // What "&Öffnen" does after a successful read, then "&Wahl testen".
        ApplyDataFile(m_grid, read.texts);
        m_test.StoreGridSnapshot();
        m_test.ChoiceTested = false;
        result.passed = m_test.RunValidation();
        result.choiceTested = m_test.ChoiceTested;
        result.courses = m_test.LastCourseCount;
        result.dialogs = m_dialogs.entries;
        std::size_t i = 0;
        for (int row = 1; row <= GridModel::kCourseRows; ++row) {
            for (int column = 1; column <= GridModel::kSemesters; ++column)
                result.grid[i++] = m_grid.cell(column, row);
        }
    }
    return result;
}

namespace {
bool isChoiceFileName(const QString &name) {
    return name.endsWith(QStringLiteral(".fld"), Qt::CaseInsensitive);
}

// Appends the choice files below `folder` (a path ending in '/') to `files`, unsorted.
void collectFolder(const QString &folder, QStringList &files) {
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        if (entry.isDir()) {
            if (!entry.isSymLink())
                collectFolder(folder + name + u'/', files);
        } else if (isChoiceFileName(name)) {
            files.append(folder + name);
        }
    }
}
} // namespace

QStringList CollectChoiceFiles(const QStringList &paths) {
    QStringList files;
    for (const QString &path : paths) {
        if (!QFileInfo(path).isDir()) {
            files.append(path);
            continue;
        }
        QStringList found;
        collectFolder(path.endsWith(u'/') ? path : path + u'/', found);
        std::sort(found.begin(), found.end());
        files.append(found);
    }
    return files;
}
