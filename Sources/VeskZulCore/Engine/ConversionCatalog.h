#pragma once

#include "Engine/LineCharacters.h"
#include "Models/ConversionEvaluation.h"
#include "Models/CurrencyRateTable.h"
#include "Models/ZulResult.h"

#include <QDateTime>
#include <QString>
#include <QStringView>
#include <QStringList>
#include <QTimeZone>
#include <QUrl>

#include <chrono>
#include <functional>
#include <optional>

class QNetworkAccessManager;
class QObject;

// The conversion tables of the note engine: units, currencies and date
// expressions. Every word handed in is folded here (trimmed, lower-cased), so
// callers pass words exactly as typed. Nothing here reports an error: a line
// that cannot be converted gives an absent result and the engine tries its
// other readings. Every function may run on any thread; the tables are built
// once on first use and never change.
//
// Dates: the calendar is always the proleptic Gregorian one; only its time
// zone varies, so the zone stands for the calendar (the user's calendar is
// QTimeZone::systemTimeZone()). Days, months and years are counted in that
// zone; instants go in and come out as QDateTime.
namespace ConversionCatalog {

// The ISO 4217 code for a currency word or symbol ("€", "euro", "TL"), or
// absent.
std::optional<QString> canonicalCurrencyCode(const QString &text);
std::optional<QString> canonicalCurrencyCode(QStringView text);

// The characters a text must hold to name a currency (see LineCharacters).
const LineCharacters &currencyInitials();

// amount in `from` expressed in `to`, formatted with at most 3 fraction digits
// and the target's symbol; absent for an unknown word, two units that measure
// different things, or a value that is not finite.
std::optional<ConversionEvaluation> convertUnit(double amount, const QString &from, const QString &to);
std::optional<ConversionEvaluation> convertUnit(double amount, QStringView from, QStringView to);

// amount in the currency `from` expressed in `to` with the rates in force,
// formatted with at most 2 fraction digits and the target code; absent for an
// unknown word or a rate the table cannot supply.
std::optional<ConversionEvaluation> convertCurrency(double amount, const QString &from, const QString &to,
                                                    const CurrencyRateTable &rates);
std::optional<ConversionEvaluation> convertCurrency(double amount, QStringView from, QStringView to,
                                                    const CurrencyRateTable &rates);

// The codes offered as the default currency in the settings, in menu order.
const QStringList &supportedCurrencies();

// The result of a date line ("today", "days until 2025-03-01",
// "2025-03-01 - bugün", "today + 2 weeks"), or absent when the line is not a
// date expression or its date cannot be computed. `referenceDate` is the
// instant "today" and "now" stand for.
std::optional<ConversionEvaluation> evaluateDateExpression(const QString &text, const QDateTime &referenceDate,
                                                           const QTimeZone &calendar);

// The instant (UTC) at noon of a "YYYY-MM-DD" date in the calendar's zone, or
// absent when the text is not such a date or the date does not exist.
std::optional<QDateTime> parseISODate(const QString &text, const QTimeZone &calendar);

// The calendar date of an instant as "YYYY-MM-DD" (always 10 characters; the
// last four digits of the year, years before year 1 as 0000).
QString formatISODate(const QDateTime &date, const QTimeZone &calendar);

// The exchange-rate service: GET <service>/v1/latest?base=USD answers with a
// JSON object whose "rates" maps currency codes to units per US dollar.
QUrl liveRatesServiceUrl();
inline constexpr std::chrono::milliseconds liveRatesTimeout{6000};

using LiveRatesHandler = std::function<void(ZulResult<CurrencyRateTable>)>;

// The table a successful reply's body gives (see fetchLiveRates), or why it
// gives none.
ZulResult<CurrencyRateTable> liveRatesFromReply(const QByteArray &body);

// Asks the rate service for the latest rates: one GET, no body, no cache,
// abandoned after `timeout`. Returns at once; `handler` is called exactly once,
// later, on `receiver`'s thread, with the live table (the offline table with
// every positive rate of the reply merged over it, codes upper-cased) or with
// the reason there is none (no connection, time-out, a status outside
// 200-299, a reply that is not the expected JSON). It is not called when
// `receiver` or `session` is destroyed first. Call it on `session`'s thread;
// several fetches may run at once, each reporting on its own.
void fetchLiveRates(QNetworkAccessManager &session, QObject *receiver, LiveRatesHandler handler,
                    const QUrl &serviceUrl = liveRatesServiceUrl(),
                    std::chrono::milliseconds timeout = liveRatesTimeout);

} // namespace ConversionCatalog
