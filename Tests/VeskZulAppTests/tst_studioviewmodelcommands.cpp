#include "StudioTestSupport.h"

#include "Engine/ZulNumberFormatter.h"
#include "VeskKit/System/VeskLaunchAtLogin.h"

using namespace studiotest;

namespace {

QDateTime hoursAgo(double hours)
{
    return QDateTime::currentDateTimeUtc().addMSecs(qint64(-hours * 3600 * 1000));
}

ZulNote noteWith(const QString &title, const QString &content, double hoursOld = 1)
{
    return makeNote(title, content, hoursAgo(hoursOld));
}

class FakeActivation final : public ZulStudioWindowActivation
{
public:
    void postReopenStudioWindow() override
    {
        ++posts;
        for (const auto &[receiver, handler] : std::as_const(m_observers)) {
            if (receiver)
                QMetaObject::invokeMethod(receiver, handler, Qt::QueuedConnection);
        }
    }
    QMetaObject::Connection observeReopenStudioWindow(QObject *receiver, std::function<void()> handler) override
    {
        m_observers.append({QPointer<QObject>(receiver), std::move(handler)});
        return {};
    }
    void activateIgnoringOtherApps() override { ++activations; }
    void bringStudioWindowToFront() override { ++raises; }

    int posts = 0;
    int activations = 0;
    int raises = 0;
    qsizetype observerCount() const { return m_observers.size(); }

private:
    QList<std::pair<QPointer<QObject>, std::function<void()>>> m_observers;
};

QString firstResult(const NoteEvaluationSummary &summary)
{
    return summary.lines.isEmpty() ? QString() : summary.lines.first().formattedResult;
}

} // namespace

class TestStudioViewModelCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void stickyNoteTintsRotate_data();
    void stickyNoteTintsRotate();
    void copyToClipboardWithoutLabel();
    void liveRatesOffline();
    void liveRatesUpdated();
    void menuBarBadge_data();
    void menuBarBadge();
    void openStudioWindowWithoutOpener();
    void openerAndReopenRequests();
    void toggleDrawerWhileDisabledEnablesIt();
    void disablingTheDrawerWithoutController();
    void updateConfig_data();
    void updateConfig();
    void tidyNow_data();
    void tidyNow();
    void timedTidyDropsRemovedNotes();
    void loginItem_data();
    void loginItem();

private:
    PrivateHome m_home;
};

void TestStudioViewModelCommands::init()
{
    appLogger()->clear();
}

void TestStudioViewModelCommands::stickyNoteTintsRotate_data()
{
    QTest::addColumn<int>("existingNotes");
    QTest::addColumn<ZulNoteTint>("expectedTint");
    QTest::newRow("one note: second tint") << 1 << ZulNoteTint::emerald;
    QTest::newRow("six notes: first tint again") << 6 << ZulNoteTint::indigo;
    QTest::newRow("seven notes: second tint") << 7 << ZulNoteTint::emerald;
    QTest::newRow("eleven notes: sixth tint") << 11 << ZulNoteTint::violet;
}

void TestStudioViewModelCommands::stickyNoteTintsRotate()
{
    QFETCH(int, existingNotes);
    QFETCH(ZulNoteTint, expectedTint);
    QList<ZulNote> seeded;
    for (int index = 0; index < existingNotes; ++index)
        seeded.append(noteWith(QStringLiteral("n%1").arg(index), QString(), index + 1));
    Studio studio;
    studio.seed(seeded);
    ZulStudioViewModel &viewModel = studio.start();

    viewModel.createAndFloatStickyNote();

    const ZulNote created = viewModel.notes().first();
    QCOMPARE(created.tint, expectedTint);
    QCOMPARE(created.title, QStringLiteral("Sticky Note"));
    QVERIFY(created.isFloatingSticky);
    QVERIFY(!created.isEphemeral);
    QCOMPARE(studio.stickies->shown, QList<QUuid>{created.id});
    QCOMPARE(viewModel.toastMessage(), std::optional<QString>(QStringLiteral("Floating sticky created: Sticky Note")));
    QVERIFY(!viewModel.toastIsError());
    QVERIFY(loggedMessages().contains(
        QStringLiteral("Created note (ephemeral=false, sticky=true, totalNotes=%1)").arg(existingNotes + 1)));
}

