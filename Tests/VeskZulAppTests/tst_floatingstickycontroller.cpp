#include "PanelTestSupport.h"
#include "VeskKit/Design/VeskPanelWindow.h"
#include "Views/FloatingStickyGeometry.h"
#include "Views/FloatingStickyNoteView.h"
#include "Views/StickyNotePanel.h"
#include "Views/StickyWindowState.h"
#include "VeskKit/Design/VeskWindowResizeGrips.h"
#include "Views/ZulMinimalIconButton.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPropertyAnimation>
#include <QTest>

using namespace paneltest;
using studiotest::Studio;

Q_DECLARE_METATYPE(std::optional<QRectF>)

namespace {

constexpr int kSettleMs = 3000;

ZulNote floatingNote(const QString &title, std::optional<QRectF> frame = std::nullopt)
{
    ZulNote note = studiotest::makeNote(title, QStringLiteral("2 + 3\n4"), QDateTime::currentDateTimeUtc());
    note.isFloatingSticky = true;
    note.stickyFrame = frame;
    return note;
}

// The note's frame as notes.json holds it: [[x, y], [width, height]].
std::optional<QRectF> frameOnDisk(const QByteArray &notesFile, const QUuid &id)
{
    const QJsonArray notes = QJsonDocument::fromJson(notesFile).array();
    for (const QJsonValue &value : notes) {
        const QJsonObject note = value.toObject();
        if (QUuid(note.value(QStringLiteral("id")).toString()) != id)
            continue;
        if (!note.contains(QStringLiteral("stickyFrame")))
            return std::nullopt;
        const QJsonArray frame = note.value(QStringLiteral("stickyFrame")).toArray();
        const QJsonArray origin = frame.at(0).toArray();
        const QJsonArray size = frame.at(1).toArray();
        return QRectF(origin.at(0).toDouble(), origin.at(1).toDouble(), size.at(0).toDouble(), size.at(1).toDouble());
    }
    return std::nullopt;
}

// Until a collapse or expansion ran to its end (its last steps would undo a
// move) and the window system reported where it left the panel.
void settle(StickyNotePanel *panel)
{
    QTRY_VERIFY_WITH_TIMEOUT(panel->findChildren<QPropertyAnimation *>().isEmpty(), kSettleMs);
    QTRY_COMPARE(panel->reportedFrame(), std::optional<QRect>(panel->geometry()));
}

} // namespace

class TestFloatingStickyController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void reopensFloatingNotesInTheirPlacesAtStartUp_data();
    void reopensFloatingNotesInTheirPlacesAtStartUp();
    void newStickiesCascadeAndWrapAfterSix();
    void aMovedStickyStoresItsFrameBottomLeft_data();
    void aMovedStickyStoresItsFrameBottomLeft();
    void collapseKeepsTheTopAndStoresOnlyExpandedFrames();
    void showingAnOpenStickyOnlyRaisesIt();
    void aNewStickyKeepsTheKeyboardInItsText();
    void alwaysOnTopTogglesTheLevel();
    void closingFromThePanelClearsTheFlag();
    void unknownNotesAndClosedPanelsAreIgnored();
    void panelsKeepTheirSizeLimits();
    void draggingACornerResizesAndDraggingTheBarMoves();

private:
    // Seeds the notes, builds the view model and waits for the start-up
    // reopening of floating notes.
    void start(const QList<ZulNote> &notes);
    ZulStudioViewModel &viewModel() { return *m_studio->viewModel; }
    FloatingStickyNoteController &stickies() { return *m_panels->stickies; }
    StickyNotePanel *panel(const QUuid &id) { return stickies().panelsByNoteID().value(id).panel; }
    StickyWindowState *state(const QUuid &id) { return stickies().panelsByNoteID().value(id).state; }

    std::unique_ptr<studiotest::PrivateHome> m_home;
    std::unique_ptr<Studio> m_studio;
    std::shared_ptr<Panels> m_panels;
};

void TestFloatingStickyController::init()
{
    m_home = std::make_unique<studiotest::PrivateHome>();
    m_studio = std::make_unique<Studio>();
    m_panels = std::make_shared<Panels>();
}

