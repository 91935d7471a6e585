#pragma once

#include <QColor>
#include <QWidget>

// A thin capsule track with a capsule fill from its leading edge, shaded
// left to right from one colour to another. A started run always shows a
// sliver of at least `minimumFill` points; the fraction is not clamped, so a
// value past 1 runs the fill past the track's end (cut off at the widget's
// edge).
class VeskProgressTrack : public QWidget {
    Q_OBJECT
public:
    VeskProgressTrack(qreal height, const QColor &track, qreal minimumFill, QWidget *parent = nullptr);

    double fraction() const { return m_fraction; }
    void setFraction(double fraction);
    QColor fillStart() const { return m_fillStart; }
    QColor fillEnd() const { return m_fillEnd; }
    void setFillColours(const QColor &start, const QColor &end);
    QColor trackColour() const { return m_track; }
    qreal minimumFill() const { return m_minimumFill; }

    // The fill's width over a track this wide: max(fraction × width, the
    // minimum sliver while the fraction is above 0); 0 for a fraction that is
    // not a number or not above 0.
    static qreal fillWidth(double fraction, qreal availableWidth, qreal minimumFill);
    qreal fillWidth() const { return fillWidth(m_fraction, width(), m_minimumFill); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_height;
    QColor m_track;
    qreal m_minimumFill;
    double m_fraction = 0;
    QColor m_fillStart;
    QColor m_fillEnd;
};
