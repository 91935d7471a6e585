#include "VeskKit/Utilities/VeskChecksum.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace {

const QString emptyDigest = QStringLiteral("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& content)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return {};
    return path;
}

// Kilobytes read from /proc/self/status ("VmRSS", "VmHWM").
std::optional<qint64> statusKilobytes(const QByteArray& key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return std::nullopt;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key + ':')) {
            bool ok = false;
            const qint64 value = line.mid(key.size() + 1).trimmed().split(' ').value(0).toLongLong(&ok);
            return ok ? std::optional<qint64>(value) : std::nullopt;
        }
    }
    return std::nullopt;
}

// Starts a new peak-memory measurement ("5" resets VmHWM to the current RSS).
bool resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

} // namespace

class TestVeskChecksum : public QObject
{
    Q_OBJECT

private slots:
    void sha256KnownDigests_data();
    void sha256KnownDigests();
    void sha256OfLargeFileStreams();
    void partialFingerprint_data();
    void partialFingerprint();
    void failuresCarryThePlatformError_data();
    void failuresCarryThePlatformError();
};

void TestVeskChecksum::sha256KnownDigests_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<qint64>("chunkSize");
    QTest::addColumn<QString>("expected");

    const QString abc = QStringLiteral("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    const QString fox = QStringLiteral("d7a8fbb307d7809469ca9abcb0082e4f8d5651e46d3cdb762d02d0bf37c9e592");
    const QByteArray foxText("The quick brown fox jumps over the lazy dog");

    QTest::newRow("empty file") << QByteArray() << qint64(4096) << emptyDigest;
    QTest::newRow("empty file, one-byte chunks") << QByteArray() << qint64(1) << emptyDigest;
    QTest::newRow("abc in one chunk") << QByteArray("abc") << qint64(4096) << abc;
    QTest::newRow("abc byte by byte") << QByteArray("abc") << qint64(1) << abc;
    QTest::newRow("abc in uneven chunks") << QByteArray("abc") << qint64(2) << abc;
    QTest::newRow("chunk equals size") << foxText << qint64(foxText.size()) << fox;
    QTest::newRow("chunk not dividing size") << foxText << qint64(7) << fox;
    QTest::newRow("zero chunk size reads anyway") << foxText << qint64(0) << fox;
    QTest::newRow("negative chunk size reads anyway") << foxText << qint64(-8) << fox;
}

void TestVeskChecksum::sha256KnownDigests()
{
    QFETCH(QByteArray, content);
    QFETCH(qint64, chunkSize);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = writeFile(dir, QStringLiteral("file.bin"), content);
    QVERIFY(!path.isEmpty());

    const auto digest = VeskChecksum::sha256(path, chunkSize);
    QVERIFY2(digest.ok(), qPrintable(digest.ok() ? QString() : digest.error().errorDescription()));
    QCOMPARE(digest.value(), expected);
}

void TestVeskChecksum::sha256OfLargeFileStreams()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("large.bin"));
    {
        // 100 MB of zeros (sparse where the file system allows), ending in
        // "end" so that a reader stopping early gets a different digest.
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(100'000'000));
        QVERIFY(file.seek(100'000'000 - 3));
        QCOMPARE(file.write("end"), qint64(3));
    }

    const std::optional<qint64> before = statusKilobytes("VmRSS");
    QVERIFY(before);
    QVERIFY2(resetPeakMemory(), "cannot reset the peak-memory counter");

    const auto digest = VeskChecksum::sha256(path, 1024 * 1024);

    const std::optional<qint64> peak = statusKilobytes("VmHWM");
    QVERIFY(peak);
    QVERIFY2(digest.ok(), qPrintable(digest.ok() ? QString() : digest.error().errorDescription()));
    QCOMPARE(digest.value(), QStringLiteral("2e83f882d75d64e650b88de50b59436dec1cd64fd53cea07b1442b51669e8a88"));
    // One 1 MiB chunk plus the sanitizers' bookkeeping stays far below the
    // file's 100 MB.
    const qint64 growthKilobytes = *peak - *before;
    QVERIFY2(growthKilobytes < 16 * 1024, qPrintable(QStringLiteral("peak grew by %1 KiB").arg(growthKilobytes)));
}