void TestStudioViewModelCommands::copyToClipboardWithoutLabel()
{
    Studio studio;
    ZulStudioViewModel &viewModel = studio.start();
    viewModel.copyToClipboard(QStringLiteral("42 TRY"), std::nullopt);
    QCOMPARE(studio.clipboard->text, QStringLiteral("42 TRY"));
    QCOMPARE(viewModel.toastMessage(), std::optional<QString>(QStringLiteral("Copied: 42 TRY")));
}

void TestStudioViewModelCommands::liveRatesOffline()
{
    Studio studio;
    ZulStudioViewModel &viewModel = studio.start();
    const CurrencyRateTable before = viewModel.rates();

    viewModel.refreshLiveCurrencyRates();
    QVERIFY(viewModel.isRefreshingRates());
    viewModel.refreshLiveCurrencyRates();
    QCOMPARE(studio.rates->requests, 1);
    QCOMPARE(loggedMessages().count(QStringLiteral("Refreshing live ECB/Frankfurter FX rates")), 1);

    studio.rates->answer(std::nullopt);
    QVERIFY(!viewModel.isRefreshingRates());
    QCOMPARE(viewModel.rates(), before);
    QCOMPARE(viewModel.toastMessage(),
             std::optional<QString>(QString::fromUtf8("Offline mode — using built-in FX rates.")));
    QVERIFY(viewModel.toastIsError());
    QVERIFY(loggedMessages(VeskLogLevel::warn)
                .contains(QStringLiteral("Live FX rate refresh unavailable; continuing with built-in/cached rates")));
}

void TestStudioViewModelCommands::liveRatesUpdated()
{
    const ZulNote note = noteWith(QStringLiteral("fx"), QStringLiteral("1 USD to TRY"));
    Studio studio;
    studio.seed({note});
    ZulStudioViewModel &viewModel = studio.start();
    viewModel.setQuickScratchText(QStringLiteral("2 USD to TRY"));
    const QString before = firstResult(viewModel.evaluation(note.id));

    CurrencyRateTable live = CurrencyRateTable::offlineDefaults();
    live.ratesPerUSD.insert(QStringLiteral("TRY"), 100.0);
    live.isLive = true;
    live.updatedAt = QDateTime(QDate(2030, 1, 2), QTime(3, 4, 5), QTimeZone::utc());
    viewModel.refreshLiveCurrencyRates();
    studio.rates->answer(live);

    QVERIFY(!viewModel.isRefreshingRates());
    QCOMPARE(viewModel.rates(), live);
    QCOMPARE(studio.storage.loadCachedRates(), live);
    QCOMPARE(viewModel.storageFootprintBytes(), studio.storage.totalStorageBytes());
    QVERIFY(firstResult(viewModel.evaluation(note.id)) != before);
    QCOMPARE(viewModel.evaluation(note.id).lines.value(0).numericValue, std::optional<double>(100.0));
    QCOMPARE(viewModel.quickScratchSummary().lines.value(0).numericValue, std::optional<double>(200.0));
    QCOMPARE(viewModel.toastMessage(), std::optional<QString>(QStringLiteral("Live ECB/Frankfurter FX rates updated.")));
    QVERIFY(!viewModel.toastIsError());
    QVERIFY(loggedMessages().contains(
        QStringLiteral("Updated live FX rates (%1 currencies)").arg(live.ratesPerUSD.size())));
}

void TestStudioViewModelCommands::menuBarBadge_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QString>("expected"); // "count" for the number of notes

    QTest::newRow("no selection") << "5+5" << false << "count";
    QTest::newRow("a selected note without numbers") << "just words" << true << "count";
    QTest::newRow("a fractional total without fraction digits") << "1234.56\n0.5" << true << "total";
}

void TestStudioViewModelCommands::menuBarBadge()
{
    QFETCH(QString, content);
    QFETCH(bool, selected);
    QFETCH(QString, expected);

    const ZulNote note = noteWith(QStringLiteral("n"), content);
    Studio studio;
    studio.seed({note, noteWith(QStringLiteral("other"), QStringLiteral("7"), 2), noteWith(QStringLiteral("x"), {}, 3)});
    ZulStudioViewModel &viewModel = studio.start();
    viewModel.setSelectedNoteID(selected ? std::optional<QUuid>(note.id) : std::nullopt);
    if (expected == QLatin1String("count")) {
        QCOMPARE(viewModel.menuBarBadgeText(), QStringLiteral("3"));
    } else {
        const std::optional<double> total = viewModel.evaluation(note.id).totalNumericSum;
        QVERIFY(total);
        QCOMPARE(viewModel.menuBarBadgeText(), ZulNumberFormatter::format(*total, 0));
        QVERIFY(!viewModel.menuBarBadgeText().contains(QLatin1Char('.')));
    }
}

