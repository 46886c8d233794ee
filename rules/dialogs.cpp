#include "rules/dialogs.h"

QString buttonText(DialogButton button) {
    switch (button) {
    case DialogButton::Yes:
        return QStringLiteral("&Ja");
    case DialogButton::No:
        return QStringLiteral("&Nein");
    case DialogButton::Ok:
        return QStringLiteral("OK");
    case DialogButton::Cancel:
        return QStringLiteral("&Abbrechen");
    }
    return QString();
}

QString kindName(DialogKind kind) {
    switch (kind) {
    case DialogKind::Warning:
        return QStringLiteral("warning");
    case DialogKind::Error:
        return QStringLiteral("error");
    case DialogKind::Information:
        return QStringLiteral("information");
    case DialogKind::Confirmation:
        return QStringLiteral("confirmation");
    case DialogKind::Notice:
        return QStringLiteral("notice");
    case DialogKind::MessageBox:
        return QStringLiteral("messagebox");
    }
    return QString();
}

QString kindCaption(DialogKind kind) {
    switch (kind) {
    case DialogKind::Warning:
        return QStringLiteral("Warnung");
    case DialogKind::Error:
        return QStringLiteral("Fehler");
    case DialogKind::Information:
        return QStringLiteral("Information");
    case DialogKind::Confirmation:
        return QStringLiteral("Bestätigung");
    case DialogKind::Notice:
        return kApplicationTitle;
    case DialogKind::MessageBox:
        return QString();
    }
    return QString();
}

namespace {
DialogRequest request(DialogKind kind, const QString &text, QList<DialogButton> buttons) {
    return DialogRequest{kind, kindCaption(kind), text, std::move(buttons)};
}
} // namespace

DialogButton Dialogs::warning(const QString &text, DialogButton button) {
    return ask(request(DialogKind::Warning, text, {button}));
}

DialogButton Dialogs::error(const QString &text) {
    return ask(request(DialogKind::Error, text, {DialogButton::Cancel}));
}

DialogButton Dialogs::information(const QString &text) {
    return ask(request(DialogKind::Information, text, {DialogButton::Ok}));
}

DialogButton Dialogs::informationQuestion(const QString &text) {
    return ask(request(DialogKind::Information, text, {DialogButton::Yes, DialogButton::No}));
}

DialogButton Dialogs::confirmation(const QString &text) {
    return ask(request(DialogKind::Confirmation, text, {DialogButton::Yes, DialogButton::No}));
}

DialogButton Dialogs::notice(const QString &text) {
    return ask(request(DialogKind::Notice, text, {DialogButton::Ok}));
}

DialogButton Dialogs::messageBox(const QString &title, const QString &text) {
    return ask(DialogRequest{DialogKind::MessageBox, title, text, {DialogButton::Yes, DialogButton::No}});
}

DialogButton DialogRecorder::ask(const DialogRequest &request) {
    DialogButton answer;
    if (!answers.isEmpty())
        answer = answers.dequeue();
    else if (fallback)
        answer = fallback(request);
    else
        answer = request.buttons.isEmpty() ? DialogButton::Ok : request.buttons.first();
    entries.append(Entry{request, answer});
    return answer;
}
