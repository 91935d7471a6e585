#pragma once

#include <QAccessibleWidget>

class QComboBox;

// What a screen reader reads of the kit's pop-up pickers. Qt names a picker
// on this platform by its current choice alone and leaves its purpose to a
// label relation, which it finds only for a label beside the picker in the
// same parent and which readers speak without the choice once the picker
// holds the focus. This one is named by its label (the label whose buddy it
// is, else its accessible name) and its choice together, "Default
// Currency, TRY", and has no separate label relation to speak twice; its
// pop-up list stays its one child, as in Qt's own.
class VeskAccessiblePicker : public QAccessibleWidget
{
public:
    explicit VeskAccessiblePicker(QComboBox *picker);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QList<std::pair<QAccessibleInterface *, QAccessible::Relation>>
    relations(QAccessible::Relation match = QAccessible::AllRelations) const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

private:
    QComboBox *picker() const;
    QString label() const;
};
