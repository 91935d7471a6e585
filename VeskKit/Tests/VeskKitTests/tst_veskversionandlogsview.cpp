#include "VeskKit/Design/VeskBrandMark.h"
#include "VeskKit/Design/VeskFeedbackButton.h"
#include "VeskKit/Design/VeskVersionAndLogsView.h"
#include "VeskKit/Utilities/VeskAppLogger.h"
#include "VeskKit/Utilities/VeskReleaseLogRecord.h"
#include "helper_recordingurlopener.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>
#include <QUuid>

#include <memory>

namespace {

const VeskAppVersion kVersion(QStringLiteral("1.2.3"), QStringLiteral("45"));

VeskLogEntry makeEntry(VeskLogLevel level, const QString &message, const QString &timestamp = {},
                       const QString &category = QStringLiteral("Core"))
{
    VeskLogEntry entry;
    entry.id = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    entry.timestamp = timestamp.isEmpty() ? QStringLiteral("2025-03-01T10:00:00.123Z") : timestamp;
    entry.level = level;
    entry.category = category;
    entry.message = message;
    entry.version = QStringLiteral("1.2.3");
    entry.build = QStringLiteral("45");
    return entry;
}

void writeEntries(const VeskAppLogger &logger, const QList<VeskLogEntry> &entries)
{
    QDir().mkpath(logger.logDirectoryURL());
    QFile file(logger.currentLogFileURL());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (const VeskLogEntry &entry : entries)
        file.write(entry.toJsonLine() + '\n');
}

// Levels given by raw value, messages "m0", "m1", ... in file order.
QList<VeskLogEntry> entriesWithLevels(const QStringList &levels)
{
    QList<VeskLogEntry> entries;
    for (int i = 0; i < levels.size(); ++i)
        entries.append(makeEntry(*VeskLogLevelFromRaw(levels.at(i)), QStringLiteral("m%1").arg(i)));
    return entries;
}

QStringList labelTexts(const QWidget &root, const QString &name)
{
    QStringList texts;
    for (const QLabel *label : root.findChildren<QLabel *>(name))
        texts.append(label->text());
    return texts;
}

QStringList messages(const QList<VeskLogEntry> &entries)
{
    QStringList texts;
    for (const VeskLogEntry &entry : entries)
        texts.append(entry.message);
    return texts;
}

VeskReleaseLogRecord makeRecord(const QString &app, const QString &version, qint64 build)
{
    VeskReleaseLogRecord record;
    record.timestamp = QStringLiteral("2026-05-04T09:30:00Z");
    record.app = app;
    record.toVersion = version;
    record.toBuild = build;
    record.bumpKind = QStringLiteral("minor");
    record.section = QStringLiteral("Added");
    record.summary = QStringLiteral("Summary of ") + version;
    record.details = {QStringLiteral("First detail"), QStringLiteral("Second detail")};
    return record;
}

} // namespace

class TestVeskVersionAndLogsView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void filterListsEntriesAtOrAboveLevel_data();
    void filterListsEntriesAtOrAboveLevel();
    void switchingBackToAllListsNewestFirstUpToTheLimit();
    void copyPutsTheNewestEntriesOldestFirst_data();
    void copyPutsTheNewestEntriesOldestFirst();
    void clearRemovesTheLogAndReloads();
    void refreshPicksUpLinesWrittenMeanwhile();
    void timeColumn_data();
    void timeColumn();
    void logTextIsNeverMarkup();

    void releaseHistorySources_data();
    void releaseHistorySources();
    void releaseRowShowsBuildLineSummaryAndDetails();

    void headerOnlyWithCloseAction_data();
    void headerOnlyWithCloseAction();
    void brandMarkFollowsTheApplicationName_data();
    void brandMarkFollowsTheApplicationName();
    void folderButtonOpensTheLogFolder();
    void feedbackPillOpensThePageForThePanelsApplication();
    void turkishTexts();
    void cardTitlesReadOnOneLine_data();
    void cardTitlesReadOnOneLine();

private:
    std::shared_ptr<VeskAppLogger> makeLogger();
    VeskVersionAndLogsView *makePanel(const std::shared_ptr<VeskAppLogger> &logger,
                                      const QList<VeskReleaseLogRecord> &fallback = {},
                                      VeskLanguage language = VeskLanguage::en,
                                      std::function<void()> onClose = {});

    QTemporaryDir m_home;
    QString m_releaseDir; // no release log unless a test writes one
    std::unique_ptr<QWidget> m_host;
    int m_loggerCount = 0;
};

