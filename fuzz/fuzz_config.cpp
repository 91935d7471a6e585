// A settings file through loading and saving: loading gives settings within
// their ranges, and what is saved of them loads again as the same settings.

#include "FuzzSupport.h"
#include "Services/ZulJsonText.h"
#include "Services/ZulStorageService.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const FuzzSupport::ScratchFolder read, written;
    const QByteArray bytes = FuzzSupport::bytesOf(data, size);
    const ZulStorageService reader(read.emptied());
    FuzzSupport::writeFile(reader.configFileURL(), bytes);
    const ZulConfig loaded = reader.loadConfig();
    FUZZ_CHECK(loaded == loaded.normalized());
    FUZZ_CHECK(std::isfinite(loaded.fontSize));
    const ZulStorageService writer(written.path());
    FUZZ_CHECK(writer.saveConfig(loaded));
    FUZZ_CHECK(writer.loadConfig() == loaded);

    // The record alone keeps what it reads, in range or not.
    if (const ZulResult<QJsonValue> json = ZulJsonText::parse(bytes)) {
        if (const ZulResult<ZulConfig> record = ZulConfig::fromJson(json.value())) {
            const ZulResult<ZulConfig> again = ZulConfig::fromJson(record.value().toJson());
            FUZZ_CHECK(again && again.value() == record.value());
            FUZZ_CHECK(record.value().normalized().normalized() == record.value().normalized());
        }
    }
    return 0;
}
