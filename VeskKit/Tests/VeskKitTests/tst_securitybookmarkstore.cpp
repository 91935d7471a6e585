#include "VeskKit/System/VeskSecurityBookmarkStore.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <stdexcept>
#include <thread>

namespace {

const QString key = QStringLiteral("com.quarnell.test.bookmarks");

} // namespace

class tst_SecurityBookmarkStore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void savingReplacesPerPath();
    void pathsAreStandardized_data();
    void pathsAreStandardized();
    void unresolvableBookmarksAreSkippedAndKept();
    void removingFromAnEmptyStoreWritesAnEmptyMap();
    void missingItemIsNotSaved();
    void unreadableValueIsKept_data();
    void unreadableValueIsKept();
    void storesSharingDefaultsKeepTheirOwnKeys();
    void concurrentSavesLoseNothing();
    void scopedAccessPassesResultsAndErrors();

private:
    QString makeFile(const QString& relative);
    QVariant storedValue() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_defaults;
};

void tst_SecurityBookmarkStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_defaults = m_dir->filePath("defaults.ini");
}

void tst_SecurityBookmarkStore::cleanup()
{
    m_dir.reset();
}

QString tst_SecurityBookmarkStore::makeFile(const QString& relative)
{
    const QString path = m_dir->filePath(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot create %s", qPrintable(path));
    return path;
}

QVariant tst_SecurityBookmarkStore::storedValue() const
{
    return QSettings(m_defaults, QSettings::IniFormat).value(key);
}

void tst_SecurityBookmarkStore::savingReplacesPerPath()
{
    VeskSecurityBookmarkStore store(key, m_defaults);
    const QString b = makeFile("b.txt");
    const QString a = makeFile("a.txt");
    QVERIFY(store.saveBookmark(b).ok());
    QVERIFY(store.saveBookmark(a).ok());
    QVERIFY(store.saveBookmark(b).ok());

    QCOMPARE(storedValue().toMap().keys(), (QStringList{a, b}));
    QCOMPARE(store.resolveAllBookmarks(), (QStringList{a, b}));
}

void tst_SecurityBookmarkStore::pathsAreStandardized_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("stored");

    QTest::newRow("single dot") << "dir/./item.txt" << "dir/item.txt";
    QTest::newRow("double dot") << "dir/sub/../item.txt" << "dir/item.txt";
    QTest::newRow("doubled slash") << "dir//item.txt" << "dir/item.txt";
}

void tst_SecurityBookmarkStore::pathsAreStandardized()
{
    QFETCH(QString, given);
    QFETCH(QString, stored);

    QVERIFY(QDir(m_dir->path()).mkpath("dir/sub"));
    makeFile(stored);
    const QString givenPath = m_dir->path() + u'/' + given;
    const QString storedPath = m_dir->filePath(stored);

    VeskSecurityBookmarkStore store(key, m_defaults);
    QVERIFY(store.saveBookmark(givenPath).ok());
    QCOMPARE(storedValue().toMap().keys(), QStringList{storedPath});

    // Removal compares the text exactly: the unstandardized form removes nothing.
    store.removeBookmark(givenPath);
    QCOMPARE(storedValue().toMap().keys(), QStringList{storedPath});
    store.removeBookmark(storedPath);
    QVERIFY(storedValue().toMap().isEmpty());
}

void tst_SecurityBookmarkStore::unresolvableBookmarksAreSkippedAndKept()
{
    VeskSecurityBookmarkStore store(key, m_defaults);
    const QString c = makeFile("c/item");
    const QString a = makeFile("a/item");
    const QString b = makeFile("b/item");
    for (const QString& path : {c, a, b})
        QVERIFY(store.saveBookmark(path).ok());
    QVERIFY(QFile::remove(b));

    QCOMPARE(store.resolveAllBookmarks(), (QStringList{a, c}));
    QCOMPARE(storedValue().toMap().size(), 3);
}

