#include "StudioTestSupport.h"
#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskColorHex.h"
#include "Views/ComputationalEditorView.h"
#include "Views/EdgeDrawerContentView.h"
#include "Views/EdgeDrawerNoteChip.h"
#include "Views/EdgeHandleHoverState.h"
#include "Views/EdgePullHandleView.h"
#include "Views/ZulMinimalIconButton.h"

#include <QLayout>
#include <QScrollArea>
#include <QTest>

using studiotest::Studio;

Q_DECLARE_METATYPE(ZulEdgeSide)

namespace {

const QColor kAccent = veskColorFromHex(0x7CA4FF);

QColor white(double opacity)
{
    return veskColorFromHex(0xFFFFFF, opacity);
}

QColor accent(double opacity)
{
    QColor colour = kAccent;
    colour.setAlphaF(float(opacity));
    return colour;
}

QStringList chipTitles(const EdgeDrawerContentView &view)
{
    QStringList titles;
    for (EdgeDrawerNoteChip *chip : view.chips())
        titles.append(chip->text());
    return titles;
}

} // namespace

class TestEdgeDrawerViews : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void handleAppearance_data();
    void handleAppearance();
    void handleHugsTheEdgeSide_data();
    void handleHugsTheEdgeSide();

    void emptyDrawerOffersAQuickNote();
    void chipsFollowTheListAndSelectOnly();
    void filterHidingEveryNoteKeepsTheEditor();
    void quickNotesStackUpNewestFirst();
    void headerButtonsReachTheViewModel();
    void textsFollowTheLanguage();

private:
    std::unique_ptr<studiotest::PrivateHome> m_home;
    std::unique_ptr<Studio> m_studio;
};

void TestEdgeDrawerViews::init()
{
    m_home = std::make_unique<studiotest::PrivateHome>();
    m_studio = std::make_unique<Studio>();
}

void TestEdgeDrawerViews::cleanup()
{
    m_studio.reset();
    m_home.reset();
}

void TestEdgeDrawerViews::handleAppearance_data()
{
    QTest::addColumn<ZulEdgeSide>("side");
    QTest::addColumn<bool>("hovering");
    QTest::addColumn<bool>("open");
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<qreal>("radius");
    QTest::addColumn<qreal>("vibrancy");
    QTest::addColumn<QString>("chevron");
    QTest::addColumn<bool>("grips");
    QTest::addColumn<qreal>("capsule");
    QTest::addColumn<QColor>("stroke");
    QTest::addColumn<qreal>("gradientTop");

    QTest::newRow("right, closed, at rest") << ZulEdgeSide::right << false << false << QSizeF(10, 84) << 5.5 << 0.62
                                            << "chevron.left" << false << 0.26 << white(0.14) << 0.16;
    QTest::newRow("right, closed, hovered") << ZulEdgeSide::right << true << false << QSizeF(15, 104) << 7.5 << 0.96
                                            << "chevron.left" << true << 0.0 << accent(0.82) << 0.5;
    QTest::newRow("right, open, pointer elsewhere") << ZulEdgeSide::right << false << true << QSizeF(10, 84) << 5.5
                                                    << 0.96 << "chevron.right" << false << 0.42 << white(0.22)
                                                    << 0.16;
    QTest::newRow("right, open, hovered") << ZulEdgeSide::right << true << true << QSizeF(15, 104) << 7.5 << 0.96
                                          << "chevron.right" << true << 0.0 << accent(0.82) << 0.5;
    QTest::newRow("left, closed, hovered") << ZulEdgeSide::left << true << false << QSizeF(15, 104) << 7.5 << 0.96
                                           << "chevron.right" << true << 0.0 << accent(0.82) << 0.5;
    QTest::newRow("left, open, at rest") << ZulEdgeSide::left << false << true << QSizeF(10, 84) << 5.5 << 0.96
                                         << "chevron.left" << false << 0.42 << white(0.22) << 0.16;
}

