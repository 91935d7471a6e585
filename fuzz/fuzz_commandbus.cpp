// A command file of the suite's command bus: an envelope read is written back
// as one that reads the same.

#include "FuzzSupport.h"
#include "VeskKit/System/VeskSuiteCommandEnvelope.h"
#include "VeskKit/System/VeskSuiteJson.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::optional<QJsonObject> object = VeskSuiteJson::decodeObject(FuzzSupport::bytesOf(data, size));
    if (!object)
        return 0;
    const std::optional<VeskSuiteCommandEnvelope> envelope = VeskSuiteCommandEnvelope::fromJson(*object);
    if (!envelope)
        return 0;
    const std::optional<QJsonObject> written = envelope->toJson();
    FUZZ_CHECK(written);
    const std::optional<QJsonObject> reread = VeskSuiteJson::decodeObject(VeskSuiteJson::encode(*written));
    FUZZ_CHECK(reread);
    const std::optional<VeskSuiteCommandEnvelope> again = VeskSuiteCommandEnvelope::fromJson(*reread);
    FUZZ_CHECK(again && *again == *envelope);
    return 0;
}
