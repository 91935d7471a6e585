#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QString>

// A symbol alone as a borderless button, sized to the symbol's box; dimmed
// while held down.
class VeskSymbolButton : public QAbstractButton
{
public:
    VeskSymbolButton(const QString &symbol, qreal pixelSize, const QColor &colour, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_symbol;
    qreal m_pixelSize;
    QColor m_colour;
};
