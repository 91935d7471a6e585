#include "Views/FloatingStickyNoteController.h"

#include "VeskKit/Design/VeskEasing.h"
#include "ViewModels/ZulStudioViewModel.h"
#include "Views/FirstClickHostingView.h"
#include "Views/FloatingStickyGeometry.h"
#include "Views/FloatingStickyNoteView.h"
#include "Views/StickyNotePanel.h"
#include "Views/StickyWindowState.h"

#include <QPropertyAnimation>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// A panel placed from a short stored frame still restores to this much.
constexpr qreal kMinimumRememberedHeight = 220;

} // namespace

FloatingStickyNoteController::FloatingStickyNoteController(ZulStudioViewModel &viewModel, QObject *parent)
    : QObject(parent), m_viewModel(&viewModel), m_defaultSize(FloatingStickyGeometry::defaultSize),
      m_collapsedHeight(FloatingStickyGeometry::collapsedHeight)
{
    screenLayoutProvider = [] { return ZulScreenLayout::current(); };
}

FloatingStickyNoteController::~FloatingStickyNoteController()
{
    for (const HostedSticky &hosted : std::as_const(m_panelsByNoteID)) {
        if (hosted.panel) {
            hosted.panel->disconnect(this);
            delete hosted.panel.data();
        }
    }
}

QRectF FloatingStickyNoteController::resolvedInitialFrame(const std::optional<QRectF> &storedFrame) const
{
    return FloatingStickyGeometry::resolvedInitialFrame(storedFrame, screenLayoutProvider(),
                                                        m_panelsByNoteID.size(), m_defaultSize);
}

void FloatingStickyNoteController::showSticky(const QUuid &noteID)
{
    if (const auto found = m_panelsByNoteID.constFind(noteID); found != m_panelsByNoteID.cend() && found->panel) {
        // Already open: only to the front, as it stands.
        found->panel->show();
        found->panel->raise();
        found->panel->activateWindow();
        return;
    }
    const std::optional<ZulNote> note = m_viewModel->note(noteID);
    if (!note)
        return;

    const ZulScreenLayout layout = screenLayoutProvider();
    const QRectF frame = resolvedInitialFrame(note->stickyFrame);

    auto *panel = new StickyNotePanel;
    panel->noteID = noteID;
    auto *state = new StickyWindowState(panel);
    state->expandedHeight = std::max(frame.height(), kMinimumRememberedHeight);
    panel->setMinimumSize(FloatingStickyGeometry::minimumSize.toSize());
    panel->setMaximumSize(FloatingStickyGeometry::maximumSize.toSize());
    ZulWindowPlacement::place(panel, ZulScreenCoordinates::toTopLeft(frame, layout.flipAxis));

    const QPointer<FloatingStickyNoteController> weakSelf(this);
    const QPointer<ZulStudioViewModel> viewModel(m_viewModel);
    auto *view = new FloatingStickyNoteView(
        m_viewModel, noteID, state,
        [weakSelf, noteID] {
            if (weakSelf)
                weakSelf->toggleCollapse(noteID);
        },
        [weakSelf, noteID] {
            if (weakSelf)
                weakSelf->toggleAlwaysOnTop(noteID);
        },
        [viewModel, noteID] {
            if (viewModel)
                viewModel->closeFloatingSticky(noteID);
        });
    auto *host = new FirstClickHostingView(view);
    const QPointer<StickyWindowState> weakState(state);
    host->setOnHoverChanged([weakState](bool inside) {
        if (weakState)
            weakState->setIsHovering(inside);
    });
    host->updateTrackingAreas();
    auto *layoutBox = new QVBoxLayout(panel);
    layoutBox->setContentsMargins(0, 0, 0, 0);
    layoutBox->addWidget(host);

    connect(panel, &StickyNotePanel::frameChanged, this,
            [this, noteID](const QRectF &frame, bool moved) { persistFrame(noteID, frame, moved); });
    m_panelsByNoteID.insert(noteID, HostedSticky{noteID, panel, state});

    panel->show();
    panel->raise();
    panel->activateWindow();
}

void FloatingStickyNoteController::closeSticky(const QUuid &noteID)
{
    const HostedSticky hosted = m_panelsByNoteID.take(noteID);
    if (!hosted.panel)
        return;
    // Stop listening first: hiding must not report a frame.
    hosted.panel->disconnect(this);
    hosted.panel->hide();
    // The close request may come from a button inside this very panel.
    hosted.panel->deleteLater();
}

void FloatingStickyNoteController::toggleCollapse(const QUuid &noteID)
{
    const auto found = m_panelsByNoteID.constFind(noteID);
    if (found == m_panelsByNoteID.cend() || !found->panel || !found->state)
        return;
    StickyNotePanel *panel = found->panel;
    StickyWindowState *state = found->state;
    const ZulScreenLayout layout = screenLayoutProvider();
    const qreal axis = layout.flipAxis;
    const QRectF frame = ZulScreenCoordinates::toBottomLeft(ZulWindowPlacement::frameOf(panel), axis);
    QRectF target;
    if (state->isCollapsed()) {
        // Cleared first, so the frames of the expansion are stored.
        state->setIsCollapsed(false);
        target = FloatingStickyGeometry::expandedFrame(frame, state->expandedHeight, layout);
    } else {
        state->expandedHeight = FloatingStickyGeometry::heightToRestore(frame.height());
        state->setIsCollapsed(true);
        target = FloatingStickyGeometry::collapsedFrame(frame, m_collapsedHeight);
    }
    auto *animation = new QPropertyAnimation(panel, "geometry", panel);
    animation->setDuration(collapseAnimationMs);
    animation->setEasingCurve(veskEaseInOutCurve());
    animation->setStartValue(panel->geometry());
    animation->setEndValue(ZulScreenCoordinates::toTopLeft(target, axis).toRect());
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void FloatingStickyNoteController::toggleAlwaysOnTop(const QUuid &noteID)
{
    const auto found = m_panelsByNoteID.constFind(noteID);
    if (found == m_panelsByNoteID.cend() || !found->panel || !found->state)
        return;
    found->state->setIsAlwaysOnTop(!found->state->isAlwaysOnTop());
    found->panel->setAlwaysOnTop(found->state->isAlwaysOnTop());
}

void FloatingStickyNoteController::persistFrame(const QUuid &noteID, const QRectF &reported, bool moved)
{
    const auto found = m_panelsByNoteID.constFind(noteID);
    if (found == m_panelsByNoteID.cend() || !found->panel || !found->state)
        return;
    if (!found->panel->noteID || *found->panel->noteID != noteID)
        return;
    const ZulScreenLayout layout = screenLayoutProvider();
    const QRectF frame = ZulScreenCoordinates::toBottomLeft(reported, layout.flipAxis);
    // There a panel's place is never known: what would be stored is only
    // where it was asked to be, and the user's places are worth more.
    const bool placesAreKnown = !m_viewModel->isOnNativeWayland();
    if (found->state->isCollapsed()) {
        // The bar's own frame is never stored, and folding it in place
        // changes nothing stored. A bar moved elsewhere stores the frame it
        // will unfold to there, so the next start opens it where the user
        // left it.
        if (moved && placesAreKnown)
            m_viewModel->updateStickyFrame(noteID, FloatingStickyGeometry::storedForm(FloatingStickyGeometry::expandedFrame(
                                                       frame, found->state->expandedHeight, layout)));
        return;
    }
    found->state->expandedHeight = frame.height();
    if (placesAreKnown)
        m_viewModel->updateStickyFrame(noteID, FloatingStickyGeometry::storedForm(frame));
}
