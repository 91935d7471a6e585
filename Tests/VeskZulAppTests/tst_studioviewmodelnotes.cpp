#include "StudioTestSupport.h"

using namespace studiotest;

namespace {

QDateTime hoursAgo(double hours)
{
    return QDateTime::currentDateTimeUtc().addMSecs(qint64(-hours * 3600 * 1000));
}

ZulNote noteWith(const QString &title, const QString &content, double hoursOld, bool pinned = false,
                 bool ephemeral = false, bool floating = false, const QStringList &tags = {})
{
    ZulNote note = makeNote(title, content, hoursAgo(hoursOld));
    note.isPinned = pinned;
    note.isEphemeral = ephemeral;
    note.isFloatingSticky = floating;
    note.tags = tags;
    return note;
}

QStringList titles(const QList<ZulNote> &notes)
{
    QStringList result;
    for (const ZulNote &note : notes)
        result.append(note.title);
    return result;
}

} // namespace

class TestStudioViewModelNotes : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void deleteNote_data();
    void deleteNote();
    void duplicateNote_data();
    void duplicateNote();
    void createNoteTitles_data();
    void createNoteTitles();
    void newNoteFromTheViewsIsEmptyAndIndigo();
    void addTag_data();
    void addTag();
    void removeTag_data();
    void removeTag();
    void pinAndEphemeral_data();
    void pinAndEphemeral();
    void tintAlwaysSaves();
    void floatingSticky();
    void promoteQuickScratch_data();
    void promoteQuickScratch();
    void search_data();
    void search();
    void filterAndTagTogether();
    void allTagsSortedCaselessly();
    void emptyCollectionListsNothing();

private:
    PrivateHome m_home;
};

void TestStudioViewModelNotes::init()
{
    appLogger()->clear();
}

void TestStudioViewModelNotes::deleteNote_data()
{
    // Seeded in this stored order: "older" (1 h), "pinned" (48 h, pinned),
    // "newest" (10 min). Display order: pinned, newest, older.
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("deleted");
    QTest::addColumn<QString>("expectedSelection");
    QTest::addColumn<bool>("changes");
    QTest::addColumn<bool>("newestSharesOlderID"); // as a sync tool may leave them

    QTest::newRow("selected note: first remaining in display order")
        << "pinned" << "pinned" << "newest" << true << false;
    QTest::newRow("another note: selection kept") << "newest" << "older" << "newest" << true << false;
    QTest::newRow("unknown note: nothing happens") << "older" << "unknown" << "older" << false << false;
    QTest::newRow("two notes stored with one id: only the one deleted goes")
        << "pinned" << "older" << "pinned" << true << true;
}

void TestStudioViewModelNotes::deleteNote()
{
    QFETCH(QString, selected);
    QFETCH(QString, deleted);
    QFETCH(QString, expectedSelection);
    QFETCH(bool, changes);
    QFETCH(bool, newestSharesOlderID);

    QList<ZulNote> seeded{noteWith("older", "1", 1), noteWith("pinned", "2", 48, true), noteWith("newest", "3", 0.2)};
    if (newestSharesOlderID)
        seeded[2].id = seeded[0].id;
    QHash<QString, QUuid> byTitle;
    for (const ZulNote &note : seeded)
        byTitle.insert(note.title, note.id);
    byTitle.insert(QStringLiteral("unknown"), QUuid::createUuid());

    Studio studio;
    studio.seed(seeded);
    const QByteArray stored = studio.notesFileBytes();
    ZulStudioViewModel &viewModel = studio.start();
    viewModel.setSelectedNoteID(byTitle.value(selected));
    QSignalSpy toasts(&viewModel, &ZulStudioViewModel::toastMessageChanged);
    QSignalSpy evaluations(&viewModel, &ZulStudioViewModel::evaluationChanged);

    viewModel.deleteNote(byTitle.value(deleted));
    if (newestSharesOlderID) {
        QCOMPARE(titles(studio.notesOnDisk()), QStringList({"pinned", "newest"}));
        // The file as the sync tool left it is kept beside the new one.
        const QDir folder(studio.folder.path());
        const QStringList kept = folder.entryList({"notes.json.replaced-*"});
        QVERIFY(kept.size() == 1 && fileBytes(folder.filePath(kept.first())) == stored);
        QCOMPARE(loggedMessages(VeskLogLevel::warn).filter("had the id of an earlier note").size(), 1);
    }

    QCOMPARE(viewModel.selectedNoteID(), std::optional<QUuid>(byTitle.value(expectedSelection)));
    if (changes) {
        QCOMPARE(viewModel.notes().size(), 2);
        QVERIFY(!viewModel.note(byTitle.value(deleted)));
        QVERIFY(!viewModel.evaluationsByNoteID().contains(byTitle.value(deleted)));
        // Every surface showing the note's results hears that they are gone.
        QCOMPARE(evaluations.size(), 1);
        QCOMPARE(evaluations.first().first().toUuid(), byTitle.value(deleted));
        QCOMPARE(studio.writes->writeCount(), 1);
        QCOMPARE(studio.notesOnDisk().size(), 2);
        QCOMPARE(viewModel.toastMessage(), std::optional<QString>(QStringLiteral("Note deleted.")));
        QVERIFY(!viewModel.toastIsError());
        QVERIFY(loggedMessages().contains(QStringLiteral("Deleted note (remainingNotes=2)")));
    } else {
        QCOMPARE(ids(viewModel.notes()), ids(seeded));
        QCOMPARE(studio.writes->writeCount(), 0);
        QCOMPARE(toasts.count(), 0);
        QVERIFY(!viewModel.toastMessage());
        QVERIFY(loggedMessages().filter(QStringLiteral("Deleted note")).isEmpty());
    }
}

