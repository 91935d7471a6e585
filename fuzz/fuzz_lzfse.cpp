// Compressed catalogs: any stream decodes within its limit or is refused, and
// its work stays in proportion to what it holds (a run's time-out catches a
// stream that keeps the decoder busy for nothing).

#include "FuzzSupport.h"
#include "LzfseDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = FuzzSupport::bytesOf(data, size);
    constexpr qsizetype limit = 1 << 20;
    const std::optional<QByteArray> decoded = LzfseDecoder::decode(bytes, limit);
    if (decoded) {
        FUZZ_CHECK(decoded->size() <= limit);
        // Within a smaller limit the same stream gives the same bytes, or nothing.
        const std::optional<QByteArray> tight = LzfseDecoder::decode(bytes, decoded->size());
        FUZZ_CHECK(tight == decoded);
        if (!decoded->isEmpty())
            FUZZ_CHECK(!LzfseDecoder::decode(bytes, decoded->size() - 1));
    }
    return 0;
}
