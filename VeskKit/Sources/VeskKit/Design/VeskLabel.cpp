#include "VeskKit/Design/VeskLabel.h"

#include <QLabel>
#include <QPalette>

QLabel *veskMakeLabel(const QFont &font, const QColor &colour, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}