void TestStudioViewModelCommands::openStudioWindowWithoutOpener()
{
    const ZulNote first = noteWith(QStringLiteral("first"), QString(), 1);
    const ZulNote second = noteWith(QStringLiteral("second"), QString(), 2);
    Studio studio;
    auto activation = std::make_shared<FakeActivation>();
    studio.activation = activation;
    studio.seed({first, second});
    ZulStudioViewModel &viewModel = studio.start();
    viewModel.setSelectedTab(ZulStudioTab::settings);

    viewModel.openStudioWindowForNote(second.id);
    QCOMPARE(viewModel.selectedNoteID(), std::optional<QUuid>(second.id));
    QCOMPARE(viewModel.selectedTab(), ZulStudioTab::workspace);
    QCOMPARE(activation->posts, 1);
    QCOMPARE(activation->activations, 1);
    QCOMPARE(activation->raises, 1);
}

void TestStudioViewModelCommands::openerAndReopenRequests()
{
    Studio studio;
    auto activation = std::make_shared<FakeActivation>();
    studio.activation = activation;
    ZulStudioViewModel &viewModel = studio.start();
    int firstOpener = 0;
    int secondOpener = 0;
    viewModel.bindStudioWindowOpener([&] { ++firstOpener; });
    viewModel.bindStudioWindowOpener([&] { ++secondOpener; });
    QCOMPARE(activation->observerCount(), 1);

    viewModel.openStudioWindowForNote(viewModel.notes().first().id);
    QCOMPARE(secondOpener, 1);
    QCOMPARE(activation->posts, 0);

    // A reopen request from elsewhere (the desktop's "activate again").
    activation->postReopenStudioWindow();
    QCOMPARE(secondOpener, 1);
    QTRY_COMPARE(secondOpener, 2);
    QCOMPARE(firstOpener, 0);
}

void TestStudioViewModelCommands::toggleDrawerWhileDisabledEnablesIt()
{
    Studio studio;
    ZulConfig config;
    config.edgeDrawerEnabled = false;
    QVERIFY(studio.storage.saveConfig(config).ok());
    ZulStudioViewModel &viewModel = studio.start();

    viewModel.toggleEdgeDrawer();
    QVERIFY(viewModel.config().edgeDrawerEnabled);
    QVERIFY(studio.storage.loadConfig().edgeDrawerEnabled);
    QCOMPARE(studio.drawers->created, 1);
    QCOMPARE(studio.drawers->placements, QList<ZulEdgeSide>{ZulEdgeSide::right});
    QCOMPARE(studio.drawers->opens, 1);
    QVERIFY(viewModel.isEdgeDrawerOpen());

    viewModel.toggleEdgeDrawer();
    QCOMPARE(studio.drawers->closes, 1);
    QVERIFY(!viewModel.isEdgeDrawerOpen());
    QCOMPARE(studio.drawers->created, 1);
}

void TestStudioViewModelCommands::disablingTheDrawerWithoutController()
{
    Studio studio;
    ZulStudioViewModel &viewModel = studio.start();
    viewModel.setIsEdgeDrawerOpen(true);
    viewModel.updateConfig([](ZulConfig &config) { config.edgeDrawerEnabled = false; });
    QCOMPARE(studio.drawers->created, 0);
    QVERIFY(!viewModel.isEdgeDrawerOpen());
}

void TestStudioViewModelCommands::updateConfig_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("extraPlacements");
    QTest::addColumn<int>("extraHides");
    QTest::addColumn<bool>("reevaluates");

    QTest::newRow("drawer switched off") << "drawerOff" << 0 << 1 << false;
    QTest::newRow("drawer side changed") << "left" << 1 << 0 << false;
    QTest::newRow("font size") << "font" << 0 << 0 << false;
    QTest::newRow("font size beyond any screen") << "huge font" << 0 << 0 << false;
    QTest::newRow("tidy age beyond a week") << "tidy forever" << 0 << 0 << false;
    QTest::newRow("the currency already in use") << "TRY" << 0 << 0 << false;
    QTest::newRow("another default currency") << "USD" << 0 << 0 << true;
}