void TestFloatingStickyController::cleanup()
{
    m_studio.reset();
    m_panels.reset();
    m_home.reset();
}

void TestFloatingStickyController::start(const QList<ZulNote> &notes)
{
    m_studio->seed(notes);
    startWithRealPanels(*m_studio, m_panels);
    bool anyFloating = false;
    for (const ZulNote &note : notes)
        anyFloating = anyFloating || note.isFloatingSticky;
    if (anyFloating)
        QTRY_VERIFY(m_panels->stickies && !m_panels->stickies->panelsByNoteID().isEmpty());
}

void TestFloatingStickyController::reopensFloatingNotesInTheirPlacesAtStartUp_data()
{
    QTest::addColumn<std::optional<QRectF>>("stored");
    QTest::addColumn<QRect>("expected");

    // 1440 × 900: the first cascaded place is 382 in from the right, 406 down from the top.
    QTest::newRow("no stored frame") << std::optional<QRectF>() << QRect(1058, 46, 340, 360);
    QTest::newRow("stored frame") << std::optional<QRectF>(QRectF(100, 200, 400, 300)) << QRect(100, 400, 400, 300);
    QTest::newRow("stored frame too small") << std::optional<QRectF>(QRectF(100, 200, 239, 400))
                                            << QRect(1058, 46, 340, 360);
    QTest::newRow("stored frame off every screen") << std::optional<QRectF>(QRectF(3000, 200, 400, 300))
                                                   << QRect(1058, 46, 340, 360);
    QTest::newRow("title strip out of reach above the screen")
        << std::optional<QRectF>(QRectF(100, 950, 400, 300)) << QRect(1058, 46, 340, 360);
}

void TestFloatingStickyController::reopensFloatingNotesInTheirPlacesAtStartUp()
{
    QFETCH(std::optional<QRectF>, stored);
    QFETCH(QRect, expected);

    const ZulNote note = floatingNote(QStringLiteral("Groceries"), stored);
    const ZulNote plain = studiotest::makeNote(QStringLiteral("Plain"), QString(), QDateTime::currentDateTimeUtc());
    start({note, plain});
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(stickies().panelsByNoteID().size(), 1);
    StickyNotePanel *sticky = panel(note.id);
    QVERIFY(sticky && sticky->isVisible());
    QCOMPARE(sticky->geometry(), expected);
    QCOMPARE(sticky->noteID, std::optional<QUuid>(note.id));
    QVERIFY(sticky->isAlwaysOnTop());
    QVERIFY(!state(note.id)->isCollapsed());
    // Opening stores nothing.
    QTest::qWait(ZulStudioViewModel::saveDebounceMs + 100);
    QCOMPARE(m_studio->viewModel->note(note.id)->stickyFrame, stored);
    // A key typed into the reopened panel goes into its text, not its title.
    QVERIFY(QTest::qWaitForWindowActive(sticky));
    QTest::keyClick(sticky->windowHandle(), '7');
    QCOMPARE(viewModel().note(note.id)->title, QStringLiteral("Groceries"));
    QCOMPARE(viewModel().note(note.id)->content.count(u'7'), 1);
}

void TestFloatingStickyController::newStickiesCascadeAndWrapAfterSix()
{
    start({studiotest::makeNote(QStringLiteral("Plain"), QString(),
                                                                QDateTime::currentDateTimeUtc())});
    if (QTest::currentTestFailed())
        return;
    ZulStudioViewModel &viewModel = this->viewModel();
    QList<QUuid> created;
    for (int i = 0; i < 7; ++i) {
        viewModel.createAndFloatStickyNote();
        created.append(*viewModel.selectedNoteID());
    }
    QCOMPARE(stickies().panelsByNoteID().size(), 7);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(panel(created.at(i))->geometry(), QRect(1058 - 28 * i, 46 + 28 * i, 340, 360));
    // The seventh lands where the first stands.
    QCOMPARE(panel(created.at(6))->geometry(), panel(created.at(0))->geometry());
}

void TestFloatingStickyController::aMovedStickyStoresItsFrameBottomLeft_data()
{
    // Native Wayland reports only the places asked for: nothing is stored.
    QTest::addColumn<bool>("nativeWayland");
    QTest::newRow("X11") << false;
    QTest::newRow("native Wayland") << true;
}

