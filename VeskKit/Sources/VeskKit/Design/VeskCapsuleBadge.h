#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QString>

#include <optional>

// How a capsule badge looks: an optional symbol and a one-line text side by
// side, coloured alike, inset by the padding, on a filled shape with an
// optional border drawn inside its edge.
struct VeskCapsuleBadgeLook {
    QString symbol;
    qreal symbolPixelSize = 10;
    QFont::Weight symbolWeight = QFont::DemiBold;
    QFont textFont;
    qreal spacing = 5;
    QColor foreground;
    QColor fill = Qt::transparent;
    // Transparent: no border.
    QColor border = Qt::transparent;
    qreal horizontalPadding = 6;
    qreal verticalPadding = 2;
    // Nothing: a capsule (radius half the height).
    std::optional<qreal> cornerRadius;
    // Takes all the width it is given, content centred; otherwise it keeps
    // its natural size.
    bool stretches = false;

    bool operator==(const VeskCapsuleBadgeLook &) const = default;
};

// A status badge, chip or pill of the suite views. It answers clicks only
// when made interactive; a passive badge lets them through to what lies
// beneath.
class VeskCapsuleBadge : public QAbstractButton {
    Q_OBJECT
public:
    VeskCapsuleBadge(const QString &text, const VeskCapsuleBadgeLook &look, bool interactive = false,
                     QWidget *parent = nullptr);

    const VeskCapsuleBadgeLook &look() const { return m_look; }
    void setLook(const VeskCapsuleBadgeLook &look);
    bool isInteractive() const { return m_interactive; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal symbolSide() const;
    qreal contentWidth() const;

    VeskCapsuleBadgeLook m_look;
    bool m_interactive;
};