void TestStudioViewModelCommands::updateConfig()
{
    QFETCH(QString, change);
    QFETCH(int, extraPlacements);
    QFETCH(int, extraHides);
    QFETCH(bool, reevaluates);

    const ZulNote mixed = noteWith(QStringLiteral("mixed"), QStringLiteral("38 TRY\n1 USD\nsum"));
    Studio studio;
    studio.seed({mixed});
    ZulStudioViewModel &viewModel = studio.start();
    viewModel.setQuickScratchText(QStringLiteral("38 TRY\n1 USD\nsum"));
    // The bootstrap has placed the handle once.
    QTRY_COMPARE(studio.drawers->placements.size(), 1);
    const NoteEvaluationSummary before = viewModel.evaluation(mixed.id);
    QSignalSpy evaluations(&viewModel, &ZulStudioViewModel::evaluationsByNoteIDChanged);
    QSignalSpy scratch(&viewModel, &ZulStudioViewModel::quickScratchSummaryChanged);

    viewModel.updateConfig([&change](ZulConfig &config) {
        if (change == QLatin1String("drawerOff"))
            config.edgeDrawerEnabled = false;
        else if (change == QLatin1String("left"))
            config.edgeSide = ZulEdgeSide::left;
        else if (change == QLatin1String("font"))
            config.fontSize = 18;
        else if (change == QLatin1String("huge font"))
            config.fontSize = 1e308;
        else if (change == QLatin1String("tidy forever"))
            config.autoTidyEphemeralHours = std::numeric_limits<qint64>::max();
        else
            config.defaultCurrency = change;
    });

    QCOMPARE(studio.storage.loadConfig(), viewModel.config());
    QCOMPARE(viewModel.storageFootprintBytes(), studio.storage.totalStorageBytes());
    QCOMPARE(studio.drawers->placements.size(), 1 + extraPlacements);
    QCOMPARE(studio.drawers->hides, extraHides);
    QCOMPARE(evaluations.count(), reevaluates ? 1 : 0);
    QCOMPARE(scratch.count(), reevaluates ? 1 : 0);
    if (reevaluates) {
        QVERIFY(viewModel.evaluation(mixed.id) != before);
        QCOMPARE(viewModel.evaluation(mixed.id).lines.value(2).unitOrCurrency, std::optional<QString>("USD"));
        QCOMPARE(viewModel.quickScratchSummary(), viewModel.evaluation(mixed.id));
    }
}

void TestStudioViewModelCommands::tidyNow_data()
{
    QTest::addColumn<int>("expiredNotes");
    QTest::addColumn<VeskLanguage>("language");
    QTest::addColumn<QString>("expectedToast");

    QTest::newRow("nothing expired") << 0 << VeskLanguage(VeskLanguage::en)
                                     << "No expired ephemeral notes to tidy.";
    QTest::newRow("three expired, one selected") << 3 << VeskLanguage(VeskLanguage::en)
                                                 << "Tidied 3 expired ephemeral note(s).";
    QTest::newRow("three expired, Turkish") << 3 << VeskLanguage(VeskLanguage::tr)
                                            << QString::fromUtf8("3 süresi dolan geçici not temizlendi.");
}