void TestStudioViewModelNotes::duplicateNote_data()
{
    QTest::addColumn<VeskLanguage>("language");
    QTest::addColumn<QString>("expectedTitle");
    QTest::addColumn<QString>("expectedToast");
    QTest::newRow("English") << VeskLanguage(VeskLanguage::en) << "Budget (Copy)" << "Note duplicated.";
    QTest::newRow("Turkish") << VeskLanguage(VeskLanguage::tr) << "Budget (Kopya)" << QString::fromUtf8("Not çoğaltıldı.");
}

void TestStudioViewModelNotes::duplicateNote()
{
    QFETCH(VeskLanguage, language);
    QFETCH(QString, expectedTitle);
    QFETCH(QString, expectedToast);

    ZulNote source = noteWith(QString(), "Budget\n100 + 50", 5, false, true, true, {"work", "home"});
    source.tint = ZulNoteTint::amber;
    source.stickyFrame = QRectF(1, 2, 300, 300);
    ZulNote pinned = noteWith("Pinned", "1", 1, true);
    Studio studio;
    studio.seed({source, pinned});
    ZulStudioViewModel &viewModel = studio.start();
    viewModel.setLanguage(language);

    viewModel.duplicateNote(source.id);

    QCOMPARE(viewModel.notes().size(), 3);
    const ZulNote copy = viewModel.notes().first();
    QVERIFY(copy.id != source.id);
    QCOMPARE(copy.title, expectedTitle);
    QCOMPARE(copy.content, source.content);
    QCOMPARE(copy.tint, ZulNoteTint::amber);
    QCOMPARE(copy.tags, source.tags);
    QVERIFY(copy.isEphemeral);
    QVERIFY(!copy.isPinned);
    QVERIFY(!copy.isFloatingSticky);
    QVERIFY(!copy.stickyFrame);
    QVERIFY(copy.createdAt > source.createdAt);
    QCOMPARE(viewModel.selectedNoteID(), std::optional<QUuid>(copy.id));
    QCOMPARE(viewModel.evaluation(copy.id), viewModel.evaluation(source.id));
    QCOMPARE(studio.writes->writeCount(), 1);
    QCOMPARE(viewModel.toastMessage(), std::optional<QString>(expectedToast));

    viewModel.duplicateNote(QUuid::createUuid());
    QCOMPARE(viewModel.notes().size(), 3);
    QCOMPARE(studio.writes->writeCount(), 1);
}

void TestStudioViewModelNotes::createNoteTitles_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("ephemeral");
    QTest::addColumn<bool>("sticky");
    QTest::addColumn<QString>("expectedTitle");
    QTest::addColumn<QString>("expectedLog");

    QTest::newRow("untitled ephemeral") << QString() << true << false << "Quick Scratch"
                                        << "Created note (ephemeral=true, sticky=false, totalNotes=2)";
    QTest::newRow("untitled plain") << QString() << false << false << "New Note"
                                    << "Created note (ephemeral=false, sticky=false, totalNotes=2)";
    QTest::newRow("titled sticky") << "Groceries" << false << true << "Groceries"
                                   << "Created note (ephemeral=false, sticky=true, totalNotes=2)";
}

