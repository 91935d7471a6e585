#include "Views/ZulEditorChip.h"
#include "Views/ZulEditorStatusBar.h"

#include "Engine/ComputationalNoteEngine.h"
#include "Models/CurrencyRateTable.h"

#include "VeskKit/Design/VeskButton.h"

#include <QLayout>
#include <QSignalSpy>
#include <QTest>

namespace {

NoteEvaluationSummary evaluate(const QString &text)
{
    const ComputationalNoteEngine engine(CurrencyRateTable::offlineDefaults(), QStringLiteral("TRY"),
                                         QDateTime(QDate(2026, 3, 2), QTime(12, 0), QTimeZone::utc()),
                                         QTimeZone::utc());
    return engine.evaluate(text);
}

// What a chip says, or "-" when it is not shown.
QString shown(const ZulEditorChip *chip)
{
    return chip->isHidden() ? QStringLiteral("-") : chip->spokenText();
}

} // namespace

class TestZulEditorStatusBar : public QObject
{
    Q_OBJECT

private slots:
    void figuresForSampleNotes_data();
    void figuresForSampleNotes();
    void clickingTheSumCopiesJustTheNumber_data();
    void clickingTheSumCopiesJustTheNumber();
    void stickyButtonFollowsTheNote_data();
    void stickyButtonFollowsTheNote();
};

void TestZulEditorStatusBar::figuresForSampleNotes_data()
{
    QTest::addColumn<QString>("note");
    QTest::addColumn<bool>("compact");
    QTest::addColumn<VeskLanguage>("language");
    QTest::addColumn<QString>("sum");
    QTest::addColumn<QString>("average");
    QTest::addColumn<QString>("tasks");
    QTest::addColumn<QString>("taskSymbol");
    QTest::addColumn<QString>("words");
    QTest::addColumn<QString>("copy");
    const VeskLanguage en = VeskLanguage::en;
    const VeskLanguage tr = VeskLanguage::tr;
    QTest::newRow("one number") << QStringLiteral("1250.5") << false << en << QStringLiteral("Sum 1,250.5")
                                << QStringLiteral("Avg 1,250.5") << QStringLiteral("-") << QString()
                                << QStringLiteral("1 Words") << QStringLiteral("Copy with Results");
    QTest::newRow("whole sum has no fraction") << QStringLiteral("10\n20") << false << en << QStringLiteral("Sum 30")
                                               << QStringLiteral("Avg 15") << QStringLiteral("-") << QString()
                                               << QStringLiteral("2 Words") << QStringLiteral("Copy with Results");
    QTest::newRow("a third keeps two digits") << QStringLiteral("1/3") << false << en << QStringLiteral("Sum 0.33")
                                              << QStringLiteral("Avg 0.33") << QStringLiteral("-") << QString()
                                              << QStringLiteral("1 Words") << QStringLiteral("Copy with Results");
    QTest::newRow("two of three tasks")
        << QStringLiteral("- [x] milk\n- [x] eggs\n- [ ] bread") << false << en << QStringLiteral("-")
        << QStringLiteral("-") << QStringLiteral("Tasks 2/3") << QStringLiteral("checklist")
        << QStringLiteral("10 Words") << QStringLiteral("Copy with Results");
    QTest::newRow("every task done") << QStringLiteral("- [x] milk\n- [x] eggs\n- [X] bread") << false << en
                                     << QStringLiteral("-") << QStringLiteral("-") << QStringLiteral("Tasks 3/3")
                                     << QStringLiteral("checkmark.circle.fill") << QStringLiteral("9 Words")
                                     << QStringLiteral("Copy with Results");
    QTest::newRow("empty note") << QString() << false << en << QStringLiteral("-") << QStringLiteral("-")
                                << QStringLiteral("-") << QString() << QStringLiteral("0 Words")
                                << QStringLiteral("Copy with Results");
    QTest::newRow("compact keeps sum and tasks only")
        << QStringLiteral("5\n7\n- [ ] pay") << true << en << QStringLiteral("Sum 12") << QStringLiteral("-")
        << QStringLiteral("Tasks 0/1") << QStringLiteral("checklist") << QStringLiteral("-")
        << QStringLiteral("Copy");
    QTest::newRow("turkish") << QStringLiteral("4\n- [x] öde") << false << tr << QStringLiteral("Toplam 4")
                             << QStringLiteral("Ort 4") << QStringLiteral("Görev 1/1")
                             << QStringLiteral("checkmark.circle.fill") << QStringLiteral("4 Kelime")
                             << QStringLiteral("Sonuçlarla Kopyala");
    QTest::newRow("turkish compact") << QStringLiteral("4") << true << tr << QStringLiteral("Toplam 4")
                                     << QStringLiteral("-") << QStringLiteral("-") << QString()
                                     << QStringLiteral("-") << QStringLiteral("Kopyala");
}

