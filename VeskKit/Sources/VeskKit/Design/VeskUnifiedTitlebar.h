#pragma once

#include "VeskKit/Design/VeskUnifiedTitlebarMetrics.h"
#include "VeskKit/Design/VeskUnifiedTitlebarMode.h"

#include <QString>

class QWidget;

// Window chrome for top-level widgets that draw their own title bar: the
// window loses the desktop's frame, gets the kit's window controls at its
// top-left corner and, for a unified header, the kit's toolbar that makes the
// titlebar row the standard height.

inline const QString veskUnifiedTitlebarToolbarIdentifier = QStringLiteral("com.quarnell.unifiedTitlebar");

// Sets the window up for the mode. A frame the window had is taken away
// (other window flags kept; a visible window is shown again, as changing
// flags hides it). unifiedHeader installs the kit's toolbar in unified style,
// replacing a toolbar of anyone else, or only restyles the kit's own;
// fullHeightSidebar removes the kit's toolbar and leaves any other.
void veskConfigureUnifiedTitlebar(QWidget *window, VeskUnifiedTitlebarMode mode);

// Measures the window controls as they stand. Buttons that are missing,
// hidden, parentless or of zero size are skipped; in full screen they are
// not looked at.
VeskUnifiedTitlebarMetrics veskMeasureTitlebarMetrics(const QWidget *window, qreal fullscreenLeading, qreal gap);