void TestStudioViewModelNotes::createNoteTitles()
{
    QFETCH(QString, title);
    QFETCH(bool, ephemeral);
    QFETCH(bool, sticky);
    QFETCH(QString, expectedTitle);
    QFETCH(QString, expectedLog);

    Studio studio;
    studio.seed({noteWith("existing", "1", 1)});
    ZulStudioViewModel &viewModel = studio.start();
    viewModel.setSelectedTab(ZulStudioTab::settings);
    const ZulNote created = viewModel.createNote(title, QStringLiteral("6*7"), ZulNoteTint::violet, ephemeral, sticky);

    QCOMPARE(viewModel.notes().first(), created);
    QCOMPARE(created.title, expectedTitle);
    QCOMPARE(created.tint, ZulNoteTint::violet);
    QCOMPARE(created.isEphemeral, ephemeral);
    QCOMPARE(created.isFloatingSticky, sticky);
    QCOMPARE(viewModel.selectedNoteID(), std::optional<QUuid>(created.id));
    QCOMPARE(viewModel.selectedTab(), ZulStudioTab::workspace);
    QCOMPARE(viewModel.evaluation(created.id).lines.value(0).formattedResult, QStringLiteral("42"));
    QCOMPARE(studio.writes->writeCount(), 1);
    QCOMPARE(studio.stickies->shown, sticky ? QList<QUuid>{created.id} : QList<QUuid>{});
    QVERIFY(loggedMessages().contains(expectedLog));
    QVERIFY(!viewModel.toastMessage());
}

void TestStudioViewModelNotes::newNoteFromTheViewsIsEmptyAndIndigo()
{
    Studio studio;
    studio.seed({noteWith("existing", "1", 1)});
    ZulStudioViewModel &viewModel = studio.start();
    const ZulNote created = viewModel.createNote(ZulNewNoteKind::quickNote);

    QCOMPARE(viewModel.notes().first(), created);
    QCOMPARE(created.title, QStringLiteral("Quick Scratch"));
    QVERIFY(created.content.isEmpty());
    QCOMPARE(created.tint, ZulNoteTint::indigo);
    QVERIFY(created.isEphemeral);
    QVERIFY(!created.isFloatingSticky);
    QVERIFY(viewModel.evaluationsByNoteID().contains(created.id));
    QCOMPARE(studio.writes->writeCount(), 1);
}

void TestStudioViewModelNotes::addTag_data()
{
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("expectedTags");
    QTest::addColumn<int>("expectedWrites");

    QTest::newRow("trimmed, hash removed, lower-cased") << QStringList{"  #Work "} << QStringList{"work"} << 1;
    QTest::newRow("the same tag again changes nothing") << QStringList{"  #Work ", "#work"} << QStringList{"work"} << 1;
    QTest::newRow("a blank after the hash stays") << QStringList{"# Work"} << QStringList{" work"} << 1;
    QTest::newRow("hashes only") << QStringList{"##"} << QStringList{} << 0;
    QTest::newRow("blanks only") << QStringList{"  \n "} << QStringList{} << 0;
    QTest::newRow("hash inside the word") << QStringList{"C#Sharp"} << QStringList{"csharp"} << 1;
    QTest::newRow("appended in order") << QStringList{"b", "A"} << QStringList{"b", "a"} << 2;
}

void TestStudioViewModelNotes::addTag()
{
    QFETCH(QStringList, added);
    QFETCH(QStringList, expectedTags);
    QFETCH(int, expectedWrites);

    const ZulNote note = noteWith("tagged", "1", 2);
    Studio studio;
    studio.seed({note});
    ZulStudioViewModel &viewModel = studio.start();
    const QDateTime loadedUpdatedAt = viewModel.notes().first().updatedAt;
    for (const QString &tag : std::as_const(added))
        viewModel.addTag(tag, note.id);
    viewModel.addTag(QStringLiteral("elsewhere"), QUuid::createUuid());

    QCOMPARE(viewModel.notes().first().tags, expectedTags);
    QCOMPARE(studio.writes->writeCount(), expectedWrites);
    QCOMPARE(viewModel.notes().first().updatedAt == loadedUpdatedAt, expectedWrites == 0);
}

