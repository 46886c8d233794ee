#include "windows/windowkeys.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QShortcut>
#include <QWidget>

namespace {
const char *const kWindowProperty = "fachleseWindow";

QAccessibleInterface *windowRole(const QString &, QObject *object) {
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget || !widget->property(kWindowProperty).toBool())
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}
} // namespace

void CloseOnEscape(QWidget *window) {
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    escape->setContext(Qt::WindowShortcut);
    QObject::connect(escape, &QShortcut::activated, window, &QWidget::close);
}

void AnnounceAsWindow(QWidget *window) {
    static const bool installed = [] {
        QAccessible::installFactory(windowRole);
        return true;
    }();
    Q_UNUSED(installed)
    window->setProperty(kWindowProperty, true);
}