void TestFloatingStickyController::aMovedStickyStoresItsFrameBottomLeft()
{
    QFETCH(bool, nativeWayland);
    const ZulNote note = floatingNote(QStringLiteral("Moving"), QRectF(100, 200, 340, 360));
    m_studio->nativeWayland = nativeWayland;
    start({note});
    if (QTest::currentTestFailed())
        return;
    ZulStudioViewModel &viewModel = this->viewModel();
    StickyNotePanel *sticky = panel(note.id);
    const auto storedAs = [&](const QRectF &frame) { return nativeWayland ? note.stickyFrame : frame; };

    sticky->move(200, 100);
    QTRY_COMPARE(sticky->reportedFrame(), std::optional<QRect>(QRect(200, 100, 340, 360)));
    QCOMPARE(viewModel.note(note.id)->stickyFrame, storedAs(QRectF(200, 900 - 100 - 360, 340, 360)));
    sticky->resize(400, 500);
    const QRectF resized(200, 900 - 100 - 500, 400, 500);
    QTRY_COMPARE(sticky->reportedFrame(), std::optional<QRect>(QRect(200, 100, 400, 500)));
    QCOMPARE(viewModel.note(note.id)->stickyFrame, storedAs(resized));
    QCOMPARE(state(note.id)->expandedHeight, 500.0);
    // Saved after the pause, in the bottom-left form.
    QTRY_COMPARE_WITH_TIMEOUT(frameOnDisk(m_studio->notesFileBytes(), note.id), storedAs(resized), kSettleMs);
    if (nativeWayland)
        return;

    // And the next run puts it back there.
    m_studio->viewModel.reset();
    m_panels = std::make_shared<Panels>();
    startWithRealPanels(*m_studio, m_panels);
    QTRY_VERIFY(m_panels->stickies && panel(note.id));
    QCOMPARE(panel(note.id)->geometry(), QRect(200, 100, 400, 500));
}

void TestFloatingStickyController::collapseKeepsTheTopAndStoresOnlyExpandedFrames()
{
    // Top edge at y = 900 - 600 - 300 = 0 in Qt, at 900 in the stored form.
    // A tray 30 high along the bottom edge.
    const QRectF stored(40, 600, 340, 300);
    const ZulNote note = floatingNote(QStringLiteral("Folding"), stored);
    m_panels->layout.screens.first().visibleFrame = QRectF(0, 30, 1440, 870);
    start({note});
    if (QTest::currentTestFailed())
        return;
    ZulStudioViewModel &viewModel = this->viewModel();
    StickyNotePanel *sticky = panel(note.id);
    QCOMPARE(sticky->geometry(), QRect(40, 0, 340, 300));

    stickies().toggleCollapse(note.id);
    QVERIFY(state(note.id)->isCollapsed());
    settle(sticky);
    QCOMPARE(sticky->geometry(), QRect(40, 0, 340, 44));
    QCOMPARE(viewModel.note(note.id)->stickyFrame, std::optional<QRectF>(stored));

    // Moving it collapsed stores the frame it will open to there.
    sticky->move(60, 20);
    QTRY_COMPARE(viewModel.note(note.id)->stickyFrame, std::optional<QRectF>(QRectF(60, 580, 340, 300)));

    stickies().toggleCollapse(note.id);
    QVERIFY(!state(note.id)->isCollapsed());
    settle(sticky);
    QCOMPARE(sticky->geometry(), QRect(60, 20, 340, 300));
    QCOMPARE(viewModel.note(note.id)->stickyFrame, std::optional<QRectF>(QRectF(60, 580, 340, 300)));

    // A panel made 200 high comes back at 240.
    sticky->resize(340, 200);
    stickies().toggleCollapse(note.id);
    QTRY_COMPARE_WITH_TIMEOUT(sticky->height(), 44, kSettleMs);
    stickies().toggleCollapse(note.id);
    QTRY_COMPARE_WITH_TIMEOUT(sticky->geometry(), QRect(60, 20, 340, 240), kSettleMs);

    // Parked on the tray, it stores (and unfolds to) a frame whole above it.
    stickies().toggleCollapse(note.id);
    settle(sticky);
    sticky->move(274, 900 - 30 - 44);
    const QRectF parked(274, 30, 340, 240);
    QTRY_COMPARE(viewModel.note(note.id)->stickyFrame, std::optional<QRectF>(parked));
    QVERIFY(FloatingStickyGeometry::isUsableStoredFrame(parked, m_panels->layout));
    stickies().toggleCollapse(note.id);
    QTRY_COMPARE_WITH_TIMEOUT(sticky->geometry(), qtFrame(parked), kSettleMs);
}

