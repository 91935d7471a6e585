#pragma once

#include <QColor>
#include <QString>
#include <QtGlobal>

// A colour from a packed 0xRRGGBB value; bits 24..31 are ignored so that a
// value written with an alpha byte still gives the same colour. The opacity
// is passed through unchanged.
QColor veskColorFromHex(quint32 hex, double opacity = 1.0);

// The colour as a style sheet takes it, opacity included: "rgba(r,g,b,a)".
QString veskStyleSheetColor(const QColor &colour);
