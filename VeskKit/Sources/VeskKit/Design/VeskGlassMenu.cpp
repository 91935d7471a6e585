#include "VeskKit/Design/VeskGlassMenu.h"

#include "VeskKit/Design/VeskColorHex.h"
#include "VeskKit/Design/VeskGlassTokens.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QStyleOptionMenuItem>
#include <QTimer>

namespace {

constexpr char destructiveProperty[] = "veskDestructive";

QColor over(const QColor &ground, const QColor &layer)
{
    const qreal a = layer.alphaF();
    return QColor::fromRgbF(float(ground.redF() * (1 - a) + layer.redF() * a),
                            float(ground.greenF() * (1 - a) + layer.greenF() * a),
                            float(ground.blueF() * (1 - a) + layer.blueF() * a));
}

QColor selectedFill(VeskProductPalette palette)
{
    QColor fill = accentColor(palette);
    fill.setAlphaF(0.28f);
    return fill;
}

// The shapes only: text colours come from the palette, which the style sheet
// would otherwise override for every item at once.
QString menuStyleSheet(VeskProductPalette palette)
{
    return QStringLiteral("QMenu { background: %1; border: 1px solid %2; padding: 4px; }"
                          "QMenu::item { background: transparent; padding: 5px 22px 5px 8px; border-radius: 6px; }"
                          "QMenu::item:selected { background: %3; }"
                          "QMenu::item:disabled { background: transparent; }"
                          "QMenu::icon { padding-left: 6px; }"
                          "QMenu::separator { height: 1px; background: %2; margin: 4px 6px; }")
        .arg(VeskGlassMenu::groundColor(palette).name(), veskStyleSheetColor(VeskGlassTokens::borderSubtle()),
             veskStyleSheetColor(selectedFill(palette)));
}

void setTextColour(QPalette &palette, QPalette::ColorGroup group, const QColor &colour)
{
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::HighlightedText, QPalette::BrightText})
        palette.setColor(group, role, colour);
}

QPalette menuPalette(QPalette base, VeskProductPalette palette)
{
    const QColor ground = VeskGlassMenu::groundColor(palette);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        base.setColor(group, QPalette::Window, ground);
        base.setColor(group, QPalette::Base, ground);
        base.setColor(group, QPalette::Highlight, over(ground, selectedFill(palette)));
        setTextColour(base, group, group == QPalette::Disabled ? VeskGlassTokens::textMuted()
                                                                : VeskGlassTokens::textPrimary());
    }
    // The styles etch disabled text with the light colour one pixel down and
    // right: on the dark ground that drew it brighter than enabled text, as
    // if embossed. The etch melts into the ground instead.
    for (const QPalette::ColorRole role : {QPalette::Light, QPalette::Midlight, QPalette::Shadow})
        base.setColor(QPalette::Disabled, role, ground);
    return base;
}

} // namespace

VeskGlassMenu::VeskGlassMenu(QWidget *parent, VeskProductPalette palette) : QMenu(parent)
{
    applyLook(this, palette);
}

VeskGlassMenu::VeskGlassMenu(const QString &title, QWidget *parent, VeskProductPalette palette)
    : QMenu(title, parent)
{
    applyLook(this, palette);
}

QColor VeskGlassMenu::groundColor(VeskProductPalette palette)
{
    // Glass over the palette's middle stop, made opaque.
    return over(groundStops(palette).middle, VeskGlassTokens::surface2());
}

void VeskGlassMenu::applyLook(QMenu *menu, VeskProductPalette palette)
{
    menu->setPalette(menuPalette(menu->palette(), palette));
    menu->setStyleSheet(menuStyleSheet(palette));
}

void VeskGlassMenu::applyLook(QAbstractItemView *list, VeskProductPalette palette)
{
    list->setPalette(menuPalette(list->palette(), palette));
    list->setStyleSheet(
        QStringLiteral("QAbstractItemView { background: %1; color: %4; border: 1px solid %2; outline: 0; }"
                       "QAbstractItemView::item:selected, QAbstractItemView::item:hover { background: %3; color: %4; }")
            .arg(groundColor(palette).name(), veskStyleSheetColor(VeskGlassTokens::borderSubtle()),
                 veskStyleSheetColor(selectedFill(palette)), veskStyleSheetColor(VeskGlassTokens::textPrimary())));
}

void VeskGlassMenu::applyApplicationWide(VeskProductPalette palette)
{
    // The palette alone: an application style sheet, however narrow its
    // rules, hands every widget to the style-sheet style, which then paints
    // palette-styled fields (the glass inputs) with the default light base.
    QApplication::setPalette(menuPalette(QApplication::palette(), palette), "QMenu");
}

void VeskGlassMenu::setDestructive(QAction *action, bool destructive)
{
    action->setProperty(destructiveProperty, destructive);
}

bool VeskGlassMenu::isDestructive(const QAction *action)
{
    return action && action->property(destructiveProperty).toBool();
}

void VeskGlassMenu::initStyleOption(QStyleOptionMenuItem *option, const QAction *action) const
{
    QMenu::initStyleOption(option, action);
    if (!isDestructive(action) || !action->isEnabled())
        return;
    setTextColour(option->palette, QPalette::Active, VeskGlassTokens::danger());
    setTextColour(option->palette, QPalette::Inactive, VeskGlassTokens::danger());
}

void VeskGlassMenu::showEvent(QShowEvent *event)
{
    QMenu::showEvent(event);
    // Once the menu has told that it opened: an item lit before that would
    // be spoken before the menu it belongs to, or not at all.
    QTimer::singleShot(0, this, [this] {
        if (!isVisible() || activeAction())
            return;
        for (QAction *action : actions()) {
            if (action->isVisible() && action->isEnabled() && !action->isSeparator()) {
                setActiveAction(action);
                return;
            }
        }
    });
}
