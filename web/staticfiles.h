#pragma once

#include "web/httpmessage.h"

#include <optional>

// The files compiled into the program: /static/fachlese.js, /static/fachlese.css, the icon
// /static/fachlese.svg (also as /favicon.ico) and /robots.txt. Anything else: no answer.
std::optional<HttpResponse> StaticFile(const QByteArray &path);
