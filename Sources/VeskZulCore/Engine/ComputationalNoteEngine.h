#pragma once

#include "Engine/ArithmeticContext.h"
#include "Models/CompactNoteEvaluation.h"
#include "Models/ConversionEvaluation.h"
#include "Models/CurrencyRateTable.h"
#include "Models/EvaluatedLineKind.h"
#include "Models/NoteEvaluationSummary.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringView>
#include <QTimeZone>

#include <functional>
#include <optional>
#include <utility>

// Turns the whole text of a note into its line results and counts. One engine
// stands for one day, default currency and rate table; it never changes after
// construction, is cheap to copy (every field is implicitly shared) and may be
// used from any thread. A line it cannot compute simply has no result.
class ComputationalNoteEngine
{
public:
    // Where one line of a note lies in its text, in UTF-16 code units; the
    // line's end-of-line characters are not part of it.
    struct LineSpan
    {
        qsizetype start = 0;
        qsizetype length = 0;

        friend bool operator==(const LineSpan &, const LineSpan &) = default;
    };

    // `defaultCurrency` is stored upper-cased; `calendar` is the time zone in
    // which days, months and years are counted (the calendar is Gregorian).
    ComputationalNoteEngine(CurrencyRateTable rates, const QString &defaultCurrency, QDateTime referenceDate,
                            QTimeZone calendar);

    const CurrencyRateTable &rates() const { return m_rates; }
    const QString &defaultCurrency() const { return m_defaultCurrency; }
    const QDateTime &referenceDate() const { return m_referenceDate; }
    const QTimeZone &calendar() const { return m_calendar; }

    NoteEvaluationSummary evaluate(QStringView text) const;
    // The same evaluation in the compact form a cache keeps: its records
    // refer to their lines in `text`, which it shares. Given the evaluation
    // of an earlier version of a long text by an engine of the same
    // currency, rates, zone and hour, only the lines from a little before
    // the first change to a little past the last are evaluated again: as
    // soon as what the lines carry down (variables, the block, the previous
    // value) is again what it was, the rest is taken over. The outcome is
    // always what a full evaluation gives.
    //
    // When the lines past the change must be evaluated again at length,
    // `early.deliver` is handed (on the evaluating thread, at most once, and
    // only for a long text) the results as they stand once the changed lines
    // and `early.linesPastChange` lines after them are evaluated: the lines
    // after those keep their earlier records, and the results are marked
    // provisional.
    struct EarlyResults
    {
        qsizetype linesPastChange = 0;
        std::function<void(CompactNoteEvaluation)> deliver;
    };
    CompactNoteEvaluation evaluateCompact(const QString &text, const CompactNoteEvaluation *previous,
                                          const EarlyResults &early) const;
    CompactNoteEvaluation evaluateCompact(const QString &text, const CompactNoteEvaluation *previous = nullptr) const
    {
        return evaluateCompact(text, previous, EarlyResults());
    }

    // The results of `previous` for the lines of `text` that are unchanged
    // from its text (the changed ones have none yet), with the counts of
    // `text`: provisional, to show until `text` is evaluated.
    static CompactNoteEvaluation keptResults(const QString &text, const CompactNoteEvaluation &previous);

    // The lines of a note exactly as evaluate() numbers them: split at LF, VT,
    // FF, CR, CR LF (one line end), NEL, LINE SEPARATOR and PARAGRAPH
    // SEPARATOR; empty lines kept, so an empty text is one empty line and a
    // text ending in a line end has an empty last line. The editor places
    // results by these spans.
    static QList<LineSpan> splitLines(QStringView text);

private:
    // The same with room made at once for `expectedLines`.
    static QList<LineSpan> splitLines(QStringView text, qsizetype expectedLines);

    struct FragmentResult
    {
        std::optional<double> value;
        std::optional<QString> unitOrCurrency;
        QString formattedResult;
        EvaluatedLineKind kind = EvaluatedLineKind::math;
    };

    // The current block as it grows, kept as the running figures every
    // aggregate reads rather than as its entries, so an aggregate costs the
    // same whatever the block's length and mix, and two blocks with the
    // same figures give every later line the same result. Amounts in
    // currencies are converted into the default currency as they join, for
    // the total of a block in several currencies.
    struct Block
    {
        ArithmeticBlockTotals values;
        std::optional<QString> firstUnit;
        bool someWithoutUnit = false;
        bool oneUnit = true;
        bool conversionFailed = false;
        ArithmeticBlockTotals convertedValues;

        void clear() { *this = Block(); }
        bool sameAs(const Block &other) const;
    };

    struct ResolvedBlock
    {
        ArithmeticBlockTotals values;
        std::optional<QString> unit;
    };

    class Evaluation;
    friend class ::EvaluationResumePoints;

    // Name and right-hand side, or label and value: views into the line.
    static std::optional<std::pair<QStringView, QStringView>> splitVariableAssignment(QStringView expression);
    static std::optional<std::pair<QStringView, QStringView>> splitLabeledValue(QStringView expression);
    static bool mayReferenceBlockAggregate(QStringView expression);
    static qint64 countWords(QStringView text);
    static bool containsConversionConnector(QStringView expression);

    // The conversion into the default currency of the unit last converted,
    // kept by one evaluation: a block's amounts come in few units.
    struct DefaultCurrencyRate
    {
        QString unit;
        bool known = false;
        std::optional<std::pair<double, double>> rates; // of the unit's currency and of the default one
    };

    // `text`, when given, is the unit as a text of its own.
    void appendToBlock(Block &block, double value, const std::optional<QStringView> &currencyOrUnit, const QString *text,
                       DefaultCurrencyRate &rate) const;
    std::optional<FragmentResult> evaluateStandaloneAggregate(QStringView expression, const Block &block) const;
    ResolvedBlock resolveBlockValues(const Block &block) const;
    std::optional<ConversionEvaluation> evaluateConversionExpression(QStringView expression,
                                                                     const ArithmeticContext &context) const;
    std::optional<ConversionEvaluation> evaluatePrefixedCurrencyConversion(QStringView expression,
                                                                           const ArithmeticContext &context) const;
    std::optional<FragmentResult> evaluatePercentageExpression(QStringView expression,
                                                               const ArithmeticContext &context) const;
    std::optional<FragmentResult> evaluateCurrencyTaggedValue(QStringView expression,
                                                              const ArithmeticContext &context) const;

    CurrencyRateTable m_rates;
    QString m_defaultCurrency;
    QDateTime m_referenceDate;
    QTimeZone m_calendar;
};
