#pragma once

#include "windows/systemdialogs.h"

#include <QPrinter>
#include <QQueue>
#include <QStringList>

// File and print dialogs answered from a script, recording what was asked.
class ScriptedSystemDialogs : public SystemDialogs {
public:
    struct FileRequest {
        bool save = false;
        QString filter;
        QString defaultSuffix;
        QString presetName;
    };

    QString openFileName(const QString &filter, const QString &defaultSuffix) override {
        fileRequests.append({false, filter, defaultSuffix, QString()});
        return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
    }

    QString saveFileName(const QString &filter, const QString &defaultSuffix,
                         const QString &presetName) override {
        fileRequests.append({true, filter, defaultSuffix, presetName});
        return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
    }

    bool choosePrinter(QPrinter &printer) override {
        ++printerRequests;
        if (!printerOutputFile.isEmpty()) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printerOutputFile);
        }
        return printerAnswers.isEmpty() ? false : printerAnswers.dequeue();
    }

    void beep() override { ++beeps; }

    QQueue<QString> fileAnswers; // an empty text cancels
    QList<FileRequest> fileRequests;
    QQueue<bool> printerAnswers;
    QString printerOutputFile; // when set, a printer dialog points the printer at this PDF
    int printerRequests = 0;
    int beeps = 0;
};
