#include "VeskKit/Design/VeskLanguageEnvironment.h"

#include <QWidget>

Qt::LayoutDirection veskLayoutDirection(VeskLanguage language)
{
    switch (language) {
    case VeskLanguage::ar:
    case VeskLanguage::fa:
    case VeskLanguage::he:
        return Qt::RightToLeft;
    default:
        return Qt::LeftToRight;
    }
}

void veskLocaleEnvironment(QWidget *widget, VeskLanguage language)
{
    if (widget)
        widget->setLocale(language.locale());
}

void veskContentLayoutDirection(QWidget *widget, VeskLanguage language)
{
    if (widget)
        widget->setLayoutDirection(veskLayoutDirection(language));
}
