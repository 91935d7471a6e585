#include "StudioTestSupport.h"
#include "VeskKit/Design/VeskColorHex.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskButton.h"
#include "Views/ComputationalEditorView.h"
#include "Views/ZulEditorStatusBar.h"
#include "Views/FloatingStickyNoteView.h"
#include "Views/StickyWindowState.h"
#include "Views/ZulMinimalIconButton.h"
#include "Views/ZulTintDotPicker.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

using studiotest::Studio;

namespace {

struct Actions
{
    int collapses = 0;
    int pins = 0;
    int closes = 0;
};

} // namespace

class TestFloatingStickyNoteView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void buttonsTakeClicksOnlyWhileHovered_data();
    void buttonsTakeClicksOnlyWhileHovered();
    void collapsingShowsTheTotalInsteadOfTheEditor_data();
    void collapsingShowsTheTotalInsteadOfTheEditor();
    void pinShowsTheLevel();
    void titleAndTintGoToTheViewModel();
    void placeholderFollowsTheLanguage();
    void missingNoteDrawsNothing();
    void glassFollowsTheTint();

private:
    FloatingStickyNoteView *makeView(const QUuid &id);

    std::unique_ptr<studiotest::PrivateHome> m_home;
    std::unique_ptr<Studio> m_studio;
    std::unique_ptr<StickyWindowState> m_state;
    std::unique_ptr<FloatingStickyNoteView> m_view;
    Actions m_actions;
};

void TestFloatingStickyNoteView::init()
{
    m_home = std::make_unique<studiotest::PrivateHome>();
    m_studio = std::make_unique<Studio>();
    m_state = std::make_unique<StickyWindowState>();
    m_actions = {};
}

void TestFloatingStickyNoteView::cleanup()
{
    m_view.reset();
    m_state.reset();
    m_studio.reset();
    m_home.reset();
}

FloatingStickyNoteView *TestFloatingStickyNoteView::makeView(const QUuid &id)
{
    m_view = std::make_unique<FloatingStickyNoteView>(
        m_studio->viewModel.get(), id, m_state.get(), [this] { ++m_actions.collapses; },
        [this] { ++m_actions.pins; }, [this] { ++m_actions.closes; });
    m_view->resize(340, 360);
    m_view->show();
    return m_view.get();
}

void TestFloatingStickyNoteView::buttonsTakeClicksOnlyWhileHovered_data()
{
    QTest::addColumn<bool>("hovering");
    QTest::newRow("pointer outside") << false;
    QTest::newRow("pointer inside") << true;
}

void TestFloatingStickyNoteView::buttonsTakeClicksOnlyWhileHovered()
{
    QFETCH(bool, hovering);
    ZulStudioViewModel &viewModel = m_studio->start();
    FloatingStickyNoteView *view = makeView(*viewModel.selectedNoteID());
    m_state->setIsHovering(hovering);
    QCOMPARE(view->buttonsAcceptClicks(), hovering);

    // A real click at each button's place: a button the pointer cannot use
    // must not fire, whatever it looks like.
    for (ZulMinimalIconButton *button : {view->pinButton(), view->collapseButton(), view->closeButton()}) {
        const QPoint centre = button->mapTo(view, button->rect().center());
        QWidget *target = view->childAt(centre);
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(view, centre));
    }
    const int expected = hovering ? 1 : 0;
    QCOMPARE(m_actions.pins, expected);
    QCOMPARE(m_actions.collapses, expected);
    QCOMPARE(m_actions.closes, expected);
}

void TestFloatingStickyNoteView::collapsingShowsTheTotalInsteadOfTheEditor_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("badge");

    QTest::newRow("numbers") << QStringLiteral("1200.456\n300") << QStringLiteral("1,500.46");
    QTest::newRow("no numeric line") << QStringLiteral("just words\nmore words") << QString();
}

