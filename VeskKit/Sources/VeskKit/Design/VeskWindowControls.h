#pragma once

#include "VeskKit/Localization/VeskLanguage.h"

#include <QAbstractButton>
#include <QPointer>
#include <QWidget>

#include <array>

enum class VeskWindowButton { close, miniaturize, zoom };

// The close, minimise and zoom buttons of a window that draws its own title
// bar: three small coloured discs in a row at the window's top-left corner,
// kept above the window's other children. Close closes the window (a window
// that only hides on close stays alive), minimise minimises it, zoom toggles
// between maximised and normal. The discs turn grey while the window is not
// active and show their glyphs while the pointer is over the row.
class VeskWindowControls : public QWidget {
    Q_OBJECT
public:
    static constexpr int buttonSide = 14;
    static constexpr int buttonSpacing = 6;
    static constexpr int discDiameter = 12;

    // A child of `window`, which must be a top-level widget.
    explicit VeskWindowControls(QWidget *window);

    // Null when that button was deleted.
    QAbstractButton *button(VeskWindowButton kind) const;
    bool isHovering() const { return m_hovering; }

    // Puts the row `leadingInset` from the window's left edge, centred on a
    // titlebar row of `rowHeight`.
    void placeInRow(int rowHeight, int leadingInset);

    static QColor discColor(VeskWindowButton kind);

    // The window's controls, when it has any.
    static VeskWindowControls *of(const QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;

private:
    // The buttons' spoken names follow the interface language.
    void nameButtons(VeskLanguage language);
    void trigger(VeskWindowButton kind);
    void setHovering(bool hovering);

    std::array<QPointer<QAbstractButton>, 3> m_buttons;
    bool m_hovering = false;
};
