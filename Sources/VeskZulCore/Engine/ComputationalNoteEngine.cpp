#include "Engine/ComputationalNoteEngine.h"

#include "Engine/ArithmeticParser.h"
#include "Engine/ConversionCatalog.h"
#include "Engine/NoteLineText.h"
#include "Engine/NoteVocabulary.h"
#include "Engine/ZulIdentifierNormalizer.h"
#include "Engine/ZulNumberFormatter.h"
#include "VeskKit/Utilities/VeskCompiledPattern.h"

#include <QChar>
#include <QHash>
#include <QRegularExpression>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>

using NoteLineText::borrowed;
using NoteLineText::startsWithCharacters;
using NoteLineText::trimmed;

namespace {

constexpr int kArithmeticFractionDigits = 4;

bool isLineEnd(char16_t c)
{
    return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

bool isAsciiDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool isWordSeparator(char32_t c)
{
    if (c < 0x80)
        return c == U' ' || (c >= 9 && c <= 13);
    return QChar::isSpace(c);
}

char16_t asciiLower(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
}

bool isSpaceOrTab(char16_t c)
{
    return c == u' ' || c == u'\t';
}

// Letter case aside, the same character as `folded`, a character of a folded
// word. An ASCII letter only ever matches an ASCII letter: the regular
// expressions that follow the scans below see "İ" as no "i".
bool sameLetter(char16_t c, char16_t folded)
{
    if (folded < 0x80)
        return asciiLower(c) == folded;
    return c >= 0x80 && QChar::toLower(c) == folded;
}

// Words a quick scan looks for in a line before anything is folded or
// matched, filed by their first character so that most places are passed
// over at one look.
struct WordFinder
{
    std::array<QList<QStringView>, 0x80> byAsciiInitial; // lower case
    QList<QStringView> byOtherInitial;
    qsizetype shortest = 0; // in UTF-16 code units
    qsizetype shortestUtf8 = 0;

    explicit WordFinder(const QList<const NoteVocabulary::Word *> &found)
    {
        for (const NoteVocabulary::Word *word : found) {
            const char16_t initial = word->text[0].unicode();
            (initial < 0x80 ? byAsciiInitial[initial] : byOtherInitial).append(word->text);
            const qsizetype utf8 = word->text.toUtf8().size();
            shortest = shortest == 0 ? word->text.size() : std::min(shortest, word->text.size());
            shortestUtf8 = shortestUtf8 == 0 ? utf8 : std::min(shortestUtf8, utf8);
        }
    }

    // Whether one of the words stands at `i` of the `n` code units of `data`
    // with `followed(end)` true for the place after it.
    template <typename Followed>
    bool anyAt(const char16_t *data, qsizetype n, qsizetype i, Followed followed) const
    {
        const char16_t first = asciiLower(data[i]);
        const bool ascii = first < 0x80;
        for (const QStringView word : ascii ? byAsciiInitial[first] : byOtherInitial) {
            const qsizetype end = i + word.size();
            if (end > n || !followed(end))
                continue;
            qsizetype k = ascii ? 1 : 0;
            while (k < word.size() && sameLetter(data[i + k], word[k].unicode()))
                ++k;
            if (k == word.size())
                return true;
        }
        return false;
    }
};

// The names of the block's aggregates an expression may use. A name that
// contains another is found through it ("minimum" through "min"): a false
// positive only costs handing the block values to the evaluators.
WordFinder blockNameFinder()
{
    using NoteVocabulary::Role;
    const QList<const NoteVocabulary::Word *> names = NoteVocabulary::wordsWith(Role::blockSymbol | Role::blockFunction);
    QList<const NoteVocabulary::Word *> needed;
    for (const NoteVocabulary::Word *name : names) {
        const bool foundThroughAnother = std::any_of(names.cbegin(), names.cend(), [name](const auto *other) {
            return other != name && name->text.contains(other->text);
        });
        if (!foundThroughAnother)
            needed.append(name);
    }
    return WordFinder(needed);
}

// Made once, at start.
const WordFinder kBlockNames = blockNameFinder();
const WordFinder kConnectors(NoteVocabulary::wordsWith(NoteVocabulary::Role::connector));
const qsizetype kLongestKeyword = NoteVocabulary::longest(NoteVocabulary::Role::aggregate);

const QRegularExpression &numberedProseList()
{
    static const QRegularExpression expression = veskCompiledPattern(
        QStringLiteral("^\\d+[.)]\\s+[A-Za-zÇĞİÖŞÜçğıöşü]"), QRegularExpression::UseUnicodePropertiesOption);
    return expression;
}

// "1. Buy milk", "2) Çay": a numbered list item in prose. The pattern only
// runs when the digits are followed by "." or ")" and a space, which leaves
// "1.5 * 2" and "100 + 20" to a plain scan.
bool isNumberedProse(QStringView e)
{
    const char16_t *data = e.utf16();
    const qsizetype n = e.size();
    if (n == 0 || !isAsciiDigit(data[0]))
        return false;
    qsizetype i = 1;
    while (i < n && isAsciiDigit(data[i]))
        ++i;
    if (i == n)
        return false;
    if (data[i] < 0x80 && data[i] != u'.' && data[i] != u')')
        return false;
    if (i + 1 < n && data[i] < 0x80 && data[i + 1] < 0x80 && data[i + 1] != u' ' && data[i + 1] != u'\t')
        return false;
    return numberedProseList().match(e).hasMatch();
}

bool isRule(QStringView t)
{
    if (t.size() < 3)
        return false;
    const char16_t first = t.utf16()[0];
    if (first != u'-' && first != u'=' && first != u'*')
        return false;
    for (const QChar c : t) {
        if (c.unicode() != first)
            return false;
    }
    return true;
}

// Open task: false, done task: true, no task: absent.
std::optional<bool> taskState(QStringView t)
{
    if (t.size() < 5 || (t[0] != u'-' && t[0] != u'*'))
        return std::nullopt;
    static const QStringView open[] = {u"- [ ]", u"* [ ]"};
    static const QStringView done[] = {u"- [x]", u"- [X]", u"* [x]", u"* [X]"};
    for (const QStringView prefix : open) {
        if (startsWithCharacters(t, prefix))
            return false;
    }
    for (const QStringView prefix : done) {
        if (startsWithCharacters(t, prefix))
            return true;
    }
    return std::nullopt;
}

// Counts grapheme clusters without running the boundary finder over plain
// ASCII: between two ASCII characters there is always a boundary, except
// inside CR LF. So the text is cut there, and only pieces holding other
// characters go to the finder.
// Combining marks and conjoining Hangul jamo are what canonical composition
// joins; a line without any is already composed, which spares the common line
// the copy.
bool mayNeedComposition(QStringView text)
{
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c < 0x300)
            continue;
        if ((c >= 0x1100 && c <= 0x11FF) || QChar::isMark(char32_t(c)))
            return true;
    }
    return false;
}