void tst_SecurityBookmarkStore::removingFromAnEmptyStoreWritesAnEmptyMap()
{
    VeskSecurityBookmarkStore store(key, m_defaults);
    QVERIFY(store.resolveAllBookmarks().isEmpty());
    QVERIFY(!QSettings(m_defaults, QSettings::IniFormat).contains(key));
    store.removeBookmark(QStringLiteral("/nothing/here"));
    const QVariant value = storedValue();
    QCOMPARE(value.typeId(), int(QMetaType::QVariantMap));
    QVERIFY(value.toMap().isEmpty());
}

void tst_SecurityBookmarkStore::missingItemIsNotSaved()
{
    VeskSecurityBookmarkStore store(key, m_defaults);
    const auto result = store.saveBookmark(m_dir->filePath("absent.txt"));
    QVERIFY(!result.ok());
    QCOMPARE(result.error(), std::make_error_code(std::errc::no_such_file_or_directory));
    QVERIFY(!QSettings(m_defaults, QSettings::IniFormat).contains(key));
}

void tst_SecurityBookmarkStore::unreadableValueIsKept_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::newRow("plain text") << QVariant(QStringLiteral("not a map"));
    QTest::newRow("map of text") << QVariant(QVariantMap{{"/a", QStringLiteral("text, not bytes")}});
}

void tst_SecurityBookmarkStore::unreadableValueIsKept()
{
    QFETCH(QVariant, value);
    {
        QSettings settings(m_defaults, QSettings::IniFormat);
        settings.setValue(key, value);
    }
    VeskSecurityBookmarkStore store(key, m_defaults);
    QVERIFY(store.resolveAllBookmarks().isEmpty());

    const auto result = store.saveBookmark(makeFile("item"));
    QVERIFY(!result.ok());
    QCOMPARE(result.error(), make_error_code(VeskBookmarkStoreError::storedValueUnreadable));
    store.removeBookmark(QStringLiteral("/a"));
    QCOMPARE(storedValue(), value);
}

void tst_SecurityBookmarkStore::storesSharingDefaultsKeepTheirOwnKeys()
{
    VeskSecurityBookmarkStore first(key, m_defaults);
    VeskSecurityBookmarkStore second(key + QStringLiteral(".other"), m_defaults);
    const QString a = makeFile("a");
    const QString b = makeFile("b");
    QVERIFY(first.saveBookmark(a).ok());
    QVERIFY(second.saveBookmark(b).ok());
    QCOMPARE(first.resolveAllBookmarks(), QStringList{a});
    QCOMPARE(second.resolveAllBookmarks(), QStringList{b});
}

void tst_SecurityBookmarkStore::concurrentSavesLoseNothing()
{
    VeskSecurityBookmarkStore store(key, m_defaults);
    QStringList paths;
    for (int i = 0; i < 40; ++i)
        paths.append(makeFile(QStringLiteral("items/%1").arg(i, 2, 10, QChar(u'0'))));

    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = t; i < paths.size(); i += 4) {
                if (!store.saveBookmark(paths[i]).ok())
                    ++failures;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    QCOMPARE(failures.load(), 0);
    QCOMPARE(store.resolveAllBookmarks(), paths);
}

void tst_SecurityBookmarkStore::scopedAccessPassesResultsAndErrors()
{
    VeskSecurityBookmarkStore store(key, m_defaults);
    const QString item = makeFile("item");
    QVERIFY(VeskSecurityBookmarkStore::startAccessingSecurityScopedResource(item));
    QVERIFY(!VeskSecurityBookmarkStore::startAccessingSecurityScopedResource(m_dir->filePath("absent")));

    QCOMPARE(store.withScopedAccess(item, [] { return 42; }), 42);
    // The body runs whether or not access could start.
    int runs = 0;
    store.withScopedAccess(m_dir->filePath("absent"), [&] { ++runs; });
    QCOMPARE(runs, 1);
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             store.withScopedAccess(item, []() -> int { throw std::runtime_error("body failed"); }));
}

QTEST_GUILESS_MAIN(tst_SecurityBookmarkStore)
#include "tst_securitybookmarkstore.moc"