void TestFloatingStickyController::showingAnOpenStickyOnlyRaisesIt()
{
    const ZulNote note = floatingNote(QStringLiteral("Once"), QRectF(100, 200, 400, 300));
    start({note});
    if (QTest::currentTestFailed())
        return;
    StickyNotePanel *sticky = panel(note.id);
    stickies().toggleCollapse(note.id);
    QTRY_COMPARE_WITH_TIMEOUT(sticky->height(), 44, kSettleMs);
    const QRect collapsed = sticky->geometry();

    stickies().showSticky(note.id);
    QCOMPARE(stickies().panelsByNoteID().size(), 1);
    QCOMPARE(panel(note.id), sticky);
    QVERIFY(state(note.id)->isCollapsed());
    QCOMPARE(sticky->geometry(), collapsed);
}

void TestFloatingStickyController::aNewStickyKeepsTheKeyboardInItsText()
{
    start({studiotest::makeNote(QStringLiteral("Plain"), QStringLiteral("1 + 1"), QDateTime::currentDateTimeUtc())});
    viewModel().createAndFloatStickyNote();
    const QUuid id = *viewModel().selectedNoteID();
    QVERIFY(QTest::qWaitForWindowActive(panel(id)));
    state(id)->setIsHovering(true);
    // Typed, collapsed with its button, typed, expanded, typed: what is
    // typed collapsed goes nowhere, the rest into the text.
    for (const char key : {'7', 'x', '8'}) {
        QTest::keyClick(panel(id)->windowHandle(), key);
        QTest::mouseClick(panel(id)->findChild<FloatingStickyNoteView *>()->collapseButton(), Qt::LeftButton);
    }
    QCOMPARE(viewModel().note(id)->title, QStringLiteral("Sticky Note"));
    QCOMPARE(viewModel().note(id)->content, QStringLiteral("78"));
}

void TestFloatingStickyController::alwaysOnTopTogglesTheLevel()
{
    const ZulNote note = floatingNote(QStringLiteral("Level"));
    start({note});
    if (QTest::currentTestFailed())
        return;
    StickyNotePanel *sticky = panel(note.id);
    const QRect before = sticky->geometry();
    stickies().toggleAlwaysOnTop(note.id);
    QVERIFY(!state(note.id)->isAlwaysOnTop());
    QVERIFY(!sticky->isAlwaysOnTop());
    QVERIFY(sticky->isVisible());
    QCOMPARE(sticky->geometry(), before);
    stickies().toggleAlwaysOnTop(note.id);
    QVERIFY(state(note.id)->isAlwaysOnTop());
    QVERIFY(sticky->isAlwaysOnTop());
    QVERIFY(sticky->isVisible());
}

void TestFloatingStickyController::closingFromThePanelClearsTheFlag()
{
    const ZulNote note = floatingNote(QStringLiteral("Closing"));
    start({note});
    if (QTest::currentTestFailed())
        return;
    ZulStudioViewModel &viewModel = this->viewModel();
    QPointer<StickyNotePanel> sticky = panel(note.id);
    auto *view = sticky->findChild<FloatingStickyNoteView *>();
    QVERIFY(view);
    state(note.id)->setIsHovering(true);
    QTest::mouseClick(view->closeButton(), Qt::LeftButton);

    QVERIFY(!viewModel.note(note.id)->isFloatingSticky);
    QVERIFY(stickies().panelsByNoteID().isEmpty());
    QTRY_VERIFY(!sticky);
    // Saved at once, with the flag off.
    QVERIFY(!m_studio->notesOnDisk().isEmpty());
    for (const ZulNote &saved : m_studio->notesOnDisk())
        QVERIFY(!saved.isFloatingSticky);
}

