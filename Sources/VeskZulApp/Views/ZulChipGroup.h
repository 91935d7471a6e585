#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class ZulChipButton;

// Chips that choose one of several (the sidebar's filters and tags, a
// segmented setting) taken by the keyboard as one stop: Tab reaches the
// chosen chip, Left and Right move the keyboard along the row, Space or
// Enter chooses.
class ZulChipGroup : public QObject {
    Q_OBJECT
public:
    explicit ZulChipGroup(QObject *parent = nullptr);

    void setChips(const QList<ZulChipButton *> &chips);
    // Where Tab stops: the chip holding the keyboard, else the selected one,
    // else the first shown; null when none shows.
    ZulChipButton *stop() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QPointer<ZulChipButton>> m_chips;
};
