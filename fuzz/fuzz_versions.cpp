// Version texts and records: a version read is written back as text and as a
// record that read the same, and a bump of it is the one step it allows.

#include "FuzzSupport.h"
#include "VeskKit/Utilities/VeskSemVer.h"

#include <QJsonDocument>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = FuzzSupport::bytesOf(data, size);
    const QString text = FuzzSupport::textOf(data, size);
    const std::optional<VeskSemVer> version = VeskSemVer::parsing(text);
    FUZZ_CHECK(version.has_value() == VeskSemVer::parse(text).ok());
    if (version) {
        FUZZ_CHECK(VeskSemVer::parsing(version->description()) == version);
        FUZZ_CHECK(VeskSemVer::fromJson(version->toJson()) == version);
        for (const VeskVersionBumpKind kind : {VeskVersionBumpKind::patch, VeskVersionBumpKind::minor,
                                               VeskVersionBumpKind::major}) {
            const VeskSemVer next = version->bumped(kind);
            // A part at the largest number there is has no next one.
            if (next > *version)
                FUZZ_CHECK(VeskSemVer::validateTransition(*version, next, kind).ok());
        }
    }
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (document.isObject()) {
        if (const std::optional<VeskSemVer> record = VeskSemVer::fromJson(document.object()))
            FUZZ_CHECK(VeskSemVer::fromJson(record->toJson()) == record);
    }
    return 0;
}
