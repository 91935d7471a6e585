#pragma once

#include "Models/ZulResult.h"

#include <QDateTime>
#include <QHash>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <optional>

// How many units of each currency one US dollar buys, when the rates were
// fetched and whether they came from the live service.
struct CurrencyRateTable
{
    QHash<QString, double> ratesPerUSD; // upper-case ISO 4217 code -> units per USD
    std::optional<QDateTime> updatedAt; // UTC; absent for the built-in table
    bool isLive = false;

    // The built-in table used until a live fetch succeeds; 18 currencies.
    static const CurrencyRateTable &offlineDefaults();

    // amount / rate(from) * rate(to). Codes are upper-cased (locale-free) but
    // not trimmed. Absent when a code is missing, when either rate is not a
    // finite number above zero, or when the result would not be finite.
    std::optional<double> convert(double amount, const QString &from, const QString &to) const;

    // {"ratesPerUSD": {...}, "updatedAt": "YYYY-MM-DDTHH:MM:SSZ", "isLive": b};
    // "updatedAt" is left out when absent. A rate JSON cannot hold (infinity,
    // NaN) is left out rather than spoiling the whole table.
    QJsonObject toJson() const;

    // Fails on a missing or mistyped "ratesPerUSD" or "isLive", a rate that is
    // not a number, or an "updatedAt" in any form other than UTC whole seconds
    // with a trailing Z. Unknown keys are ignored.
    static ZulResult<CurrencyRateTable> fromJson(const QJsonValue &json);

    friend bool operator==(const CurrencyRateTable &, const CurrencyRateTable &) = default;
};
