#include "Views/ZulTitleFieldKeys.h"

#include <QKeyEvent>
#include <QLineEdit>

ZulTitleFieldKeys::ZulTitleFieldKeys(QLineEdit *field, std::function<void()> toText,
                                     std::function<void(const QString &)> restore)
    : QObject(field), m_field(field), m_toText(std::move(toText)), m_restore(std::move(restore))
{
    field->installEventFilter(this);
}

void ZulTitleFieldKeys::restart()
{
    m_before = m_field->text();
}

bool ZulTitleFieldKeys::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        // Coming back from another window or a menu continues the same edit.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            m_before = m_field->text();
        return false;
    }
    if (event->type() == QEvent::FocusOut) {
        // The edit is over: a title longer than the field shows its
        // beginning again, as when the note is opened.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            m_field->setCursorPosition(0);
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Escape)
        return false;
    if (key == Qt::Key_Escape && m_field->text() != m_before) {
        m_field->setText(m_before);
        if (m_restore)
            m_restore(m_before);
    }
    if (m_toText)
        m_toText();
    return true;
}
