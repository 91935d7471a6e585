#include "VeskKit/Design/VeskWheelFocus.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QScrollBar>

namespace {

bool setsAValue(const QObject *object)
{
    // A scroll bar is there to be wheeled.
    return qobject_cast<const QComboBox *>(object) || qobject_cast<const QAbstractSpinBox *>(object)
           || (qobject_cast<const QAbstractSlider *>(object) && !qobject_cast<const QScrollBar *>(object));
}

// Seen before the control's own handling. An event left unaccepted goes on
// to the control's parents, up to the scroll area that moves the page.
class WheelFocusFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Polish && setsAValue(watched)) {
            // The keyboard would go to the control before the wheel reaches it.
            auto *control = static_cast<QWidget *>(watched);
            if (control->focusPolicy() == Qt::WheelFocus)
                control->setFocusPolicy(Qt::StrongFocus);
            return false;
        }
        if (event->type() != QEvent::Wheel || !setsAValue(watched) || static_cast<QWidget *>(watched)->hasFocus())
            return false;
        event->ignore();
        return true;
    }
};

} // namespace

namespace VeskWheelFocus {

void applyApplicationWide()
{
    // Named, as the filter has no meta-object of its own to be found by.
    const QString name = QStringLiteral("veskWheelFocus");
    if (!qApp || qApp->findChild<QObject *>(name, Qt::FindDirectChildrenOnly))
        return;
    auto *filter = new WheelFocusFilter(qApp);
    filter->setObjectName(name);
    qApp->installEventFilter(filter);
}

} // namespace VeskWheelFocus
