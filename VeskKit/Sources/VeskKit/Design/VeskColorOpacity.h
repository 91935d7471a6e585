#pragma once

#include <QColor>
#include <QtGlobal>

// The colour at the opacity given, whatever its own alpha was.
QColor veskColorWithOpacity(QColor colour, qreal opacity);

// The colour with its own alpha multiplied by `factor`: a token that is
// already translucent stays as much fainter than before as asked.
QColor veskColorFaded(QColor colour, qreal factor);
