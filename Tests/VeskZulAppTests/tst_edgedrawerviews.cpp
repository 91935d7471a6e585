#include "StudioTestSupport.h"
#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskColorHex.h"
#include "Views/ComputationalEditorView.h"
#include "Views/EdgeDrawerChipStrip.h"
#include "Views/EdgeDrawerContentView.h"
#include "Views/EdgeDrawerNoteChip.h"
#include "Views/EdgeHandleHoverState.h"
#include "Views/EdgePullHandleView.h"
#include "Views/ZulMinimalIconButton.h"

#include <QPainter>
#include <QScrollBar>
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

// "Note 0" to "Note <count - 1>", listed in that order.
QList<ZulNote> numberedNotes(int count)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<ZulNote> notes;
    for (int i = 0; i < count; ++i)
        notes.append(studiotest::makeNote(QStringLiteral("Note %1").arg(i), QString(), now.addSecs(-i)));
    return notes;
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
    void stripMakesOnlyTheChipsOnScreen_data();
    void stripMakesOnlyTheChipsOnScreen();
    void keysWalkPastTheChipsOnScreen();
    void glassLooksTheSameAtEverySize();
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
        return chip && strip->rect().contains(QRect(chip->mapTo(strip, QPoint()), chip->size()));
    };
    QTRY_VERIFY(inView(view.chips().last()) && !inView(view.chips().first()));
    const QUuid cutOff = view.chips().first()->noteID();
    viewModel.setSelectedNoteID(cutOff);
    QTRY_VERIFY(inView(view.chipStrip()->chipOf(cutOff)));
}

void TestEdgeDrawerViews::stripMakesOnlyTheChipsOnScreen_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<double>("scrolled"); // of the strip's whole range

    QTest::newRow("all notes, at the start") << QString() << 0.0;
    QTest::newRow("all notes, half way") << QString() << 0.5;
    QTest::newRow("all notes, at the end") << QString() << 1.0;
    QTest::newRow("searched, at the end") << QStringLiteral("7") << 1.0;
    QTest::newRow("searched to nothing") << QStringLiteral("no note holds this zqxj") << 0.0;
}

void TestEdgeDrawerViews::stripMakesOnlyTheChipsOnScreen()
{
    QFETCH(QString, search);
    QFETCH(double, scrolled);
    const QList<ZulNote> notes = numberedNotes(300);
    m_studio->seed(notes);
    ZulStudioViewModel &viewModel = m_studio->start();
    EdgeDrawerContentView view(&viewModel, [] {}, kAccent);
    view.resize(380, 700);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    EdgeDrawerChipStrip *strip = view.chipStrip();

    viewModel.setSearchText(search);
    QScrollBar *bar = strip->horizontalScrollBar();
    bar->setValue(int(bar->maximum() * scrolled));

    // The chips are the rows the strip shows, where it shows them, in order.
    const QList<ZulNote> listed = viewModel.filteredNotes();
    const QList<QUuid> listedIDs = studiotest::ids(listed);
    const int scroll = bar->value();
    const int width = strip->viewport()->width();
    QCOMPARE(bar->maximum(), std::max(0, strip->contentWidth() - width));
    QList<QUuid> expected;
    for (int row = 0; row < listed.size(); ++row) {
        if (strip->rowLeft(row) + strip->rowWidth(row) > scroll && strip->rowLeft(row) < scroll + width)
            expected.append(listed[row].id);
    }
    QList<QUuid> shown;
    for (EdgeDrawerNoteChip *chip : view.chips()) {
        shown.append(chip->noteID());
        const int row = int(listedIDs.indexOf(chip->noteID()));
        QCOMPARE(chip->x(), strip->rowLeft(row) - scroll);
        QCOMPARE(chip->width(), chip->sizeHint().width());
        QCOMPARE(chip->text(), listed[row].title);
        QCOMPARE(chip->isSelected(), viewModel.selectedNoteID() == chip->noteID());
    }
    QCOMPARE(shown, expected);
    QVERIFY(shown.size() < 12);
}

void TestEdgeDrawerViews::keysWalkPastTheChipsOnScreen()
{
    const QList<ZulNote> notes = numberedNotes(40);
    m_studio->seed(notes);
    ZulStudioViewModel &viewModel = m_studio->start();
    EdgeDrawerContentView view(&viewModel, [] {}, kAccent);
    view.resize(380, 700);
    view.show();
    QVERIFY(QTest::qWaitForWindowActive(&view));
    QWidget *strip = view.chipStrip()->viewport();
    // The note of the chip holding the keyboard, when it is wholly in view.
    const auto focusedInView = [strip] {
        auto *chip = qobject_cast<EdgeDrawerNoteChip *>(QApplication::focusWidget());
        return chip && strip->rect().contains(chip->geometry()) ? chip->noteID() : QUuid();
    };
    view.chips().first()->setFocus(Qt::TabFocusReason);
    // Right along every note and one more, then Left back to the first: the
    // keyboard never drops off the strip.
    for (int row = 1; row <= 40; ++row) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QCOMPARE(focusedInView(), notes[std::min(row, 39)].id);
    }
    for (int row = 38; row >= 0; --row)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    QCOMPARE(focusedInView(), notes[0].id);
    // Scrolled away from it, the chip holding the keyboard stays, and the
    // next key brings its neighbour back into view.
    view.chipStrip()->horizontalScrollBar()->setValue(view.chipStrip()->horizontalScrollBar()->maximum());
    QCOMPARE(qobject_cast<EdgeDrawerNoteChip *>(QApplication::focusWidget())->noteID(), notes[0].id);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QCOMPARE(focusedInView(), notes[1].id);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(viewModel.selectedNoteID(), std::optional<QUuid>(notes[1].id));
}

void TestEdgeDrawerViews::glassLooksTheSameAtEverySize()
{
    ZulStudioViewModel &viewModel = m_studio->start();
    EdgeDrawerContentView view(&viewModel, [] {}, kAccent);
    view.show();
    for (const QSize size : {QSize(380, 700), QSize(380, 480), QSize(420, 900)}) {
        view.resize(size);
        QImage shown(size, QImage::Format_ARGB32_Premultiplied);
        shown.fill(Qt::transparent);
        QImage painted = shown;
        view.render(&shown, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        QPainter painter(&painted);
        painter.setRenderHint(QPainter::Antialiasing);
        EdgeDrawerContentView::paintBackdrop(painter, QRectF(QPointF(0, 0), QSizeF(size)), kAccent);
        painter.end();
        QCOMPARE(shown, painted);
    }
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
    view.resize(380, 700);
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
    // In the list's order: pinned notes first, then the newest; as many as
    // the strip has room for.
    QList<QUuid> chipIDs;
    for (EdgeDrawerNoteChip *chip : view.chips())
        chipIDs.append(chip->noteID());
    QVERIFY(chipIDs.size() >= 2);
    QCOMPARE(chipIDs, studiotest::ids(viewModel.filteredNotes()).mid(0, chipIDs.size()));
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
