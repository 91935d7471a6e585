#pragma once

#include "VeskKit/Design/Emblems/VeskAppIdentity.h"

#include <QWidget>

// Shows a suite application's emblem `size` points square. As a template the
// emblem's shape is tinted with the widget's foreground colour; otherwise it
// keeps its own colours.
class VeskAppEmblem : public QWidget
{
    Q_OBJECT

public:
    VeskAppEmblem(VeskAppIdentity app, qreal size, bool asTemplate, QWidget *parent = nullptr);

    VeskAppIdentity app() const { return m_app; }
    // The side in points; not size(), which stays the widget's own geometry.
    qreal emblemSize() const { return m_size; }
    bool asTemplate() const { return m_asTemplate; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    VeskAppIdentity m_app;
    qreal m_size;
    bool m_asTemplate;
};
