#include "windows/windowkeys.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QWidget>

namespace {
const char *const kWindowProperty = "fachleseWindow";

QAccessibleInterface *windowRole(const QString &, QObject *object) {
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget || !widget->property(kWindowProperty).toBool())
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}

// Closes the window it watches on an Escape that no control inside it has taken.
class EscapeCloser : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_Escape || key->modifiers() != Qt::NoModifier)
            return false;
        static_cast<QWidget *>(watched)->close();
        return true;
    }
};
} // namespace

void CloseOnEscape(QWidget *window) {
    window->installEventFilter(new EscapeCloser(window));
}

void AnnounceAsWindow(QWidget *window) {
    static const bool installed = [] {
        QAccessible::installFactory(windowRole);
        return true;
    }();
    Q_UNUSED(installed)
    window->setProperty(kWindowProperty, true);
}
