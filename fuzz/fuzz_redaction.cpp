// Log messages, valid UTF-16 or not: a secret given on a line of its own as
// key=value never reaches the log, whatever stands before it.

#include "FuzzSupport.h"
#include "VeskKit/Utilities/VeskAppLogger.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString message = FuzzSupport::unitsOf(data, size);
    const QString secret = QStringLiteral("Zq7x9Kw2Secret");
    for (const QString &line : {QStringLiteral("password=") + secret, QStringLiteral("api_key: ") + secret,
                                QStringLiteral("Bearer ") + secret}) {
        const QString redacted = VeskAppLogger::redactSecrets(message + u'\n' + line);
        FUZZ_CHECK(!redacted.contains(secret));
    }
    VeskAppLogger::redactSecrets(message);
    return 0;
}