void TestEdgeDrawerViews::handleAppearance()
{
    QFETCH(ZulEdgeSide, side);
    QFETCH(bool, hovering);
    QFETCH(bool, open);
    const EdgePullHandleView::Appearance look = EdgePullHandleView::appearance(side, hovering, open, kAccent);
    QTEST(look.size, "size");
    QTEST(look.radius, "radius");
    QTEST(look.vibrancyOpacity, "vibrancy");
    QTEST(look.chevron, "chevron");
    QTEST(look.showsGrips, "grips");
    QTEST(look.capsuleOpacity, "capsule");
    QTEST(look.stroke, "stroke");
    QTEST(look.gradientTopOpacity, "gradientTop");
    QCOMPARE(look.shadowOpacity, hovering ? 0.42 : 0.0);
}

void TestEdgeDrawerViews::handleHugsTheEdgeSide_data()
{
    QTest::addColumn<ZulEdgeSide>("side");
    QTest::addColumn<bool>("hovering");
    QTest::addColumn<QRectF>("expected");

    QTest::newRow("right edge at rest") << ZulEdgeSide::right << false << QRectF(8, 14, 10, 84);
    QTest::newRow("right edge hovered") << ZulEdgeSide::right << true << QRectF(3, 4, 15, 104);
    QTest::newRow("left edge at rest") << ZulEdgeSide::left << false << QRectF(0, 14, 10, 84);
    QTest::newRow("left edge hovered") << ZulEdgeSide::left << true << QRectF(0, 4, 15, 104);
}

void TestEdgeDrawerViews::handleHugsTheEdgeSide()
{
    QFETCH(ZulEdgeSide, side);
    QFETCH(bool, hovering);
    QFETCH(QRectF, expected);
    const QSizeF size = EdgePullHandleView::appearance(side, hovering, false, kAccent).size;
    QCOMPARE(EdgePullHandleView::shapeRect(QRectF(0, 0, 18, 112), side, size), expected);
}

void TestEdgeDrawerViews::emptyDrawerOffersAQuickNote()
{
    ZulStudioViewModel &viewModel = m_studio->start();
    for (const ZulNote &note : viewModel.notes())
        viewModel.deleteNote(note.id);
    QVERIFY(viewModel.notes().isEmpty());
    QVERIFY(!viewModel.selectedNoteID());

    EdgeDrawerContentView view(&viewModel, [] {}, kAccent);
    view.resize(380, 700);
    view.show();
    QVERIFY(view.chips().isEmpty());
    QVERIFY(view.isShowingEmptyState());
    QVERIFY(view.newQuickNoteButton()->isVisible());
    QVERIFY(view.closeButton()->isVisible());
    QVERIFY(!view.popOutButton()->isVisible());
    QVERIFY(!view.openInStudioButton()->isVisible());
    // The strip keeps its height while empty.
    QVERIFY(view.chipStrip()->height() > 14);

    view.createQuickNoteButton()->click();
    QCOMPARE(viewModel.notes().size(), 1);
    const ZulNote created = viewModel.notes().first();
    QCOMPARE(created.title, QStringLiteral("Quick Scratch"));
    QVERIFY(created.isEphemeral);
    QVERIFY(!created.isFloatingSticky);
    QCOMPARE(created.tint, ZulNoteTint::indigo);
    QCOMPARE(viewModel.selectedNoteID(), std::optional<QUuid>(created.id));
    QVERIFY(!view.isShowingEmptyState());
    QCOMPARE(view.editor()->noteID(), created.id);
    QVERIFY(view.editor()->compactMode());
    QVERIFY(!view.editor()->showHeaderControls());
    QCOMPARE(chipTitles(view), QStringList{QStringLiteral("Quick Scratch")});
    QVERIFY(view.popOutButton()->isVisible());
    QVERIFY(view.openInStudioButton()->isVisible());
}

