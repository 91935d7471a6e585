#include "VeskKit/Vision/VeskOCRResult.h"

QString VeskOCRResult::fullText() const
{
    QString text;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += QLatin1Char('\n');
        text += lines.at(i).text;
    }
    return text;
}
