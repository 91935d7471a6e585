#include "VeskKit/Cloud/VeskServerText.h"

#include <QTextBoundaryFinder>

namespace {

bool isBidiControl(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
}

} // namespace

QString veskShownServerText(const QString &text, int maxCharacters)
{
    QString shown = text;
    shown.removeIf(isBidiControl);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, shown);
    int taken = 0;
    while (taken < maxCharacters && finder.toNextBoundary() != -1)
        ++taken;
    return taken < maxCharacters ? shown : shown.left(finder.position());
}
