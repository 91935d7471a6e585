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
    const auto selected = std::find_if(m_chips.cbegin(), m_chips.cend(), [](const QPointer<ZulChipButton> &chip) {
        return chip && !chip->isHidden() && chip->isSelected();
    });
    return stop(m_chips, selected == m_chips.cend() ? nullptr : selected->data());
}

bool ZulChipGroup::eventFilter(QObject *watched, QEvent *event)
{
    return event->type() == QEvent::KeyPress && moveAlong(m_chips, watched, static_cast<QKeyEvent *>(event)->key());
}
