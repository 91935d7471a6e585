#pragma once

#include <QByteArray>
#include <QTimeZone>

// The time zone in which dates are counted: the system's. A zone the system
// names but that does not exist (a TZ of "Europe/Istambul" or "UTC+99")
// would leave every date line without a result; the C library counts such
// a zone as UTC, and so do we.
struct ZulSystemTimeZone {
    QTimeZone zone;
    // The unknown name the system gave, when UTC stands in for it.
    QByteArray unknownName;

    static ZulSystemTimeZone current();
};
