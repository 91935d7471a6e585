#pragma once

#include <QAbstractButton>
#include <QColor>

// A labelled on/off box in the glass style: a small rounded square, filled
// with the accent and ticked while on, followed by its text.
class ZulToggle : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr qreal boxSide = 15;
    static constexpr qreal spacing = 8;

    ZulToggle(const QString &text, const QColor &accent, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_accent;
};