qint64 countCharacters(QStringView text)
{
    const char16_t *data = text.utf16();
    const qsizetype n = text.size();
    qint64 count = 0;
    qsizetype pieceStart = 0;
    bool pieceIsAscii = true;
    const auto finishPiece = [&](qsizetype end) {
        if (end <= pieceStart)
            return;
        if (pieceIsAscii) {
            ++count; // one ASCII character, or CR LF
        } else {
            QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.mid(pieceStart).data(),
                                       end - pieceStart);
            while (finder.toNextBoundary() > 0)
                ++count;
        }
        pieceStart = end;
        pieceIsAscii = true;
    };
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = data[i];
        if (c >= 0x80) {
            pieceIsAscii = false;
            continue;
        }
        if (i > 0 && data[i - 1] < 0x80 && !(data[i - 1] == u'\r' && c == u'\n'))
            finishPiece(i);
    }
    finishPiece(n);
    return count;
}

QString withUnit(QString formatted, const QString &unit)
{
    formatted.reserve(formatted.size() + 1 + unit.size());
    formatted += QLatin1Char(' ');
    formatted += unit;
    return formatted;
}

} // namespace

// The working state of one evaluate() call; nothing survives it.
class ComputationalNoteEngine::Evaluation
{
public:
    // The records go to `lines`, or to `compact` when that is given.
    Evaluation(const ComputationalNoteEngine &engine, QStringView text, CompactNoteEvaluation *compact = nullptr)
        : m_engine(engine), m_text(text), m_compact(compact)
    {
    }

