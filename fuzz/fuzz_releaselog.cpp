// An application's release history: each record read is written back as one
// that reads the same.

#include "FuzzSupport.h"
#include "VeskKit/Utilities/VeskReleaseLogReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = FuzzSupport::bytesOf(data, size);
    const QList<VeskReleaseLogRecord> records = VeskReleaseLogReader::fromText(bytes);
    for (const VeskReleaseLogRecord &record : records) {
        const std::optional<VeskReleaseLogRecord> again = VeskReleaseLogRecord::fromJson(record.toJson());
        FUZZ_CHECK(again && *again == record);
        record.id();
        record.shortDate();
        for (const char *language : {"de", "pt-PT", "zh-Hant", "en"}) {
            record.localizedSummary(QLatin1StringView(language));
            record.localizedDetails(QLatin1StringView(language));
        }
    }
    // Asked for one application, the history gives that one's records only.
    for (const VeskReleaseLogRecord &record : VeskReleaseLogReader::fromText(bytes, QStringLiteral("VeskZul")))
        FUZZ_CHECK(record.app.compare(QStringLiteral("veskzul"), Qt::CaseInsensitive) == 0);
    return 0;
}