void TestStudioViewModelCommands::tidyNow()
{
    QFETCH(int, expiredNotes);
    QFETCH(VeskLanguage, language);
    QFETCH(QString, expectedToast);

    const QDateTime start = QDateTime::currentDateTimeUtc();
    QList<ZulNote> seeded{makeNote(QStringLiteral("kept older"), QString(), start.addSecs(-7200)),
                          makeNote(QStringLiteral("kept newer"), QString(), start.addSecs(-3600))};
    for (int index = 0; index < expiredNotes; ++index) {
        ZulNote note = makeNote(QStringLiteral("ephemeral %1").arg(index), QStringLiteral("1"), start.addSecs(-60));
        note.isEphemeral = true;
        seeded.prepend(note);
    }
    Studio studio;
    studio.clock->fixed = start;
    studio.seed(seeded);
    ZulStudioViewModel &viewModel = studio.start();
    viewModel.setLanguage(language);
    QCOMPARE(viewModel.notes().size(), seeded.size());
    viewModel.setSelectedNoteID(seeded.first().id);

    // A day and a half later the ephemeral notes are past the 24-hour limit.
    studio.clock->fixed = start.addSecs(36 * 3600);
    viewModel.runAutoTidyNow();

    QCOMPARE(viewModel.toastMessage(), std::optional<QString>(expectedToast));
    QVERIFY(!viewModel.toastIsError());
    QCOMPARE(viewModel.notes().size(), 2);
    if (expiredNotes == 0) {
        QCOMPARE(studio.writes->writeCount(), 0);
        QCOMPARE(viewModel.selectedNoteID(), std::optional<QUuid>(seeded.first().id));
        return;
    }
    QCOMPARE(viewModel.selectedNoteID(), std::optional<QUuid>(seeded.last().id));
    QCOMPARE(viewModel.evaluationsByNoteID().size(), 2);
    QCOMPARE(studio.writes->writeCount(), 1);
    QCOMPARE(studio.notesOnDisk().size(), 2);
    QVERIFY(loggedMessages().contains(QStringLiteral("Tidied 3 expired ephemeral note(s)")));
}

void TestStudioViewModelCommands::timedTidyDropsRemovedNotes()
{
    const QDateTime start = QDateTime::currentDateTimeUtc();
    ZulNote kept = makeNote(QStringLiteral("kept"), QStringLiteral("1"), start.addSecs(-3600));
    ZulNote expiring = makeNote(QStringLiteral("expiring"), QStringLiteral("2"), start.addSecs(-60));
    expiring.isEphemeral = true;
    Studio studio;
    studio.clock->fixed = start;
    studio.tidyInterval = std::chrono::milliseconds(100);
    studio.seed({kept, expiring});
    ZulStudioViewModel &viewModel = studio.start();
    viewModel.setSelectedNoteID(expiring.id);
    QVERIFY(viewModel.evaluationsByNoteID().contains(expiring.id));

    studio.clock->fixed = start.addSecs(30 * 3600);
    QTRY_COMPARE(viewModel.notes().size(), 1);
    QCOMPARE(viewModel.notes().first().id, kept.id);
    QVERIFY(!viewModel.evaluationsByNoteID().contains(expiring.id));
    QCOMPARE(viewModel.selectedNoteID(), std::optional<QUuid>(kept.id));
    QCOMPARE(studio.writes->writeCount(), 1);
    QCOMPARE(ids(studio.notesOnDisk()), QList<QUuid>{kept.id});
    QVERIFY(!viewModel.toastMessage());
    QVERIFY(loggedMessages().filter(QStringLiteral("Tidied")).isEmpty());
}

void TestStudioViewModelCommands::loginItem_data()
{
    QTest::addColumn<bool>("wanted");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<bool>("expectedState");
    QTest::addColumn<QString>("expectedToast");
    QTest::newRow("turned on") << true << false << true << "VeskZul will start at login.";
    QTest::newRow("turned off") << false << false << false << "Launch at login disabled.";
    QTest::newRow("refused by the system") << true << true << false << "Could not update Login Item state.";
}

void TestStudioViewModelCommands::loginItem()
{
    QFETCH(bool, wanted);
    QFETCH(bool, refused);
    QFETCH(bool, expectedState);
    QFETCH(QString, expectedToast);

    const QString autostart = QDir(m_home.configPath()).filePath(QStringLiteral("autostart"));
    QDir(autostart).removeRecursively();
    QFile::remove(autostart);
    QVERIFY(QDir().mkpath(m_home.configPath()));
    if (refused) {
        // A file where the folder should be: the entry cannot be written.
        QFile blocker(autostart);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    } else if (!wanted) {
        QVERIFY(VeskLaunchAtLogin::setEnabled(true));
    }

    Studio studio;
    ZulStudioViewModel &viewModel = studio.start();
    QCOMPARE(viewModel.launchAtLogin(), !wanted && !refused);
    viewModel.toggleLaunchAtLogin(wanted);
    QCOMPARE(viewModel.launchAtLogin(), expectedState);
    QCOMPARE(viewModel.toastMessage(), std::optional<QString>(expectedToast));
    QCOMPARE(viewModel.toastIsError(), refused);

    QDir(autostart).removeRecursively();
    QFile::remove(autostart);
}

QTEST_MAIN(TestStudioViewModelCommands)
#include "tst_studioviewmodelcommands.moc"
