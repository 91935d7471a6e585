#pragma once

#include <QWidget>

class QVBoxLayout;

// A container that insets its content by `padding` on every side and draws a
// faint glass panel behind it: a continuous rounded rectangle filled with
// surface1 and a one-pixel inner border in borderSubtle, no shadow.
class VeskGlassCard : public QWidget {
    Q_OBJECT
public:
    // The card takes ownership of the content.
    VeskGlassCard(qreal padding, qreal cornerRadius, QWidget *content, QWidget *parent = nullptr);

    qreal padding() const { return m_padding; }
    qreal cornerRadius() const { return m_cornerRadius; }
    QWidget *content() const { return m_content; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_padding;
    qreal m_cornerRadius;
    QWidget *m_content;
};
