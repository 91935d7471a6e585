#include "Engine/ZulSystemTimeZone.h"

ZulSystemTimeZone ZulSystemTimeZone::current()
{
    QTimeZone zone = QTimeZone::systemTimeZone();
    if (zone.isValid())
        return {zone, {}};
    QByteArray name = QTimeZone::systemTimeZoneId();
    if (name.isEmpty())
        name = qgetenv("TZ");
    return {QTimeZone::utc(), name.isEmpty() ? QByteArrayLiteral("(unnamed)") : name};
}
