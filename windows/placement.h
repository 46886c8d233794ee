#pragma once

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

// Places a top-level window of the given size in the middle of the primary screen. Moving it
// also keeps a dialog from centring itself over its parent when it is shown.
inline void CentreOnScreen(QWidget *window, QSize size) {
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    window->move(area.left() + (area.width() - size.width()) / 2,
                 area.top() + (area.height() - size.height()) / 2);
}