void TestVeskChecksum::partialFingerprint_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<qint64>("sampleBytes");
    QTest::addColumn<QString>("expected");

    // Expected digests are of: the size as 8 little-endian bytes, then the
    // head, then the tail.
    const QByteArray tenBytes("abcdefghij");
    const QString sizeOnly = QStringLiteral("a111f275cc2e7588000001d300a31e76336d15b9d314cd1a1d8f3d3556975eed");
    const QString whole = QStringLiteral("166d4f2a52e4a75e841b6a88dafcdd5c4bfcefdbe90b3cbd98bc5484528d5ec1");

    QTest::newRow("zero sample covers the size alone") << tenBytes << qint64(0) << sizeOnly;
    QTest::newRow("negative sample counts as zero") << tenBytes << qint64(-3) << sizeOnly;
    QTest::newRow("head and tail")
        << tenBytes << qint64(3)
        << QStringLiteral("418554080f04c30aecb67249e53e49b355f837a93e50a937be278b9654e7337e"); // abc + hij
    QTest::newRow("overlap hashed twice")
        << tenBytes << qint64(6)
        << QStringLiteral("41979c85b5edfe55b6612c3f2441b62eb9625fffb048c5269c4425f8a264f1c7"); // abcdef + efghij
    QTest::newRow("sample equals size: no tail") << tenBytes << qint64(10) << whole;
    QTest::newRow("sample larger than file: no tail") << tenBytes << qint64(1'000'000'000'000) << whole;
    QTest::newRow("empty file")
        << QByteArray() << qint64(4)
        << QStringLiteral("af5570f5a1810b7af78caf4bc70a660f0df51e42baf91d4de5b2328de0e83dfc");
}

void TestVeskChecksum::partialFingerprint()
{
    QFETCH(QByteArray, content);
    QFETCH(qint64, sampleBytes);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = writeFile(dir, QStringLiteral("file.bin"), content);
    QVERIFY(!path.isEmpty());

    const auto digest = VeskChecksum::partialFingerprint(path, sampleBytes);
    QVERIFY2(digest.ok(), qPrintable(digest.ok() ? QString() : digest.error().errorDescription()));
    QCOMPARE(digest.value(), expected);

    // Through a link, the size hashed is the file's, not the link's.
    const QString linkPath = dir.filePath(QStringLiteral("link.bin"));
    QVERIFY(QFile::link(path, linkPath));
    QCOMPARE(VeskChecksum::partialFingerprint(linkPath, sampleBytes).value(), expected);

    // Files that differ only in the middle share the fingerprint.
    if (content.size() > 2 * sampleBytes && sampleBytes > 0) {
        QByteArray changed = content;
        changed[content.size() / 2] = '#';
        const QString otherPath = writeFile(dir, QStringLiteral("other.bin"), changed);
        QVERIFY(!otherPath.isEmpty());
        QCOMPARE(VeskChecksum::partialFingerprint(otherPath, sampleBytes).value(), expected);
        QVERIFY(VeskChecksum::sha256(otherPath, 4).value() != VeskChecksum::sha256(path, 4).value());
    }
}

void TestVeskChecksum::failuresCarryThePlatformError_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("fingerprint");

    QTest::newRow("digest of a missing file") << "missing.bin" << false;
    QTest::newRow("fingerprint of a missing file") << "missing.bin" << true;
    QTest::newRow("digest of a folder") << "folder" << false;
    QTest::newRow("fingerprint of a folder") << "folder" << true;
    QTest::newRow("fingerprint through a dangling link") << "dangling" << true;
}

void TestVeskChecksum::failuresCarryThePlatformError()
{
    QFETCH(QString, name);
    QFETCH(bool, fingerprint);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("nowhere")), dir.filePath(QStringLiteral("dangling"))));

    const QString path = dir.filePath(name);
    const auto result = fingerprint ? VeskChecksum::partialFingerprint(path, 16) : VeskChecksum::sha256(path, 16);
    QVERIFY(!result.ok());
    QCOMPARE(result.error().path, path);
    QVERIFY(result.error().code != QFileDevice::NoError);
    QVERIFY(!result.error().message.isEmpty());
}

QTEST_GUILESS_MAIN(TestVeskChecksum)
#include "tst_veskchecksum.moc"
