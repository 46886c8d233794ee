#include "shell/main.h"

#include "rules/datafile.h"
#include "rules/dialogs.h"
#include "shell/coursegridview.h"
#include "windows/print.h"
#include "windows/systemdialogs.h"

#include <QAction>
#include <QFile>

// "&Neu", "&Öffnen", "&Speichern" and "Speichern &unter...".

namespace {
const QString kOpenFilter = QStringLiteral("Fachlesedaten (*.fld)|*.fld|Alle Files(*.*)|*.*");
const QString kSaveFilter = QStringLiteral("Fachlesedaten (*.fld)|*.fld|Alle Dateien(*.*)|*.*");
const QString kDefaultSuffix = QStringLiteral("fld");
} // namespace

bool TMainForm::SaveBeforeReplacing() {
    // A cell still being typed into counts as entered before the question.
    StringGridView->finishEditing();
    if (!UnsavedChanges())
        return true;
    const DialogButton answer =
        m_dialogs.ask({DialogKind::Confirmation, kindCaption(DialogKind::Confirmation), kSaveQuestion,
                       {DialogButton::Yes, DialogButton::No, DialogButton::Cancel}});
    if (answer == DialogButton::No)
        return true;
    return answer == DialogButton::Yes && SaveForQuestion();
}

bool TMainForm::SaveForQuestion() {
    if (CurrentFileName.isEmpty())
        Speichernunter1Click();
    else
        WriteDataFile();
    // A cancelled dialog or a failed write leave the grid counted as changed.
    return !UnsavedChanges();
}

void TMainForm::NeuClick() {
    if (!SaveBeforeReplacing())
        return;
    CurrentFileName.clear();
    Speichern->setEnabled(false);
    setWindowTitle(kCaption);
    for (int row = 1; row <= GridModel::kDataRows; ++row) {
        for (int column = 1; column <= GridModel::kSemesters; ++column)
            StringGrid->setCell(column, row, QString());
    }
    // A name is never shown or printed with another pupil's choice.
    SetIdentity(PupilIdentity());
    m_savedIdentity = PupilIdentity();
    setCurrentCell(1, 1);
    Test.StoreGridSnapshot();
    Test.ChoiceTested = false;
}

void TMainForm::OeffnenClick() {
    if (!SaveBeforeReplacing())
        return;
    const QString fileName = m_systemDialogs.openFileName(kOpenFilter, kDefaultSuffix);
    if (fileName.isEmpty())
        return;
    OpenDataFile(fileName);
}

void TMainForm::OpenDataFile(const QString &fileName, const QByteArray &nativeName) {
    // The whole file is read and checked before anything changes. A file that cannot be
    // loaded leaves the grid, the file name, "Speichern" and the caption as they were, so
    // that "Speichern" cannot overwrite the unrelated file that was refused.
    const DataFileReadResult read = nativeName.isEmpty() ? ReadDataFile(fileName) : ReadDataFileAt(nativeName);
    switch (read.status) {
    case DataFileStatus::CannotOpen:
        m_dialogs.error(kCannotOpenMessage);
        return;
    case DataFileStatus::BadFormat:
        m_dialogs.warning(kBadFormatMessage);
        return;
    case DataFileStatus::Ok:
        break;
    }
    CurrentFileName = fileName;
    setFileCaption();
    if (!nativeName.isEmpty() && QFile::encodeName(fileName) != nativeName)
        CurrentFileName.clear(); // saved under a name chosen anew
    Speichern->setEnabled(!CurrentFileName.isEmpty());
    ApplyDataFile(*StringGrid, read.texts);
    SetIdentity(read.identity); // empty where the file has none
    m_savedIdentity = Identity();
    Test.StoreGridSnapshot();
    Test.ChoiceTested = false;
}

void TMainForm::SpeichernClick() {
    // The item is enabled only while a file name is current.
    if (CurrentFileName.isEmpty())
        return;
    WriteDataFile();
}

void TMainForm::Speichernunter1Click() {
    StringGridView->finishEditing();
    const QString fileName = m_systemDialogs.saveFileName(kSaveFilter, kDefaultSuffix, CurrentFileName);
    if (fileName.isEmpty())
        return;
    // The name stands also when writing fails: "Speichern" then tries the same file again.
    CurrentFileName = fileName;
    Speichern->setEnabled(true);
    setFileCaption();
    WriteDataFile();
}

void TMainForm::WriteDataFile() {
    StringGridView->finishEditing();
    const PupilIdentity identity = Identity();
    const DataFileWriteResult written = SaveDataFile(CurrentFileName, *StringGrid, identity);
    switch (written.status) {
    case DataFileWriteStatus::Ok:
        // Saving does not test the choice: ChoiceTested stays as it is.
        Test.StoreGridSnapshot();
        m_savedIdentity = identity;
        return;
    case DataFileWriteStatus::Unencodable:
        // Nothing was written; the grid still counts as changed.
        m_dialogs.error(UnencodableMessage(written.offendingText));
        return;
    case DataFileWriteStatus::TooLong:
        // Nothing was written: the file could not be opened again.
        m_dialogs.error(TooLongMessage(written.offendingText));
        return;
    case DataFileWriteStatus::Failed:
        // The earlier file is unchanged and the grid still counts as changed.
        m_dialogs.error(kWriteFailedMessage);
        return;
    }
}

PupilIdentity TMainForm::Identity() const {
    return m_printForm ? m_printForm->Identity() : m_identity;
}

void TMainForm::SetIdentity(const PupilIdentity &identity) {
    if (TPrintForm *form = m_printForm ? m_printForm : identity.isEmpty() ? nullptr : PrintForm())
        form->SetIdentity(identity);
    else
        m_identity = identity;
}

bool TMainForm::UnsavedChanges() const {
    return Test.GridChangedSinceSnapshot() || Identity() != m_savedIdentity;
}
