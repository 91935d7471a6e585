#include "Engine/ComputationalNoteEngine.h"

#include "Engine/ArithmeticParser.h"
#include "Engine/ConversionCatalog.h"
#include "Engine/LineCharacters.h"
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
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using NoteLineText::borrowed;
using NoteLineText::startsWithCharacters;
using NoteLineText::trimmed;

namespace {

constexpr int kArithmeticFractionDigits = 4;
// A note of up to this many lines has room made for a record on each.
constexpr qsizetype kRecordsReservedInFull = 256;

bool isLineEnd(char16_t c)
{
    return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

// A long note is mostly characters that end nothing, and looking at one
// code unit at a time cost more than everything else splitting does; so
// the scans below compare eight at a time.
#if defined(__SSE2__)
// Which of eight code units end a line, each lane all ones or all zeros.
__m128i lineEndLanes(__m128i word)
{
    // LF, VT, FF and CR are the four from U+000A: taken down to 0...3, a
    // saturating step past 3 leaves them, and only them, at zero.
    const __m128i fromLineFeed = _mm_sub_epi16(word, _mm_set1_epi16(0x0A));
    const __m128i control = _mm_cmpeq_epi16(_mm_subs_epu16(fromLineFeed, _mm_set1_epi16(3)), _mm_setzero_si128());
    const __m128i nextLine = _mm_cmpeq_epi16(word, _mm_set1_epi16(0x85));
    // U+2028 and U+2029 differ in their lowest bit alone.
    const __m128i separator = _mm_cmpeq_epi16(_mm_and_si128(word, _mm_set1_epi16(short(0xFFFE))),
                                              _mm_set1_epi16(0x2028));
    return _mm_or_si128(_mm_or_si128(control, nextLine), separator);
}

__m128i eightUnits(const char16_t *units)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i *>(units));
}

// The line ends among the eight code units from `units`, as a mask of two
// bits per code unit (bits 2k and 2k + 1 for unit k).
unsigned lineEndsAmongEight(const char16_t *units)
{
    return unsigned(_mm_movemask_epi8(lineEndLanes(eightUnits(units))));
}
#endif

// Calls `lineEnd(at, next)` for every line end of `text`, in order: where it
// begins and where the line after it begins (CR LF is one line end).
template <typename LineEnd>
void forEachLineEnd(QStringView text, LineEnd lineEnd)
{
    const char16_t *data = text.utf16();
    const qsizetype n = text.size();
    qsizetype i = 0;
    // Where the scan may go on from: past the LF of a CR LF.
    qsizetype resume = 0;
#if defined(__SSE2__)
    for (; i + 8 <= n; i += 8) {
        for (unsigned ends = lineEndsAmongEight(data + i); ends != 0; ends &= ends - 1) {
            const qsizetype at = i + std::countr_zero(ends) / 2;
            ends &= ends - 1; // each code unit sets two bits
            if (at < resume)
                continue;
            resume = at + 1;
            if (data[at] == u'\r' && at + 1 < n && data[at + 1] == u'\n')
                ++resume;
            lineEnd(at, resume);
        }
    }
#endif
    for (i = std::max(i, resume); i < n; ++i) {
        const char16_t c = data[i];
        if ((c > 0x0D && c < 0x85) || !isLineEnd(c))
            continue;
        const qsizetype at = i;
        if (c == u'\r' && i + 1 < n && data[i + 1] == u'\n')
            ++i;
        lineEnd(at, i + 1);
    }
}

