#pragma once

#include <QString>

class QPrinter;

// The system's file and print dialogs and the alert sound, behind one interface so that the
// windows can be driven by tests. Filters are written as "Text|pattern|Text|pattern".
class SystemDialogs {
public:
    virtual ~SystemDialogs() = default;

    // The chosen file name, or an empty text when the user cancelled. The dialog appends
    // `defaultSuffix` to a name typed without one.
    virtual QString openFileName(const QString &filter, const QString &defaultSuffix) = 0;
    virtual QString saveFileName(const QString &filter, const QString &defaultSuffix,
                                 const QString &presetName) = 0;

    // Lets the user choose the printer and its settings; true when confirmed.
    virtual bool choosePrinter(QPrinter &printer) = 0;

    // The default alert sound.
    virtual void beep() = 0;
};
