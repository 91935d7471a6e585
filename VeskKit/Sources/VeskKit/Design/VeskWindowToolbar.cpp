#include "VeskKit/Design/VeskWindowToolbar.h"

#include "VeskKit/Design/VeskUnifiedTitlebarMetrics.h"

#include <QWidget>

namespace {

constexpr int kPlainTitlebarHeight = 28;
constexpr int kToolbarTitlebarHeight = 38;
constexpr int kUnifiedControlsInset = 20;
constexpr int kPlainControlsInset = 8;

} // namespace

VeskWindowToolbar::VeskWindowToolbar(const QString &identifier, QObject *parent)
    : QObject(parent), m_identifier(identifier)
{
}

VeskWindowToolbar *VeskWindowToolbar::of(const QWidget *window)
{
    if (!window)
        return nullptr;
    return window->findChild<VeskWindowToolbar *>(QString(), Qt::FindDirectChildrenOnly);
}

void VeskWindowToolbar::install(QWidget *window, VeskWindowToolbar *toolbar)
{
    if (!window)
        return;
    VeskWindowToolbar *present = of(window);
    if (present == toolbar)
        return;
    delete present;
    if (toolbar)
        toolbar->setParent(window);
}

int VeskWindowToolbar::titlebarRowHeight(const QWidget *window)
{
    const VeskWindowToolbar *toolbar = of(window);
    if (!toolbar)
        return kPlainTitlebarHeight;
    return toolbar->style() == Style::unified ? int(VeskUnifiedTitlebarMetrics::standardHeight)
                                              : kToolbarTitlebarHeight;
}

int VeskWindowToolbar::controlsLeadingInset(const QWidget *window)
{
    return of(window) ? kUnifiedControlsInset : kPlainControlsInset;
}
