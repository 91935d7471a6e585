#include "StudioTestSupport.h"
#include "Views/EditorLayoutMetrics.h"
#include "Views/ZulEditorChip.h"
#include "Views/ZulEditorNoteHeader.h"
#include "Views/ZulTintDotPicker.h"

#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskGlassTokens.h"

#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

namespace {

ZulNote sampleNote()
{
    ZulNote note;
    note.id = QUuid::createUuid();
    note.title = QStringLiteral("Budget");
    note.tint = ZulNoteTint::emerald;
    note.tags = {QStringLiteral("home"), QStringLiteral("money")};
    return note;
}

} // namespace

class TestZulEditorNoteHeader : public QObject
{
    Q_OBJECT

private slots:
    void showsTheNotesFlags_data();
    void showsTheNotesFlags();
    void controlsReportTheirOperation();
    void titleShowsItsBeginning_data();
    void titleShowsItsBeginning();
    void titleDrawsItsMarksWhole_data();
    void titleDrawsItsMarksWhole();
    void exportItemsCarryTheirOwnFormat_data();
    void exportItemsCarryTheirOwnFormat();
    void submittingATagEmptiesTheField_data();
    void submittingATagEmptiesTheField();
};

void TestZulEditorNoteHeader::showsTheNotesFlags_data()
{
    QTest::addColumn<bool>("pinned");
    QTest::addColumn<bool>("ephemeral");
    QTest::addColumn<VeskLanguage>("language");
    QTest::addColumn<qint64>("hours");
    QTest::addColumn<QString>("pinSymbol");
    QTest::addColumn<QString>("hourglassSymbol");
    QTest::addColumn<QString>("caption"); // "-": hidden
    const VeskLanguage en = VeskLanguage::en;
    QTest::newRow("plain") << false << false << en << qint64(24) << QStringLiteral("pin")
                           << QStringLiteral("hourglass") << QStringLiteral("-");
    QTest::newRow("pinned") << true << false << en << qint64(24) << QStringLiteral("pin.fill")
                            << QStringLiteral("hourglass") << QStringLiteral("-");
    QTest::newRow("ephemeral") << false << true << en << qint64(24) << QStringLiteral("pin")
                               << QStringLiteral("hourglass.circle.fill") << QStringLiteral("Auto-tidy: 24h");
    QTest::newRow("ephemeral in turkish") << false << true << VeskLanguage(VeskLanguage::tr) << qint64(24)
                                          << QStringLiteral("pin") << QStringLiteral("hourglass.circle.fill")
                                          << QStringLiteral("Otomatik temizlik: 24s");
    QTest::newRow("tidy switched off still shows its number")
        << false << true << en << qint64(0) << QStringLiteral("pin") << QStringLiteral("hourglass.circle.fill")
        << QStringLiteral("Auto-tidy: 0h");
}

void TestZulEditorNoteHeader::showsTheNotesFlags()
{
    QFETCH(bool, pinned);
    QFETCH(bool, ephemeral);
    QFETCH(VeskLanguage, language);
    QFETCH(qint64, hours);
    QFETCH(QString, pinSymbol);
    QFETCH(QString, hourglassSymbol);
    QFETCH(QString, caption);
    EditorLayoutMetrics metrics;
    ZulEditorNoteHeader header(&metrics);
    ZulNote note = sampleNote();
    note.isPinned = pinned;
    note.isEphemeral = ephemeral;
    header.setLanguage(language);
    header.setAutoTidyHours(hours);
    header.setNote(note);
    QCOMPARE(header.titleField()->text(), QStringLiteral("Budget"));
    QCOMPARE(header.tintPicker()->selected(), ZulNoteTint::emerald);
    QCOMPARE(header.pinButton()->symbol(), pinSymbol);
    QCOMPARE(header.pinButton()->isActive(), pinned);
    QCOMPARE(header.pinButton()->labelColor(),
             pinned ? VeskGlassTokens::warning() : VeskGlassTokens::textSecondary());
    QCOMPARE(header.ephemeralButton()->symbol(), hourglassSymbol);
    QCOMPARE(header.ephemeralButton()->isActive(), ephemeral);
    QCOMPARE(header.autoTidyCaption()->isHidden() ? QStringLiteral("-") : header.autoTidyCaption()->spokenText(),
             caption);
    QCOMPARE(header.tagChipTexts(), (QStringList{QStringLiteral("#home"), QStringLiteral("#money")}));
}

