#pragma once

#include "rules/dialogs.h"

// How a validation run is answered when nobody sits at the screen (fachlese-check, the web form).
// The main window's tests use the same answers, so both runs take the same road.
//
// - The question whether the foreign language of an LK is a continued one (the system's
//   message box) is answered Yes, or No when `foreignLanguageContinued` is false.
// - The verdict, an information dialog with "&Ja" and "&Nein" that offers to print the
//   course-selection sheet, is answered "&Nein": nothing is printed.
// - Every other dialog is closed with its first button.
inline DialogButton UnattendedAnswer(const DialogRequest &request, bool foreignLanguageContinued) {
    if (request.kind == DialogKind::MessageBox)
        return foreignLanguageContinued ? DialogButton::Yes : DialogButton::No;
    if (request.kind == DialogKind::Information &&
        request.buttons == QList<DialogButton>{DialogButton::Yes, DialogButton::No})
        return DialogButton::No;
    return request.buttons.isEmpty() ? DialogButton::Ok : request.buttons.first();
}
