#pragma once

#include "VeskKit/Utilities/VeskLogLevel.h"

#include <QByteArray>
#include <QString>

#include <optional>

// One line of an application log.
struct VeskLogEntry {
    QString id;        // upper-case UUID text
    QString timestamp; // UTC with milliseconds: 2025-03-01T10:00:00.123Z
    VeskLogLevel level = VeskLogLevel::info;
    QString category;
    QString message;
    QString version;
    QString build;

    // One compact JSON object with its keys sorted, every value a string,
    // "/" written as "\/"; no line feed.
    QByteArray toJsonLine() const;

    // Any JSON object holding all seven keys as strings and a known level, in
    // any key order; further keys are ignored. Nothing for anything else.
    static std::optional<VeskLogEntry> fromJsonLine(const QByteArray& line);

    bool operator==(const VeskLogEntry&) const = default;
};