void TestZulEditorNoteHeader::titleShowsItsBeginning_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("typed"); // typed at the title's end before the keyboard leaves
    const QString longTitle = QStringLiteral("Quarterly budget review with the whole finance team and every open invoice");
    QTest::newRow("short title") << QStringLiteral("Budget") << 900 << QString();
    QTest::newRow("title wider than its field") << longTitle << 420 << QString();
    QTest::newRow("typed on past the field's end") << longTitle << 420 << QStringLiteral(" and receipts");
}

void TestZulEditorNoteHeader::titleShowsItsBeginning()
{
    QFETCH(QString, title);
    QFETCH(int, width);
    QFETCH(QString, typed);
    EditorLayoutMetrics metrics;
    ZulEditorNoteHeader header(&metrics);
    header.resize(width, 90);
    header.show();
    ZulNote note = sampleNote();
    note.title = title;
    header.setNote(note);
    QCOMPARE(header.titleField()->text(), title);
    QCOMPARE(header.titleField()->cursorPosition(), 0);
    if (!typed.isEmpty()) {
        QVERIFY(QTest::qWaitForWindowActive(&header));
        header.titleField()->setFocus();
        header.titleField()->end(false);
        QTest::keyClicks(header.titleField(), typed);
        header.tagField()->setFocus();
        QCOMPARE(header.titleField()->cursorPosition(), 0);
    }

    // Another note's title, the same text, replaces one the caret had been
    // moved to the end of; neither Undo nor Escape brings the last back.
    header.titleField()->end(false);
    ZulNote other = sampleNote();
    other.title = header.titleField()->text();
    header.setNote(other);
    QCOMPARE(header.titleField()->cursorPosition(), 0);
    QTest::keySequence(header.titleField(), QKeySequence::Undo);
    QTest::keyClick(header.titleField(), Qt::Key_Escape);
    QCOMPARE(header.titleField()->text(), other.title);
}

void TestZulEditorNoteHeader::titleDrawsItsMarksWhole_data()
{
    QTest::addColumn<QString>("title");
    QTest::newRow("Turkish capitals") << QStringLiteral("ÇĞİÖŞÜ");
    QTest::newRow("capitals and tails") << QStringLiteral("Şişli Çarşı İğne gjpq");
}

void TestZulEditorNoteHeader::titleDrawsItsMarksWhole()
{
    QFETCH(QString, title);
    EditorLayoutMetrics metrics;
    ZulEditorNoteHeader header(&metrics);
    header.resize(700, 90);
    header.show();
    QVERIFY(QTest::qWaitForWindowActive(&header));
    ZulNote note = sampleNote();
    note.title = title;
    header.setNote(note);
    const QImage resting = header.titleField()->grab().toImage();
    header.titleField()->setFocus();
    const QImage editing = header.titleField()->grab().toImage();
    // Every stroke stays when the field takes the keyboard (the caret only
    // adds one), and none reaches into the band the focus ring is drawn in.
    int ink = 0, lost = 0, atTheEdge = 0;
    for (int y = 0; y < resting.height(); ++y) {
        for (int x = 0; x < resting.width(); ++x) {
            const bool inked = qGray(resting.pixel(x, y)) > 200;
            ink += inked;
            lost += inked && qGray(editing.pixel(x, y)) <= 200;
            atTheEdge += inked && (y < 3 || y >= resting.height() - 3);
        }
    }
    QVERIFY(ink > 100);
    QCOMPARE(lost + atTheEdge, 0);
}

