// A rates file through loading and saving: loading gives a table whose rates
// can all be used, and what is saved of it loads again as the same table.

#include "FuzzSupport.h"
#include "Services/ZulStorageService.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const FuzzSupport::ScratchFolder read, written;
    const ZulStorageService reader(read.emptied());
    FuzzSupport::writeFile(reader.ratesFileURL(), FuzzSupport::bytesOf(data, size));
    const CurrencyRateTable loaded = reader.loadCachedRates();
    for (auto it = loaded.ratesPerUSD.cbegin(); it != loaded.ratesPerUSD.cend(); ++it)
        FUZZ_CHECK(std::isfinite(*it) && *it > 0);
    const ZulStorageService writer(written.path());
    FUZZ_CHECK(writer.saveCachedRates(loaded));
    FUZZ_CHECK(writer.loadCachedRates() == loaded);
    // Every pair of its currencies converts.
    const QStringList codes = loaded.ratesPerUSD.keys();
    for (qsizetype i = 0; i < std::min<qsizetype>(codes.size(), 4); ++i)
        FUZZ_CHECK(loaded.convert(1, codes[i], codes.value(i + 1, codes[0])).has_value());
    return 0;
}
