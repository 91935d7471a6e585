// The notes, settings and rates files' JSON reader and writer: what is read
// is written back as JSON that reads as the same value, and that Qt's own
// reader accepts too.

#include "FuzzSupport.h"
#include "Services/ZulJsonText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Equal as JSON says: a number is its value, whether it was held as an
// integer or as a double of the same value.
bool same(const QJsonValue &a, const QJsonValue &b)
{
    if (a.isDouble() && b.isDouble())
        return a.toDouble() == b.toDouble() && a.toInteger(0) == b.toInteger(0);
    if (a.isArray() && b.isArray()) {
        const QJsonArray x = a.toArray(), y = b.toArray();
        if (x.size() != y.size())
            return false;
        for (qsizetype i = 0; i < x.size(); ++i)
            if (!same(x[i], y[i]))
                return false;
        return true;
    }
    if (a.isObject() && b.isObject()) {
        const QJsonObject x = a.toObject(), y = b.toObject();
        if (x.keys() != y.keys())
            return false;
        for (auto it = x.begin(); it != x.end(); ++it)
            if (!same(it.value(), y.value(it.key())))
                return false;
        return true;
    }
    return a == b;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const ZulResult<QJsonValue> parsed = ZulJsonText::parse(FuzzSupport::bytesOf(data, size));
    if (!parsed)
        return 0;
    const QByteArray written = ZulJsonText::format(parsed.value());
    const ZulResult<QJsonValue> again = ZulJsonText::parse(written);
    FUZZ_CHECK(again);
    FUZZ_CHECK(same(again.value(), parsed.value()));
    FUZZ_CHECK(ZulJsonText::format(again.value()) == written);
    QJsonParseError error;
    QJsonDocument::fromJson(written, &error);
    FUZZ_CHECK(error.error == QJsonParseError::NoError);
    return 0;
}
