#pragma once

#include "web/codebook.h"
#include "web/handinstore.h"
#include "web/httpmessage.h"
#include "web/sessionstore.h"
#include "web/signinlimiter.h"

#include <QDateTime>

#include <optional>

// The application behind the HTTP layer: routes every request to its page, checks the
// session and the CSRF token, and answers in German.
class WebApp {
public:
    static constexpr char kCookieName[] = "fachlese_sitzung";

    WebApp(CodeBook codes, const QString &dataFolder, std::optional<QDateTime> deadline);

    HttpResponse handle(const HttpRequest &request);

private:
    struct Visitor {
        QByteArray cookie;                      // the cookie's value, maybe of no session
        std::optional<SessionStore::Session> session;
    };
    Visitor visitorOf(const HttpRequest &request, qint64 now);

    HttpResponse signInPage(const HttpRequest &request, qint64 now);
    HttpResponse signIn(const HttpRequest &request, qint64 now);
    HttpResponse signOut(const HttpRequest &request, qint64 now);
    HttpResponse choicePage(const HttpRequest &request, qint64 now);
    HttpResponse choiceAction(const HttpRequest &request, qint64 now);
    HttpResponse liveCheck(const HttpRequest &request, qint64 now);
    HttpResponse overview(const HttpRequest &request, qint64 now);
    HttpResponse sheet(const HttpRequest &request, qint64 now);

    HttpResponse page(int status, const QByteArray &html) const;
    HttpResponse forbidden() const;
    static HttpResponse redirect(const QByteArray &target);
    QByteArray cookieHeader(const QByteArray &value, const HttpRequest &request, bool expire = false) const;
    QString deadlineText() const;
    bool deadlinePassed() const;

    CodeBook m_codes;
    HandInStore m_store;
    std::optional<QDateTime> m_deadline;
    SessionStore m_sessions;
    SignInLimiter m_limiter;
};