    // Fills `summary`, its lines and counts.
    void run(NoteEvaluationSummary &summary);
    // Fills the compact form, taking over what it can of `previous`.
    void runCompact(const CompactNoteEvaluation *previous);

    // What one line hands down to the lines after it.
    struct CarriedState
    {
        ArithmeticContext context;
        QHash<QString, QString> variableUnits;
        Block block;
        bool insideCodeFence = false;

        bool sameAs(const CarriedState &other) const;
    };

private:
    CarriedState carried() const;
    void carry(const CarriedState &state);

    void evaluateLine(qint64 index, QStringView raw);
    void endBlock();
    std::optional<FragmentResult> evaluateChain(QStringView expression);
    std::optional<FragmentResult> evaluateChainSteps(QStringView x);
    void take(const FragmentResult &result, std::optional<QStringView> assignedName);
    void emitLine(qint64 index, QStringView raw, const FragmentResult &result, EvaluatedLineKind kind,
                  std::optional<QStringView> label, std::optional<bool> isChecked = std::nullopt);

    const ComputationalNoteEngine &m_engine;
    QStringView m_text;
    CompactNoteEvaluation *m_compact;

    QList<EvaluatedLine> m_lines;
    // Variables and the previous value live in the context handed to the
    // evaluators, so no line copies them.
    ArithmeticContext m_context;
    QHash<QString, QString> m_variableUnits;
    Block m_block;
    qint64 m_numericCount = 0;
    double m_numericSum = 0;
    qint64 m_completedTasks = 0;
    qint64 m_totalTasks = 0;
    bool m_insideCodeFence = false;
};

void ComputationalNoteEngine::Evaluation::run(NoteEvaluationSummary &summary)
{
    const QList<LineSpan> spans = splitLines(m_text);
    m_lines.reserve(spans.size() / 2);
    for (qsizetype i = 0; i < spans.size(); ++i)
        evaluateLine(i, m_text.mid(spans[i].start, spans[i].length));

    summary.lines = std::move(m_lines);
    if (m_numericCount >= 1)
        summary.totalNumericSum = m_numericSum;
    summary.numericCount = m_numericCount;
    summary.completedTasks = m_completedTasks;
    summary.totalTasks = m_totalTasks;
    summary.wordCount = countWords(m_text);
    summary.charCount = countCharacters(m_text);
}

void ComputationalNoteEngine::Evaluation::endBlock()
{
    m_block.clear();
}