void TestFloatingStickyNoteView::collapsingShowsTheTotalInsteadOfTheEditor()
{
    QFETCH(QString, content);
    QFETCH(QString, badge);
    ZulStudioViewModel &viewModel = m_studio->start();
    const QUuid id = *viewModel.selectedNoteID();
    viewModel.updateNoteContent(id, content);
    FloatingStickyNoteView *view = makeView(id);
    m_state->setIsHovering(true);

    QVERIFY(view->editor()->isVisible());
    QVERIFY(view->tintPicker()->isVisible());
    QVERIFY(!view->totalBadge()->isVisible());
    QCOMPARE(view->collapseButton()->systemName(), QStringLiteral("chevron.up"));

    m_state->setIsCollapsed(true);
    QVERIFY(!view->editor()->isVisible());
    QVERIFY(!view->tintPicker()->isVisible());
    QCOMPARE(view->totalBadge()->isVisible(), !badge.isEmpty());
    if (!badge.isEmpty())
        QCOMPARE(view->totalBadge()->text(), badge);
    QCOMPARE(view->collapseButton()->systemName(), QStringLiteral("chevron.down"));
    QVERIFY(view->pinButton()->isVisible());

    m_state->setIsCollapsed(false);
    QVERIFY(view->editor()->isVisible());
    QVERIFY(view->tintPicker()->isVisible());
    QVERIFY(!view->totalBadge()->isVisible());

    // However low, the title bar keeps its 44 points; at 100 the status bar stays whole.
    view->setMinimumSize(260, 44);
    for (const int height : {44, 100}) {
        view->resize(340, height);
        QTRY_COMPARE(view->titleField()->parentWidget()->height(), 44);
        QCOMPARE(view->closeButton()->height(), view->closeButton()->sizeHint().height());
    }
    VeskButton *copy = view->editor()->statusBar()->copyButton();
    QVERIFY(copy->height() == copy->sizeHint().height() && copy->mapTo(view, QPoint(0, copy->height())).y() <= 100);
}

void TestFloatingStickyNoteView::pinShowsTheLevel()
{
    ZulStudioViewModel &viewModel = m_studio->start();
    const QUuid id = *viewModel.selectedNoteID();
    viewModel.updateNoteTint(id, ZulNoteTint::amber);
    FloatingStickyNoteView *view = makeView(id);
    QCOMPARE(view->pinButton()->systemName(), QStringLiteral("pin.fill"));
    QCOMPARE(view->pinButton()->tint(), veskColorFromHex(0xFFA95C));
    m_state->setIsAlwaysOnTop(false);
    QCOMPARE(view->pinButton()->systemName(), QStringLiteral("pin.slash"));
    QCOMPARE(view->pinButton()->tint(), VeskGlassTokens::textMuted());
    m_state->setIsAlwaysOnTop(true);
    QCOMPARE(view->pinButton()->systemName(), QStringLiteral("pin.fill"));
}