void TestVeskVersionAndLogsView::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("data"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
}

void TestVeskVersionAndLogsView::init()
{
    m_host.reset();
    m_releaseDir = m_home.filePath(QStringLiteral("bundle%1").arg(++m_loggerCount));
    QDir().mkpath(m_releaseDir);
}

std::shared_ptr<VeskAppLogger> TestVeskVersionAndLogsView::makeLogger()
{
    const QString dir = m_home.filePath(QStringLiteral("data/logs%1").arg(m_loggerCount));
    return std::make_shared<VeskAppLogger>(QStringLiteral("Vesk Test"), dir, 1 << 20, 3,
                                           [] { return kVersion; });
}

VeskVersionAndLogsView *TestVeskVersionAndLogsView::makePanel(const std::shared_ptr<VeskAppLogger> &logger,
                                                              const QList<VeskReleaseLogRecord> &fallback,
                                                              VeskLanguage language, std::function<void()> onClose)
{
    auto *panel = new VeskVersionAndLogsView(QStringLiteral("VeskZul"), kVersion, logger,
                                             VeskProductPalette::deepIndigo, language, fallback, std::move(onClose));
    VeskBundle bundle;
    bundle.resourceDirectory = m_releaseDir;
    panel->setReleaseBundle(bundle);
    panel->resize(720, 560);
    m_host.reset(panel);
    panel->show();
    return panel;
}

void TestVeskVersionAndLogsView::filterListsEntriesAtOrAboveLevel_data()
{
    QTest::addColumn<QStringList>("levels");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("shown"); // newest first

    const QStringList mixed = {"debug", "info", "warn", "error", "info", "debug"};
    QTest::newRow("All") << mixed << "debug" << QStringList{"m5", "m4", "m3", "m2", "m1", "m0"};
    QTest::newRow("INFO+") << mixed << "info" << QStringList{"m4", "m3", "m2", "m1"};
    QTest::newRow("WARN+") << mixed << "warn" << QStringList{"m3", "m2"};
    QTest::newRow("ERROR") << mixed << "error" << QStringList{"m3"};
    QTest::newRow("ERROR over info only") << QStringList{"info", "info"} << "error" << QStringList{};
    QTest::newRow("no log file yet") << QStringList{} << "debug" << QStringList{};
}

void TestVeskVersionAndLogsView::filterListsEntriesAtOrAboveLevel()
{
    QFETCH(QStringList, levels);
    QFETCH(QString, filter);
    QFETCH(QStringList, shown);

    auto logger = makeLogger();
    if (!levels.isEmpty())
        writeEntries(*logger, entriesWithLevels(levels));
    VeskVersionAndLogsView *panel = makePanel(logger);
    const VeskLogLevel level = *VeskLogLevelFromRaw(filter);
    QTest::mouseClick(panel->filterButton(level), Qt::LeftButton);

    QCOMPARE(panel->selectedMinLevel(), level);
    QCOMPARE(messages(panel->entries()), shown);
    QCOMPARE(labelTexts(*panel, QStringLiteral("logMessage")), shown);
    const QStringList empty = labelTexts(*panel, QStringLiteral("logEmpty"));
    if (shown.isEmpty())
        QCOMPARE(empty, QStringList{QStringLiteral("No runtime log entries match the filter yet.")});
    else
        QVERIFY(empty.isEmpty());
    for (VeskLogLevel other : kVeskLogLevelAllCases) {
        QCOMPARE(panel->filterButton(other)->isChecked(), other == level);
    }
}

void TestVeskVersionAndLogsView::switchingBackToAllListsNewestFirstUpToTheLimit()
{
    auto logger = makeLogger();
    QStringList levels;
    for (int i = 0; i < 130; ++i)
        levels.append(QStringLiteral("info"));
    writeEntries(*logger, entriesWithLevels(levels));
    VeskVersionAndLogsView *panel = makePanel(logger);
    QCOMPARE(panel->entries().size(), 120);

    QTest::mouseClick(panel->filterButton(VeskLogLevel::error), Qt::LeftButton);
    QVERIFY(panel->entries().isEmpty());
    QCOMPARE(labelTexts(*panel, QStringLiteral("logMessage")).size(), 0);

    QTest::mouseClick(panel->filterButton(VeskLogLevel::debug), Qt::LeftButton);
    const QStringList shown = labelTexts(*panel, QStringLiteral("logMessage"));
    QCOMPARE(shown.size(), 120);
    QCOMPARE(shown.constFirst(), QStringLiteral("m129"));
    QCOMPARE(shown.constLast(), QStringLiteral("m10"));
}