void ComputationalNoteEngine::Evaluation::evaluateLine(qint64 index, QStringView raw)
{
    // Names, keywords and aliases are compared code unit by code unit, so a
    // line written in decomposed form (a letter followed by its combining
    // accent, as some pasted text is) is read in composed form: "gün" must
    // mean the same however its ü was typed. The record keeps the line as
    // written, since the editor compares its lines against it.
    QString composed;
    QStringView text = raw;
    if (mayNeedComposition(raw)) {
        composed = raw.toString().normalized(QString::NormalizationForm_C);
        text = composed;
    }
    const QStringView t = trimmed(text);
    // Every marker below begins with one of a few ASCII characters; most
    // lines begin with none of them and skip the comparisons.
    const char16_t first = t.isEmpty() ? 0 : t.utf16()[0];

    if (first == u'`' && startsWithCharacters(t, u"```")) {
        m_insideCodeFence = !m_insideCodeFence;
        return;
    }
    if (m_insideCodeFence)
        return;
    if (t.isEmpty() || (first == u'#' && startsWithCharacters(t, u"#")) || isRule(t)) {
        endBlock();
        return;
    }
    if ((first == u'/' && startsWithCharacters(t, u"//"))
        || (first == u'h' && (startsWithCharacters(t, u"http://") || startsWithCharacters(t, u"https://"))))
        return;
    if (const std::optional<bool> done = taskState(t)) {
        ++m_totalTasks;
        if (*done)
            ++m_completedTasks;
        FragmentResult task;
        task.formattedResult = *done ? QStringLiteral("\u2713") : QStringLiteral("\u25CB");
        task.kind = EvaluatedLineKind::checklist;
        emitLine(index, raw, task, EvaluatedLineKind::checklist, std::nullopt, *done);
        return;
    }

    QStringView e = t;
    if (const qsizetype comment = t.indexOf(u" //"); comment >= 0)
        e = trimmed(t.left(comment));
    if (e.isEmpty() || isNumberedProse(e))
        return;

    if (const auto assignment = splitVariableAssignment(e)) {
        const std::optional<FragmentResult> result = evaluateChain(assignment->second);
        if (!result)
            return;
        take(*result, assignment->first);
        emitLine(index, raw, *result, EvaluatedLineKind::variable, assignment->first);
        return;
    }

    // Folding only ever shortens a text by the combining dots it drops, so a
    // line longer than the longest keyword with its "()" is never one and
    // needs no folding.
    const qsizetype longestKey = kLongestKeyword + 2;
    if (e.size() <= longestKey || e.size() - e.count(QChar(u'\u0307')) <= longestKey) {
        const QString key = ZulIdentifierNormalizer::normalize(e.toString());
        if (!m_context.variables.contains(key)) {
            if (const auto aggregate = m_engine.evaluateStandaloneAggregate(key, m_block)) {
                emitLine(index, raw, *aggregate, EvaluatedLineKind::aggregate, std::nullopt);
                m_context.previousValue = aggregate->value;
                return;
            }
        }
    }

    if (const auto labelled = splitLabeledValue(e)) {
        const std::optional<FragmentResult> result = evaluateChain(labelled->second);
        if (!result)
            return;
        take(*result, std::nullopt);
        emitLine(index, raw, *result, result->kind, labelled->first);
        return;
    }

    const std::optional<FragmentResult> result = evaluateChain(e);
    if (!result)
        return;
    take(*result, std::nullopt);
    emitLine(index, raw, *result, result->kind, std::nullopt);
}

std::optional<ComputationalNoteEngine::FragmentResult>
ComputationalNoteEngine::Evaluation::evaluateChain(QStringView expression)
{
    const QStringView x = trimmed(expression);
    if (x.isEmpty())
        return std::nullopt;

    // The block reaches the evaluators as its running totals, which cost a
    // copy of four numbers; the scan only keeps them from seeing values they
    // cannot use.
    if (m_block.values.count > 0 && mayReferenceBlockAggregate(x))
        m_context.blockTotals = m_block.values;
    std::optional<FragmentResult> result = evaluateChainSteps(x);
    m_context.blockTotals = {};
    return result;
}

std::optional<ComputationalNoteEngine::FragmentResult>
ComputationalNoteEngine::Evaluation::evaluateChainSteps(QStringView x)
{
    const auto fromConversion = [](const ConversionEvaluation &evaluation) {
        return FragmentResult{evaluation.numericValue, evaluation.unitOrCurrency, evaluation.formattedResult,
                              evaluation.kind};
    };

    if (const auto date = ConversionCatalog::evaluateDateExpression(borrowed(x), m_engine.m_referenceDate,
                                                                    m_engine.m_calendar)) {
        FragmentResult result = fromConversion(*date);
        result.kind = EvaluatedLineKind::date;
        return result;
    }
    if (const auto conversion = m_engine.evaluateConversionExpression(x, m_context))
        return fromConversion(*conversion);
    if (auto percentage = m_engine.evaluatePercentageExpression(x, m_context))
        return percentage;
    if (auto tagged = m_engine.evaluateCurrencyTaggedValue(x, m_context))
        return tagged;

    const std::optional<double> value = NoteLineText::arithmetic(x, m_context);
    if (!value)
        return std::nullopt;
    FragmentResult result{value, std::nullopt, ZulNumberFormatter::format(*value, kArithmeticFractionDigits),
                          EvaluatedLineKind::math};
    if (!m_variableUnits.isEmpty()) {
        const auto unit = m_variableUnits.constFind(ZulIdentifierNormalizer::normalize(borrowed(x)));
        if (unit != m_variableUnits.cend()) {
            result.formattedResult = withUnit(std::move(result.formattedResult), *unit);
            result.unitOrCurrency = *unit;
        }
    }
    return result;
}