void TestStudioViewModelNotes::removeTag_data()
{
    QTest::addColumn<QStringList>("tags");
    QTest::addColumn<QStringList>("otherNoteTags");
    QTest::addColumn<QString>("removed");
    QTest::addColumn<QStringList>("expectedTags");
    QTest::addColumn<bool>("expectChange");
    QTest::addColumn<bool>("tagFilterKept");

    QTest::newRow("another letter case removes nothing and leaves the note alone")
        << QStringList{"work"} << QStringList{} << "Work" << QStringList{"work"} << false << true;
    QTest::newRow("every copy goes, the rest keep their order")
        << QStringList{"a", "work", "b", "work"} << QStringList{} << "work" << QStringList{"a", "b"} << true
        << false;
    QTest::newRow("the filter stays while another note has the tag")
        << QStringList{"work"} << QStringList{"work"} << "work" << QStringList{} << true << true;
}

void TestStudioViewModelNotes::removeTag()
{
    QFETCH(QStringList, tags);
    QFETCH(QStringList, otherNoteTags);
    QFETCH(QString, removed);
    QFETCH(QStringList, expectedTags);
    QFETCH(bool, expectChange);
    QFETCH(bool, tagFilterKept);

    const ZulNote note = noteWith("tagged", "1", 2, false, false, false, tags);
    const ZulNote other = noteWith("other", "2", 3, false, false, false, otherNoteTags);
    Studio studio;
    studio.seed({note, other});
    ZulStudioViewModel &viewModel = studio.start();
    viewModel.setSelectedTag(QStringLiteral("work"));
    const QDateTime loadedUpdatedAt = viewModel.note(note.id)->updatedAt;

    viewModel.removeTag(removed, note.id);

    const ZulNote after = *viewModel.note(note.id);
    QCOMPARE(after.tags, expectedTags);
    QCOMPARE(after.updatedAt != loadedUpdatedAt, expectChange);
    QCOMPARE(studio.writes->writeCount(), expectChange ? 1 : 0);
    QCOMPARE(viewModel.selectedTag().has_value(), tagFilterKept);
}

void TestStudioViewModelNotes::pinAndEphemeral_data()
{
    QTest::addColumn<bool>("pinned");
    QTest::addColumn<bool>("ephemeral");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("expectedPinned");
    QTest::addColumn<bool>("expectedEphemeral");
    QTest::addColumn<bool>("refused");

    QTest::newRow("pinning clears ephemeral") << false << true << "pin" << true << false << false;
    QTest::newRow("unpinning does not bring it back") << true << false << "pin" << false << false << false;
    QTest::newRow("a pinned note cannot be made ephemeral") << true << false << "ephemeral" << true << false << true;
    QTest::newRow("a pinned ephemeral note can be un-marked") << true << true << "ephemeral" << true << false << false;
    QTest::newRow("a plain note becomes ephemeral") << false << false << "ephemeral" << false << true << false;
}

void TestStudioViewModelNotes::pinAndEphemeral()
{
    QFETCH(bool, pinned);
    QFETCH(bool, ephemeral);
    QFETCH(QString, operation);
    QFETCH(bool, expectedPinned);
    QFETCH(bool, expectedEphemeral);
    QFETCH(bool, refused);

    const ZulNote note = noteWith("n", "1", 0.5, pinned, ephemeral);
    Studio studio;
    studio.seed({note});
    ZulStudioViewModel &viewModel = studio.start();
    const QDateTime loadedUpdatedAt = viewModel.notes().first().updatedAt;
    if (operation == QLatin1String("pin"))
        viewModel.togglePin(note.id);
    else
        viewModel.toggleEphemeral(note.id);

    const ZulNote after = viewModel.notes().first();
    QCOMPARE(after.isPinned, expectedPinned);
    QCOMPARE(after.isEphemeral, expectedEphemeral);
    QCOMPARE(studio.writes->writeCount(), refused ? 0 : 1);
    QCOMPARE(after.updatedAt == loadedUpdatedAt, refused);
    if (refused) {
        QCOMPARE(viewModel.toastMessage(),
                 std::optional<QString>(QStringLiteral("Unpin the note before marking it ephemeral.")));
        QVERIFY(viewModel.toastIsError());
    } else {
        QVERIFY(!viewModel.toastMessage());
    }
}

void TestStudioViewModelNotes::tintAlwaysSaves()
{
    ZulNote note = noteWith("n", "1", 1);
    note.tint = ZulNoteTint::coral;
    Studio studio;
    studio.seed({note});
    ZulStudioViewModel &viewModel = studio.start();
    viewModel.updateNoteTint(note.id, ZulNoteTint::coral);
    QCOMPARE(studio.writes->writeCount(), 1);
    QVERIFY(viewModel.notes().first().updatedAt > note.updatedAt);
    viewModel.updateNoteTint(note.id, ZulNoteTint::cyan);
    QCOMPARE(viewModel.notes().first().tint, ZulNoteTint::cyan);
    QCOMPARE(studio.notesOnDisk().first().tint, ZulNoteTint::cyan);
}

