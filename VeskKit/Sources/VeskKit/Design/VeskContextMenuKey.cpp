#include "VeskKit/Design/VeskContextMenuKey.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QWidget>

namespace {

class ContextMenuKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || watched != QApplication::focusWidget()
            || QApplication::activePopupWidget())
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_F10 || (key->modifiers() & ~Qt::KeypadModifier) != Qt::ShiftModifier)
            return false;
        return VeskContextMenuKey::open(static_cast<QWidget *>(watched));
    }
};

} // namespace

namespace VeskContextMenuKey {

void applyApplicationWide()
{
    // Named, as the filter has no meta-object of its own to be found by.
    const QString name = QStringLiteral("veskContextMenuKey");
    if (!qApp || qApp->findChild<QObject *>(name, Qt::FindDirectChildrenOnly))
        return;
    auto *filter = new ContextMenuKeyFilter(qApp);
    filter->setObjectName(name);
    qApp->installEventFilter(filter);
}

bool open(QWidget *widget)
{
    if (!widget || !widget->isEnabled())
        return false;
    // Where the window system puts a Menu key's request: the caret, or the
    // current item of a list.
    const QRect caret = widget->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const QPoint at = caret.isValid() ? caret.center() : widget->rect().center();
    QContextMenuEvent request(QContextMenuEvent::Keyboard, at, widget->mapToGlobal(at), Qt::NoModifier);
    // Unanswered, the request goes on to the widget's parents.
    QCoreApplication::sendEvent(widget, &request);
    return request.isAccepted();
}

} // namespace VeskContextMenuKey
