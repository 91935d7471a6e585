// A reply of the rate service: a table that is taken holds usable rates for
// currency codes only, the dollar at 1, and survives the rates file.

#include "Engine/ConversionCatalog.h"
#include "FuzzSupport.h"
#include "Services/ZulJsonText.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const ZulResult<CurrencyRateTable> table = ConversionCatalog::liveRatesFromReply(FuzzSupport::bytesOf(data, size));
    if (!table)
        return 0;
    FUZZ_CHECK(table.value().isLive && table.value().updatedAt);
    FUZZ_CHECK(table.value().ratesPerUSD.value(QStringLiteral("USD")) == 1.0);
    for (auto it = table.value().ratesPerUSD.cbegin(); it != table.value().ratesPerUSD.cend(); ++it) {
        FUZZ_CHECK(std::isfinite(*it) && *it > 0);
        FUZZ_CHECK(it.key().size() == 3 && it.key() == it.key().toUpper());
    }
    const ZulResult<QJsonValue> json = ZulJsonText::parse(ZulJsonText::format(table.value().toJson()));
    FUZZ_CHECK(json);
    const ZulResult<CurrencyRateTable> again = CurrencyRateTable::fromJson(json.value());
    FUZZ_CHECK(again && again.value() == table.value());
    return 0;
}
