#include "VeskKit/Design/VeskFocusRing.h"

#include "VeskKit/Design/VeskContinuousShape.h"
#include "VeskKit/Design/VeskProductPalette.h"

#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QWidget>

#include <algorithm>

namespace {

// Paints the ring after its canvas, and repaints the canvas when the
// holder takes or loses the keyboard.
class RingPainter : public QObject {
public:
    RingPainter(QWidget *canvas, qreal radius, QWidget *holder)
        : QObject(canvas), m_canvas(canvas), m_holder(holder), m_radius(radius)
    {
        canvas->installEventFilter(this);
        if (holder != canvas)
            holder->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_canvas || !m_holder)
            return false;
        if ((event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) && watched == m_holder)
            m_canvas->update();
        if (event->type() != QEvent::Paint || watched != m_canvas)
            return false;
        // The canvas's own painting first, within the same paint event, so
        // the ring lies over it.
        static_cast<QObject *>(m_canvas.data())->event(event);
        if (m_holder->hasFocus()) {
            QPainter painter(m_canvas);
            const QRectF bounds(m_canvas->rect());
            VeskFocusRing::paint(painter, bounds, m_radius < 0 ? bounds.height() / 2 : m_radius);
        }
        return true;
    }

private:
    QPointer<QWidget> m_canvas;
    QPointer<QWidget> m_holder;
    qreal m_radius;
};

} // namespace

namespace VeskFocusRing {

QColor colour()
{
    return accentColor(VeskProductPalette::deepIndigo);
}

void paint(QPainter &painter, const QRectF &bounds, qreal radius)
{
    const qreal inset = width / 2;
    const QRectF ring = bounds.adjusted(inset, inset, -inset, -inset);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setOpacity(1);
    painter.setPen(QPen(colour(), width));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(radius * 2 >= bounds.height() ? veskContinuousCapsule(ring)
                                                  : veskContinuousRoundedRect(ring, std::max<qreal>(0, radius - inset)));
    painter.restore();
}

void paintCircle(QPainter &painter, const QPointF &centre, qreal radius)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setOpacity(1);
    painter.setPen(QPen(colour(), width));
    painter.setBrush(Qt::NoBrush);
    const qreal r = radius + 1 + width / 2;
    painter.drawEllipse(centre, r, r);
    painter.restore();
}

void attach(QWidget *canvas, qreal radius, QWidget *holder)
{
    if (canvas)
        new RingPainter(canvas, radius, holder ? holder : canvas);
}

} // namespace VeskFocusRing