void TestVeskVersionAndLogsView::copyPutsTheNewestEntriesOldestFirst_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("levelOfEach"); // "mixed": debug and warn alternating
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("firstMessage");
    QTest::addColumn<QString>("lastMessage");

    QTest::newRow("300 entries give the newest 250") << 300 << "info" << "debug" << 250 << "m50" << "m299";
    QTest::newRow("fewer than the limit") << 3 << "info" << "debug" << 3 << "m0" << "m2";
    QTest::newRow("filter applies to the copy") << 10 << "mixed" << "warn" << 5 << "m1" << "m9";
    QTest::newRow("nothing matches: empty text") << 4 << "info" << "error" << 0 << "" << "";
}

void TestVeskVersionAndLogsView::copyPutsTheNewestEntriesOldestFirst()
{
    QFETCH(int, count);
    QFETCH(QString, levelOfEach);
    QFETCH(QString, filter);
    QFETCH(int, lines);
    QFETCH(QString, firstMessage);
    QFETCH(QString, lastMessage);

    QStringList levels;
    for (int i = 0; i < count; ++i)
        levels.append(levelOfEach == u"mixed" ? (i % 2 ? QStringLiteral("warn") : QStringLiteral("debug"))
                                              : levelOfEach);
    auto logger = makeLogger();
    writeEntries(*logger, entriesWithLevels(levels));
    VeskVersionAndLogsView *panel = makePanel(logger);
    QTest::mouseClick(panel->filterButton(*VeskLogLevelFromRaw(filter)), Qt::LeftButton);

    QGuiApplication::clipboard()->setText(QStringLiteral("left over from before"));
    QCOMPARE(panel->copyButton()->text(), QStringLiteral("Copy"));
    QTest::mouseClick(panel->copyButton(), Qt::LeftButton);

    const QString copied = QGuiApplication::clipboard()->text();
    QVERIFY(panel->copiedToast());
    QCOMPARE(panel->copyButton()->text(), QStringLiteral("Copied"));
    if (lines == 0) {
        QCOMPARE(copied, QString());
        return;
    }
    QVERIFY(!copied.endsWith(u'\n'));
    const QStringList copiedLines = copied.split(u'\n');
    QCOMPARE(copiedLines.size(), lines);
    QVERIFY2(copiedLines.constFirst().endsWith(u' ' + firstMessage), qPrintable(copiedLines.constFirst()));
    QVERIFY2(copiedLines.constLast().endsWith(u' ' + lastMessage), qPrintable(copiedLines.constLast()));
    const QString level = copiedLines.constLast().section(u' ', 1, 1);
    QCOMPARE(copiedLines.constLast(),
             QStringLiteral("[2025-03-01T10:00:00.123Z] ") + level + QStringLiteral(" [v1.2.3#45] [Core] ") +
                 lastMessage);
}

void TestVeskVersionAndLogsView::clearRemovesTheLogAndReloads()
{
    auto logger = makeLogger();
    writeEntries(*logger, entriesWithLevels({"info", "warn", "error"}));
    for (int n = 1; n <= 3; ++n) {
        QFile rotated(logger->currentLogFileURL() + QStringLiteral(".%1").arg(n));
        QVERIFY(rotated.open(QIODevice::WriteOnly));
        rotated.write(makeEntry(VeskLogLevel::info, QStringLiteral("old")).toJsonLine() + '\n');
    }
    const QList<VeskReleaseLogRecord> fallback = {makeRecord(QStringLiteral("VeskZul"), QStringLiteral("1.0.0"), 1)};
    VeskVersionAndLogsView *panel = makePanel(logger, fallback);
    QTest::mouseClick(panel->filterButton(VeskLogLevel::warn), Qt::LeftButton);
    QTest::mouseClick(panel->copyButton(), Qt::LeftButton);
    QCOMPARE(panel->entries().size(), 2);

    QTest::mouseClick(panel->clearButton(), Qt::LeftButton);

    QVERIFY(!QFileInfo::exists(logger->currentLogFileURL()));
    for (int n = 1; n <= 3; ++n)
        QVERIFY(!QFileInfo::exists(logger->currentLogFileURL() + QStringLiteral(".%1").arg(n)));
    QVERIFY(QFileInfo(logger->logDirectoryURL()).isDir());
    QVERIFY(panel->entries().isEmpty());
    QCOMPARE(labelTexts(*panel, QStringLiteral("logEmpty")).size(), 1);
    // Clearing touches neither the filter, nor the copy label, nor the releases.
    QCOMPARE(panel->selectedMinLevel(), VeskLogLevel::warn);
    QCOMPARE(panel->copyButton()->text(), QStringLiteral("Copied"));
    QCOMPARE(panel->releases(), fallback);

    // What is logged after clearing shows after the next reload.
    logger->error(QStringLiteral("after clearing"), QStringLiteral("Core"));
    QTest::mouseClick(panel->refreshButton(), Qt::LeftButton);
    QCOMPARE(labelTexts(*panel, QStringLiteral("logMessage")), QStringList{QStringLiteral("after clearing")});
}

