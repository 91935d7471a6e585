#pragma once

#include "VeskKit/Localization/VeskLanguage.h"

#include <Qt>

class QWidget;

// Right-to-left for Arabic, Persian and Hebrew, left-to-right otherwise.
Qt::LayoutDirection veskLayoutDirection(VeskLanguage language);

// Gives the widget and everything inside it the language's locale (number
// and date forms follow it).
void veskLocaleEnvironment(QWidget *widget, VeskLanguage language);
// Lays the widget and everything inside it out in the language's direction.
void veskContentLayoutDirection(QWidget *widget, VeskLanguage language);
