#pragma once

#include <QApplication>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <algorithm>

class ZulChipButton;

// Chips that choose one of several (the sidebar's filters and tags, a
// segmented setting, the drawer's notes) taken by the keyboard as one stop:
// Tab reaches the chosen chip, Left and Right move the keyboard along the
// row, Space or Enter chooses.
class ZulChipGroup : public QObject {
    Q_OBJECT
public:
    explicit ZulChipGroup(QObject *parent = nullptr);

    void setChips(const QList<ZulChipButton *> &chips);
    // Where Tab stops: the chip holding the keyboard, else the selected one,
    // else the first shown; null when none shows.
    ZulChipButton *stop() const;

    // The same for a row of any kind of button whose owner keeps the
    // chips: the drawer's, which has chips only for the notes on screen.
    // Its owner names the selected chip, which it knows without asking each.
    template <typename Chip>
    static Chip *stop(const QList<QPointer<Chip>> &chips, Chip *selected);
    // Moves the keyboard from `from` along the row for Left and Right (at
    // either end it stays) and tells whether the key was one of those.
    template <typename Chip>
    static bool moveAlong(const QList<QPointer<Chip>> &chips, QObject *from, int key);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QPointer<ZulChipButton>> m_chips;
};

template <typename Chip>
Chip *ZulChipGroup::stop(const QList<QPointer<Chip>> &chips, Chip *selected)
{
    if (auto *focused = qobject_cast<Chip *>(QApplication::focusWidget()); focused && chips.contains(focused))
        return focused;
    if (selected && !selected->isHidden())
        return selected;
    const auto first = std::find_if(chips.cbegin(), chips.cend(),
                                    [](const QPointer<Chip> &chip) { return chip && !chip->isHidden(); });
    return first == chips.cend() ? nullptr : first->data();
}

template <typename Chip>
bool ZulChipGroup::moveAlong(const QList<QPointer<Chip>> &chips, QObject *from, int key)
{
    if (key != Qt::Key_Left && key != Qt::Key_Right)
        return false;
    qsizetype at = chips.indexOf(qobject_cast<Chip *>(from));
    const int step = key == Qt::Key_Left ? -1 : 1;
    for (at += step; at >= 0 && at < chips.size(); at += step) {
        if (chips[at] && !chips[at]->isHidden()) {
            chips[at]->setFocus(Qt::TabFocusReason);
            break;
        }
    }
    return true;
}
