#include "SystemLog.h"

#include <QTest>

#include <syslog.h>

Q_DECLARE_METATYPE(SystemLog::Type)

namespace {

QList<SystemLog::Record> g_records;

void keep(const SystemLog::Record& record)
{
    g_records.append(record);
}

} // namespace

class TestSystemLog : public QObject
{
    Q_OBJECT

private slots:
    void enabledFollowsTheProcessMask_data();
    void enabledFollowsTheProcessMask();
    void sinkTakesRecordsInsteadOfSyslog();
};

void TestSystemLog::enabledFollowsTheProcessMask_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<SystemLog::Type>("type");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("up to info hides debug") << LOG_UPTO(LOG_INFO) << SystemLog::Type::Debug << false;
    QTest::newRow("up to info shows info") << LOG_UPTO(LOG_INFO) << SystemLog::Type::Info << true;
    QTest::newRow("errors only hide info") << LOG_UPTO(LOG_ERR) << SystemLog::Type::Info << false;
    QTest::newRow("errors only show errors") << LOG_UPTO(LOG_ERR) << SystemLog::Type::Error << true;
    QTest::newRow("everything shows debug") << LOG_UPTO(LOG_DEBUG) << SystemLog::Type::Debug << true;
}

void TestSystemLog::enabledFollowsTheProcessMask()
{
    QFETCH(int, mask);
    QFETCH(SystemLog::Type, type);
    const int previous = setlogmask(mask);
    const bool enabled = SystemLog::isEnabled(type);
    setlogmask(previous);
    QTEST(enabled, "enabled");
}

void TestSystemLog::sinkTakesRecordsInsteadOfSyslog()
{
    const int previousMask = setlogmask(LOG_UPTO(LOG_ERR));
    QVERIFY(SystemLog::setSink(&keep) == nullptr);
    QVERIFY(SystemLog::isEnabled(SystemLog::Type::Debug));
    SystemLog::write({QStringLiteral("com.quarnell.test"), QStringLiteral("runtime"), SystemLog::Type::Info,
                      QStringLiteral("[notes] 100% saved")});
    QVERIFY(SystemLog::setSink(nullptr) == &keep);
    setlogmask(previousMask);

    QCOMPARE(g_records.size(), 1);
    QCOMPARE(g_records.front().subsystem, QStringLiteral("com.quarnell.test"));
    QCOMPARE(g_records.front().text, QStringLiteral("[notes] 100% saved"));
}

QTEST_GUILESS_MAIN(TestSystemLog)
#include "tst_systemlog.moc"