void TestStudioViewModelNotes::floatingSticky()
{
    const ZulNote note = noteWith("n", "1", 1);
    Studio studio;
    studio.seed({note});
    ZulStudioViewModel &viewModel = studio.start();

    viewModel.toggleFloatingSticky(note.id);
    QVERIFY(viewModel.notes().first().isFloatingSticky);
    QCOMPARE(viewModel.activeStickyCount(), 1);
    QCOMPARE(studio.stickies->shown, QList<QUuid>{note.id});
    QCOMPARE(viewModel.toastMessage(), std::optional<QString>(QStringLiteral("Popped out as floating sticky note.")));
    QCOMPARE(studio.writes->writeCount(), 1);

    QSignalSpy toasts(&viewModel, &ZulStudioViewModel::toastMessageChanged);
    viewModel.toggleFloatingSticky(note.id);
    QVERIFY(!viewModel.notes().first().isFloatingSticky);
    QCOMPARE(studio.stickies->closed, QList<QUuid>{note.id});
    QCOMPARE(toasts.count(), 0);
    QCOMPARE(studio.writes->writeCount(), 2);

    viewModel.toggleFloatingSticky(note.id);
    const QDateTime updated = viewModel.notes().first().updatedAt;
    viewModel.closeFloatingSticky(note.id);
    QVERIFY(!viewModel.notes().first().isFloatingSticky);
    QCOMPARE(viewModel.notes().first().updatedAt, updated);
    QCOMPARE(studio.stickies->closed.size(), 2);
    QCOMPARE(studio.writes->writeCount(), 4);
    QVERIFY(!studio.notesOnDisk().first().isFloatingSticky);
    QCOMPARE(studio.stickies->created, 1);
}

void TestStudioViewModelNotes::promoteQuickScratch_data()
{
    QTest::addColumn<QString>("scratch");
    QTest::addColumn<bool>("promoted");
    QTest::newRow("only blanks") << " \n\t " << false;
    QTest::newRow("kept exactly as typed") << "  5+5 " << true;
}

void TestStudioViewModelNotes::promoteQuickScratch()
{
    QFETCH(QString, scratch);
    QFETCH(bool, promoted);

    Studio studio;
    studio.seed({noteWith("existing", "1", 1)});
    ZulStudioViewModel &viewModel = studio.start();
    viewModel.setSelectedTab(ZulStudioTab::settings);
    viewModel.setQuickScratchText(scratch);
    viewModel.promoteQuickScratchToNote();

    QCOMPARE(viewModel.quickScratchText(), scratch);
    if (!promoted) {
        QCOMPARE(viewModel.notes().size(), 1);
        QCOMPARE(studio.writes->writeCount(), 0);
        return;
    }
    const ZulNote created = viewModel.notes().first();
    QCOMPARE(viewModel.notes().size(), 2);
    QCOMPARE(created.title, QStringLiteral("Menu Bar Scratch"));
    QCOMPARE(created.content, scratch);
    QCOMPARE(created.tint, ZulNoteTint::cyan);
    QVERIFY(created.isEphemeral);
    QVERIFY(!created.isPinned);
    QVERIFY(!created.isFloatingSticky);
    QCOMPARE(viewModel.selectedNoteID(), std::optional<QUuid>(created.id));
    QCOMPARE(viewModel.selectedTab(), ZulStudioTab::workspace);
    QCOMPARE(viewModel.evaluation(created.id).lines.value(0).formattedResult, QStringLiteral("10"));
    QCOMPARE(studio.writes->writeCount(), 1);
    QCOMPARE(viewModel.toastMessage(), std::optional<QString>(QStringLiteral("Saved scratchpad to VeskZul.")));
    QVERIFY(loggedMessages().contains(QStringLiteral("Created note (ephemeral=true, sticky=false, totalNotes=2)")));
}

