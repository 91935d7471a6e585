#pragma once

#include "VeskKit/Design/VeskFocusRing.h"

#include <QAbstractButton>
#include <QColor>

// A labelled on/off box in the glass style: a small rounded square, filled
// with the accent and ticked while on, followed by its text. Holding the
// keyboard, the box wears the kit's focus ring in the room kept around it.
class ZulToggle : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr qreal boxSide = 15;
    static constexpr qreal spacing = 8;
    static constexpr qreal ringRoom = VeskFocusRing::width + 1;

    ZulToggle(const QString &text, const QColor &accent, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_accent;
};
