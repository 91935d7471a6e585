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
    CompactNoteEvaluation evaluateCompact(const QString &text, const CompactNoteEvaluation *previous = nullptr) const;

    // The lines of a note exactly as evaluate() numbers them: split at LF, VT,
    // FF, CR, CR LF (one line end), NEL, LINE SEPARATOR and PARAGRAPH
    // SEPARATOR; empty lines kept, so an empty text is one empty line and a
    // text ending in a line end has an empty last line. The editor places
    // results by these spans.
    static QList<LineSpan> splitLines(QStringView text);

private:
    struct FragmentResult
    {
        std::optional<double> value;
        std::optional<QString> unitOrCurrency;
        QString formattedResult;
        EvaluatedLineKind kind = EvaluatedLineKind::math;
    };

    struct BlockEntry
    {
        double value = 0;
        std::optional<QString> currencyOrUnit;
    };

    // The current block as it grows: its entries and, kept in step, the
    // running figures every aggregate reads, so an aggregate costs the same
    // whatever the block's length and mix. Amounts in several currencies
    // are converted into the default currency once each, when an aggregate
    // first needs them.
    struct Block
    {
        QList<BlockEntry> entries;
        ArithmeticBlockTotals values;
        bool someWithoutUnit = false;
        bool oneUnit = true;
        qsizetype converted = 0;
        bool conversionFailed = false;
        ArithmeticBlockTotals convertedValues;

        void append(double value, const std::optional<QString> &currencyOrUnit);
        void clear();
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

    std::optional<FragmentResult> evaluateStandaloneAggregate(const QString &key, Block &block) const;
    ResolvedBlock resolveBlockValues(Block &block) const;
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
