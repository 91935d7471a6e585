#include "StudioTestSupport.h"

#include "Services/ZulExportService.h"

#include <csignal>
#include <sys/resource.h>
#include <system_error>

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

} // namespace

class TestStudioViewModelExport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void copyNoteWithResults();
    void exportNoteToDisk_data();
    void exportNoteToDisk();

private:
    PrivateHome m_home;
};

void TestStudioViewModelExport::init()
{
    appLogger()->clear();
}

void TestStudioViewModelExport::copyNoteWithResults()
{
    const ZulNote note = noteWith(QStringLiteral("sum"), QStringLiteral("2+2\nplain words\n10*3"));
    Studio studio;
    studio.seed({note});
    ZulStudioViewModel &viewModel = studio.start();

    viewModel.copyNoteWithResults(QUuid::createUuid());
    QCOMPARE(studio.clipboard->writes, 0);
    QVERIFY(!viewModel.toastMessage());

    viewModel.copyNoteWithResults(note.id);
    const NoteEvaluationSummary summary = viewModel.evaluation(note.id);
    QCOMPARE(studio.clipboard->text, ZulExportService::renderWithInlineResults(note.content, summary));
    QCOMPARE(viewModel.toastMessage(), std::optional<QString>(QStringLiteral("Copied: Note with live results")));
    QVERIFY(!viewModel.toastIsError());
    QVERIFY(loggedMessages().contains(
        QStringLiteral("Copied evaluated note to clipboard (evaluatedLines=%1)").arg(summary.lines.size())));
}

void TestStudioViewModelExport::exportNoteToDisk_data()
{
    QTest::addColumn<ZulExportFormat>("format");
    QTest::addColumn<QString>("answer"); // "" cancels; "<dir>" is replaced by a temporary folder
    QTest::addColumn<QString>("expectedProposal");
    QTest::addColumn<QString>("expectedToastStart");
    QTest::addColumn<bool>("expectError");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("sizeLimit"); // bytes a file may hold, as on a full disk; 0: no limit

    const QString plan = QStringLiteral("Q1/Q2: plan-a:b");
    QTest::newRow("markdown: slashes and colons become hyphens")
        << ZulExportFormat::markdownWithResults << "<dir>/plan.md" << "Q1/Q2: plan-a:b.md" << "Exported plan.md"
        << false << plan << 0;
    QTest::newRow("csv with its own extension")
        << ZulExportFormat::csv << "<dir>/table.csv" << "Q1/Q2: plan-a:b.csv" << "Exported table.csv" << false << plan << 0;
    QTest::newRow("cancelled: nothing happens")
        << ZulExportFormat::plainText << "" << "Q1/Q2: plan-a:b.txt" << "" << false << plan << 0;
    QTest::newRow("a folder that does not exist: error toast and log")
        << ZulExportFormat::plainText << "<dir>/missing/folder/out.txt" << "Q1/Q2: plan-a:b.txt" << "Export failed: "
        << true << plan << 0;
    // The file already there stays whole, and the toast tells the system's reason.
    QTest::newRow("no room for the whole file: the old one stays")
        << ZulExportFormat::plainText << "<dir>/out.txt" << "Q1/Q2: plan-a:b.txt"
        << "Export failed: " + QString::fromStdString(std::generic_category().message(EFBIG)) << true << plan << 16;
    // A file name holds 255 bytes: the title is cut between two characters
    // (é is two bytes; e with a combining accent three), the extension kept.
    QTest::newRow("a long title cut to a file name")
        << ZulExportFormat::markdownWithResults << "" << QString(126, u'é') + ".md" << "" << false
        << QString(300, u'é') << 0;
    QTest::newRow("a long title never cut inside a character")
        << ZulExportFormat::csv << "" << "x" + QStringLiteral("e\u0301").repeated(83) + ".csv" << "" << false
        << "x" + QStringLiteral("e\u0301").repeated(100) << 0;
}

void TestStudioViewModelExport::exportNoteToDisk()
{
    QFETCH(ZulExportFormat, format);
    QFETCH(QString, answer);
    QFETCH(QString, expectedProposal);
    QFETCH(QString, expectedToastStart);
    QFETCH(bool, expectError);
    QFETCH(QString, title);
    QFETCH(int, sizeLimit);
    expectedProposal.replace(QLatin1Char('/'), QLatin1Char('-')).replace(QLatin1Char(':'), QLatin1Char('-'));

    const ZulNote note = noteWith(title, QStringLiteral("rent = 100\nrent * 2"));
    QTemporaryDir target;
    Studio studio;
    studio.seed({note});
    if (!answer.isEmpty())
        studio.chooser->answer = QString(answer).replace(QStringLiteral("<dir>"), target.path());
    ZulStudioViewModel &viewModel = studio.start();

    viewModel.exportNoteToDisk(QUuid::createUuid(), format);
    QVERIFY(studio.chooser->proposedNames.isEmpty());

    const QByteArray before = "kept";
    struct rlimit limit {};
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &limit) == 0);
    if (sizeLimit > 0) {
        QFile old(*studio.chooser->answer);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write(before) == before.size());
        old.close();
        ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit tiny = limit;
        tiny.rlim_cur = rlim_t(sizeLimit);
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &tiny) == 0);
    }
    viewModel.exportNoteToDisk(note.id, format);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    QCOMPARE(studio.chooser->proposedNames, QStringList{expectedProposal});
    QCOMPARE(studio.chooser->formats, QList<ZulExportFormat>{format});
    const QString extension = fileExtension(format);
    if (expectedToastStart.isEmpty()) {
        QVERIFY(!viewModel.toastMessage());
        QVERIFY(loggedMessages().filter(QStringLiteral("xport")).isEmpty());
        return;
    }
    QVERIFY2(viewModel.toastMessage() && viewModel.toastMessage()->startsWith(expectedToastStart),
             qPrintable(viewModel.toastMessage().value_or(QStringLiteral("<none>"))));
    QCOMPARE(viewModel.toastIsError(), expectError);
    const QString expectedContent =
        ZulExportService::exportNote(note, viewModel.evaluation(note.id), format, true);
    if (expectError) {
        if (sizeLimit > 0) {
            // The limit held back the log line too; the toast has the reason.
            QFile old(*studio.chooser->answer);
            QVERIFY(old.open(QIODevice::ReadOnly));
            QCOMPARE(old.readAll(), before);
            return;
        }
        const QStringList errors = loggedMessages(VeskLogLevel::error);
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors.first().startsWith(QStringLiteral("Note export failed (format=%1): ").arg(extension)));
        return;
    }
    QFile written(*studio.chooser->answer);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(written.readAll()), expectedContent);
    QVERIFY(loggedMessages().contains(QStringLiteral("Exported note to disk (format=%1, bytes=%2)")
                                          .arg(extension)
                                          .arg(expectedContent.toUtf8().size())));
}

QTEST_MAIN(TestStudioViewModelExport)
#include "tst_studioviewmodelexport.moc"
