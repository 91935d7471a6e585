#include "Views/ZulTabStops.h"

#include <QApplication>
#include <QWidget>

namespace ZulTabStops {

QList<QWidget *> shown(const QWidget *scope, QList<QWidget *> stops)
{
    stops.removeIf([scope](QWidget *stop) {
        return !stop || !stop->isVisibleTo(scope) || !stop->isEnabled() || !(stop->focusPolicy() & Qt::TabFocus);
    });
    return stops;
}

bool moveAlong(const QWidget *scope, const QList<QWidget *> &stops, bool next)
{
    QWidget *focused = QApplication::focusWidget();
    qsizetype at = -1;
    for (qsizetype i = 0; i < stops.size() && focused; ++i)
        if (stops[i] == focused || stops[i]->isAncestorOf(focused))
            at = i;
    if (stops.isEmpty() || (at < 0 && focused && scope->isAncestorOf(focused)))
        return false;
    const qsizetype count = stops.size();
    const qsizetype target = at < 0 ? (next ? 0 : count - 1) : (at + (next ? 1 : count - 1)) % count;
    stops[target]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

} // namespace ZulTabStops
