#include "VeskKit/Design/VeskVirtualMemoryHeaderPill.h"

#include "VeskKit/Design/VeskColorOpacity.h"
#include "VeskKit/Design/VeskContinuousShape.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskSymbol.h"
#include "VeskKit/Localization/VeskText.h"
#include "VeskKit/System/VeskSuiteApp.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {

constexpr qreal kDot = 6;
constexpr qreal kSpacing = 5;
constexpr qreal kHorizontalPadding = 9;
constexpr qreal kVerticalPadding = 4;
constexpr qreal kSymbolPixelSize = 10;

QFont titleFont()
{
    return veskSystemFont(11, QFont::DemiBold, VeskFontDesign::monospaced);
}

} // namespace

VeskVirtualMemoryHeaderPill::VeskVirtualMemoryHeaderPill(const VeskVirtualMemorySummary &summary,
                                                         VeskLanguage language, std::function<void()> onTap,
                                                         QWidget *parent)
    : QAbstractButton(parent), m_summary(summary), m_language(language), m_onTap(std::move(onTap))
{
    setText(pillTitle());
    setAccessibleName(pillTitle());
    setToolTip(veskText(QStringLiteral("Virtual Memory active — click to open VeskMirrel"),
                        QStringLiteral("Sanal Bellek aktif — VeskMirrel ile yönetmek için tıklayın"), language));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::clicked, this, &VeskVirtualMemoryHeaderPill::tapped);
}

QColor VeskVirtualMemoryHeaderPill::violet()
{
    return QColor::fromRgbF(169 / 255.0f, 139 / 255.0f, 1.0f);
}

QColor VeskVirtualMemoryHeaderPill::cyan()
{
    return QColor::fromRgbF(56 / 255.0f, 232 / 255.0f, 1.0f);
}

bool VeskVirtualMemoryHeaderPill::hasExpansion() const
{
    return m_summary.activeDiskPoolCount >= 1 || m_summary.mountedSparseDiskCount > 0 ||
           m_summary.mountedRAMDiskCount > 0;
}

QColor VeskVirtualMemoryHeaderPill::colour() const
{
    if (m_summary.pressureLevel == QLatin1String("critical"))
        return VeskGlassTokens::danger();
    if (hasExpansion())
        return violet();
    if (m_summary.pressureLevel == QLatin1String("warning"))
        return VeskGlassTokens::warning();
    return cyan();
}

QString VeskVirtualMemoryHeaderPill::symbolName() const
{
    return hasExpansion() ? QStringLiteral("externaldrive.badge.timemachine") : QStringLiteral("memorychip");
}

QString VeskVirtualMemoryHeaderPill::pillTitle() const
{
    const QString word = veskText(QStringLiteral("VM"), QStringLiteral("Sanal Bellek"), m_language);
    const QString badge = m_summary.compactBadgeText();
    return badge.isEmpty() ? word + QStringLiteral(" ON") : word + QStringLiteral(": ") + badge;
}

void VeskVirtualMemoryHeaderPill::tapped()
{
    if (m_onTap) {
        m_onTap();
        return;
    }
    VeskSuiteApp(VeskSuiteApp::veskMirrel).launch();
}

QSize VeskVirtualMemoryHeaderPill::sizeHint() const
{
    const QFontMetricsF metrics(titleFont());
    const qreal symbol = VeskSymbol::boxSide(kSymbolPixelSize);
    const qreal width = kDot + kSpacing + symbol + kSpacing + metrics.horizontalAdvance(text());
    const qreal height = std::max({kDot, symbol, metrics.height()});
    return {int(std::ceil(width + 2 * kHorizontalPadding)), int(std::ceil(height + 2 * kVerticalPadding))};
}

QSize VeskVirtualMemoryHeaderPill::minimumSizeHint() const
{
    return sizeHint();
}

void VeskVirtualMemoryHeaderPill::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    if (isDown())
        painter.setOpacity(0.7);
    const QColor c = colour();
    const QRectF bounds(rect());
    veskPaintGlassShape(painter, bounds, bounds.height() / 2, veskColorFaded(c, 0.2), veskColorFaded(c, 0.45));

    const qreal centreY = bounds.center().y();
    qreal x = kHorizontalPadding;
    painter.setPen(Qt::NoPen);
    painter.setBrush(c);
    painter.drawEllipse(QRectF(x, centreY - kDot / 2, kDot, kDot));
    x += kDot + kSpacing;
    const qreal symbol = VeskSymbol::boxSide(kSymbolPixelSize);
    VeskSymbol::paint(painter, QRectF(x, centreY - symbol / 2, symbol, symbol), symbolName(), c, QFont::DemiBold);
    x += symbol + kSpacing;
    const QFont font = titleFont();
    const qreal room = std::max(0.0, bounds.width() - kHorizontalPadding - x);
    painter.setFont(font);
    painter.setPen(c);
    painter.drawText(QRectF(x, 0, room, bounds.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetricsF(font).elidedText(text(), Qt::ElideRight, room));
}
