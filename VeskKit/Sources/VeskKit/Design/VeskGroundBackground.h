#pragma once

#include "VeskKit/Design/VeskBackdropCache.h"
#include "VeskKit/Design/VeskProductPalette.h"

#include <QWidget>

class QPainter;

// The window ground of a palette: its three stops as a diagonal gradient with
// a soft white highlight in the top-left corner. Place it behind a window's
// content (as the lowest child, or as the central widget's background).
class VeskGroundBackground : public QWidget {
    Q_OBJECT
public:
    explicit VeskGroundBackground(VeskProductPalette palette, QWidget *parent = nullptr);

    // Named apart from QWidget::palette(), which is the widget's QPalette.
    VeskProductPalette productPalette() const { return m_palette; }
    void setProductPalette(VeskProductPalette palette);

    // The ground drawn into any rectangle, for views that paint it themselves.
    static void paintGround(QPainter &painter, const QRectF &rect, VeskProductPalette palette);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    VeskProductPalette m_palette;
    VeskBackdropCache m_backdrop;
};