void TestVeskVersionAndLogsView::refreshPicksUpLinesWrittenMeanwhile()
{
    auto logger = makeLogger();
    VeskVersionAndLogsView *panel = makePanel(logger);
    QVERIFY(panel->entries().isEmpty());
    logger->info(QStringLiteral("written meanwhile"), QStringLiteral("Net"));
    // Nothing watches the file.
    QVERIFY(panel->entries().isEmpty());
    QTest::mouseClick(panel->refreshButton(), Qt::LeftButton);
    QCOMPARE(messages(panel->entries()), QStringList{QStringLiteral("written meanwhile")});
    QCOMPARE(labelTexts(*panel, QStringLiteral("logCategory")), QStringList{QStringLiteral("[Net]")});
    QCOMPARE(labelTexts(*panel, QStringLiteral("logLevel")), QStringList{QStringLiteral("INFO")});
}

void TestVeskVersionAndLogsView::timeColumn_data()
{
    QTest::addColumn<QString>("timestamp");
    QTest::addColumn<QString>("shown");

    QTest::newRow("ISO 8601") << "2025-03-01T10:11:12.345Z" << "10:11:12";
    QTest::newRow("short after T") << "2025-03-01T10:11" << "10:11";
    QTest::newRow("no T: first eight") << "2025-03-01 10:11:12" << "2025-03-";
    QTest::newRow("no T and short: whole") << "10:11" << "10:11";
    QTest::newRow("first T counts") << "xT12:00:00T99" << "12:00:00";
    QTest::newRow("T last") << "2025T" << "";
}

void TestVeskVersionAndLogsView::timeColumn()
{
    QFETCH(QString, timestamp);
    QFETCH(QString, shown);

    auto logger = makeLogger();
    writeEntries(*logger, {makeEntry(VeskLogLevel::info, QStringLiteral("x"), timestamp)});
    VeskVersionAndLogsView *panel = makePanel(logger);
    QCOMPARE(labelTexts(*panel, QStringLiteral("logTime")), QStringList{shown});
}

void TestVeskVersionAndLogsView::logTextIsNeverMarkup()
{
    auto logger = makeLogger();
    const QString markup = QStringLiteral("<b>bold</b> <img src=\"file:///etc/passwd\"> &amp;");
    writeEntries(*logger, {makeEntry(VeskLogLevel::warn, markup, {}, QStringLiteral("<i>ui</i>"))});
    VeskReleaseLogRecord record = makeRecord(QStringLiteral("VeskZul"), QStringLiteral("<u>2</u>"), 5);
    record.summary = markup;
    record.details = {markup};
    VeskVersionAndLogsView *panel = makePanel(logger, {record});

    QCOMPARE(labelTexts(*panel, QStringLiteral("logMessage")), QStringList{markup});
    QCOMPARE(labelTexts(*panel, QStringLiteral("logCategory")), QStringList{QStringLiteral("[<i>ui</i>]")});
    QCOMPARE(labelTexts(*panel, QStringLiteral("releaseSummary")), QStringList{markup});
    const QList<QLabel *> labels = panel->findChildren<QLabel *>();
    QVERIFY(labels.size() > 10);
    for (const QLabel *label : labels)
        QVERIFY2(label->textFormat() == Qt::PlainText, qPrintable(label->objectName()));
}

