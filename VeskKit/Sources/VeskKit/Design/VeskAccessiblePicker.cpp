#include "VeskKit/Design/VeskAccessiblePicker.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>

VeskAccessiblePicker::VeskAccessiblePicker(QComboBox *picker) : QAccessibleWidget(picker, QAccessible::ComboBox)
{
    addControllingSignal(QStringLiteral("activated(int)"));
}

QComboBox *VeskAccessiblePicker::picker() const
{
    return static_cast<QComboBox *>(widget());
}

QString VeskAccessiblePicker::label() const
{
    // The words a sighted user reads beside it, wherever the label sits.
    const QList<QLabel *> labels = widget()->window()->findChildren<QLabel *>();
    for (const QLabel *candidate : labels) {
        if (candidate->buddy() == widget() && !candidate->text().isEmpty())
            return candidate->text().remove(QLatin1Char('&'));
    }
    return widget()->accessibleName();
}

QString VeskAccessiblePicker::text(QAccessible::Text t) const
{
    const QString choice = picker()->currentText();
    switch (t) {
    case QAccessible::Name: {
        const QString purpose = label();
        if (purpose.isEmpty())
            return choice;
        return choice.isEmpty() ? purpose : purpose + QStringLiteral(", ") + choice;
    }
    case QAccessible::Value:
        return choice;
    default:
        return QAccessibleWidget::text(t);
    }
}

QAccessible::State VeskAccessiblePicker::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.expandable = true;
    state.expanded = picker()->view()->isVisible();
    return state;
}

int VeskAccessiblePicker::childCount() const
{
    return 1;
}

QAccessibleInterface *VeskAccessiblePicker::child(int index) const
{
    return index == 0 ? QAccessible::queryAccessibleInterface(picker()->view()) : nullptr;
}

int VeskAccessiblePicker::indexOfChild(const QAccessibleInterface *child) const
{
    return child && child->object() == picker()->view() ? 0 : -1;
}

QAccessibleInterface *VeskAccessiblePicker::childAt(int, int) const
{
    return nullptr;
}

QList<std::pair<QAccessibleInterface *, QAccessible::Relation>>
VeskAccessiblePicker::relations(QAccessible::Relation match) const
{
    QList<std::pair<QAccessibleInterface *, QAccessible::Relation>> kept;
    for (const auto &relation : QAccessibleWidget::relations(match)) {
        if (!(relation.second & QAccessible::Label))
            kept.append(relation);
    }
    return kept;
}

QStringList VeskAccessiblePicker::actionNames() const
{
    return {showMenuAction(), pressAction()};
}

void VeskAccessiblePicker::doAction(const QString &actionName)
{
    if (actionName == showMenuAction() || actionName == pressAction())
        picker()->showPopup();
    else
        QAccessibleWidget::doAction(actionName);
}
