#pragma once

#include "ViewModels/ZulStickyControlling.h"
#include "Views/StickyNotePanel.h"
#include "Views/StickyWindowState.h"
#include "Views/ZulScreenLayout.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSizeF>
#include <QUuid>

#include <functional>

class ZulStudioViewModel;

// The floating sticky panels, one per note shown as a sticky. A panel opens
// where the note last stood (when that place is still on a screen) or at
// the next cascaded place, reports every move or resize of its expanded
// frame, and every move of its collapsed bar as the frame it will expand to
// there, to the view model, collapses to its title bar and switches between
// staying on top and the normal level. The view model creates it on first
// need and is its only caller; it keeps the note's flag and frame and saves
// them. The controller saves nothing itself. On native Wayland, where no
// panel's place is known, stored frames are left as they are.
class FloatingStickyNoteController : public QObject, public ZulStickyControlling
{
    Q_OBJECT

public:
    struct HostedSticky
    {
        QUuid noteID;
        QPointer<StickyNotePanel> panel; // owned
        QPointer<StickyWindowState> state; // lives with the panel
    };

    static constexpr int collapseAnimationMs = 200;

    // The view model must outlive the controller (it owns it).
    explicit FloatingStickyNoteController(ZulStudioViewModel &viewModel, QObject *parent = nullptr);
    ~FloatingStickyNoteController() override;

    void showSticky(const QUuid &noteID) override;
    void closeSticky(const QUuid &noteID) override;
    void toggleCollapse(const QUuid &noteID);
    void toggleAlwaysOnTop(const QUuid &noteID);

    const QHash<QUuid, HostedSticky> &panelsByNoteID() const { return m_panelsByNoteID; }
    QSizeF defaultSize() const { return m_defaultSize; }
    qreal collapsedHeight() const { return m_collapsedHeight; }

    // What the screens are; replaceable so placement can be driven without
    // real screens.
    std::function<ZulScreenLayout()> screenLayoutProvider;

private:
    void persistFrame(const QUuid &noteID, const QRectF &reported, bool moved);
    QRectF resolvedInitialFrame(const std::optional<QRectF> &storedFrame) const;

    ZulStudioViewModel *m_viewModel;
    QHash<QUuid, HostedSticky> m_panelsByNoteID;
    QSizeF m_defaultSize;
    qreal m_collapsedHeight;
};
