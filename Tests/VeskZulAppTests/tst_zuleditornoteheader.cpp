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
    QTest::newRow("short title") << QStringLiteral("Budget") << 900;
    QTest::newRow("title wider than its field")
        << QStringLiteral("Quarterly budget review with the whole finance team and every open invoice") << 420;
}

void TestZulEditorNoteHeader::titleShowsItsBeginning()
{
    QFETCH(QString, title);
    QFETCH(int, width);
    EditorLayoutMetrics metrics;
    ZulEditorNoteHeader header(&metrics);
    header.resize(width, 90);
    header.show();
    ZulNote note = sampleNote();
    note.title = title;
    header.setNote(note);
    QCOMPARE(header.titleField()->text(), title);
    QCOMPARE(header.titleField()->cursorPosition(), 0);

    // Another note's title replaces one the caret had been moved to the end of.
    header.titleField()->end(false);
    ZulNote other = sampleNote();
    other.title = title + QStringLiteral(" (copy)");
    header.setNote(other);
    QCOMPARE(header.titleField()->cursorPosition(), 0);
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
