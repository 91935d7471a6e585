#pragma once

#include "VeskKit/Design/VeskBrandMarkStyle.h"

#include <QWidget>

class QPainter;

// The small square logo of window headers, `size` pixels square: a suite
// application's emblem or the suite mark, as the style says. The running
// application is looked up again on every paint.
class VeskBrandMark : public QWidget {
    Q_OBJECT
public:
    VeskBrandMark(qreal size, const VeskBrandMarkStyle &style, QWidget *parent = nullptr);

    qreal markSize() const { return m_size; }
    const VeskBrandMarkStyle &style() const { return m_style; }

    // The emblem the style resolves to now; nothing means the suite mark.
    std::optional<VeskAppIdentity> resolvedIdentity() const;

    // The suite mark on a canvas of `size` at the painter's origin: every
    // piece filled with a white-to-grey diagonal, then with a soft band of
    // light running the other way; both span the whole canvas.
    static void paintSuiteMark(QPainter &painter, const QSizeF &size);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_size;
    VeskBrandMarkStyle m_style;
};
