#include "KernelMemoryReader.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>

#include <limits>
#include <sys/sysinfo.h>

namespace KernelMemoryReader {

namespace {

constexpr qint64 maxBytes = std::numeric_limits<qint64>::max();

QString under(const QString &root, const QString &relative)
{
    QString base = root;
    if (!base.endsWith(u'/'))
        base += u'/';
    return base + relative;
}

QList<QByteArray> readLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // These files are a few kilobytes; a bound keeps a strange one harmless.
    return file.read(1 << 20).split('\n');
}

// "Key:   12345 kB" lines, in bytes. A value that is not a whole number, or
// that would not fit in 64 bits, is left out.
QHash<QByteArray, qint64> parseMeminfo(const QList<QByteArray> &lines)
{
    QHash<QByteArray, qint64> values;
    for (const QByteArray &line : lines) {
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QList<QByteArray> words = line.mid(colon + 1).simplified().split(' ');
        if (words.isEmpty())
            continue;
        bool ok = false;
        const qint64 number = words[0].toLongLong(&ok);
        if (!ok || number < 0)
            continue;
        qint64 factor = 1;
        if (words.size() > 1 && words[1] == "kB")
            factor = 1024;
        if (number > maxBytes / factor)
            continue;
        values.insert(line.left(colon).trimmed(), number * factor);
    }
    return values;
}

qint64 saturatedSum(std::initializer_list<qint64> parts)
{
    qint64 sum = 0;
    for (qint64 part : parts)
        sum = part > maxBytes - sum ? maxBytes : sum + part;
    return sum;
}

qint64 sysinfoTotal()
{
    struct sysinfo info {};
    if (::sysinfo(&info) != 0)
        return 0;
    const unsigned long long unit = info.mem_unit == 0 ? 1 : info.mem_unit;
    const unsigned long long total = static_cast<unsigned long long>(info.totalram) * unit;
    return total > static_cast<unsigned long long>(maxBytes) ? maxBytes : static_cast<qint64>(total);
}

// A swap area on a device-mapper device set up by dm-crypt: its uuid in sysfs
// starts with "CRYPT-". Areas named through /dev/mapper are followed to the
// dm-N node they link to.
bool isEncryptedArea(const QString &root, const QString &device)
{
    QString node = device;
    if (device.startsWith(QLatin1String("/dev/mapper/"))) {
        const QFileInfo link(under(root, device.mid(1)));
        if (!link.isSymLink())
            return false;
        node = link.symLinkTarget();
    }
    const QString name = node.mid(node.lastIndexOf(u'/') + 1);
    if (!name.startsWith(QLatin1String("dm-")))
        return false;
    QFile uuid(under(root, QStringLiteral("sys/block/") + name + QStringLiteral("/dm/uuid")));
    if (!uuid.open(QIODevice::ReadOnly))
        return false;
    return uuid.read(256).startsWith("CRYPT-");
}

bool swapIsEncrypted(const QString &root)
{
    const QList<QByteArray> lines = readLines(under(root, QStringLiteral("proc/swaps")));
    int areas = 0;
    // The first line is the column header.
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> columns = lines[i].simplified().split(' ');
        if (columns.isEmpty() || columns[0].isEmpty())
            continue;
        // /proc/swaps writes spaces in a path as \040.
        QString device = QString::fromLocal8Bit(columns[0]);
        device.replace(QLatin1String("\\040"), QLatin1String(" "));
        ++areas;
        if (!isEncryptedArea(root, device))
            return false;
    }
    return areas > 0;
}

// "some avg10=1.23 avg60=... total=..." → avg10.
std::optional<double> averageOf(const QByteArray &line)
{
    for (const QByteArray &word : line.simplified().split(' ')) {
        if (!word.startsWith("avg10="))
            continue;
        bool ok = false;
        const double value = word.mid(6).toDouble(&ok);
        return ok ? std::optional<double>(value) : std::nullopt;
    }
    return std::nullopt;
}

std::optional<int> pressureLevel(const QString &root)
{
    QFile file(under(root, QStringLiteral("proc/pressure/memory")));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::optional<double> some;
    std::optional<double> full;
    for (const QByteArray &line : file.read(4096).split('\n')) {
        if (line.startsWith("some "))
            some = averageOf(line);
        else if (line.startsWith("full "))
            full = averageOf(line);
    }
    if (!some && !full)
        return std::nullopt;
    constexpr double stalledPercent = 10.0;
    if (full && *full >= stalledPercent)
        return 4;
    if (some && *some >= stalledPercent)
        return 2;
    return 1;
}

} // namespace

KernelMemoryFigures read(const QString &root)
{
    KernelMemoryFigures figures;
    const QHash<QByteArray, qint64> meminfo = parseMeminfo(readLines(under(root, QStringLiteral("proc/meminfo"))));

    figures.installedBytes = meminfo.value("MemTotal", 0);
    if (figures.installedBytes <= 0)
        figures.installedBytes = sysinfoTotal();

    if (meminfo.contains("AnonPages")) {
        const qint64 application = meminfo.value("AnonPages");
        const qint64 wired = saturatedSum(
            {meminfo.value("KernelStack", 0), meminfo.value("PageTables", 0), meminfo.value("SUnreclaim", 0)});
        const qint64 compressed = meminfo.value("Zswap", 0);
        const qint64 used = saturatedSum({application, wired, compressed});
        figures.usage = KernelMemoryFigures::Usage{std::min(used, figures.installedBytes), compressed};
    }

    if (meminfo.contains("SwapTotal") && meminfo.contains("SwapFree")) {
        const qint64 total = meminfo.value("SwapTotal");
        const qint64 used = std::max<qint64>(0, total - meminfo.value("SwapFree"));
        figures.swap = KernelMemoryFigures::Swap{total, used, swapIsEncrypted(root)};
    }

    figures.pressureLevel = pressureLevel(root);
    return figures;
}

} // namespace KernelMemoryReader
