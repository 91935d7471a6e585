#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>

// A small indeterminate spinner: an arc turning on a faint ring while shown.
class VeskActivitySpinner : public QWidget {
    Q_OBJECT
public:
    VeskActivitySpinner(qreal side, const QColor &colour, QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_side;
    QColor m_colour;
    QTimer m_turn;
    int m_angle = 0;
};