void TestZulEditorNoteHeader::controlsReportTheirOperation()
{
    EditorLayoutMetrics metrics;
    ZulEditorNoteHeader header(&metrics);
    header.setNote(sampleNote());
    header.resize(900, 90);
    header.show();
    QSignalSpy titles(&header, &ZulEditorNoteHeader::titleEdited);
    QSignalSpy tints(&header, &ZulEditorNoteHeader::tintChosen);
    QSignalSpy pins(&header, &ZulEditorNoteHeader::pinToggleRequested);
    QSignalSpy ephemerals(&header, &ZulEditorNoteHeader::ephemeralToggleRequested);
    QSignalSpy removals(&header, &ZulEditorNoteHeader::tagRemoveRequested);

    header.titleField()->end(false);
    QTest::keyClicks(header.titleField(), QStringLiteral("!"));
    QCOMPARE(titles.count(), 1);
    QCOMPARE(titles.at(0).at(0).toString(), QStringLiteral("Budget!"));
    QTest::mouseClick(header.tintPicker(), Qt::LeftButton, {},
                      header.tintPicker()->dotRect(ZulNoteTint::violet).center().toPoint());
    QCOMPARE(tints.count(), 1);
    QCOMPARE(tints.at(0).at(0).value<ZulNoteTint>(), ZulNoteTint::violet);
    QTest::mouseClick(header.pinButton(), Qt::LeftButton, {}, header.pinButton()->rect().center());
    QCOMPARE(pins.count(), 1);
    QTest::mouseClick(header.ephemeralButton(), Qt::LeftButton, {}, header.ephemeralButton()->rect().center());
    QCOMPARE(ephemerals.count(), 1);
    QVERIFY(header.clickRemoveTag(QStringLiteral("money")));
    QCOMPARE(removals.count(), 1);
    QCOMPARE(removals.at(0).at(0).toString(), QStringLiteral("money"));
    QVERIFY(!header.clickRemoveTag(QStringLiteral("absent")));

    // A note without tags shows only the field.
    ZulNote bare = sampleNote();
    bare.tags.clear();
    header.setNote(bare);
    QCOMPARE(header.tagChipTexts(), QStringList());
}

void TestZulEditorNoteHeader::exportItemsCarryTheirOwnFormat_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<ZulExportFormat>("format");
    QTest::addColumn<QString>("turkish");
    QTest::newRow("markdown") << 0 << ZulExportFormat::markdownWithResults
                              << QStringLiteral("Sonuçlu Markdown (.md) Dışa Aktar");
    QTest::newRow("plain text") << 1 << ZulExportFormat::plainText << QStringLiteral("Düz Metin (.txt) Dışa Aktar");
    QTest::newRow("csv") << 2 << ZulExportFormat::csv << QStringLiteral("Hesap Satırlarını (.csv) Dışa Aktar");
}

void TestZulEditorNoteHeader::exportItemsCarryTheirOwnFormat()
{
    QFETCH(int, item);
    QFETCH(ZulExportFormat, format);
    QFETCH(QString, turkish);
    EditorLayoutMetrics metrics;
    ZulEditorNoteHeader header(&metrics);
    header.setNote(sampleNote());
    header.setLanguage(VeskLanguage::tr);
    QCOMPARE(header.exportButton()->text(), QStringLiteral("Aktar"));
    QSignalSpy exports(&header, &ZulEditorNoteHeader::exportRequested);
    QAction *action = header.exportMenu()->actions().at(item);
    QCOMPARE(action->text(), turkish);
    QCOMPARE(studiotest::menuLookFault(header.exportMenu()), QString());
    action->trigger();
    QCOMPARE(exports.count(), 1);
    QCOMPARE(exports.at(0).at(0).value<ZulExportFormat>(), format);
}

void TestZulEditorNoteHeader::submittingATagEmptiesTheField_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("a tag") << QStringLiteral(" #Budget ");
    QTest::newRow("only number signs") << QStringLiteral("##");
    QTest::newRow("nothing") << QString();
}

void TestZulEditorNoteHeader::submittingATagEmptiesTheField()
{
    QFETCH(QString, typed);
    EditorLayoutMetrics metrics;
    ZulEditorNoteHeader header(&metrics);
    header.setNote(sampleNote());
    header.show();
    QSignalSpy submits(&header, &ZulEditorNoteHeader::tagSubmitted);
    QTest::keyClicks(header.tagField(), typed);
    QCOMPARE(metrics.newTagInput(), typed);
    QTest::keyClick(header.tagField(), Qt::Key_Return);
    QCOMPARE(submits.count(), 1);
    QCOMPARE(submits.at(0).at(0).toString(), typed);
    QCOMPARE(header.tagField()->text(), QString());
    QCOMPARE(metrics.newTagInput(), QString());

    // The half-typed tag lives in the metrics: another header on them
    // (the editor shown anew) picks it up.
    metrics.setNewTagInput(QStringLiteral("draft"));
    QCOMPARE(header.tagField()->text(), QStringLiteral("draft"));
    ZulEditorNoteHeader again(&metrics);
    QCOMPARE(again.tagField()->text(), QStringLiteral("draft"));
}

QTEST_MAIN(TestZulEditorNoteHeader)
#include "tst_zuleditornoteheader.moc"
