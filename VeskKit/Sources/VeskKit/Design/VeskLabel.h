#pragma once

#include <QColor>
#include <QFont>

class QLabel;
class QWidget;

// A label in the font and text colour given; the text comes later.
QLabel *veskMakeLabel(const QFont &font, const QColor &colour, QWidget *parent);