void TestEdgeDrawerViews::chipsFollowTheListAndSelectOnly()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    ZulNote older = studiotest::makeNote(QStringLiteral("Older"), QStringLiteral("1"), now.addSecs(-60));
    ZulNote untitled = studiotest::makeNote(QString(), QStringLiteral("## Budget line\nrest"), now);
    untitled.tint = ZulNoteTint::coral;
    m_studio->seed({older, untitled});
    ZulStudioViewModel &viewModel = m_studio->start();
    viewModel.setSelectedTab(ZulStudioTab::settings);
    const int writesBefore = m_studio->writes->writeCount();

    EdgeDrawerContentView view(&viewModel, [] {}, kAccent);
    view.resize(380, 700);
    view.show();
    // The list's order; an empty title falls back to the text's first line.
    QCOMPARE(chipTitles(view), (QStringList{QStringLiteral("Budget line"), QStringLiteral("Older")}));
    EdgeDrawerNoteChip *first = view.chips().at(0);
    EdgeDrawerNoteChip *second = view.chips().at(1);
    QVERIFY(first->isSelected());
    QCOMPARE(first->tint(), ZulNoteTint::coral);
    QCOMPARE(first->fillColour(), veskColorFromHex(0xF472D0, 0.24));
    QCOMPARE(second->fillColour(), white(0.05));
    QCOMPARE(second->borderColour().alpha(), 0);

    QTest::mouseClick(second, Qt::LeftButton);
    QCOMPARE(viewModel.selectedNoteID(), std::optional<QUuid>(older.id));
    // Selecting changes neither the tab nor anything on disk.
    QCOMPARE(viewModel.selectedTab(), ZulStudioTab::settings);
    QTest::qWait(ZulStudioViewModel::saveDebounceMs + 100);
    QCOMPARE(m_studio->writes->writeCount(), writesBefore);
    QCOMPARE(view.editor()->noteID(), older.id);
    QVERIFY(view.chips().at(1)->isSelected());
    QVERIFY(!view.chips().at(0)->isSelected());

    // Each change of a note reaches its chip: an edit moves it to the front,
    // a new title and tint show, a deleted note's chip goes.
    const auto chipsMatchTheList = [&] {
        // In the list's order, left to right as they stand on screen.
        view.chipStrip()->widget()->layout()->activate();
        QList<EdgeDrawerNoteChip *> chips = view.chips();
        std::sort(chips.begin(), chips.end(), [](QWidget *a, QWidget *b) { return a->x() < b->x(); });
        QList<QUuid> chipIDs;
        for (EdgeDrawerNoteChip *chip : chips)
            chipIDs.append(chip->noteID());
        return chipIDs == studiotest::ids(viewModel.filteredNotes());
    };
    viewModel.updateNoteContent(older.id, QStringLiteral("2"));
    QVERIFY(chipsMatchTheList());
    viewModel.updateNoteTitle(untitled.id, QStringLiteral("Plan"));
    viewModel.updateNoteTint(older.id, ZulNoteTint::emerald);
    QVERIFY(chipsMatchTheList());
    QCOMPARE(chipTitles(view), (QStringList{QStringLiteral("Older"), QStringLiteral("Plan")}));
    QCOMPARE(view.chips().at(0)->tint(), ZulNoteTint::emerald);
    QVERIFY(view.chips().at(0)->isSelected());
    viewModel.deleteNote(untitled.id);
    QCOMPARE(chipTitles(view), QStringList{QStringLiteral("Older")});

    // The selected chip scrolls into view as the drawer opens and follows the selection.
    for (int i = 0; i < 8; ++i)
        viewModel.createNote(QStringLiteral("Filler note %1").arg(i), QString(), ZulNoteTint::indigo, false, false);
    view.hide();
    viewModel.setSelectedNoteID(older.id);
    view.show();
    const auto inView = [&view](QWidget *chip) {
        QWidget *strip = view.chipStrip()->viewport();
        return strip->rect().contains(QRect(chip->mapTo(strip, QPoint()), chip->size()));
    };
    QTRY_VERIFY(inView(view.chips().last()) && !inView(view.chips().first()));
    viewModel.setSelectedNoteID(view.chips().first()->noteID());
    QTRY_VERIFY(inView(view.chips().first()));
}

void TestEdgeDrawerViews::filterHidingEveryNoteKeepsTheEditor()
{
    ZulStudioViewModel &viewModel = m_studio->start();
    QVERIFY(viewModel.selectedNoteID());
    const QUuid selected = *viewModel.selectedNoteID();
    EdgeDrawerContentView view(&viewModel, [] {}, kAccent);
    view.show();
    QVERIFY(!view.chips().isEmpty());

    viewModel.setSearchText(QStringLiteral("no note holds this text zqxj"));
    QVERIFY(view.chips().isEmpty());
    QVERIFY(!view.isShowingEmptyState());
    QCOMPARE(view.editor()->noteID(), selected);
}

