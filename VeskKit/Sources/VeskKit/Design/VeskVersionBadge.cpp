#include "VeskKit/Design/VeskVersionBadge.h"

#include "VeskKit/Design/VeskContinuousShape.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassTokens.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

VeskVersionBadge::VeskVersionBadge(const VeskAppVersion &version, bool showBuild, QWidget *parent)
    : QWidget(parent), m_version(version), m_showBuild(showBuild)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(text());
}

QString VeskVersionBadge::text() const
{
    return m_showBuild ? m_version.detailedDisplay() : m_version.tag();
}

QFont VeskVersionBadge::textFont()
{
    return veskSystemFont(10, QFont::DemiBold, VeskFontDesign::monospaced);
}

QSize VeskVersionBadge::sizeHint() const
{
    const QFontMetricsF metrics(textFont());
    return {int(std::ceil(metrics.horizontalAdvance(text()) + 2 * horizontalPadding)),
            int(std::ceil(metrics.height() + 2 * verticalPadding))};
}

QSize VeskVersionBadge::minimumSizeHint() const
{
    return sizeHint();
}

void VeskVersionBadge::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QRectF bounds(rect());
    veskPaintGlassShape(painter, bounds, bounds.height() / 2, VeskGlassTokens::surface2(),
                        VeskGlassTokens::borderSubtle());
    painter.setFont(textFont());
    painter.setPen(VeskGlassTokens::textSecondary());
    painter.drawText(bounds, Qt::AlignCenter, text());
}
