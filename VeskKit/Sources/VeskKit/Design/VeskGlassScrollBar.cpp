#include "VeskKit/Design/VeskGlassScrollBar.h"

#include <QAbstractScrollArea>
#include <QScrollBar>

namespace VeskGlassScrollBar {

QString styleSheet()
{
    return QStringLiteral(
        "QScrollBar:vertical { background: transparent; width: 8px; margin: 2px 1px 2px 1px; }"
        "QScrollBar:horizontal { background: transparent; height: 8px; margin: 1px 2px 1px 2px; }"
        "QScrollBar::handle { background: rgba(255, 255, 255, 46); border-radius: 3px; }"
        "QScrollBar::handle:vertical { min-height: 24px; }"
        "QScrollBar::handle:horizontal { min-width: 24px; }"
        "QScrollBar::add-line, QScrollBar::sub-line { width: 0px; height: 0px; border: none; }"
        "QScrollBar::add-page, QScrollBar::sub-page { background: transparent; }");
}

void apply(QAbstractScrollArea *area)
{
    if (!area)
        return;
    area->verticalScrollBar()->setStyleSheet(styleSheet());
    area->horizontalScrollBar()->setStyleSheet(styleSheet());
}

} // namespace VeskGlassScrollBar