void ComputationalNoteEngine::Evaluation::take(const FragmentResult &result,
                                               std::optional<QStringView> assignedName)
{
    if (!result.value)
        return;
    const double v = *result.value;
    if (assignedName) {
        const QString key = ZulIdentifierNormalizer::normalize(assignedName->toString());
        m_context.variables.insert(key, v);
        // A value without a unit keeps the unit the name had: after x = 100 USD
        // and x = 3, x still reads in USD.
        if (result.unitOrCurrency)
            m_variableUnits.insert(key, *result.unitOrCurrency);
    }
    m_block.append(v, result.unitOrCurrency);
    ++m_numericCount;
    m_numericSum += v;
    m_context.previousValue = v;
}

void ComputationalNoteEngine::Evaluation::emitLine(qint64 index, QStringView raw, const FragmentResult &result,
                                                   EvaluatedLineKind kind, std::optional<QStringView> label,
                                                   std::optional<bool> isChecked)
{
    if (m_compact) {
        m_compact->append(index, raw, result.value, result.unitOrCurrency.value_or(QString()),
                          result.unitOrCurrency.has_value(), result.formattedResult, kind, label.value_or(QStringView()),
                          label.has_value(), isChecked);
        return;
    }
    EvaluatedLine line;
    line.lineIndex = index;
    line.rawLine = raw.toString();
    line.numericValue = result.value;
    line.unitOrCurrency = result.unitOrCurrency;
    line.formattedResult = result.formattedResult;
    line.kind = kind;
    if (label)
        line.label = label->toString();
    line.isChecked = isChecked;
    m_lines.append(std::move(line));
}

// MARK: - Resuming a long text's evaluation

namespace {

// Every this many lines of a long text, what the lines carry down is kept,
// for the next evaluation of an edited version to start from or to compare
// with. A change is evaluated again from the point before it to the first
// point after it where the two agree.
constexpr qsizetype kResumeInterval = 1024;
// Beyond this many variables or block entries a point is not worth keeping:
// each keeps its own copy.
constexpr qsizetype kResumeStateLimit = 4096;

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

class EvaluationResumePoints
{
public:
    using Carried = ComputationalNoteEngine::Evaluation::CarriedState;
    struct Point
    {
        qsizetype line = 0;
        qsizetype offset = 0;
        qsizetype records = 0;
        qsizetype strings = 0;
        Carried state;
    };

    // What the evaluation depended on besides the text. Date results change
    // with the day, and "now + 3 hours" with the hour.
    QString defaultCurrency;
    CurrencyRateTable rates;
    QTimeZone calendar;
    QDateTime hour;
    qsizetype lineCount = 0;
    QList<Point> points;

    static QDateTime hourOf(const ComputationalNoteEngine &engine)
    {
        const QDateTime local = engine.m_referenceDate.toTimeZone(engine.m_calendar);
        return QDateTime(local.date(), QTime(local.time().hour(), 0), engine.m_calendar);
    }