void TestEdgeDrawerViews::quickNotesStackUpNewestFirst()
{
    ZulStudioViewModel &viewModel = m_studio->start();
    EdgeDrawerContentView view(&viewModel, [] {}, kAccent);
    view.show();
    QVERIFY(QTest::qWaitForWindowActive(&view));
    view.newQuickNoteButton()->click();
    const QUuid firstID = *viewModel.selectedNoteID();
    view.newQuickNoteButton()->click();
    const QUuid secondID = *viewModel.selectedNoteID();
    QVERIFY(firstID != secondID);
    QCOMPARE(viewModel.notes().at(0).id, secondID);
    QCOMPARE(viewModel.notes().at(1).id, firstID);
    QCOMPARE(viewModel.notes().at(0).title, viewModel.notes().at(1).title);
    // In the list's order: pinned notes first, then the newest.
    QList<QUuid> chipIDs;
    for (EdgeDrawerNoteChip *chip : view.chips())
        chipIDs.append(chip->noteID());
    QCOMPARE(chipIDs, studiotest::ids(viewModel.filteredNotes()));
    QVERIFY(chipIDs.indexOf(secondID) + 1 == chipIDs.indexOf(firstID));
    QVERIFY(view.chips().at(chipIDs.indexOf(secondID))->isSelected());
    QCOMPARE(view.editor()->noteID(), secondID);
    // What is typed next goes into the new note.
    for (const char c : QByteArray("4 * 5"))
        QTest::keyClick(view.windowHandle(), c);
    QCOMPARE(viewModel.note(secondID)->content, QStringLiteral("4 * 5"));
}

void TestEdgeDrawerViews::headerButtonsReachTheViewModel()
{
    ZulStudioViewModel &viewModel = m_studio->start();
    int closes = 0;
    EdgeDrawerContentView view(&viewModel, [&closes] { ++closes; }, kAccent);
    view.show();
    const QUuid selected = *viewModel.selectedNoteID();

    view.popOutButton()->click();
    QVERIFY(viewModel.note(selected)->isFloatingSticky);
    QCOMPARE(m_studio->stickies->shown, QList<QUuid>{selected});

    viewModel.setSelectedTab(ZulStudioTab::settings);
    view.openInStudioButton()->click();
    QCOMPARE(viewModel.selectedTab(), ZulStudioTab::workspace);

    view.closeButton()->click();
    QCOMPARE(closes, 1);
}

void TestEdgeDrawerViews::textsFollowTheLanguage()
{
    ZulStudioViewModel &viewModel = m_studio->start();
    EdgeDrawerContentView view(&viewModel, [] {}, kAccent);
    EdgeHandleHoverState hover;
    EdgePullHandleView handle(&viewModel, &hover, [] {}, kAccent);
    viewModel.setLanguage(VeskLanguage::en);
    QCOMPARE(view.title(), QStringLiteral("VeskZul"));
    QCOMPARE(view.closeButton()->toolTip(), QStringLiteral("Close Drawer (Esc)"));
    QCOMPARE(handle.toolTip(), QStringLiteral("Toggle VeskZul Edge Drawer (Ctrl+Alt+N)"));
    viewModel.setLanguage(VeskLanguage::tr);
    QCOMPARE(view.title(), QStringLiteral("VeskZul"));
    QCOMPARE(view.caption(), QStringLiteral("Ctrl+Alt+N · Not Çekmecesi"));
    QCOMPARE(view.closeButton()->toolTip(), QStringLiteral("Çekmeceyi Kapat (Esc)"));
    QCOMPARE(view.createQuickNoteButton()->text(), QStringLiteral("Hızlı Not Oluştur"));
    QCOMPARE(handle.toolTip(), QStringLiteral("VeskZul Kenar Çekmecesini Aç/Kapat (Ctrl+Alt+N)"));
}

QTEST_MAIN(TestEdgeDrawerViews)
#include "tst_edgedrawerviews.moc"
