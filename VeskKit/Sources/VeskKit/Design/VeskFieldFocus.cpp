#include "VeskKit/Design/VeskFieldFocus.h"

#include <QApplication>
#include <QDialog>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

namespace {

bool selectsOnEntry(Qt::FocusReason reason)
{
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
}

class FieldFocusFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::FocusIn)
            return false;
        auto *field = qobject_cast<QLineEdit *>(watched);
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        // Qt's own dialogs (the save panel) keep their ways: their fields
        // are filled and typed over at once by whoever opens them.
        if (!field || !selectsOnEntry(reason) || !field->inputMask().isEmpty() || field->hasSelectedText() ||
            qobject_cast<QDialog *>(field->window()))
            return false;
        // The field takes the keyboard as if by any other means, which
        // selects nothing (an empty field too tells of a selection it
        // made of nothing); the selection follows on the next turn.
        QFocusEvent plain(QEvent::FocusIn, Qt::OtherFocusReason);
        QCoreApplication::sendEvent(field, &plain);
        if (field->text().isEmpty())
            return true;
        QPointer<QLineEdit> entered = field;
        QTimer::singleShot(0, field, [entered] {
            if (entered && entered->hasFocus() && !entered->hasSelectedText())
                entered->selectAll();
        });
        return true;
    }
};

} // namespace

namespace VeskFieldFocus {

void applyApplicationWide()
{
    // Named, as the filter has no meta-object of its own to be found by.
    const QString name = QStringLiteral("veskFieldFocus");
    if (!qApp || qApp->findChild<QObject *>(name, Qt::FindDirectChildrenOnly))
        return;
    auto *filter = new FieldFocusFilter(qApp);
    filter->setObjectName(name);
    qApp->installEventFilter(filter);
}

} // namespace VeskFieldFocus