    bool heldBy(const ComputationalNoteEngine &engine) const
    {
        return defaultCurrency == engine.m_defaultCurrency && calendar == engine.m_calendar
            && hour == hourOf(engine) && rates == engine.m_rates;
    }
};

bool ComputationalNoteEngine::Evaluation::CarriedState::sameAs(const CarriedState &other) const
{
    const auto sameValue = [](const std::optional<double> &a, const std::optional<double> &b) {
        return a.has_value() == b.has_value() && (!a || sameBits(*a, *b));
    };
    if (insideCodeFence != other.insideCodeFence
        || !sameValue(context.previousValue, other.context.previousValue)
        || context.variables.size() != other.context.variables.size() || variableUnits != other.variableUnits
        || block.entries.size() != other.block.entries.size())
        return false;
    for (auto it = context.variables.cbegin(); it != context.variables.cend(); ++it) {
        const auto found = other.context.variables.constFind(it.key());
        if (found == other.context.variables.cend() || !sameBits(*it, *found))
            return false;
    }
    for (qsizetype i = 0; i < block.entries.size(); ++i) {
        if (!sameBits(block.entries[i].value, other.block.entries[i].value)
            || block.entries[i].currencyOrUnit != other.block.entries[i].currencyOrUnit)
            return false;
    }
    return true;
}

ComputationalNoteEngine::Evaluation::CarriedState ComputationalNoteEngine::Evaluation::carried() const
{
    return CarriedState{m_context, m_variableUnits, m_block, m_insideCodeFence};
}

void ComputationalNoteEngine::Evaluation::carry(const CarriedState &state)
{
    m_context = state.context;
    m_variableUnits = state.variableUnits;
    m_block = state.block;
    m_insideCodeFence = state.insideCodeFence;
}

void ComputationalNoteEngine::Evaluation::runCompact(const CompactNoteEvaluation *previous)
{
    const QList<LineSpan> spans = splitLines(m_text);
    const qsizetype n = m_text.size();
    m_compact->reserve(spans.size() / 2);

    std::shared_ptr<EvaluationResumePoints> points;
    if (spans.size() >= 2 * kResumeInterval) {
        points = std::make_shared<EvaluationResumePoints>();
        points->defaultCurrency = m_engine.m_defaultCurrency;
        points->rates = m_engine.m_rates;
        points->calendar = m_engine.m_calendar;
        points->hour = EvaluationResumePoints::hourOf(m_engine);
        points->lineCount = spans.size();
    }
    const EvaluationResumePoints *old = points && previous && previous->resumePoints
                                            && previous->resumePoints->heldBy(m_engine)
                                        ? previous->resumePoints.get()
                                        : nullptr;

    qsizetype first = 0;
    qsizetype lineShift = 0;
    qsizetype characterShift = 0;
    // Lines that begin here or later, their line ends included, read as in
    // the previous text.
    qsizetype sameFrom = n + 1;
    qsizetype nextOld = 0;
    if (old) {
        const QStringView before = previous->text();
        const qsizetype shorter = std::min(before.size(), n);
        qsizetype prefix = 0;
        while (prefix < shorter && before[prefix] == m_text[prefix])
            ++prefix;
        qsizetype suffix = 0;
        while (suffix < shorter - prefix && before[before.size() - 1 - suffix] == m_text[n - 1 - suffix])
            ++suffix;
        lineShift = spans.size() - old->lineCount;
        characterShift = n - before.size();
        sameFrom = n - suffix + 1;
        // The last point wholly before the first change: the lines above it
        // and its own beginning are unchanged.
        const auto after = std::partition_point(old->points.cbegin(), old->points.cend(),
                                                [prefix](const EvaluationResumePoints::Point &point) {
                                                    return point.offset < prefix;
                                                });
        if (after != old->points.cbegin()) {
            const EvaluationResumePoints::Point &resume = *(after - 1);
            carry(resume.state);
            first = resume.line;
            m_compact->appendPrefix(*previous, resume.records, resume.strings);
            for (auto it = old->points.cbegin(); it != after; ++it)
                points->points.append(*it);
        }
        nextOld = after - old->points.cbegin();
    }

    for (qsizetype i = first; i < spans.size(); ++i) {
        if (old && spans[i].start >= sameFrom) {
            while (nextOld < old->points.size() && old->points[nextOld].line + lineShift < i)
                ++nextOld;
            if (nextOld < old->points.size() && old->points[nextOld].line + lineShift == i
                && old->points[nextOld].state.sameAs(carried())) {
                // From here on every line reads and evaluates as before.
                const EvaluationResumePoints::Point &from = old->points[nextOld];
                const qsizetype records = m_compact->lineCount();
                const qsizetype strings = m_compact->storedTextSize();
                m_compact->appendShifted(*previous, from.records, from.strings, lineShift, characterShift);
                for (qsizetype k = nextOld; k < old->points.size(); ++k) {
                    EvaluationResumePoints::Point point = old->points[k];
                    point.line += lineShift;
                    point.offset += characterShift;
                    point.records += records - from.records;
                    point.strings += strings - from.strings;
                    points->points.append(std::move(point));
                }
                break;
            }
        }
        if (points && i > 0 && i % kResumeInterval == 0 && m_context.variables.size() <= kResumeStateLimit
            && m_block.entries.size() <= kResumeStateLimit
            && (points->points.isEmpty() || points->points.constLast().line < i))
            points->points.append({i, spans[i].start, m_compact->lineCount(), m_compact->storedTextSize(), carried()});
        evaluateLine(i, m_text.mid(spans[i].start, spans[i].length));
    }

    // The counts follow from the records, in line order, so a total taken
    // over from the previous evaluation is summed exactly as a full
    // evaluation sums it.
    qint64 numericCount = 0;
    double numericSum = 0;
    qint64 completed = 0;
    qint64 tasks = 0;
    for (qsizetype record = 0; record < m_compact->lineCount(); ++record) {
        const EvaluatedLineKind kind = m_compact->kindAt(record);
        if (kind == EvaluatedLineKind::checklist) {
            ++tasks;
            if (m_compact->isCheckedAt(record).value_or(false))
                ++completed;
        } else if (kind != EvaluatedLineKind::aggregate) {
            // Aggregates show a value but never join the total.
            if (const std::optional<double> value = m_compact->valueAt(record)) {
                ++numericCount;
                numericSum += *value;
            }
        }
    }
    m_compact->totalNumericSum = numericCount >= 1 ? std::optional<double>(numericSum) : std::nullopt;
    m_compact->numericCount = numericCount;
    m_compact->completedTasks = completed;
    m_compact->totalTasks = tasks;
    m_compact->wordCount = countWords(m_text);
    m_compact->charCount = countCharacters(m_text);
    m_compact->resumePoints = std::move(points);
}

ComputationalNoteEngine::ComputationalNoteEngine(CurrencyRateTable rates, const QString &defaultCurrency,
                                                 QDateTime referenceDate, QTimeZone calendar)
    : m_rates(std::move(rates)),
      m_defaultCurrency(defaultCurrency.toUpper()),
      m_referenceDate(std::move(referenceDate)),
      m_calendar(std::move(calendar))
{
}

NoteEvaluationSummary ComputationalNoteEngine::evaluate(QStringView text) const
{
    NoteEvaluationSummary summary;
    Evaluation(*this, text).run(summary);
    return summary;
}

CompactNoteEvaluation ComputationalNoteEngine::evaluateCompact(const QString &text,
                                                               const CompactNoteEvaluation *previous) const
{
    CompactNoteEvaluation compact;
    compact.setText(text);
    Evaluation(*this, compact.text(), &compact).runCompact(previous);
    return compact;
}

QList<ComputationalNoteEngine::LineSpan> ComputationalNoteEngine::splitLines(QStringView text)
{
    QList<LineSpan> spans;
    const char16_t *data = text.utf16();
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = data[i];
        if ((c > 0x0D && c < 0x85) || !isLineEnd(c))
            continue;
        spans.append(LineSpan{start, i - start});
        if (c == u'\r' && i + 1 < n && data[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    spans.append(LineSpan{start, n - start});
    return spans;
}

std::optional<std::pair<QStringView, QStringView>>
ComputationalNoteEngine::splitVariableAssignment(QStringView expression)
{
    const qsizetype equals = expression.indexOf(u'=');
    if (equals < 0)
        return std::nullopt;
    if (equals + 1 < expression.size() && (expression[equals + 1] == u'=' || expression[equals + 1] == u'>'))
        return std::nullopt;
    if (equals > 0
        && (expression[equals - 1] == u'!' || expression[equals - 1] == u'<' || expression[equals - 1] == u'>'))
        return std::nullopt;
    const QStringView name = trimmed(expression.left(equals));
    const QStringView rhs = trimmed(expression.mid(equals + 1));
    if (rhs.isEmpty())
        return std::nullopt;
    if (!ZulIdentifierNormalizer::isValidIdentifier(borrowed(name)))
        return std::nullopt;
    return std::pair(name, rhs);
}

std::optional<std::pair<QStringView, QStringView>> ComputationalNoteEngine::splitLabeledValue(QStringView expression)
{
    const qsizetype colon = expression.indexOf(u':');
    if (colon < 0)
        return std::nullopt;
    const QStringView label = trimmed(expression.left(colon));
    const QStringView rhs = trimmed(expression.mid(colon + 1));
    if (label.isEmpty() || rhs.isEmpty())
        return std::nullopt;
    for (const QStringView scheme : {QStringView(u"http"), QStringView(u"https"), QStringView(u"ftp"),
                                     QStringView(u"mailto")}) {
        if (label.compare(scheme, Qt::CaseInsensitive) == 0)
            return std::nullopt;
    }
    bool hasLetter = false;
    for (qsizetype i = 0; i < label.size() && !hasLetter; ++i) {
        const char16_t c = label.utf16()[i];
        if (QChar::isHighSurrogate(c) && i + 1 < label.size() && QChar::isLowSurrogate(label.utf16()[i + 1])) {
            hasLetter = QChar::isLetter(QChar::surrogateToUcs4(c, label.utf16()[i + 1]));
            ++i;
        } else {
            hasLetter = QChar::isLetter(c);
        }
    }
    if (!hasLetter)
        return std::nullopt;
    return std::pair(label, rhs);
}

bool ComputationalNoteEngine::mayReferenceBlockAggregate(QStringView expression)
{
    const char16_t *data = expression.utf16();
    const qsizetype n = expression.size();
    const qsizetype shortest = kBlockNames.shortest;
    if (n < shortest)
        return false;
    for (qsizetype i = 0; i + shortest <= n; ++i) {
        if (kBlockNames.anyAt(data, n, i, [](qsizetype) { return true; }))
            return true;
    }
    return false;
}

qint64 ComputationalNoteEngine::countWords(QStringView text)
{
    const char16_t *data = text.utf16();
    const qsizetype n = text.size();
    qint64 words = 0;
    bool inWord = false;
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = data[i];
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(data[i + 1])) {
            c = QChar::surrogateToUcs4(data[i], data[i + 1]);
            ++i;
        }
        if (isWordSeparator(c)) {
            inWord = false;
        } else if (!inWord) {
            inWord = true;
            ++words;
        }
    }
    return words;
}

bool ComputationalNoteEngine::containsConversionConnector(QStringView expression)
{
    const WordFinder &connectors = kConnectors;
    // Measured in UTF-8 bytes, as the rule is stated: a connector needs a
    // word before it and white space on either side.
    const auto utf8Length = [](char16_t c) -> int {
        if (c < 0x80)
            return 1;
        if (c < 0x800)
            return 2;
        // A surrogate half counts as three, so a pair counts six where
        // UTF-8 has four; the answers below only ask for a few bytes more
        // than the shortest connector, which a pair gives either way.
        return 3;
    };
    const auto atLeastBytes = [&](qsizetype from, qsizetype wanted) {
        qsizetype bytes = 0;
        for (qsizetype k = from; k < expression.size() && bytes < wanted; ++k)
            bytes += utf8Length(expression.utf16()[k]);
        return bytes >= wanted;
    };

    const char16_t *data = expression.utf16();
    const qsizetype n = expression.size();
    if (!atLeastBytes(0, connectors.shortestUtf8 + 2))
        return false;
    qsizetype i = 0;
    while (i < n) {
        const char16_t c = data[i];
        if (c == 0x00A0)
            return true;
        if (!isSpaceOrTab(c)) {
            ++i;
            continue;
        }
        while (i < n && isSpaceOrTab(data[i]))
            ++i;
        if (!atLeastBytes(i, connectors.shortestUtf8 + 1))
            return false;
        if (connectors.anyAt(data, n, i, [&](qsizetype end) { return end < n && isSpaceOrTab(data[end]); }))
            return true;
    }
    return false;
}
