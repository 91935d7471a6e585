#include "VeskKit/Utilities/VeskReleaseLogReader.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QStringDecoder>

#include <mutex>

// The compiled-in history lives in this library; a static library drops an
// unreferenced resource, so the reader asks for it by name. (Outside any
// namespace: the macro declares a global function.)
static void registerBundledReleaseLog()
{
    Q_INIT_RESOURCE(VeskReleaseLog);
}

namespace {

std::optional<VeskReleaseLogRecord> decodeLine(QByteArrayView line)
{
    // A line that is not UTF-8 is skipped alone; the rest of the history stays.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString text = utf8.decode(line);
    if (utf8.hasError())
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return VeskReleaseLogRecord::fromJson(document.object());
}

} // namespace

namespace VeskReleaseLogReader {

QList<VeskReleaseLogRecord> load(const QString& path, const std::optional<QString>& forApp)
{
    if (!QFileInfo(path).isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return fromText(file.readAll(), forApp);
}

QList<VeskReleaseLogRecord> fromText(QByteArrayView text, const std::optional<QString>& forApp)
{
    QList<VeskReleaseLogRecord> records;
    const std::optional<QString> wanted = forApp ? std::optional<QString>(forApp->toLower()) : std::nullopt;

    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        QByteArrayView line(text.constData() + start, end - start);
        // A file saved with CR LF line ends reads like one saved with LF.
        if (line.endsWith('\r'))
            line.chop(1);
        start = end + 1;
        if (line.isEmpty())
            continue;
        std::optional<VeskReleaseLogRecord> record = decodeLine(line);
        if (!record)
            continue;
        if (wanted && (record->app.isEmpty() || record->app.toLower() != *wanted))
            continue;
        records.prepend(std::move(*record));
    }
    return records;
}

QList<VeskReleaseLogRecord> loadBundled(const std::optional<QString>& forApp, const VeskBundle& bundle)
{
    static std::once_flag registered;
    std::call_once(registered, registerBundledReleaseLog);
    const std::optional<QString> path = bundle.url(QStringLiteral("release-log"), QStringLiteral("jsonl"));
    if (!path)
        return {};
    return load(*path, forApp);
}

} // namespace VeskReleaseLogReader
