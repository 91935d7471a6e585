#pragma once

#include "Models/ZulNoteTint.h"

#include "VeskKit/Design/VeskAccessibleControl.h"
#include "VeskKit/Localization/VeskLanguage.h"

#include <QWidget>

#include <functional>

// A row of six colour dots, one per note tint in tint order, 5 apart. The
// selected dot wears a bright ring and is drawn 12 % larger; a click reports
// the tint and leaves changing `selected` to the owner. Each dot's tooltip
// is the tint's English name in every language; a screen reader meets the
// dots as radio buttons named in the interface language.
//
// From the keyboard the row is one stop: Left and Right move the focus ring
// from dot to dot, Space or Enter chooses the ringed dot.
//
// The larger selected dot and the focus ring reach past a dot's square; the
// widget keeps that much room on every side (overflowMargin) so nothing is
// clipped.
class ZulTintDotPicker : public QWidget, public VeskAccessibleParts {
    Q_OBJECT
public:
    static constexpr qreal spacing = 5;
    static constexpr qreal selectedScale = 1.12;

    ZulTintDotPicker(ZulNoteTint selected, qreal dotSize, std::function<void(ZulNoteTint)> onSelect,
                     QWidget *parent = nullptr);

    ZulNoteTint selected() const { return m_selected; }
    void setSelected(ZulNoteTint tint);
    qreal dotSize() const { return m_dotSize; }
    int overflowMargin() const;

    // The unscaled square of a tint's dot, in widget coordinates.
    QRectF dotRect(ZulNoteTint tint) const;
    static QString helpText(ZulNoteTint tint);
    void setLanguage(VeskLanguage language);

    int accessiblePartCount() const override;
    VeskAccessiblePart accessiblePart(int index) const override;
    void pressAccessiblePart(int index) override;
    // The dot the focus ring is on while the row has the keyboard.
    ZulNoteTint keyboardTint() const { return m_keyboardTint; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void nameForLanguage();
    std::optional<ZulNoteTint> tintAt(QPointF position) const;

    ZulNoteTint m_selected;
    VeskLanguage m_language = VeskLanguage::en;
    qreal m_dotSize;
    std::function<void(ZulNoteTint)> m_onSelect;
    std::optional<ZulNoteTint> m_pressed;
    ZulNoteTint m_keyboardTint;
};
