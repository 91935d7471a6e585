#pragma once

#include <QRect>
#include <QRegion>
#include <QSize>

class QWidget;

// The rounded panels (drawer, stickies, tray popover) leave their corners
// transparent. Where nothing composites (an X display without a compositing
// manager) transparent pixels show black, so there the corners are cut off
// the window instead.
namespace ZulPanelCornerMask {

// A window of `size` without its corners rounded off by `radius`.
QRegion roundedRegion(QSize size, qreal radius);

// Masks the window to its rounded shape where nothing composites and leaves
// it unmasked elsewhere. Call whenever the window's size changes.
void apply(QWidget *window, qreal radius);
// The same for a window showing only part of a rounded `shape` (in the
// window's coordinates) that reaches beyond it.
void apply(QWidget *window, qreal radius, const QRect &shape);

} // namespace ZulPanelCornerMask