void TestFloatingStickyNoteView::titleAndTintGoToTheViewModel()
{
    ZulStudioViewModel &viewModel = m_studio->start();
    const QUuid id = *viewModel.selectedNoteID();
    FloatingStickyNoteView *view = makeView(id);
    m_state->setIsHovering(true);
    QCOMPARE(view->titleField()->text(), viewModel.note(id)->title);

    QVERIFY(QTest::qWaitForWindowActive(view));
    view->titleField()->selectAll();
    QTest::keyClicks(view->titleField(), QStringLiteral("Trip costs"));
    QCOMPARE(viewModel.note(id)->title, QStringLiteral("Trip costs"));
    // Return ends the rename; what follows is the note's text.
    QTest::keyClick(view->titleField(), Qt::Key_Return);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("milk 2.5"));
    QCOMPARE(viewModel.note(id)->title, QStringLiteral("Trip costs"));
    QVERIFY(viewModel.note(id)->content.contains(QStringLiteral("milk 2.5")));

    // Another view of the same note renames it: the field follows.
    viewModel.updateNoteTitle(id, QStringLiteral("Renamed elsewhere"));
    QCOMPARE(view->titleField()->text(), QStringLiteral("Renamed elsewhere"));

    // A long title at rest shows its start, as a short one does, and whole as its tooltip.
    QLineEdit *field = view->titleField();
    field->clearFocus();
    view->resize(260, 360);
    viewModel.updateNoteTitle(id, QStringLiteral("Hızlı Karalama & Snippetler"));
    QTRY_COMPARE(field->toolTip(), QStringLiteral("Hızlı Karalama & Snippetler"));
    const QImage cut = field->grab().toImage().copy(0, 0, 30, field->height());
    viewModel.updateNoteTitle(id, QStringLiteral("Hızlı"));
    QTRY_VERIFY(field->toolTip().isEmpty());
    QCOMPARE(field->grab().toImage().copy(0, 0, 30, field->height()), cut);

    const QRectF violet = view->tintPicker()->dotRect(ZulNoteTint::violet);
    QTest::mouseClick(view->tintPicker(), Qt::LeftButton, {}, violet.center().toPoint());
    QCOMPARE(viewModel.note(id)->tint, ZulNoteTint::violet);
    QCOMPARE(view->tintPicker()->selected(), ZulNoteTint::violet);
    QCOMPARE(view->accent(), veskColorFromHex(0xA98BFF));
    // Hovered, once the fade has run.
    QTRY_COMPARE(view->ruleColour(), veskColorFromHex(0xA98BFF, 0.24));
}

void TestFloatingStickyNoteView::placeholderFollowsTheLanguage()
{
    ZulStudioViewModel &viewModel = m_studio->start();
    FloatingStickyNoteView *view = makeView(*viewModel.selectedNoteID());
    viewModel.setLanguage(VeskLanguage::en);
    QCOMPARE(view->titleField()->placeholderText(), QStringLiteral("Sticky title"));
    viewModel.setLanguage(VeskLanguage::tr);
    QCOMPARE(view->titleField()->placeholderText(), QStringLiteral("Yapışkan başlığı"));
    QCOMPARE(view->closeButton()->toolTip(), QStringLiteral("Yapışkan Notu Kapat"));
}

void TestFloatingStickyNoteView::missingNoteDrawsNothing()
{
    ZulStudioViewModel &viewModel = m_studio->start();
    const QUuid id = *viewModel.selectedNoteID();
    FloatingStickyNoteView *view = makeView(id);
    QVERIFY(view->hasNote());
    viewModel.deleteNote(id);
    QVERIFY(!view->hasNote());
    QVERIFY(!view->titleField()->isVisible());
    QVERIFY(!view->editor()->isVisible());
    QImage shot(view->size(), QImage::Format_ARGB32_Premultiplied);
    shot.fill(Qt::transparent);
    view->render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
    for (int y = 0; y < shot.height(); y += 7) {
        for (int x = 0; x < shot.width(); x += 7)
            QCOMPARE(qAlpha(shot.pixel(x, y)), 0);
    }
}

void TestFloatingStickyNoteView::glassFollowsTheTint()
{
    ZulStudioViewModel &viewModel = m_studio->start();
    const QUuid id = *viewModel.selectedNoteID();
    viewModel.updateNoteTint(id, ZulNoteTint::indigo);
    // The panel's own glass, without what lies on it.
    const auto glass = [](FloatingStickyNoteView *view) {
        QImage shot(view->size(), QImage::Format_ARGB32_Premultiplied);
        shot.fill(Qt::transparent);
        view->render(&shot, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        return shot;
    };
    const QImage indigo = glass(makeView(id));
    viewModel.updateNoteTint(id, ZulNoteTint::amber);
    const QImage retinted = glass(m_view.get());
    QVERIFY(retinted != indigo);
    QCOMPARE(retinted, glass(makeView(id)));
}

QTEST_MAIN(TestFloatingStickyNoteView)
#include "tst_floatingstickynoteview.moc"
