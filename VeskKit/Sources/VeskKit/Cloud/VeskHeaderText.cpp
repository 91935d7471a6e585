#include "VeskKit/Cloud/VeskHeaderText.h"

bool veskFitsHeaderLine(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    return true;
}
