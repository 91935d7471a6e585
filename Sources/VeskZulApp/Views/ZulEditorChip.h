#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QList>
#include <QString>

// A small capsule holding a row of symbols and texts, each in its own font
// and colour: the sum, average and task chips of the editor's status bar
// and the text of a tag. Clickable unless made passive; the click area is
// the capsule. A shrinkable chip given less room than it asks for ends its
// last text in an ellipsis and names itself whole in its tooltip. A
// clickable chip is a keyboard stop and wears the focus ring while it holds
// the keyboard, unless its container draws the ring.
class ZulEditorChip : public QAbstractButton
{
    Q_OBJECT

public:
    struct Part
    {
        QString text;         // shown when symbol is empty
        QString symbol;       // a VeskSymbol name
        QFont font;           // for a symbol: its pixel size sets the box
        QColor colour;

        friend bool operator==(const Part &, const Part &) = default;
    };

    explicit ZulEditorChip(QWidget *parent = nullptr);

    const QList<Part> &parts() const { return m_parts; }
    void setParts(const QList<Part> &parts);
    // The texts of the parts joined by single spaces, as a reader would say
    // the chip.
    QString spokenText() const;
    // The first symbol's name, or empty.
    QString symbolName() const;

    void setSpacing(qreal spacing);
    void setPadding(qreal horizontal, qreal vertical);
    // A transparent fill draws no capsule.
    void setFill(const QColor &fill);
    void setBorder(const QColor &border, qreal width);
    QColor fill() const { return m_fill; }
    // A passive chip takes no clicks and shows the arrow cursor.
    void setPassive(bool passive);
    bool isPassive() const { return m_passive; }
    void setDrawsFocusRing(bool draws) { m_drawsFocusRing = draws; }
    void setShrinkable(bool shrinkable);
    // The tooltip's text, after the chip's whole text when that is cut.
    void setHelpText(const QString &help);
    // The last text part as drawn at the current width.
    QString shownLastText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;
    void resizeEvent(QResizeEvent *event) override;

private:
    qreal partWidth(const Part &part) const;
    qsizetype lastTextIndex() const;
    void refreshToolTip();
    qreal partHeight(const Part &part) const;

    QList<Part> m_parts;
    qreal m_spacing = 4;
    qreal m_horizontalPadding = 8;
    qreal m_verticalPadding = 3;
    QColor m_fill = Qt::transparent;
    QColor m_border = Qt::transparent;
    qreal m_borderWidth = 0;
    bool m_passive = false;
    bool m_drawsFocusRing = true;
    bool m_shrinkable = false;
    QString m_helpText;
};
