#include "StudioTestSupport.h"
#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskTextLine.h"
#include "Views/EvaluatedLineKindBadgeColor.h"
#include "Views/MenuBarZulPopoverView.h"
#include "Views/ZulTrayPopoverWindow.h"

#include <QAbstractButton>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QTest>

using studiotest::Studio;

class TestMenuBarZulPopoverView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void rowsAndTotal_data();
    void rowsAndTotal();
    void copyingPassesTheShownTexts();
    void typingReachesTheViewModel();
    void rawLinesLoseOnlySpacesAndTabs_data();
    void rawLinesLoseOnlySpacesAndTabs();
    void buttonsReachTheirActions();
    void footerCountsNotes();
    void popupStandsByTheTrayIcon_data();
    void popupStandsByTheTrayIcon();

private:
    std::unique_ptr<studiotest::PrivateHome> m_home;
    std::unique_ptr<Studio> m_studio;
};

void TestMenuBarZulPopoverView::init()
{
    m_home = std::make_unique<studiotest::PrivateHome>();
    m_studio = std::make_unique<Studio>();
}

void TestMenuBarZulPopoverView::cleanup()
{
    m_studio.reset();
    m_home.reset();
}

void TestMenuBarZulPopoverView::rowsAndTotal_data()
{
    QTest::addColumn<QString>("scratch");
    QTest::addColumn<QStringList>("rawLines");
    QTest::addColumn<QString>("chip");

    QTest::newRow("empty scratch") << QString() << QStringList() << QString();
    QTest::newRow("two sums") << QStringLiteral("2 + 3\n10 * 4") << QStringList{"2 + 3", "10 * 4"}
                              << QStringLiteral("Σ 45");
    QTest::newRow("eight results list the first five")
        << QStringLiteral("1\n2\n3\n4\n5\n6\n7\n8") << QStringList{"1", "2", "3", "4", "5"} << QStringLiteral("Σ 36");
    QTest::newRow("fractions round to two digits in the chip")
        << QStringLiteral("1 / 3") << QStringList{"1 / 3"} << QStringLiteral("Σ 0.33");
    QTest::newRow("words only") << QStringLiteral("hello there\njust words") << QStringList() << QString();
}

void TestMenuBarZulPopoverView::rowsAndTotal()
{
    QFETCH(QString, scratch);
    QFETCH(QStringList, rawLines);
    QFETCH(QString, chip);
    ZulStudioViewModel &viewModel = m_studio->start();
    MenuBarZulPopoverView view(&viewModel, [] {}, QColor(0x7C, 0xA4, 0xFF));
    view.show();
    viewModel.setQuickScratchText(scratch);

    QStringList shown;
    for (VeskTextLine *label : view.resultLines())
        shown.append(label->text());
    QCOMPARE(shown, rawLines);
    QCOMPARE(view.resultList()->isVisible(), !rawLines.isEmpty());
    QCOMPARE(view.totalChip() != nullptr, !chip.isEmpty());
    if (view.totalChip())
        QCOMPARE(view.totalChip()->text(), chip);
    // The editor and every button stay whatever the scratch holds.
    QVERIFY(view.scratchEditor()->isVisible());
    for (VeskButton *button : {view.saveNoteButton(), view.edgeDrawerButton(), view.stickyButton(),
                               view.openStudioButton(), view.quitButton()})
        QVERIFY(button->isVisible());
    // Each result in its line kind's colour.
    const NoteEvaluationSummary &summary = viewModel.quickScratchSummary();
    for (int i = 0; i < view.resultButtons().size(); ++i)
        QCOMPARE(view.resultButtons().at(i)->text(), summary.lines.at(i).formattedResult);
    QCOMPARE(view.width(), MenuBarZulPopoverView::contentWidth);
}

void TestMenuBarZulPopoverView::copyingPassesTheShownTexts()
{
    ZulStudioViewModel &viewModel = m_studio->start();
    MenuBarZulPopoverView view(&viewModel, [] {}, Qt::blue);
    view.show();
    viewModel.setQuickScratchText(QStringLiteral("10 / 3\n1"));
    QCOMPARE(view.resultButtons().size(), 2);
    const QString firstResult = viewModel.quickScratchSummary().lines.first().formattedResult;

    QTest::mouseClick(view.resultButtons().first(), Qt::LeftButton);
    QCOMPARE(m_studio->clipboard->text, firstResult);
    QCOMPARE(viewModel.toastMessage(), std::optional<QString>(QStringLiteral("Copied: ") + firstResult));

    // The total at two digits, whatever precision the rows show.
    QTest::mouseClick(view.totalChip(), Qt::LeftButton);
    QCOMPARE(m_studio->clipboard->text, QStringLiteral("4.33"));
}

