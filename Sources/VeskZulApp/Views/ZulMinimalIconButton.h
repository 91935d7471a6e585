#pragma once

#include "Views/ZulIconHoverState.h"

#include <QAbstractButton>
#include <QColor>
#include <QFont>

#include <functional>

class QVariantAnimation;

// A round, borderless icon button: the symbol in `tint` on a faint white disc
// that brightens, with the symbol turning white, while the pointer is over
// it (easing out over 0.14 s). A click runs the action. Tooltips are the
// caller's.
class ZulMinimalIconButton : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr qreal restingDiscOpacity = 0.05;
    static constexpr qreal hoveredDiscOpacity = 0.14;
    static constexpr int hoverAnimationMs = 140;

    ZulMinimalIconButton(const QString &systemName, qreal iconSize, QFont::Weight weight, qreal diameter,
                         const QColor &tint, std::function<void()> action, QWidget *parent = nullptr);
    ~ZulMinimalIconButton() override;

    QString systemName() const { return m_systemName; }
    void setSystemName(const QString &name);
    qreal iconSize() const { return m_iconSize; }
    QFont::Weight weight() const { return m_weight; }
    qreal diameter() const { return m_diameter; }
    QColor tint() const { return m_tint; }
    void setTint(const QColor &tint);

    ZulIconHoverState &hover() { return m_hover; }
    // 0 at rest, 1 fully lit; follows the hover state with easing.
    qreal hoverAmount() const { return m_hoverAmount; }
    QColor discColor() const;
    QColor symbolColor() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void animateHover(bool hovered);

    QString m_systemName;
    qreal m_iconSize;
    QFont::Weight m_weight;
    qreal m_diameter;
    QColor m_tint;
    std::function<void()> m_action;
    ZulIconHoverState m_hover;
    QVariantAnimation *m_hoverAnimation = nullptr;
    qreal m_hoverAmount = 0;
};