void TestZulEditorStatusBar::figuresForSampleNotes()
{
    QFETCH(QString, note);
    QFETCH(bool, compact);
    QFETCH(VeskLanguage, language);
    QFETCH(QString, sum);
    QFETCH(QString, average);
    QFETCH(QString, tasks);
    QFETCH(QString, taskSymbol);
    QFETCH(QString, words);
    QFETCH(QString, copy);
    ZulEditorStatusBar bar;
    bar.setLanguage(language);
    bar.setCompactMode(compact);
    bar.setSummary(evaluate(note));
    QCOMPARE(shown(bar.sumChip()), sum);
    QCOMPARE(shown(bar.averageChip()), average);
    QCOMPARE(shown(bar.taskChip()), tasks);
    if (!taskSymbol.isEmpty())
        QCOMPARE(bar.taskChip()->symbolName(), taskSymbol);
    QCOMPARE(shown(bar.wordCountChip()), words);
    QCOMPARE(bar.copyButton()->text(), copy);
    QCOMPARE(bar.stickyButton()->isHidden(), compact);
    QCOMPARE(bar.layout()->spacing(), compact ? 6 : 10);
}

void TestZulEditorStatusBar::clickingTheSumCopiesJustTheNumber_data()
{
    QTest::addColumn<QString>("note");
    QTest::addColumn<bool>("average");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("label");
    QTest::newRow("sum") << QStringLiteral("1000\n250.5") << false << QStringLiteral("1,250.5")
                         << QStringLiteral("Sum = 1,250.5");
    QTest::newRow("average") << QStringLiteral("1\n2") << true << QStringLiteral("1.5")
                             << QStringLiteral("Avg = 1.5");
    const QString big = QStringLiteral("123,456,789,012,345,680,000,000,000,000");
    QTest::newRow("long sum") << QStringLiteral("123456789012345678901234567890") << false << big
                              << QStringLiteral("Sum = ") + big;
}

void TestZulEditorStatusBar::clickingTheSumCopiesJustTheNumber()
{
    QFETCH(QString, note);
    QFETCH(bool, average);
    QFETCH(QString, text);
    QFETCH(QString, label);
    ZulEditorStatusBar bar;
    bar.setLanguage(VeskLanguage::tr); // the label is never translated
    bar.setSummary(evaluate(note));
    bar.resize(620, 40);
    bar.show();
    QSignalSpy copies(&bar, &ZulEditorStatusBar::copyRequested);
    ZulEditorChip *chip = average ? bar.averageChip() : bar.sumChip();
    QTest::mouseClick(chip, Qt::LeftButton, {}, chip->rect().center());
    QCOMPARE(copies.count(), 1);
    QCOMPARE(copies.at(0).at(0).toString(), text);
    QCOMPARE(copies.at(0).at(1).toString(), label);
    // A long number ends in an ellipsis before the whole buttons, whole as its tooltip.
    QVERIFY(chip->geometry().right() < bar.copyButton()->geometry().left());
    QCOMPARE(bar.copyButton()->width(), bar.copyButton()->sizeHint().width());
    QCOMPARE(chip->shownLastText().endsWith(u'…'), text.size() > 20);
    QCOMPARE(chip->toolTip().startsWith(chip->spokenText()), text.size() > 20);

    // The task chip is no button.
    QSignalSpy whole(&bar, &ZulEditorStatusBar::copyWithResultsRequested);
    QTest::mouseClick(bar.copyButton(), Qt::LeftButton, {}, bar.copyButton()->rect().center());
    QCOMPARE(whole.count(), 1);
    QVERIFY(bar.taskChip()->isPassive());
}

void TestZulEditorStatusBar::stickyButtonFollowsTheNote_data()
{
    QTest::addColumn<bool>("floating");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("symbol");
    QTest::newRow("normal note") << false << QStringLiteral("Pin Sticky") << QStringLiteral("macwindow.on.rectangle");
    QTest::newRow("floating note") << true << QStringLiteral("Unfloat Sticky")
                                   << QStringLiteral("rectangle.on.rectangle.slash");
}

void TestZulEditorStatusBar::stickyButtonFollowsTheNote()
{
    QFETCH(bool, floating);
    QFETCH(QString, text);
    QFETCH(QString, symbol);
    ZulEditorStatusBar bar;
    bar.setIsFloatingSticky(floating);
    QCOMPARE(bar.stickyButton()->text(), text);
    QCOMPARE(bar.stickyButton()->symbol(), symbol);
    QCOMPARE(bar.stickyButton()->isActive(), floating);
    bar.resize(700, 40);
    bar.show();
    QSignalSpy toggles(&bar, &ZulEditorStatusBar::stickyToggleRequested);
    QTest::mouseClick(bar.stickyButton(), Qt::LeftButton, {}, bar.stickyButton()->rect().center());
    QCOMPARE(toggles.count(), 1);
}

QTEST_MAIN(TestZulEditorStatusBar)
#include "tst_zuleditorstatusbar.moc"
