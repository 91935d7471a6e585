#pragma once

#include <QList>

class QWidget;

// A surface's Tab stops in the order its page reads. The window's own
// focus chain follows the order widgets were made in (chips made as notes
// come, header buttons after the body), which is not that order.
namespace ZulTabStops {

// The stops that show within scope, are enabled and take Tab.
QList<QWidget *> shown(const QWidget *scope, QList<QWidget *> stops);

// Moves the keyboard to the stop after (or before) the one holding it,
// wrapping round. False when the keyboard is inside scope but on none of
// the stops, so the caller's own chain decides.
bool moveAlong(const QWidget *scope, const QList<QWidget *> &stops, bool next);

} // namespace ZulTabStops