void TestVeskVersionAndLogsView::releaseHistorySources_data()
{
    QTest::addColumn<QStringList>("fileApps"); // one record per app; empty: no release log at all
    QTest::addColumn<bool>("withFallback");
    QTest::addColumn<QStringList>("shownVersions");

    QTest::newRow("no release log, no fallback") << QStringList{} << false << QStringList{};
    QTest::newRow("no release log, fallback") << QStringList{} << true << QStringList{"v9.9.9"};
    QTest::newRow("other applications only: fallback") << QStringList{"VeskAtlas", "VeskDock"} << true
                                                        << QStringList{"v9.9.9"};
    QTest::newRow("other applications only, no fallback") << QStringList{"VeskAtlas"} << false << QStringList{};
    QTest::newRow("own records, last line first, case ignored")
        << QStringList{"veskzul", "VeskAtlas", "VESKZUL"} << true << QStringList{"v1.0.2", "v1.0.0"};
}

void TestVeskVersionAndLogsView::releaseHistorySources()
{
    QFETCH(QStringList, fileApps);
    QFETCH(bool, withFallback);
    QFETCH(QStringList, shownVersions);

    if (!fileApps.isEmpty()) {
        QFile file(m_releaseDir + QStringLiteral("/release-log.jsonl"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < fileApps.size(); ++i) {
            const VeskReleaseLogRecord record = makeRecord(fileApps.at(i), QStringLiteral("1.0.%1").arg(i), i);
            file.write(QJsonDocument(record.toJson()).toJson(QJsonDocument::Compact) + "\n");
        }
    }
    QList<VeskReleaseLogRecord> fallback;
    if (withFallback)
        fallback.append(makeRecord(QStringLiteral("VeskZul"), QStringLiteral("9.9.9"), 999));
    VeskVersionAndLogsView *panel = makePanel(makeLogger(), fallback);

    QCOMPARE(labelTexts(*panel, QStringLiteral("releaseVersion")), shownVersions);
    const QStringList empty = labelTexts(*panel, QStringLiteral("releaseEmpty"));
    if (shownVersions.isEmpty())
        QCOMPARE(empty, QStringList{QStringLiteral("No release log records found for this build.")});
    else
        QVERIFY(empty.isEmpty());
}

void TestVeskVersionAndLogsView::releaseRowShowsBuildLineSummaryAndDetails()
{
    VeskReleaseLogRecord plain = makeRecord(QStringLiteral("VeskZul"), QStringLiteral("2.0.0"), 1234567);
    plain.bumpKind = QStringLiteral("major");
    plain.section = QStringLiteral("Changed");
    plain.summary.clear();
    plain.details.clear();
    VeskReleaseLogRecord translated = makeRecord(QStringLiteral("VeskZul"), QStringLiteral("1.0.0"), 7);
    translated.summaryI18n.insert(QStringLiteral("tr"), QStringLiteral("Türkçe özet"));
    translated.detailsI18n.insert(QStringLiteral("tr"), {QStringLiteral("Ayrıntı")});
    // The same record twice: both stay visible.
    VeskVersionAndLogsView *panel = makePanel(makeLogger(), {plain, translated, translated}, VeskLanguage::tr);

    QCOMPARE(labelTexts(*panel, QStringLiteral("releaseBuildLine")),
             (QStringList{"Build 1234567 · major/Changed", "Build 7 · minor/Added", "Build 7 · minor/Added"}));
    QCOMPARE(labelTexts(*panel, QStringLiteral("releaseDate")),
             (QStringList{"2026-05-04", "2026-05-04", "2026-05-04"}));
    // The record without summary or details shows neither.
    QCOMPARE(labelTexts(*panel, QStringLiteral("releaseSummary")), (QStringList{"Türkçe özet", "Türkçe özet"}));
    QCOMPARE(labelTexts(*panel, QStringLiteral("releaseDetail")), (QStringList{"• Ayrıntı", "• Ayrıntı"}));
}

void TestVeskVersionAndLogsView::headerOnlyWithCloseAction_data()
{
    QTest::addColumn<bool>("withClose");
    QTest::newRow("with close action") << true;
    QTest::newRow("without close action") << false;
}

void TestVeskVersionAndLogsView::headerOnlyWithCloseAction()
{
    QFETCH(bool, withClose);

    int closed = 0;
    std::function<void()> onClose;
    if (withClose)
        onClose = [&closed] { ++closed; };
    VeskVersionAndLogsView *panel = makePanel(makeLogger(), {}, VeskLanguage::en, onClose);
    QVERIFY(QTest::qWaitForWindowExposed(panel));

    QCOMPARE(panel->closeButton() != nullptr, withClose);
    QCOMPARE(labelTexts(*panel, QStringLiteral("title")).size(), withClose ? 1 : 0);
    QCOMPARE(panel->findChildren<QWidget *>(QStringLiteral("brandMark")).size(), withClose ? 1 : 0);
    if (withClose)
        QCOMPARE(labelTexts(*panel, QStringLiteral("title")).constFirst(), QStringLiteral("VeskZul · Version & Logs"));

    // The ground is drawn only with a close action: a corner pixel shows it.
    QImage image(panel->size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    panel->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    QCOMPARE(qAlpha(image.pixel(2, image.height() - 3)) == 255, withClose);

    panel->activateWindow();
    panel->filterButton(VeskLogLevel::info)->setFocus();
    QTest::keyClick(panel->filterButton(VeskLogLevel::info), Qt::Key_Escape);
    QCOMPARE(closed, withClose ? 1 : 0);
    if (withClose) {
        QTest::mouseClick(panel->closeButton(), Qt::LeftButton);
        QCOMPARE(closed, 2);
    }
}

void TestVeskVersionAndLogsView::brandMarkFollowsTheApplicationName_data()
{
    QTest::addColumn<QString>("appName");
    QTest::addColumn<QString>("emblem"); // raw value; empty: the running application's mark

    QTest::newRow("this application") << "VeskZul" << "veskzul";
    QTest::newRow("bundle identifier of another") << "com.quarnell.VeskAtlas" << "veskatlas";
    QTest::newRow("unknown name") << "Some Tool" << "";
}

void TestVeskVersionAndLogsView::brandMarkFollowsTheApplicationName()
{
    QFETCH(QString, appName);
    QFETCH(QString, emblem);

    VeskVersionAndLogsView panel(appName, kVersion, makeLogger(), VeskProductPalette::deepIndigo, VeskLanguage::en,
                                 {}, [] {});
    const QList<VeskBrandMark *> marks = panel.findChildren<VeskBrandMark *>();
    QCOMPARE(marks.size(), 1);
    QCOMPARE(marks.constFirst()->size(), QSize(24, 24));
    const VeskBrandMarkStyle style = marks.constFirst()->style();
    if (emblem.isEmpty()) {
        QCOMPARE(style, VeskBrandMarkStyle::currentApp());
    } else {
        QCOMPARE(style.kind(), VeskBrandMarkStyle::Kind::app);
        QCOMPARE(style.identity()->rawValue(), emblem);
    }
}

void TestVeskVersionAndLogsView::folderButtonOpensTheLogFolder()
{
    auto logger = makeLogger();
    VeskVersionAndLogsView *panel = makePanel(logger);
    auto opener = std::make_shared<RecordingUrlOpener>();
    panel->setUrlOpener(opener);
    QVERIFY(!QFileInfo::exists(logger->logDirectoryURL()));

    QTest::mouseClick(panel->folderButton(), Qt::LeftButton);

    QVERIFY(QFileInfo(logger->logDirectoryURL()).isDir());
    QCOMPARE(opener->opened, QList<QUrl>{QUrl::fromLocalFile(logger->logDirectoryURL())});
    QCOMPARE(panel->selectedMinLevel(), VeskLogLevel::debug);
}

void TestVeskVersionAndLogsView::feedbackPillOpensThePageForThePanelsApplication()
{
    qunsetenv("QUARNELL_FEEDBACK_BASE_URL");
    auto logger = makeLogger();
    VeskVersionAndLogsView *panel = makePanel(logger);
    auto opener = std::make_shared<RecordingUrlOpener>();
    panel->setUrlOpener(opener);
    QCOMPARE(panel->feedbackButton()->buttonStyle(), VeskFeedbackButtonStyle::labeledPill);
    QCOMPARE(labelTexts(*panel, QStringLiteral("logFileName")), QStringList{QStringLiteral("vesk-test.log")});
    QCOMPARE(labelTexts(*panel, QStringLiteral("versionChipValue")), QStringList{QStringLiteral("v1.2.3")});
    QCOMPARE(labelTexts(*panel, QStringLiteral("buildChipValue")), QStringList{QStringLiteral("#45")});

    QTest::mouseClick(panel->feedbackButton()->button(), Qt::LeftButton);

    QCOMPARE(opener->opened.size(), 1);
    const QUrlQuery query(opener->opened.constFirst());
    QCOMPARE(query.queryItemValue(QStringLiteral("type")), QStringLiteral("feature"));
    QCOMPARE(query.queryItemValue(QStringLiteral("app")), QStringLiteral("veskzul"));
    QCOMPARE(query.queryItemValue(QStringLiteral("version")), QStringLiteral("1.2.3"));
}

void TestVeskVersionAndLogsView::turkishTexts()
{
    auto logger = makeLogger();
    VeskVersionAndLogsView *panel = makePanel(logger, {}, VeskLanguage::tr, [] {});
    QCOMPARE(labelTexts(*panel, QStringLiteral("title")), QStringList{QStringLiteral("VeskZul · Sürüm & Loglar")});
    QCOMPARE(labelTexts(*panel, QStringLiteral("releaseEmpty")),
             QStringList{QStringLiteral("Bu derleme için sürüm geçmişi kaydı bulunamadı.")});
    QCOMPARE(labelTexts(*panel, QStringLiteral("logEmpty")),
             QStringList{QStringLiteral("Filtreye uyan çalışma logu henüz yok.")});
    QCOMPARE(labelTexts(*panel, QStringLiteral("versionChipTitle")), QStringList{QStringLiteral("Sürüm:")});
    QCOMPARE(labelTexts(*panel, QStringLiteral("buildChipTitle")), QStringList{QStringLiteral("Build:")});
    QCOMPARE(panel->filterButton(VeskLogLevel::debug)->text(), QStringLiteral("Tümü"));
    QCOMPARE(panel->filterButton(VeskLogLevel::info)->text(), QStringLiteral("INFO+"));
    QCOMPARE(panel->refreshButton()->toolTip(), QStringLiteral("Logları yenile"));
    QCOMPARE(panel->clearButton()->text(), QStringLiteral("Temizle"));
    QTest::mouseClick(panel->copyButton(), Qt::LeftButton);
    QCOMPARE(panel->copyButton()->text(), QStringLiteral("Kopyalandı"));

    // The longer labels still fit the sheet's width, beside the thin dark scroll bar a long log brings.
    writeEntries(*logger, entriesWithLevels(QStringList(40, QStringLiteral("info"))));
    QTest::mouseClick(panel->refreshButton(), Qt::LeftButton);
    panel->resize(680, 540);
    QVERIFY(QTest::qWaitForWindowExposed(panel));
    QCOMPARE(panel->closeButton()->visibleRegion().boundingRect(), panel->closeButton()->rect());
    const QScrollBar *bar = panel->findChild<QScrollArea *>(QStringLiteral("scrollArea"))->verticalScrollBar();
    QVERIFY(bar->isVisible() && bar->width() <= 8);
    const QImage shot = panel->grab(QRect(bar->mapTo(panel, QPoint()), bar->size())).toImage();
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            QVERIFY(qGray(shot.pixel(x, y)) < 160);
}

void TestVeskVersionAndLogsView::cardTitlesReadOnOneLine_data()
{
    QTest::addColumn<VeskLanguage>("language");
    QTest::newRow("English") << VeskLanguage(VeskLanguage::en);
    QTest::newRow("Turkish") << VeskLanguage(VeskLanguage::tr);
}

void TestVeskVersionAndLogsView::cardTitlesReadOnOneLine()
{
    QFETCH(VeskLanguage, language);
    VeskVersionAndLogsView *panel = makePanel(makeLogger(), {}, language, [] {});
    panel->resize(680, 540); // the studio's sheet
    QVERIFY(QTest::qWaitForWindowExposed(panel));
    for (const char *name : {"versionTitle", "releaseTitle", "logsTitle"}) {
        const auto *title = panel->findChild<QLabel *>(QString::fromLatin1(name));
        QVERIFY(title);
        QVERIFY2(title->height() < 1.5 * title->fontMetrics().lineSpacing(), name);
    }
    // The log controls still show whole, beside the title or below it.
    QCOMPARE(panel->clearButton()->visibleRegion().boundingRect(), panel->clearButton()->rect());
}

QTEST_MAIN(TestVeskVersionAndLogsView)
#include "tst_veskversionandlogsview.moc"
