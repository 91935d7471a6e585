#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

// A symbol shown on its own, sized as it would be beside text of the given
// pixel size (the box is VeskSymbol::boxSide of it).
class VeskSymbolLabel : public QWidget {
    Q_OBJECT
public:
    VeskSymbolLabel(const QString &name, qreal fontPixelSize, QFont::Weight weight, const QColor &colour,
                    QWidget *parent = nullptr);

    QString name() const { return m_name; }
    void setName(const QString &name);
    QColor colour() const { return m_colour; }
    void setColour(const QColor &colour);
    qreal fontPixelSize() const { return m_fontPixelSize; }
    void setFontPixelSize(qreal size);
    QFont::Weight weight() const { return m_weight; }
    void setWeight(QFont::Weight weight);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_name;
    qreal m_fontPixelSize;
    QFont::Weight m_weight;
    QColor m_colour;
};
