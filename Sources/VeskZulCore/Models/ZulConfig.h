#pragma once

#include "Models/ZulEdgeSide.h"
#include "Models/ZulResult.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>


// The user's settings. Reading and writing keep every value as it is;
// normalized() is the one place that says which values the settings take.
struct ZulConfig {
    // The editor font sizes the settings offer, in points.
    static constexpr double minimumFontSize = 11;
    static constexpr double maximumFontSize = 22;
    // The tidy ages the settings offer, in hours; 0 is off.
    static constexpr qint64 maximumAutoTidyEphemeralHours = 168;

    bool edgeDrawerEnabled = true;
    ZulEdgeSide edgeSide = ZulEdgeSide::right;
    qint64 autoTidyEphemeralHours = 24;  // below 1 turns the tidy off
    QString defaultCurrency = QStringLiteral("TRY");
    double fontSize = 14;
    bool showLineNumbers = true;
    bool showCalculationGutter = true;

    ZulConfig() = default;
    ZulConfig(bool edgeDrawerEnabled, ZulEdgeSide edgeSide, qint64 autoTidyEphemeralHours,
              const QString &defaultCurrency, double fontSize, bool showLineNumbers,
              bool showCalculationGutter);

    // Always writes all seven keys.
    QJsonObject toJson() const;
    // Every key is optional on its own: missing or null takes the default.
    // A key present with the wrong JSON type, or an unknown edge, fails the
    // whole record, naming the reason, rather than guessing per field.
    static ZulResult<ZulConfig> fromJson(const QJsonValue &value);

    // Every number brought into the range the settings offer: a font size to
    // the nearest size there is (one that is not a number to the default), a
    // tidy age below zero to 0 (off), one beyond a week to a week. Settings
    // read from a file, changed through the view model or shown by its
    // controls all pass through here.
    ZulConfig normalized() const;

    bool operator==(const ZulConfig &other) const = default;
};
