#pragma once

#include "VeskKit/Design/VeskGlassButtonStyle.h"
#include "VeskKit/Design/VeskPrimaryButtonStyle.h"

#include <QAbstractButton>
#include <QPainterPath>

#include <optional>
#include <variant>

class QVariantAnimation;

// A push button drawn in one of the two kit button styles. Its label is an
// optional symbol followed by optional text on one line (elided when too
// narrow). The label may set its own font and colours; otherwise the style's
// apply. Only the rounded rectangle answers clicks. Clicking does not take
// keyboard focus away from an editor.
class VeskButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit VeskButton(const VeskPrimaryButtonStyle &style, const QString &text = {}, const QString &symbol = {},
                        QWidget *parent = nullptr);
    explicit VeskButton(const VeskGlassButtonStyle &style, const QString &text = {}, const QString &symbol = {},
                        QWidget *parent = nullptr);
    ~VeskButton() override;

    bool isPrimary() const { return std::holds_alternative<VeskPrimaryButtonStyle>(m_style); }
    void setButtonStyle(const VeskPrimaryButtonStyle &style);
    void setButtonStyle(const VeskGlassButtonStyle &style);
    // The glass style's isActive; always false for the primary style.
    bool isActive() const;
    void setActive(bool active);

    QString symbol() const { return m_symbol; }
    void setSymbol(const QString &name);

    // A font set on the label takes precedence over the style's.
    QFont labelFont() const;
    void setLabelFont(const std::optional<QFont> &font);
    QColor labelColor() const;
    void setLabelColor(const std::optional<QColor> &colour);
    // The symbol's own colour, when it differs from the text's.
    QColor symbolColor() const;
    void setSymbolColor(const std::optional<QColor> &colour);

    // The prominent look of a glass button, the one action a row stresses:
    // filled with the tint, no border, a white label unless one is set.
    std::optional<QColor> prominentTint() const { return m_prominentTint; }
    void setProminentTint(const std::optional<QColor> &tint);

    // 0 at rest, 1 fully pressed; the primary style eases between them.
    qreal pressAmount() const { return m_pressAmount; }

    // The button's shape at rest, in its own coordinates.
    QPainterPath shape() const;
    qreal horizontalPadding() const;
    qreal verticalPadding() const;
    qreal cornerRadius() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    void init(const QString &text, const QString &symbol);
    void followPressedState();
    QSizeF labelSize() const;
    void paintLabel(QPainter &painter, const QRectF &area, const QColor &textColour) const;

    std::variant<VeskPrimaryButtonStyle, VeskGlassButtonStyle> m_style;
    QString m_symbol;
    std::optional<QFont> m_labelFont;
    std::optional<QColor> m_labelColor;
    std::optional<QColor> m_symbolColor;
    std::optional<QColor> m_prominentTint;
    QVariantAnimation *m_pressAnimation = nullptr;
    qreal m_pressAmount = 0;
    bool m_shownDown = false;
    // The focus came from Tab or Shift+Tab, and so is drawn.
    bool m_keyboardFocus = false;
};
