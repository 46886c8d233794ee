#pragma once

#include <QByteArray>
#include <QString>

// Every text that reaches a page goes through HtmlEscape; a text with line breaks of the
// program's messages (CR) through HtmlLines.
QString HtmlEscape(const QString &text);
QString HtmlLines(const QString &text); // escaped, each CR, LF or CR LF as <br>

// A whole page: <html lang="de">, the style sheet and the script of our own, the title and
// the body given (already HTML).
QByteArray HtmlPage(const QString &title, const QString &body);
