#pragma once

#include "Models/ZulEdgeSide.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <optional>

// The user's settings. No field is clamped here: the views decide what a
// sensible font size is.
struct ZulConfig {
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
    // whole record (with a reason in *error) rather than guessing per field.
    static std::optional<ZulConfig> fromJson(const QJsonValue &value, QString *error = nullptr);

    bool operator==(const ZulConfig &other) const = default;
};
