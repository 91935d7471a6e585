#pragma once

#include "VeskKit/Design/VeskProductPalette.h"

#include <QMenu>

class QAbstractItemView;
class QStyleOptionMenuItem;

// A pop-up menu in the glass design: light text and symbols on an opaque
// ground tinted by the palette (a pop-up cannot count on a compositor to
// blend it with what lies below), the hovered item lit in the accent, and an
// item marked destructive drawn in the danger colour. The look is a style
// sheet for the shapes plus the menu's palette for the text, so that one
// item can take a colour of its own.
class VeskGlassMenu : public QMenu {
    Q_OBJECT
public:
    explicit VeskGlassMenu(QWidget *parent = nullptr, VeskProductPalette palette = VeskProductPalette::deepIndigo);
    explicit VeskGlassMenu(const QString &title, QWidget *parent = nullptr,
                           VeskProductPalette palette = VeskProductPalette::deepIndigo);

    // The opaque ground every menu of the palette is drawn on.
    static QColor groundColor(VeskProductPalette palette);

    // Gives any menu the look; only this class draws destructive items apart.
    static void applyLook(QMenu *menu, VeskProductPalette palette);
    // The same look for a picker's pop-up list of choices.
    static void applyLook(QAbstractItemView *list, VeskProductPalette palette);
    // Once at start: every menu the application opens takes the look,
    // including the ones Qt builds by itself (a text field's edit menu).
    static void applyApplicationWide(VeskProductPalette palette);

    static void setDestructive(QAction *action, bool destructive = true);
    static bool isDestructive(const QAction *action);

protected:
    void initStyleOption(QStyleOptionMenuItem *option, const QAction *action) const override;
    // Opens on its first item, so a screen reader names it at once and a
    // keyboard user starts from it.
    void showEvent(QShowEvent *event) override;
};