void TestMenuBarZulPopoverView::typingReachesTheViewModel()
{
    ZulStudioViewModel &viewModel = m_studio->start();
    MenuBarZulPopoverView view(&viewModel, [] {}, Qt::blue);
    view.show();
    QCOMPARE(view.scratchEditor()->toPlainText(), viewModel.quickScratchText());
    view.scratchEditor()->clear();
    QTest::keyClicks(view.scratchEditor(), QStringLiteral("7 * 6"));
    QCOMPARE(viewModel.quickScratchText(), QStringLiteral("7 * 6"));
    QVERIFY(view.totalChip());
    QCOMPARE(view.totalChip()->text(), QStringLiteral("Σ 42"));

    viewModel.setQuickScratchText(QStringLiteral("1 + 1"));
    QCOMPARE(view.scratchEditor()->toPlainText(), QStringLiteral("1 + 1"));
}

void TestMenuBarZulPopoverView::rawLinesLoseOnlySpacesAndTabs_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("shown");
    QTest::newRow("leading spaces and tabs") << QStringLiteral(" \t 2 + 2") << QStringLiteral("2 + 2");
    QTest::newRow("trailing tab") << QStringLiteral("x = 4\t") << QStringLiteral("x = 4");
    QTest::newRow("inner spaces stay") << QStringLiteral("  a  b  ") << QStringLiteral("a  b");
    QTest::newRow("line ends stay") << QStringLiteral("\n4\r") << QStringLiteral("\n4\r");
    QTest::newRow("no-break space stays") << QStringLiteral("\u00A04") << QStringLiteral("\u00A04");
}

void TestMenuBarZulPopoverView::rawLinesLoseOnlySpacesAndTabs()
{
    QFETCH(QString, raw);
    QFETCH(QString, shown);
    QCOMPARE(MenuBarZulPopoverView::displayedRawLine(raw), shown);
}

void TestMenuBarZulPopoverView::buttonsReachTheirActions()
{
    ZulStudioViewModel &viewModel = m_studio->start();
    int studioOpens = 0;
    int quits = 0;
    MenuBarZulPopoverView view(&viewModel, [&studioOpens] { ++studioOpens; }, Qt::blue);
    view.terminateAction = [&quits] { ++quits; };
    view.show();
    const qsizetype before = viewModel.notes().size();

    viewModel.setQuickScratchText(QStringLiteral("   \n\t"));
    view.saveNoteButton()->click();
    QCOMPARE(viewModel.notes().size(), before);
    viewModel.setQuickScratchText(QStringLiteral("5 + 5"));
    view.saveNoteButton()->click();
    QCOMPARE(viewModel.notes().size(), before + 1);
    QCOMPARE(viewModel.notes().first().content, QStringLiteral("5 + 5"));
    QCOMPARE(viewModel.quickScratchText(), QStringLiteral("5 + 5"));

    // The drawer is the row's prominent action: filled with the accent.
    const QImage shot = view.grab().toImage();
    const auto fill = [&shot](const QWidget *button) {
        return shot.pixelColor(button->geometry().left() + 3, button->geometry().center().y()).rgb();
    };
    QCOMPARE(fill(view.edgeDrawerButton()), QColor(Qt::blue).rgb());
    QVERIFY(fill(view.stickyButton()) != QColor(Qt::blue).rgb());
    // Below the one line of scratch text the field stays dark: no bar.
    const QRect field(view.scratchEditor()->mapTo(&view, QPoint()), view.scratchEditor()->size());
    for (int x = field.left(); x <= field.right(); ++x)
        QVERIFY2(qGray(shot.pixel(x, field.bottom() - 4)) < 120, qPrintable(QString::number(x)));

    view.edgeDrawerButton()->click();
    QCOMPARE(m_studio->drawers->opens, 1);
    view.stickyButton()->click();
    QCOMPARE(viewModel.notes().size(), before + 2);
    QVERIFY(viewModel.notes().first().isFloatingSticky);
    view.openStudioButton()->click();
    QCOMPARE(studioOpens, 1);
    QCOMPARE(quits, 0);
    view.quitButton()->click();
    QCOMPARE(quits, 1);
}

void TestMenuBarZulPopoverView::footerCountsNotes()
{
    ZulStudioViewModel &viewModel = m_studio->start();
    for (const ZulNote &note : viewModel.notes())
        viewModel.deleteNote(note.id);
    viewModel.createNote(QStringLiteral("One"), QString(), ZulNoteTint::indigo, false, false);
    viewModel.setLanguage(VeskLanguage::en);
    MenuBarZulPopoverView view(&viewModel, [] {}, Qt::blue);
    QCOMPARE(view.noteCountText(), QStringLiteral("1 notes"));
    viewModel.createNote(QStringLiteral("Two"), QString(), ZulNoteTint::indigo, false, false);
    QCOMPARE(view.noteCountText(), QStringLiteral("2 notes"));
    viewModel.setLanguage(VeskLanguage::tr);
    QCOMPARE(view.noteCountText(), QStringLiteral("2 not"));
    QCOMPARE(view.titleText(), QStringLiteral("Anlık Hesaplamalı Karalama"));
    QCOMPARE(view.quitButton()->text(), QStringLiteral("Çıkış"));
}

