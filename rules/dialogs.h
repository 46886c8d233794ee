#pragma once

#include <QList>
#include <QQueue>
#include <QString>

#include <functional>

// Every report to the user is a modal message dialog. The rules and the windows ask through
// this interface; the Qt shell shows real message boxes, tests and the command-line checker
// answer from a script and record what was asked.

enum class DialogKind {
    Warning,      // "Warnung", exclamation icon
    Error,        // "Fehler", error icon
    Information,  // "Information", information icon
    Confirmation, // "Bestätigung", question icon
    Notice,       // the application title, no icon, "OK"
    MessageBox,   // the system's standard message box: own title, question icon, Yes/No
};

enum class DialogButton { Yes, No, Ok, Cancel };

struct DialogRequest {
    DialogKind kind = DialogKind::Notice;
    QString caption;
    QString text; // line breaks are single carriage returns (character 13)
    QList<DialogButton> buttons;

    bool operator==(const DialogRequest &) const = default;
};

// The application title, shown on the task bar and as the caption of plain notices.
inline const QString kApplicationTitle = QStringLiteral("Fachlese IGS Brunsmark");

// "&Ja", "&Nein", "OK", "&Abbrechen".
QString buttonText(DialogButton button);

// "warning", "error", "information", "confirmation", "notice", "messagebox".
QString kindName(DialogKind kind);

// The caption that belongs to a dialog kind ("Warnung", "Fehler", ...; the application title
// for a notice). The system message box has no fixed caption: empty.
QString kindCaption(DialogKind kind);

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Shows the dialog modally and returns the button that closed it. A question closed
    // without a button (Escape, the close box) answers Cancel where it offers it, else No.
    virtual DialogButton ask(const DialogRequest &request) = 0;

    // Conveniences for the kinds with their fixed captions.
    DialogButton warning(const QString &text, DialogButton button = DialogButton::Cancel);
    DialogButton error(const QString &text);
    DialogButton information(const QString &text);         // one button "OK"
    DialogButton informationQuestion(const QString &text); // "&Ja", "&Nein"
    DialogButton confirmation(const QString &text);        // "&Ja", "&Nein"
    DialogButton notice(const QString &text);
    DialogButton messageBox(const QString &title, const QString &text); // Yes/No
};

// Answers dialogs from a queue and records every dialog with its answer. When the queue is
// empty it answers with `fallback` if set, else with the first button of the dialog.
class DialogRecorder : public Dialogs {
public:
    struct Entry {
        DialogRequest request;
        DialogButton answer = DialogButton::Ok;
    };

    DialogButton ask(const DialogRequest &request) override;

    QQueue<DialogButton> answers;
    std::function<DialogButton(const DialogRequest &)> fallback;
    QList<Entry> entries;
};