// The lines of a text, as splitLines() counts them.
qsizetype lineCount(QStringView text)
{
    qsizetype lines = 1;
    forEachLineEnd(text, [&lines](qsizetype, qsizetype) { ++lines; });
    return lines;
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
// word; an i is also its Turkish capital İ, and the dotless ı the capital I,
// as the names and the regular expressions after the scans below read them.
bool sameLetter(char16_t c, char16_t folded)
{
    if (folded == u'i')
        return c == u'i' || c == u'I' || c == u'\u0130';
    if (folded == u'\u0131')
        return c == folded || c == u'I';
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
    std::array<bool, 0x80> asciiInitial{}; // either case
    QList<QStringView> byOtherInitial;
    qsizetype shortest = 0; // in UTF-16 code units
    qsizetype shortestUtf8 = 0;

    explicit WordFinder(const QList<const NoteVocabulary::Word *> &found)
    {
        for (const NoteVocabulary::Word *word : found) {
            const char16_t initial = word->text[0].unicode();
            (initial < 0x80 ? byAsciiInitial[initial] : byOtherInitial).append(word->text);
            if (initial < 0x80) {
                asciiInitial[initial] = true;
                asciiInitial[QChar::toUpper(initial)] = true;
            } else {
                // The capital I of a word that begins with ı.
                asciiInitial[u'I'] = true;
            }
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
        const char16_t c = data[i];
        if (c < 0x80 && !asciiInitial[c])
            return false;
        const auto anyOf = [&](const QList<QStringView> &words) {
            for (const QStringView word : words) {
                const qsizetype end = i + word.size();
                if (end > n || !followed(end))
                    continue;
                qsizetype k = 0;
                while (k < word.size() && sameLetter(data[i + k], word[k].unicode()))
                    ++k;
                if (k == word.size())
                    return true;
            }
            return false;
        };
        if (c < 0x80)
            return anyOf(byAsciiInitial[asciiLower(c)]) || (c == u'I' && anyOf(byOtherInitial));
        return anyOf(c == u'\u0130' ? byAsciiInitial[u'i'] : byOtherInitial);
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
const QList<const NoteVocabulary::Word *> kPreviousNames = NoteVocabulary::wordsWith(NoteVocabulary::Role::previous);

// Whether `e` may be a keyword line: folding only ever shortens a text by the
// combining dots it drops, so a line longer than the longest keyword with
// its "()" is never one and needs no folding.
bool mayBeKeywordLine(QStringView e)
{
    const qsizetype longestKey = kLongestKeyword + 2;
    return e.size() <= longestKey || e.size() - e.count(QChar(u'\u0307')) <= longestKey;
}

// Whether `c` is, folded as names are folded (its Turkish reading
// included), the character `folded`.
bool foldsTo(char16_t c, char16_t folded)
{
    if (c < 0x80)
        return asciiLower(c) == folded || (c == u'I' && folded == u'\u0131');
    if (c == u'\u0130')
        return folded == u'i';
    return !QChar::isSurrogate(c) && QChar::toLower(char32_t(c)) == folded;
}

// What a line must hold for one of `words` to stand in it.
LineWords wordsIn(const QList<const NoteVocabulary::Word *> &words)
{
    QList<QStringView> texts;
    for (const NoteVocabulary::Word *word : words)
        texts.append(word->text);
    return LineWords(texts);
}

using NoteVocabulary::Role;
const LineWords kKeywords = wordsIn(NoteVocabulary::wordsWith(Role::aggregate));
const LineWords kBlockNameWords = wordsIn(NoteVocabulary::wordsWith(Role::blockSymbol | Role::blockFunction));
const LineWords kPreviousWords = wordsIn(kPreviousNames);
const LineWords kConnectorWords = wordsIn(NoteVocabulary::wordsWith(Role::connector));
const LineWords kDateWords = wordsIn(NoteVocabulary::wordsWith(Role::dayWord | Role::dayCount));

// Whether a name that folds to one of `words` may stand in `text`. Folding
// drops the combining dot above wherever it stands, so the scan passes over
// it too.
bool mentionsFoldedWord(QStringView text, const QList<const NoteVocabulary::Word *> &words)
{
    const char16_t *data = text.utf16();
    const qsizetype n = text.size();
    for (qsizetype at = 0; at < n; ++at) {
        for (const NoteVocabulary::Word *word : words) {
            qsizetype k = 0;
            for (qsizetype i = at; i < n && k < word->text.size(); ++i) {
                if (data[i] == u'\u0307' && i > at)
                    continue;
                if (!foldsTo(data[i], word->text[k].unicode()))
                    break;
                ++k;
            }
            if (k == word->text.size())
                return true;
        }
    }
    return false;
}

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

// The first place of `c` in `text` from `from`, or -1: a plain loop, which
// for the short texts of one line costs less than the library's search.
qsizetype indexOfUnit(QStringView text, char16_t c, qsizetype from = 0)
{
    const char16_t *data = text.utf16();
    for (qsizetype i = from; i < text.size(); ++i) {
        if (data[i] == c)
            return i;
    }
    return -1;
}

// Where " //" first stands in `t`, or -1: a search for the slashes alone,
// which most lines lack.
qsizetype commentStart(QStringView t)
{
    for (qsizetype slash = indexOfUnit(t, u'/', 1); slash >= 0 && slash + 1 < t.size();
         slash = indexOfUnit(t, u'/', slash + 1)) {
        if (t[slash - 1] == u' ' && t[slash + 1] == u'/')
            return slash - 1;
    }
    return -1;
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

std::optional<QStringView> viewOf(const std::optional<QString> &text)
{
    return text ? std::optional<QStringView>(*text) : std::nullopt;
}

template <typename Result>
const QString *unitTextOf(const Result &result)
{
    return result.unitOrCurrency ? &*result.unitOrCurrency : nullptr;
}

qint64 countWordsIn(QStringView text)
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


// The lines of a whole text, as splitLines() counts them, with its words
// and characters; plain ASCII, the usual note, in one pass.
struct TextCounts
{
    qsizetype lines = 1;
    qint64 words = 0;
    qint64 characters = 0;
};

TextCounts countText(QStringView text)
{
    const char16_t *data = text.utf16();
    const qsizetype n = text.size();
    if (n == 0)
        return {};
    // Each character is looked at with the one before it rather than with
    // a state carried along: no step waits on a branch of the one before,
    // and eight are looked at in one step.
    const auto separates = [](char16_t c) { return c == u' ' || (c >= 9 && c <= 13); };
    qsizetype lineEnds = isLineEnd(data[0]) ? 1 : 0;
    qint64 words = separates(data[0]) ? 0 : 1;
    qint64 lineFeedsAfterReturns = 0;
    bool beyondAscii = data[0] >= 0x80;
    qsizetype i = 1;
#if defined(__SSE2__)
    const auto separatorLanes = [](__m128i word) {
        const __m128i fromTab = _mm_sub_epi16(word, _mm_set1_epi16(9));
        return _mm_or_si128(_mm_cmpeq_epi16(word, _mm_set1_epi16(u' ')),
                            _mm_cmpeq_epi16(_mm_subs_epu16(fromTab, _mm_set1_epi16(4)), _mm_setzero_si128()));
    };
    // Counted in eight lanes, each lane taking away its all-ones "true";
    // summed before a lane can overflow.
    const auto sum = [](__m128i &lanes) {
        const __m128i pairs = _mm_madd_epi16(lanes, _mm_set1_epi16(1));
        const __m128i halves = _mm_add_epi32(pairs, _mm_shuffle_epi32(pairs, _MM_SHUFFLE(1, 0, 3, 2)));
        const __m128i total = _mm_add_epi32(halves, _mm_shuffle_epi32(halves, _MM_SHUFFLE(2, 3, 0, 1)));
        lanes = _mm_setzero_si128();
        return qint64(_mm_cvtsi128_si32(total));
    };
    constexpr qsizetype kStepsBeforeSum = 0x7FFF;
    __m128i beyond = _mm_setzero_si128();
    __m128i endLanes = _mm_setzero_si128();
    __m128i wordLanes = _mm_setzero_si128();
    __m128i pairLanes = _mm_setzero_si128();
    for (qsizetype steps = 0; i + 8 <= n; i += 8) {
        const __m128i word = eightUnits(data + i);
        const __m128i before = eightUnits(data + i - 1);
        beyond = _mm_or_si128(beyond, _mm_subs_epu16(word, _mm_set1_epi16(0x7F)));
        endLanes = _mm_sub_epi16(endLanes, lineEndLanes(word));
        wordLanes = _mm_sub_epi16(wordLanes, _mm_andnot_si128(separatorLanes(word), separatorLanes(before)));
        pairLanes = _mm_sub_epi16(pairLanes, _mm_and_si128(_mm_cmpeq_epi16(word, _mm_set1_epi16(u'\n')),
                                                           _mm_cmpeq_epi16(before, _mm_set1_epi16(u'\r'))));
        if (++steps == kStepsBeforeSum || i + 16 > n) {
            lineEnds += sum(endLanes);
            words += sum(wordLanes);
            lineFeedsAfterReturns += sum(pairLanes);
            steps = 0;
        }
    }
    beyondAscii |= _mm_movemask_epi8(_mm_cmpeq_epi16(beyond, _mm_setzero_si128())) != 0xFFFF;
#endif
    for (; i < n; ++i) {
        const char16_t c = data[i];
        const char16_t before = data[i - 1];
        beyondAscii |= c >= 0x80;
        lineEnds += qsizetype(isLineEnd(c));
        words += qint64(!separates(c) && separates(before));
        lineFeedsAfterReturns += qint64(c == u'\n' && before == u'\r');
    }
    const qsizetype lines = 1 + lineEnds - lineFeedsAfterReturns;
    if (beyondAscii)
        return {lines, countWordsIn(text), countCharacters(text)};
    // Between two ASCII characters there is always a character boundary,
    // except inside CR LF.
    return {lines, words, n - lineFeedsAfterReturns};
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
    // Fills the compact form, taking over what it can of `previous`, and
    // hands over early results as `early` asks.
    void runCompact(const CompactNoteEvaluation *previous, const EarlyResults &early);

    // What one line hands down to the lines after it.
    struct CarriedState
    {
        ArithmeticContext context;
        QHash<QString, QString> variableUnits;
        Block block;
        bool insideCodeFence = false;
    };

private:
    // What a line is, from its text alone.
    enum class Shape : quint8 { fence, blockEnd, nothing, task, expression };
    struct Reading
    {
        Shape shape = Shape::nothing;
        QStringView expression; // of an expression line, its comment cut off
        bool done = false;      // of a task line
        LineCharacters characters; // of an expression line, and so of every piece of it
    };
    // `composed` holds what `expression` views when the line had to be
    // composed.
    static Reading read(QStringView raw, QString &composed);
    // Whether the result of an expression can depend on the block or the
    // previous value: it may be a keyword line, or it mentions a name of
    // the block's aggregates or of the previous value.
    static bool mayReadBlockOrPrevious(QStringView expression, const LineCharacters &characters);

    CarriedState carried() const;
    void carry(const CarriedState &state);
    // Whether the lines carry down what `state` holds; with `namesOnly` the
    // block and the previous value are left out.
    bool carries(const CarriedState &state, bool namesOnly) const;

    void evaluateLine(qint64 index, QStringView raw);
    void evaluateExpression(qint64 index, QStringView raw, QStringView e, const LineCharacters &characters);
    void endBlock();
    std::optional<FragmentResult> evaluateChain(QStringView expression, const LineCharacters &characters);
    std::optional<FragmentResult> evaluateChainSteps(QStringView x, const LineCharacters &characters);
    // `unitText`, when given, is `unit` as a text of its own. Optionals are
    // taken by reference: one copied whole just after its parts were
    // written apart waits for the stores to drain.
    void take(const std::optional<double> &value, const std::optional<QStringView> &unit,
              const std::optional<QStringView> &assignedName, const QString *unitText = nullptr);
    // What the line of a record taken over from an earlier evaluation hands
    // down.
    void takeOver(const CompactNoteEvaluation &from, qsizetype record);
    void emitLine(qint64 index, QStringView raw, FragmentResult &&result, EvaluatedLineKind kind,
                  const std::optional<QStringView> &label, std::optional<bool> isChecked = std::nullopt);

    const ComputationalNoteEngine &m_engine;
    QStringView m_text;
    CompactNoteEvaluation *m_compact;

    QList<EvaluatedLine> m_lines;
    // Variables and the previous value live in the context handed to the
    // evaluators, so no line copies them.
    ArithmeticContext m_context;
    QHash<QString, QString> m_variableUnits;
    Block m_block;
    DefaultCurrencyRate m_defaultCurrencyRate;
    qint64 m_numericCount = 0;
    double m_numericSum = 0;
    qint64 m_completedTasks = 0;
    qint64 m_totalTasks = 0;
    bool m_insideCodeFence = false;
};

void ComputationalNoteEngine::Evaluation::run(NoteEvaluationSummary &summary)
{
    // Room for a record on every second line; a short note gets room for
    // all of them, since growing the list costs more than the spare room.
    const TextCounts counts = countText(m_text);
    m_lines.reserve(std::min(counts.lines, std::max<qsizetype>(counts.lines / 2, kRecordsReservedInFull)));
    qint64 index = 0;
    qsizetype start = 0;
    forEachLineEnd(m_text, [&](qsizetype end, qsizetype next) {
        evaluateLine(index++, m_text.mid(start, end - start));
        start = next;
    });
    evaluateLine(index, m_text.mid(start));

    summary.lines = std::move(m_lines);
    if (m_numericCount >= 1)
        summary.totalNumericSum = m_numericSum;
    summary.numericCount = m_numericCount;
    summary.completedTasks = m_completedTasks;
    summary.totalTasks = m_totalTasks;
    summary.wordCount = counts.words;
    summary.charCount = counts.characters;
}

void ComputationalNoteEngine::Evaluation::endBlock()
{
    m_block.clear();
}

ComputationalNoteEngine::Evaluation::Reading ComputationalNoteEngine::Evaluation::read(QStringView raw,
                                                                                       QString &composed)
{
    // Names, keywords and aliases are compared code unit by code unit, so a
    // line written in decomposed form (a letter followed by its combining
    // accent, as some pasted text is) is read in composed form: "gün" must
    // mean the same however its ü was typed. The record keeps the line as
    // written, since the editor compares its lines against it.
    QStringView text = raw;
    LineCharacters characters(raw);
    if (characters.beyondAscii() && mayNeedComposition(raw)) {
        composed = raw.toString().normalized(QString::NormalizationForm_C);
        text = composed;
        characters = LineCharacters(composed);
    }
    const QStringView t = trimmed(text);
    // Every marker below begins with one of a few ASCII characters; most
    // lines begin with none of them and skip the comparisons.
    const char16_t first = t.isEmpty() ? 0 : t.utf16()[0];

    if (first == u'`' && startsWithCharacters(t, u"```"))
        return {Shape::fence, {}, false, {}};
    if (t.isEmpty() || (first == u'#' && startsWithCharacters(t, u"#")) || isRule(t))
        return {Shape::blockEnd, {}, false, {}};
    if ((first == u'/' && startsWithCharacters(t, u"//"))
        || (first == u'h' && (startsWithCharacters(t, u"http://") || startsWithCharacters(t, u"https://"))))
        return {Shape::nothing, {}, false, {}};
    if (const std::optional<bool> done = taskState(t))
        return {Shape::task, {}, *done, {}};

    QStringView e = t;
    if (characters.has(u'/')) {
        if (const qsizetype comment = commentStart(t); comment >= 0)
            e = trimmed(t.left(comment));
    }
    if (e.isEmpty() || isNumberedProse(e))
        return {Shape::nothing, {}, false, {}};
    return {Shape::expression, e, false, characters};
}

bool ComputationalNoteEngine::Evaluation::mayReadBlockOrPrevious(QStringView expression,
                                                                 const LineCharacters &characters)
{
    return (kKeywords.mayHold(characters) && mayBeKeywordLine(expression))
        || (kBlockNameWords.mayHold(characters) && mayReferenceBlockAggregate(expression))
        || (kPreviousWords.mayHold(characters) && mentionsFoldedWord(expression, kPreviousNames));
}

void ComputationalNoteEngine::Evaluation::evaluateLine(qint64 index, QStringView raw)
{
    QString composed;
    const Reading reading = read(raw, composed);
    if (reading.shape == Shape::fence) {
        m_insideCodeFence = !m_insideCodeFence;
        return;
    }
    if (m_insideCodeFence)
        return;
    switch (reading.shape) {
    case Shape::blockEnd:
        endBlock();
        return;
    case Shape::task: {
        ++m_totalTasks;
        if (reading.done)
            ++m_completedTasks;
        FragmentResult task;
        task.formattedResult = reading.done ? QStringLiteral("\u2713") : QStringLiteral("\u25CB");
        task.kind = EvaluatedLineKind::checklist;
        emitLine(index, raw, std::move(task), EvaluatedLineKind::checklist, std::nullopt, reading.done);
        return;
    }
    case Shape::expression:
        evaluateExpression(index, raw, reading.expression, reading.characters);
        return;
    default:
        return;
    }
}

void ComputationalNoteEngine::Evaluation::evaluateExpression(qint64 index, QStringView raw, QStringView e,
                                                             const LineCharacters &characters)
{
    if (const auto assignment = characters.has(u'=') ? splitVariableAssignment(e) : std::nullopt) {
        std::optional<FragmentResult> result = evaluateChain(assignment->second, characters);
        if (!result)
            return;
        take(result->value, viewOf(result->unitOrCurrency), assignment->first, unitTextOf(*result));
        emitLine(index, raw, std::move(*result), EvaluatedLineKind::variable, assignment->first);
        return;
    }

    if (kKeywords.mayHold(characters) && mayBeKeywordLine(e)) {
        // A variable of the keyword's name stands for itself instead.
        auto aggregate = m_engine.evaluateStandaloneAggregate(e, m_block);
        if (aggregate
            && (m_context.variables.isEmpty()
                || !m_context.variables.contains(ZulIdentifierNormalizer::normalize(e.toString())))) {
            m_context.previousValue = aggregate->value;
            emitLine(index, raw, std::move(*aggregate), EvaluatedLineKind::aggregate, std::nullopt);
            return;
        }
    }

    if (const auto labelled = characters.has(u':') ? splitLabeledValue(e) : std::nullopt) {
        std::optional<FragmentResult> result = evaluateChain(labelled->second, characters);
        if (!result)
            return;
        take(result->value, viewOf(result->unitOrCurrency), std::nullopt, unitTextOf(*result));
        const EvaluatedLineKind kind = result->kind;
        emitLine(index, raw, std::move(*result), kind, labelled->first);
        return;
    }

    std::optional<FragmentResult> result = evaluateChain(e, characters);
    if (!result)
        return;
    take(result->value, viewOf(result->unitOrCurrency), std::nullopt, unitTextOf(*result));
    const EvaluatedLineKind kind = result->kind;
    emitLine(index, raw, std::move(*result), kind, std::nullopt);
}

std::optional<ComputationalNoteEngine::FragmentResult>
ComputationalNoteEngine::Evaluation::evaluateChain(QStringView expression, const LineCharacters &characters)
{
    const QStringView x = trimmed(expression);
    if (x.isEmpty())
        return std::nullopt;

    // The block reaches the evaluators as its running totals, which cost a
    // copy of four numbers; the scan only keeps them from seeing values they
    // cannot use.
    if (m_block.values.count > 0 && kBlockNameWords.mayHold(characters) && mayReferenceBlockAggregate(x))
        m_context.blockTotals = m_block.values;
    std::optional<FragmentResult> result = evaluateChainSteps(x, characters);
    m_context.blockTotals = {};
    return result;
}

std::optional<ComputationalNoteEngine::FragmentResult>
ComputationalNoteEngine::Evaluation::evaluateChainSteps(QStringView x, const LineCharacters &characters)
{
    const auto fromConversion = [](const ConversionEvaluation &evaluation) {
        return FragmentResult{evaluation.numericValue, evaluation.unitOrCurrency, evaluation.formattedResult,
                              evaluation.kind};
    };

    // Each form is tried only on a line that holds what it needs; plain
    // arithmetic, the usual line, holds none of it and goes straight on.
    // A date line begins with a day word or a day count's phrase, or is a
    // date with its "-".
    if (characters.has(u'-') || kDateWords.mayHold(characters)) {
        if (const auto date = ConversionCatalog::evaluateDateExpression(borrowed(x), m_engine.m_referenceDate,
                                                                        m_engine.m_calendar)) {
            FragmentResult result = fromConversion(*date);
            result.kind = EvaluatedLineKind::date;
            return result;
        }
    }
    // A connector stands after a space or a tab, or the line has a
    // no-break space.
    if (kConnectorWords.mayHold(characters)
        && (characters.has(u' ') || characters.has(u'\t') || characters.beyondAscii())) {
        if (const auto conversion = m_engine.evaluateConversionExpression(x, m_context))
            return fromConversion(*conversion);
    }
    if (characters.has(u'%')) {
        if (auto percentage = m_engine.evaluatePercentageExpression(x, m_context))
            return percentage;
    }
    if (characters.meets(ConversionCatalog::currencyInitials())) {
        if (auto tagged = m_engine.evaluateCurrencyTaggedValue(x, m_context))
            return tagged;
    }

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

void ComputationalNoteEngine::Evaluation::take(const std::optional<double> &value,
                                               const std::optional<QStringView> &unit,
                                               const std::optional<QStringView> &assignedName, const QString *unitText)
{
    if (!value)
        return;
    const double v = *value;
    if (assignedName) {
        const QString key = ZulIdentifierNormalizer::normalize(assignedName->toString());
        m_context.variables.insert(key, v);
        // A value without a unit keeps the unit the name had: after x = 100 USD
        // and x = 3, x still reads in USD.
        if (unit)
            m_variableUnits.insert(key, unitText ? *unitText : unit->toString());
    }
    m_engine.appendToBlock(m_block, v, unit, unitText, m_defaultCurrencyRate);
    ++m_numericCount;
    m_numericSum += v;
    m_context.previousValue = v;
}

void ComputationalNoteEngine::Evaluation::takeOver(const CompactNoteEvaluation &from, qsizetype record)
{
    const EvaluatedLineKind kind = from.kindAt(record);
    if (kind == EvaluatedLineKind::checklist)
        return;
    if (kind == EvaluatedLineKind::aggregate) {
        m_context.previousValue = from.valueAt(record);
        return;
    }
    const std::optional<double> value = from.valueAt(record);
    if (!value)
        return;
    take(value, from.unitAt(record), kind == EvaluatedLineKind::variable ? from.labelAt(record) : std::nullopt);
}

void ComputationalNoteEngine::Evaluation::emitLine(qint64 index, QStringView raw, FragmentResult &&result,
                                                   EvaluatedLineKind kind, const std::optional<QStringView> &label,
                                                   std::optional<bool> isChecked)
{
    if (m_compact) {
        m_compact->append(index, raw, result.value, result.unitOrCurrency.value_or(QString()),
                          result.unitOrCurrency.has_value(), result.formattedResult, kind, label.value_or(QStringView()),
                          label.has_value(), isChecked);
        return;
    }
    // Made from its fields and moved in: a record made empty first is
    // zeroed whole and then written again.
    m_lines.emplaceBack(EvaluatedLine{index, raw.toString(), result.value, std::move(result.unitOrCurrency),
                                      std::move(result.formattedResult), kind,
                                      label ? std::optional<QString>(label->toString()) : std::nullopt,
                                      isChecked});
}

// MARK: - Resuming a long text's evaluation

namespace {

// Every this many lines of a long text, what the lines carry down is kept,
// for the next evaluation of an edited version to start from or to compare
// with. A change is evaluated again from the point before it to the first
// point after it where the two agree.
constexpr qsizetype kResumeInterval = 1024;
// Beyond this many variables a point is not worth keeping: each keeps its
// own copy.
constexpr qsizetype kResumeStateLimit = 4096;

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// How much two texts share at their start and, after that, at their end, in
// code units.
struct TextChange
{
    qsizetype prefix = 0;
    qsizetype suffix = 0;

    TextChange(QStringView before, QStringView after)
    {
        const qsizetype shorter = std::min(before.size(), after.size());
        const char16_t *a = before.utf16();
        const char16_t *b = after.utf16();
        // Whole stretches compare at the speed of memory.
        constexpr qsizetype stretch = 256;
        while (prefix + stretch <= shorter && std::memcmp(a + prefix, b + prefix, stretch * sizeof(char16_t)) == 0)
            prefix += stretch;
        while (prefix < shorter && a[prefix] == b[prefix])
            ++prefix;
        const qsizetype room = shorter - prefix;
        const char16_t *aEnd = a + before.size();
        const char16_t *bEnd = b + after.size();
        while (suffix + stretch <= room
               && std::memcmp(aEnd - suffix - stretch, bEnd - suffix - stretch, stretch * sizeof(char16_t)) == 0)
            suffix += stretch;
        while (suffix < room && aEnd[-1 - suffix] == bEnd[-1 - suffix])
            ++suffix;
    }
};

// The word and character counts of `after` from those of `before`, counting
// only around the change: a word never reaches over a separator, and a
// character never over a place between two ASCII characters other than CR
// LF, so the counts of the stretch between two such places can be taken out
// and put in.
std::pair<qint64, qint64> countsAfterChange(QStringView before, qint64 words, qint64 characters, QStringView after,
                                            const TextChange &change)
{
    const qsizetype shift = after.size() - before.size();
    const auto isSeparator = [](char16_t c) { return isWordSeparator(c); };
    qsizetype wordStart = change.prefix;
    while (wordStart > 0 && !isSeparator(after[wordStart - 1].unicode()))
        --wordStart;
    qsizetype wordEnd = after.size() - change.suffix;
    while (wordEnd < after.size() && !isSeparator(after[wordEnd].unicode()))
        ++wordEnd;
    words += countWordsIn(after.mid(wordStart, wordEnd - wordStart))
        - countWordsIn(before.mid(wordStart, wordEnd - shift - wordStart));

    // Both texts must break between the same two characters, which lie in
    // the part they share.
    const auto breaksAt = [after](qsizetype at) {
        const char16_t left = after[at - 1].unicode();
        const char16_t right = after[at].unicode();
        return left < 0x80 && right < 0x80 && !(left == u'\r' && right == u'\n');
    };
    qsizetype characterStart = std::max<qsizetype>(change.prefix - 1, 0);
    while (characterStart > 0 && !breaksAt(characterStart))
        --characterStart;
    qsizetype characterEnd = std::min(after.size() - change.suffix + 1, after.size());
    while (characterEnd < after.size() && !breaksAt(characterEnd))
        ++characterEnd;
    characters += countCharacters(after.mid(characterStart, characterEnd - characterStart))
        - countCharacters(before.mid(characterStart, characterEnd - shift - characterStart));
    return {words, characters};
}

// The totals of an evaluation follow from its records, in line order, so a
// total taken over from an earlier evaluation is summed exactly as a full
// evaluation sums it.
void countRecords(CompactNoteEvaluation &evaluation)
{
    qint64 numericCount = 0;
    double numericSum = 0;
    qint64 completed = 0;
    qint64 tasks = 0;
    for (qsizetype record = 0; record < evaluation.lineCount(); ++record) {
        const EvaluatedLineKind kind = evaluation.kindAt(record);
        if (kind == EvaluatedLineKind::checklist) {
            ++tasks;
            if (evaluation.isCheckedAt(record).value_or(false))
                ++completed;
        } else if (kind != EvaluatedLineKind::aggregate) {
            // Aggregates show a value but never join the total.
            if (const std::optional<double> value = evaluation.valueAt(record)) {
                ++numericCount;
                numericSum += *value;
            }
        }
    }
    evaluation.totalNumericSum = numericCount >= 1 ? std::optional<double>(numericSum) : std::nullopt;
    evaluation.numericCount = numericCount;
    evaluation.completedTasks = completed;
    evaluation.totalTasks = tasks;
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

bool ComputationalNoteEngine::Evaluation::carries(const CarriedState &state, bool namesOnly) const
{
    if (m_insideCodeFence != state.insideCodeFence || m_context.variables.size() != state.context.variables.size()
        || m_variableUnits != state.variableUnits)
        return false;
    for (auto it = m_context.variables.cbegin(); it != m_context.variables.cend(); ++it) {
        const auto found = state.context.variables.constFind(it.key());
        if (found == state.context.variables.cend() || !sameBits(*it, *found))
            return false;
    }
    if (namesOnly)
        return true;
    const std::optional<double> &previous = m_context.previousValue;
    const std::optional<double> &other = state.context.previousValue;
    return previous.has_value() == other.has_value() && (!previous || sameBits(*previous, *other))
        && m_block.sameAs(state.block);
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

void ComputationalNoteEngine::Evaluation::runCompact(const CompactNoteEvaluation *previous,
                                                     const EarlyResults &early)
{
    if (previous && previous->provisionalBase)
        previous = previous->provisionalBase.get();
    // An edit adds at most as many lines as characters: the lines of the
    // previous text and that many more give room enough for the spans.
    const qsizetype n = m_text.size();
    const EvaluationResumePoints *previousPoints = previous ? previous->resumePoints.get() : nullptr;
    const qsizetype expectedLines =
        previousPoints ? previousPoints->lineCount + std::max<qsizetype>(0, n - previous->text().size()) : 0;
    const QList<LineSpan> spans = splitLines(m_text, expectedLines);
    // A line has at most one record.
    const qsizetype addedLines = previousPoints ? std::max<qsizetype>(0, spans.size() - previousPoints->lineCount) : 0;
    m_compact->reserve(std::max(spans.size() / 2, previous ? previous->lineCount() + addedLines : 0), previous);

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
    const std::optional<TextChange> change =
        previous ? std::optional<TextChange>(TextChange(previous->text(), m_text)) : std::nullopt;
    if (change) {
        std::tie(m_compact->wordCount, m_compact->charCount) = countsAfterChange(
            previous->text(), previous->wordCount, previous->charCount, m_text, *change);
    } else {
        m_compact->wordCount = countWords(m_text);
        m_compact->charCount = countCharacters(m_text);
    }

    qsizetype first = 0;
    qsizetype lineShift = 0;
    qsizetype characterShift = 0;
    // Lines that begin here or later, their line ends included, read as in
    // the previous text.
    qsizetype sameFrom = n + 1;
    qsizetype nextOld = 0;
    if (old) {
        lineShift = spans.size() - old->lineCount;
        characterShift = n - previous->text().size();
        sameFrom = n - change->suffix + 1;
        // The last point wholly before the first change: the lines above it
        // and its own beginning are unchanged.
        const qsizetype prefix = change->prefix;
        const auto after = std::partition_point(old->points.cbegin(), old->points.cend(),
                                                [prefix](const EvaluationResumePoints::Point &point) {
                                                    return point.offset < prefix;
                                                });
        if (after != old->points.cbegin()) {
            const EvaluationResumePoints::Point &resume = *(after - 1);
            carry(resume.state);
            first = resume.line;
            m_compact->appendRecords(*previous, 0, resume.records, 0, 0);
            for (auto it = old->points.cbegin(); it != after; ++it)
                points->points.append(*it);
        }
        nextOld = after - old->points.cbegin();
    }

    // Past the change, once what the lines carry down differs from what they
    // carried before at most in the block and the previous value, each line
    // that cannot read those two gives what it gave before and hands down
    // the same: its record is taken over, and only the lines that mention
    // them are evaluated again. The records taken over are copied in runs.
    bool replaying = false;
    qsizetype oldRecord = 0; // the previous evaluation's record for the next line, if it has one
    qsizetype runStart = 0;
    const auto copyRun = [&] {
        m_compact->appendRecords(*previous, runStart, oldRecord, lineShift, characterShift);
        runStart = oldRecord;
    };
    bool earlyDue = early.deliver != nullptr && old;
    qsizetype firstSameLine = -1;

    for (qsizetype i = first; i < spans.size(); ++i) {
        const bool unchanged = old && spans[i].start >= sameFrom;
        if (unchanged) {
            while (nextOld < old->points.size() && old->points[nextOld].line + lineShift < i)
                ++nextOld;
            if (nextOld < old->points.size() && old->points[nextOld].line + lineShift == i) {
                const EvaluationResumePoints::Point &from = old->points[nextOld];
                if (carries(from.state, false)) {
                    // From here on every line reads and evaluates as before.
                    if (replaying)
                        copyRun();
                    const qsizetype records = m_compact->lineCount();
                    m_compact->appendRecords(*previous, from.records, previous->lineCount(), lineShift,
                                             characterShift);
                    for (qsizetype k = nextOld; k < old->points.size(); ++k) {
                        EvaluationResumePoints::Point point = old->points[k];
                        point.line += lineShift;
                        point.offset += characterShift;
                        point.records += records - from.records;
                        points->points.append(std::move(point));
                    }
                    replaying = false;
                    break;
                }
                if (!replaying && carries(from.state, true)) {
                    replaying = true;
                    oldRecord = runStart = from.records;
                }
            }
            if (earlyDue && !replaying) {
                if (firstSameLine < 0)
                    firstSameLine = i;
                if (i >= firstSameLine + early.linesPastChange && spans.size() - i > 2 * kResumeInterval) {
                    earlyDue = false;
                    // The records so far, and those of the previous text for
                    // the rest, as they were: in buffers of their own, since
                    // buffers shared with this evaluation would be copied
                    // again by its next line.
                    const qsizetype rest = previous->lowerBound(i - lineShift);
                    CompactNoteEvaluation results;
                    results.setText(m_compact->text());
                    results.wordCount = m_compact->wordCount;
                    results.charCount = m_compact->charCount;
                    results.reserve(m_compact->lineCount() + previous->lineCount() - rest, previous);
                    results.appendRecords(*m_compact, 0, m_compact->lineCount(), 0, 0);
                    results.appendRecords(*previous, rest, previous->lineCount(), lineShift, characterShift);
                    countRecords(results);
                    results.provisionalBase = std::make_shared<const CompactNoteEvaluation>(*previous);
                    early.deliver(std::move(results));
                }
            }
        }
        if (points && i > 0 && i % kResumeInterval == 0 && m_context.variables.size() <= kResumeStateLimit
            && (points->points.isEmpty() || points->points.constLast().line < i)) {
            if (replaying)
                copyRun();
            points->points.append({i, spans[i].start, m_compact->lineCount(), carried()});
        }
        const QStringView raw = m_text.mid(spans[i].start, spans[i].length);
        if (!replaying) {
            evaluateLine(i, raw);
            continue;
        }

        const qint64 oldLine = i - lineShift;
        const bool hasOld = oldRecord < previous->lineCount() && previous->lineIndexAt(oldRecord) == oldLine;
        QString composed;
        const Reading reading = read(raw, composed);
        const bool expression = !m_insideCodeFence && reading.shape == Shape::expression;
        if (!m_insideCodeFence && reading.shape == Shape::task) {
            // A task's record is its text's alone.
        } else if (!expression) {
            // Fences, the ends of blocks and lines without a result.
            if (hasOld) {
                copyRun();
                replaying = false;
            }
            evaluateLine(i, raw);
            continue;
        } else if (mayReadBlockOrPrevious(reading.expression, reading.characters)) {
            copyRun();
            const qsizetype before = m_compact->lineCount();
            evaluateExpression(i, raw, reading.expression, reading.characters);
            const bool emitted = m_compact->lineCount() > before;
            // A variable that may now hold another value: every later line
            // that reads it must be evaluated again.
            const bool assigns = (hasOld && previous->kindAt(oldRecord) == EvaluatedLineKind::variable)
                || (emitted && m_compact->kindAt(before) == EvaluatedLineKind::variable);
            if (assigns && !(hasOld && emitted && m_compact->sameResult(before, *previous, oldRecord)))
                replaying = false;
            if (hasOld)
                ++oldRecord;
            runStart = oldRecord;
            continue;
        }
        if (hasOld) {
            takeOver(*previous, oldRecord);
            ++oldRecord;
        }
    }
    if (replaying)
        copyRun();

    countRecords(*m_compact);
    m_compact->resumePoints = std::move(points);
}

CompactNoteEvaluation ComputationalNoteEngine::keptResults(const QString &text,
                                                           const CompactNoteEvaluation &previous)
{
    const QStringView before = previous.text();
    const TextChange change(before, text);
    CompactNoteEvaluation kept;
    kept.setText(text);
    std::tie(kept.wordCount, kept.charCount) =
        countsAfterChange(before, previous.wordCount, previous.charCount, kept.text(), change);
    // A line is kept when it and its line end lie before the first change,
    // or it and the line end before it after the last one.
    const qsizetype changeEnd = before.size() - change.suffix;
    const qsizetype head = previous.firstRecordEndingAt(change.prefix);
    const qsizetype tail = previous.firstRecordStartingAt(changeEnd + 1);
    kept.reserve(previous.lineCount(), &previous);
    kept.appendRecords(previous, 0, head, 0, 0);
    kept.appendRecords(previous, std::max(head, tail), previous.lineCount(), lineCount(text) - lineCount(before),
                       text.size() - before.size());
    countRecords(kept);
    kept.provisionalBase = previous.provisionalBase ? previous.provisionalBase
                                                    : std::make_shared<const CompactNoteEvaluation>(previous);
    return kept;
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
                                                               const CompactNoteEvaluation *previous,
                                                               const EarlyResults &early) const
{
    CompactNoteEvaluation compact;
    compact.setText(text);
    Evaluation(*this, compact.text(), &compact).runCompact(previous, early);
    return compact;
}

QList<ComputationalNoteEngine::LineSpan> ComputationalNoteEngine::splitLines(QStringView text)
{
    return splitLines(text, 0);
}

QList<ComputationalNoteEngine::LineSpan> ComputationalNoteEngine::splitLines(QStringView text, qsizetype expectedLines)
{
    QList<LineSpan> spans;
    spans.reserve(expectedLines);
    qsizetype start = 0;
    forEachLineEnd(text, [&](qsizetype end, qsizetype next) {
        spans.append(LineSpan{start, end - start});
        start = next;
    });
    spans.append(LineSpan{start, text.size() - start});
    return spans;
}

std::optional<std::pair<QStringView, QStringView>>
ComputationalNoteEngine::splitVariableAssignment(QStringView expression)
{
    const qsizetype equals = indexOfUnit(expression, u'=');
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
    const qsizetype colon = indexOfUnit(expression, u':');
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
    return countWordsIn(text);
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
