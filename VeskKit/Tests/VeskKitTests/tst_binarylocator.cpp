#include "VeskKit/System/VeskBinaryLocator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString toolName = QStringLiteral("vesk-locator-probe-tool");

} // namespace

class tst_BinaryLocator : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void preference_data();
    void preference();
    void emptyPathPiecesAddNothing();
    void compiledInResourcesHoldNoTools();

private:
    // Places the tool at one of the named spots of the temporary layout.
    void place(const QString& spot, const QString& kind);
    QString spotPath(const QString& spot) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_savedPath;
};

void tst_BinaryLocator::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    for (const char* folder : {"res/bin", "extra1", "extra2", "path1", "path2"})
        QVERIFY(QDir(m_dir->path()).mkpath(folder));
    m_savedPath = qgetenv("PATH");
    qputenv("PATH", (m_dir->filePath("path1") + "::" + m_dir->filePath("path2") + ":").toUtf8());
}

void tst_BinaryLocator::cleanup()
{
    qputenv("PATH", m_savedPath);
    m_dir.reset();
}

QString tst_BinaryLocator::spotPath(const QString& spot) const
{
    static const QHash<QString, QString> folders{{"resbin", "res/bin"}, {"res", "res"},   {"extra1", "extra1"},
                                                 {"extra2", "extra2"},  {"path1", "path1"}, {"path2", "path2"}};
    return m_dir->filePath(folders.value(spot) + u'/' + toolName);
}

void tst_BinaryLocator::place(const QString& spot, const QString& kind)
{
    const QString path = spotPath(spot);
    if (kind == QLatin1String("dir")) {
        QVERIFY(QDir().mkpath(path));
        return;
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (kind == QLatin1String("exe"))
        permissions |= QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    QVERIFY(file.setPermissions(permissions));
}

void tst_BinaryLocator::preference_data()
{
    // spot=kind pairs; kind is exe, plain (not executable) or dir.
    QTest::addColumn<QStringList>("placed");
    QTest::addColumn<QString>("winner");

    QTest::newRow("bin folder over resources") << QStringList{"resbin=exe", "res=exe", "extra1=exe"} << "resbin";
    QTest::newRow("resources over extra folders") << QStringList{"res=exe", "extra1=exe", "path1=exe"} << "res";
    QTest::newRow("extra folders in order") << QStringList{"extra2=exe", "extra1=exe"} << "extra1";
    QTest::newRow("extra folder over PATH") << QStringList{"extra2=exe", "path1=exe"} << "extra2";
    QTest::newRow("PATH pieces in order") << QStringList{"path2=exe", "path1=exe"} << "path1";
    QTest::newRow("not executable passed over") << QStringList{"res=plain", "path2=exe"} << "path2";
    QTest::newRow("directory passed over") << QStringList{"resbin=dir", "res=exe"} << "res";
    QTest::newRow("nothing found") << QStringList{"extra1=plain"} << QString();
}

void tst_BinaryLocator::preference()
{
    QFETCH(QStringList, placed);
    QFETCH(QString, winner);

    for (const QString& item : placed) {
        const QStringList parts = item.split(u'=');
        place(parts[0], parts[1]);
    }
    VeskBundle bundle;
    bundle.resourceDirectory = m_dir->filePath("res");
    const auto found = VeskBinaryLocator::locate(toolName, bundle, {m_dir->filePath("extra1"), m_dir->filePath("extra2")});
    if (winner.isEmpty())
        QCOMPARE(found, std::nullopt);
    else
        QCOMPARE(found, std::optional(spotPath(winner)));
}

void tst_BinaryLocator::emptyPathPiecesAddNothing()
{
    const QStringList candidates = VeskBinaryLocator::candidates(QStringLiteral("tool"), VeskBundle{}, {});
    QCOMPARE(candidates,
             (QStringList{"/opt/homebrew/bin/tool", "/usr/local/bin/tool", "/usr/bin/tool", "/bin/tool",
                          m_dir->filePath("path1/tool"), m_dir->filePath("path2/tool")}));
}

void tst_BinaryLocator::compiledInResourcesHoldNoTools()
{
    VeskBundle bundle;
    bundle.resourceDirectory = QStringLiteral(":/");
    QVERIFY(!VeskBinaryLocator::candidates(QStringLiteral("tool"), bundle, {}).contains(":/bin/tool"));
    QCOMPARE(VeskBinaryLocator::candidates(QStringLiteral("tool"), bundle, {}).first(), "/opt/homebrew/bin/tool");
}

QTEST_GUILESS_MAIN(tst_BinaryLocator)
#include "tst_binarylocator.moc"