void TestFloatingStickyController::unknownNotesAndClosedPanelsAreIgnored()
{
    const ZulNote note = floatingNote(QStringLiteral("Only"));
    start({note});
    if (QTest::currentTestFailed())
        return;
    const QUuid unknown = QUuid::createUuid();
    stickies().showSticky(unknown);
    stickies().toggleCollapse(unknown);
    stickies().toggleAlwaysOnTop(unknown);
    stickies().closeSticky(unknown);
    QCOMPARE(stickies().panelsByNoteID().size(), 1);

    // Deleting the note closes its panel.
    m_studio->viewModel->deleteNote(note.id);
    QVERIFY(stickies().panelsByNoteID().isEmpty());
}

void TestFloatingStickyController::panelsKeepTheirSizeLimits()
{
    const ZulNote note = floatingNote(QStringLiteral("Limits"));
    start({note});
    if (QTest::currentTestFailed())
        return;
    StickyNotePanel *sticky = panel(note.id);
    QCOMPARE(sticky->minimumSize(), QSize(260, 44));
    QCOMPARE(sticky->maximumSize(), QSize(780, 900));
    sticky->resize(2000, 2000);
    QCOMPARE(sticky->size(), QSize(780, 900));
    sticky->resize(10, 10);
    QCOMPARE(sticky->size(), QSize(260, 44));
    QVERIFY(sticky->windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(sticky->windowType(), Qt::Window);
    QVERIFY(VeskPanelWindow::isPanel(sticky->windowHandle()));
}

void TestFloatingStickyController::draggingACornerResizesAndDraggingTheBarMoves()
{
    const ZulNote note = floatingNote(QStringLiteral("Dragged"), QRectF(100, 200, 400, 300));
    start({note});
    if (QTest::currentTestFailed())
        return;
    StickyNotePanel *sticky = panel(note.id);
    QCOMPARE(sticky->geometry(), QRect(100, 400, 400, 300));

    // No window manager here: the corner follows the pointer itself.
    QWidget *corner = sticky->resizeGrips()->grip(Qt::BottomEdge | Qt::RightEdge);
    QVERIFY(corner && corner->isVisible());
    const QPoint grab = corner->rect().center();
    QTest::mousePress(corner, Qt::LeftButton, {}, grab);
    QTest::mouseMove(corner, grab + QPoint(60, 40));
    QTest::mouseRelease(corner, Qt::LeftButton, {}, grab + QPoint(60, 40));
    QTRY_COMPARE(sticky->geometry(), QRect(100, 400, 460, 340));
    QTRY_COMPARE(viewModel().note(note.id)->stickyFrame, std::optional<QRectF>(QRectF(100, 160, 460, 340)));

    // Collapsed, then dragged by the middle of its title strip, beside the
    // title, the pointer over it as a user's is: it moves, and stores the
    // frame it will open to at its new place.
    stickies().toggleCollapse(note.id);
    settle(sticky);
    QCOMPARE(sticky->height(), 44);
    state(note.id)->setIsHovering(true);
    const QWidget *strip = sticky->findChild<FloatingStickyNoteView *>()->titleField()->parentWidget();
    auto pointer = std::make_shared<QPoint>(strip->mapToGlobal(strip->rect().center()));
    sticky->screenMouseLocationProvider = [pointer] { return QPointF(*pointer); };
    QWidget *target = sticky->childAt(sticky->mapFromGlobal(*pointer));
    QTest::mousePress(target, Qt::LeftButton, {}, target->mapFromGlobal(*pointer));
    *pointer += QPoint(80, 50);
    QTest::mouseMove(target, target->mapFromGlobal(*pointer));
    QTest::mouseRelease(target, Qt::LeftButton, {}, target->mapFromGlobal(*pointer));
    QCOMPARE(sticky->geometry(), QRect(180, 450, 460, 44));
    QTRY_COMPARE(viewModel().note(note.id)->stickyFrame, std::optional<QRectF>(QRectF(180, 110, 460, 340)));
}

QTEST_MAIN(TestFloatingStickyController)
#include "tst_floatingstickycontroller.moc"
