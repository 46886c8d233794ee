#include "web/staticfiles.h"

#include <QFile>

namespace {
QByteArray resource(const QString &name) {
    QFile file(QStringLiteral(":/web/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

HttpResponse file(const QByteArray &contentType, const QByteArray &body) {
    HttpResponse response;
    response.contentType = contentType;
    response.body = body;
    response.cacheable = true;
    return response;
}
} // namespace

std::optional<HttpResponse> StaticFile(const QByteArray &path) {
    // Read once; the answers are copied from here.
    static const HttpResponse script = file("text/javascript; charset=utf-8", resource(QStringLiteral("fachlese.js")));
    static const HttpResponse style = file("text/css; charset=utf-8", resource(QStringLiteral("fachlese.css")));
    static const HttpResponse icon = file("image/svg+xml", resource(QStringLiteral("fachlese.svg")));
    static const HttpResponse robots = file("text/plain; charset=utf-8", "User-agent: *\nDisallow: /\n");
    if (path == "/static/fachlese.js")
        return script;
    if (path == "/static/fachlese.css")
        return style;
    if (path == "/static/fachlese.svg" || path == "/favicon.ico")
        return icon;
    if (path == "/robots.txt")
        return robots;
    return std::nullopt;
}
