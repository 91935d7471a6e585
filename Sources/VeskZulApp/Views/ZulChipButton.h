#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QFont>

// A flat selectable button of the studio's chrome: an optional symbol and a
// text on a continuous rounded rectangle (or capsule) with a border drawn
// inside its edge. The studio's tab buttons and the sidebar's filter and tag
// chips are all this button with their own fonts and colours for the
// selected and the plain state. From the keyboard, Space or Enter presses it.
class ZulChipButton : public QAbstractButton {
    Q_OBJECT
public:
    struct Look {
        QFont font;
        QColor foreground;
        QColor fill;
        QColor border;
        qreal borderWidth = 1;
    };

    explicit ZulChipButton(const QString &text = {}, const QString &symbol = {}, QWidget *parent = nullptr);

    QString symbol() const { return m_symbol; }
    void setSymbol(const QString &symbol);
    // A corner radius of at least half the height draws a capsule.
    void setCornerRadius(qreal radius);
    void setCapsule(bool capsule);
    void setPadding(qreal horizontal, qreal vertical);
    void setSpacing(qreal spacing);
    void setLooks(const Look &selected, const Look &plain);

    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    const Look &currentLook() const { return m_selected ? m_selectedLook : m_plainLook; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QSizeF labelSize(const Look &look) const;

    QString m_symbol;
    qreal m_cornerRadius = 8;
    bool m_capsule = false;
    qreal m_horizontalPadding = 8;
    qreal m_verticalPadding = 4;
    qreal m_spacing = 6;
    bool m_selected = false;
    Look m_selectedLook;
    Look m_plainLook;
};
