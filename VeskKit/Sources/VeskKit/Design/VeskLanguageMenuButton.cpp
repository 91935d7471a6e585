#include "VeskKit/Design/VeskLanguageMenuButton.h"

#include "VeskKit/Design/VeskContinuousShape.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassMenu.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskLanguagePicker.h"
#include "VeskKit/Design/VeskLanguagePickerState.h"
#include "VeskKit/Design/VeskSymbol.h"
#include "VeskKit/Localization/VeskText.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {

QFont labelFont()
{
    return veskSystemFont(VeskLanguageMenuButton::fontPixelSize, QFont::DemiBold, VeskFontDesign::rounded);
}

} // namespace

VeskLanguageMenuButton::VeskLanguageMenuButton(VeskLanguage language, OnSelect onSelect, QWidget *parent)
    : QAbstractButton(parent),
      m_language(language),
      m_onSelect(std::move(onSelect)),
      m_state(new VeskLanguagePickerState(this)),
      m_menu(new VeskGlassMenu(this))
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::NoFocus);
    setToolTip(VeskLanguagePicker::defaultTitle(language));
    setAccessibleName(VeskLanguagePicker::defaultTitle(language));
    connect(this, &QAbstractButton::clicked, this, &VeskLanguageMenuButton::openMenu);
}

void VeskLanguageMenuButton::setLanguage(VeskLanguage language)
{
    if (language == m_language)
        return;
    m_language = language;
    setToolTip(VeskLanguagePicker::defaultTitle(language));
    setAccessibleName(VeskLanguagePicker::defaultTitle(language));
    updateGeometry();
    update();
}

void VeskLanguageMenuButton::rebuildMenu()
{
    m_menu->clear();
    const bool following = m_state->isFollowingSystem();
    QAction *system = m_menu->addAction(VeskLanguagePicker::systemLabel(m_language));
    system->setCheckable(true);
    system->setChecked(following);
    connect(system, &QAction::triggered, this, [this] { VeskLanguagePicker::chooseSystem(*m_state, m_onSelect); });
    m_menu->addSeparator();
    for (VeskLanguage language : VeskLanguage::sortedCases()) {
        QAction *item = m_menu->addAction(language.displayName());
        item->setCheckable(true);
        item->setChecked(!following && language == m_language);
        // Choosing the ticked language again runs all of its steps again.
        connect(item, &QAction::triggered, this,
                [this, language] { VeskLanguagePicker::chooseLanguage(*m_state, language, m_onSelect); });
    }
}

void VeskLanguageMenuButton::openMenu()
{
    m_state->syncFromDefaults();
    rebuildMenu();
    m_menu->popup(mapToGlobal(QPoint(0, height())));
}

QSize VeskLanguageMenuButton::sizeHint() const
{
    const QFontMetricsF metrics(labelFont());
    const qreal symbol = VeskSymbol::boxSide(fontPixelSize);
    const qreal width = symbol + itemSpacing + metrics.horizontalAdvance(m_language.shortCode());
    const qreal height = std::max(symbol, metrics.height());
    return {int(std::ceil(width + 2 * horizontalPadding)), int(std::ceil(height + 2 * verticalPadding))};
}

QSize VeskLanguageMenuButton::minimumSizeHint() const
{
    return sizeHint();
}

void VeskLanguageMenuButton::showEvent(QShowEvent *event)
{
    m_state->syncFromDefaults();
    QAbstractButton::showEvent(event);
}

void VeskLanguageMenuButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF bounds(rect());
    painter.setPen(Qt::NoPen);
    painter.setBrush(VeskGlassTokens::surface2());
    painter.drawPath(veskContinuousCapsule(bounds));
    // Stroked on the edge: half of the line falls outside the fill.
    painter.setPen(QPen(VeskGlassTokens::borderSubtle(), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(veskContinuousCapsule(bounds.adjusted(0.5, 0.5, -0.5, -0.5)));

    const QRectF content = bounds.adjusted(horizontalPadding, verticalPadding, -horizontalPadding, -verticalPadding);
    const qreal symbol = VeskSymbol::boxSide(fontPixelSize);
    VeskSymbol::paint(painter, QRectF(content.left(), content.center().y() - symbol / 2, symbol, symbol),
                      QStringLiteral("globe"), VeskGlassTokens::textPrimary(), QFont::DemiBold);
    painter.setFont(labelFont());
    painter.setPen(VeskGlassTokens::textPrimary());
    painter.drawText(QRectF(content.left() + symbol + itemSpacing, content.top(),
                            content.width() - symbol - itemSpacing, content.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, m_language.shortCode());
}
