#include "Views/ZulChipGroup.h"

#include "Views/ZulChipButton.h"

#include <QKeyEvent>

ZulChipGroup::ZulChipGroup(QObject *parent) : QObject(parent) {}

void ZulChipGroup::setChips(const QList<ZulChipButton *> &chips)
{
    m_chips.clear();
    for (ZulChipButton *chip : chips) {
        chip->installEventFilter(this);
        m_chips.append(chip);
    }
}

ZulChipButton *ZulChipGroup::stop() const
{
    ZulChipButton *first = nullptr;
    ZulChipButton *selected = nullptr;
    for (const QPointer<ZulChipButton> &chip : m_chips) {
        if (!chip || chip->isHidden())
            continue;
        if (chip->hasFocus())
            return chip;
        if (!first)
            first = chip;
        if (!selected && chip->isSelected())
            selected = chip;
    }
    return selected ? selected : first;
}

bool ZulChipGroup::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key != Qt::Key_Left && key != Qt::Key_Right)
        return false;
    qsizetype at = m_chips.indexOf(qobject_cast<ZulChipButton *>(watched));
    const int step = key == Qt::Key_Left ? -1 : 1;
    for (at += step; at >= 0 && at < m_chips.size(); at += step) {
        if (m_chips[at] && !m_chips[at]->isHidden()) {
            m_chips[at]->setFocus(Qt::TabFocusReason);
            break;
        }
    }
    // At either end the keyboard stays where it is.
    return true;
}