void TestStudioViewModelNotes::search_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("locale");

    // Notes, newest first: "Budget plan", untitled "Groceries\n...", "Tea", "Tagged". What matches what is
    // the note search's; here, that the list asks it.
    QTest::newRow("letter case of non-ASCII letters is ignored")
        << QString::fromUtf8("ÇAY") << QStringList{"Tea"} << QString();
    QTest::newRow("blanks around the query are trimmed") << " budget " << QStringList{"Budget plan"} << QString();
    QTest::newRow("blanks only shows everything")
        << "   " << QStringList{"Budget plan", QString(), "Tea", "Tagged"} << QString();
    QTest::newRow("Turkish: I is not the capital of i") << "NOTHING" << QStringList{} << "tr_TR";
}

void TestStudioViewModelNotes::search()
{
    QFETCH(QString, query);
    QFETCH(QStringList, expected);
    QFETCH(QString, locale);
    if (!locale.isEmpty())
        QLocale::setDefault(QLocale(locale));
    const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::c()); });

    const ZulNote tea = noteWith("Tea", QString::fromUtf8("bir çay lütfen"), 3);
    Studio studio;
    studio.seed({tea, noteWith("Budget plan", "rent 200", 1), noteWith(QString(), "Groceries\nmilk", 2),
                 noteWith("Tagged", "nothing", 4, false, false, false, {"quarterly"})});
    ZulStudioViewModel &viewModel = studio.start();
    viewModel.setSearchText(query);
    QCOMPARE(titles(viewModel.filteredNotes()), expected);

    // A note edited to hold the query is found at once, the newest now.
    viewModel.updateNoteContent(tea.id, query);
    expected.removeAll("Tea");
    expected.prepend("Tea");
    QCOMPARE(titles(viewModel.filteredNotes()), expected);
}

void TestStudioViewModelNotes::filterAndTagTogether()
{
    Studio studio;
    studio.seed({noteWith("floating work", "", 1, false, false, true, {"work"}),
                 noteWith("floating Work", "", 2, false, false, true, {"Work"}),
                 noteWith("plain work", "", 3, false, false, false, {"work"}),
                 noteWith("floating home", "", 4, false, false, true, {"home"}),
                 noteWith("pinned", "", 5, true), noteWith("ephemeral", "", 6, false, true)});
    ZulStudioViewModel &viewModel = studio.start();
    viewModel.setActiveFilter(ZulNoteFilter::sticky);
    viewModel.setSelectedTag(QStringLiteral("work"));
    QCOMPARE(titles(viewModel.filteredNotes()), QStringList{"floating work"});
    viewModel.setSelectedTag(std::nullopt);
    QCOMPARE(titles(viewModel.filteredNotes()), (QStringList{"floating work", "floating Work", "floating home"}));
    viewModel.setActiveFilter(ZulNoteFilter::pinned);
    QCOMPARE(titles(viewModel.filteredNotes()), QStringList{"pinned"});
    viewModel.setActiveFilter(ZulNoteFilter::ephemeral);
    QCOMPARE(titles(viewModel.filteredNotes()), QStringList{"ephemeral"});
    // The list never moves the selection.
    const std::optional<QUuid> selection = viewModel.selectedNoteID();
    viewModel.setSearchText(QStringLiteral("nothing like this"));
    QCOMPARE(viewModel.selectedNoteID(), selection);
}

void TestStudioViewModelNotes::allTagsSortedCaselessly()
{
    Studio studio;
    studio.seed({noteWith("one", "", 1, false, false, false, {"b", "A"}),
                 noteWith("two", "", 2, false, false, false, {"a", "b"})});
    ZulStudioViewModel &viewModel = studio.start();
    const QStringList tags = viewModel.allTags();
    QCOMPARE(tags.size(), 3);
    QCOMPARE((QSet<QString>{tags.at(0), tags.at(1)}), (QSet<QString>{"A", "a"}));
    QCOMPARE(tags.at(2), QStringLiteral("b"));
}

void TestStudioViewModelNotes::emptyCollectionListsNothing()
{
    const ZulNote only = noteWith("only", "1", 1, false, false, false, {"x"});
    Studio studio;
    studio.seed({only});
    ZulStudioViewModel &viewModel = studio.start();
    viewModel.deleteNote(only.id);
    QVERIFY(viewModel.notes().isEmpty());
    QVERIFY(!viewModel.selectedNoteID());
    QVERIFY(viewModel.filteredNotes().isEmpty());
    QVERIFY(viewModel.allTags().isEmpty());
    QCOMPARE(viewModel.menuBarBadgeText(), QStringLiteral("0"));
    QVERIFY(loggedMessages().contains(QStringLiteral("Deleted note (remainingNotes=0)")));
}

QTEST_MAIN(TestStudioViewModelNotes)
#include "tst_studioviewmodelnotes.moc"