void TestMenuBarZulPopoverView::popupStandsByTheTrayIcon_data()
{
    QTest::addColumn<QRect>("anchor");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("origin");

    const QRect screen(0, 28, 1440, 872);
    // The tray sits in a panel above the visible area: the popup stays inside it.
    QTest::newRow("tray at the top, mid screen") << QRect(700, 2, 22, 22) << screen << QPoint(552, 34);
    QTest::newRow("tray at the top right corner") << QRect(1410, 2, 22, 22) << screen << QPoint(1440 - 6 - 316, 34);
    QTest::newRow("tray at the bottom right corner")
        << QRect(1400, 870, 22, 22) << QRect(0, 0, 1440, 860) << QPoint(1440 - 6 - 316, 860 - 6 - 400);
    QTest::newRow("tray at the bottom left") << QRect(4, 700, 22, 22) << QRect(0, 0, 1440, 900) << QPoint(6, 294);
    QTest::newRow("pointer on a second screen") << QRect(2000, 300, 1, 1) << QRect(1440, 0, 1920, 1080)
                                                << QPoint(1842, 307);
    QTest::newRow("screen shorter than the popup") << QRect(100, 5, 20, 20) << QRect(0, 0, 800, 300)
                                                   << QPoint(6, 6);
    // Neither the icon's place nor the pointer's known (a Wayland tray seen
    // through XWayland): 40 above the middle, in plain view.
    QTest::newRow("place unknown: above the middle") << QRect() << screen << QPoint(562, 224);
    QTest::newRow("place unknown, short screen") << QRect() << QRect(0, 0, 800, 300) << QPoint(242, 6);
}

void TestMenuBarZulPopoverView::popupStandsByTheTrayIcon()
{
    QFETCH(QRect, anchor);
    QFETCH(QRect, available);
    QFETCH(QPoint, origin);
    QCOMPARE(ZulTrayPopoverWindow::popupOrigin(QSize(316, 400), anchor, available), origin);

    // The real popup there, eight long lines typed: wholly on the screen, Quit in reach
    // (once scrolled to), each row's texts apart, a cut one ending in an ellipsis.
    ZulStudioViewModel &viewModel = m_studio->start();
    viewModel.setQuickScratchText(QString());
    ZulTrayPopoverWindow popup(&viewModel, [] {}, Qt::blue);
    popup.availableAreaProvider = [available](const QRect &) { return available; };
    popup.pointerProvider = [] { return std::nullopt; };
    popup.showNear(anchor);
    if (anchor.isNull())
        QCOMPARE(popup.x() + popup.width() / 2, origin.x() + 316 / 2);
    for (int i = 0; i < 8; ++i) {
        QTest::keyClicks(popup.content()->scratchEditor(),
                         i == 0 ? QStringLiteral("123456789012345678901234567890 * 123456789")
                                : QStringLiteral("1+2+3+4+5+6+7+8+9+10+11+12+13+14+15+16+17+18+19+20"));
        QTest::keyClick(popup.content()->scratchEditor(), Qt::Key_Return);
    }
    QTRY_COMPARE(popup.height(), std::min(popup.content()->sizeHint().height(), available.height() - 12));
    QVERIFY(available.adjusted(6, 6, -6, -6).contains(popup.geometry()));
    QWidget *quit = popup.content()->quitButton();
    popup.scrollArea()->ensureWidgetVisible(quit);
    QVERIFY(popup.rect().contains(QRect(quit->mapTo(&popup, QPoint()), quit->size())));
    for (int i = 0; i < MenuBarZulPopoverView::listedResults; ++i) {
        VeskTextLine *line = popup.content()->resultLines().at(i);
        QAbstractButton *result = popup.content()->resultButtons().at(i);
        // Rows added while the popup shows are laid out by the event loop, as the user sees them.
        QTRY_VERIFY(line->geometry().right() < result->geometry().left() && line->toolTip() == line->text());
        QVERIFY(line->shownLines(line->width()).first().endsWith(u'…'));
        QCOMPARE(result->toolTip(), i == 0 ? result->text() : QString());
    }
}

QTEST_MAIN(TestMenuBarZulPopoverView)
#include "tst_menubarzulpopoverview.moc"
