#include "Services/ZulNoteSearch.h"

#include <QLocale>

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/stsearch.h>
#include <unicode/tblcoll.h>
#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/uniset.h>
#include <unicode/unistr.h>
#include <unicode/usetiter.h>

#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

// Read-only: the search only reads the text, and a note can be megabytes.
icu::UnicodeString aliasOf(const QString &text)
{
    return icu::UnicodeString(false, reinterpret_cast<const char16_t *>(text.utf16()), int32_t(text.size()));
}

// Which characters the collator cannot tell apart at the search's strength,
// for the characters it gives one collation element of their own (or one
// and their accents'): for each UTF-16 unit, the first unit met with the
// same collation weights, or 0 when matching it needs the collator itself
// (it is ignored, expands to several letters, ends a contraction such as
// "ch" in Czech, joins the character before it, as a combining mark does, or
// is half of a surrogate pair or a noncharacter). A text and a query made only of the others match exactly
// where the collator's search would match them, so they are compared unit by
// unit, many times faster over a large collection. Filled as characters are
// met.
class CollationClasses
{
public:
    explicit CollationClasses(const char *locale) : m_collator(nullptr, ucol_close), m_classes(0x10000, kUnknown)
    {
        UErrorCode status = U_ZERO_ERROR;
        m_collator.reset(ucol_open(locale, &status));
        if (U_FAILURE(status) || !m_collator) {
            m_collator.reset();
            return;
        }
        ucol_setStrength(m_collator.get(), UCOL_SECONDARY);
        icu::UnicodeSet contractions;
        icu::UnicodeSet expansions;
        ucol_getContractionsAndExpansions(m_collator.get(), contractions.toUSet(), expansions.toUSet(), true,
                                          &status);
        if (U_FAILURE(status)) {
            m_collator.reset();
            return;
        }
        m_expansions = expansions;
        // A contraction forms only in a text that holds all of its
        // characters, so a text without its later ones can be matched
        // directly ("l" is simple in a text without the "·" of Catalan's
        // "l·"). One with a character that is not simple never forms in a
        // text of simple ones.
        for (icu::UnicodeSetIterator it(contractions); it.next();) {
            const icu::UnicodeString &text = it.getString();
            if (!it.isString()) {
                m_needCollator.addAll(text);
                continue;
            }
            bool formable = true;
            for (int32_t i = 0; formable && i < text.length(); ++i)
                formable = weightsOf(text.charAt(i)).has_value();
            if (formable)
                m_needCollator.addAll(text.tempSubString(1));
        }
    }

    char16_t classOf(char16_t c)
    {
        const char16_t known = m_classes[c];
        return known != kUnknown ? known : classify(c);
    }

private:
    static constexpr char16_t kUnknown = 0xFFFF;

    char16_t classify(char16_t c)
    {
        char16_t &known = m_classes[c];
        known = 0;
        if (!m_collator || m_needCollator.contains(c))
            return known;
        if (std::optional<std::string> weights = weightsOf(c))
            known = m_bySortKey.try_emplace(std::move(*weights), c).first->second;
        return known;
    }

    // The character's collation weights, when it is simple.
    std::optional<std::string> weightsOf(char16_t c) const
    {
        // Noncharacters stand for the collator's own boundaries ("\uFDD1€"
        // is where currency symbols begin), never for text.
        if (QChar::isSurrogate(c) || u_hasBinaryProperty(c, UCHAR_NONCHARACTER_CODE_POINT))
            return std::nullopt;
        // A grapheme boundary on either side, so a match never ends inside
        // a character the user sees as one.
        switch (u_getIntPropertyValue(c, UCHAR_GRAPHEME_CLUSTER_BREAK)) {
        case U_GCB_OTHER:
        case U_GCB_LF:
        case U_GCB_CONTROL:
            break;
        default:
            return std::nullopt;
        }
        if (m_expansions.contains(c) && !accentedLetter(c))
            return std::nullopt;
        std::string weights = sortKey(icu::UnicodeString(c));
        // The level separator first: no primary weight, so ignored at the
        // first level (or at every level).
        if (weights.empty() || weights.front() == '\x01')
            return std::nullopt;
        return weights;
    }

    // A letter with accents (ü, é) is its letter's one element followed by
    // its accents', which have no primary weight, while every simple
    // character has one: so only one whole character with the same weights
    // matches it. Other expansions (Hangul syllables, "ǣ" as "aē" where
    // "æ" is "ae") could match several characters, so they need the collator.
    bool accentedLetter(char16_t c) const
    {
        if (u_getIntPropertyValue(c, UCHAR_DECOMPOSITION_TYPE) != U_DT_CANONICAL)
            return false;
        UErrorCode status = U_ZERO_ERROR;
        const icu::Normalizer2 *nfd = icu::Normalizer2::getNFDInstance(status);
        if (U_FAILURE(status))
            return false;
        const icu::UnicodeString parts = nfd->normalize(icu::UnicodeString(c), status);
        if (U_FAILURE(status) || parts.length() < 2)
            return false;
        const char16_t letter = parts.charAt(0);
        if (QChar::isSurrogate(letter) || m_expansions.contains(letter)
            || u_getIntPropertyValue(letter, UCHAR_GRAPHEME_CLUSTER_BREAK) != U_GCB_OTHER)
            return false;
        for (int32_t i = 1; i < parts.length(); ++i) {
            const std::string weights = sortKey(parts.tempSubString(i, 1));
            if (weights.empty() || weights.front() != '\x01')
                return false;
        }
        return true;
    }

    std::string sortKey(const icu::UnicodeString &text) const
    {
        uint8_t weights[64];
        const int32_t length = ucol_getSortKey(m_collator.get(), text.getBuffer(), text.length(), weights,
                                               int32_t(sizeof weights));
        if (length <= 0 || length > int32_t(sizeof weights))
            return {};
        return std::string(reinterpret_cast<const char *>(weights), size_t(length));
    }

    std::unique_ptr<UCollator, void (*)(UCollator *)> m_collator;
    icu::UnicodeSet m_expansions;
    // Characters that end a contraction.
    icu::UnicodeSet m_needCollator;
    std::vector<char16_t> m_classes;
    std::unordered_map<std::string, char16_t> m_bySortKey;
};

CollationClasses &collationClasses(const std::string &locale)
{
    static std::map<std::string, std::unique_ptr<CollationClasses>> byLocale;
    std::unique_ptr<CollationClasses> &classes = byLocale[locale];
    if (!classes)
        classes = std::make_unique<CollationClasses>(locale.c_str());
    return *classes;
}

} // namespace

class ZulNoteSearch::Matcher
{
public:
    explicit Matcher(const QString &needle) : m_needle(needle)
    {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Locale locale(QLocale().name().toLatin1().constData());
        m_collator.reset(icu::Collator::createInstance(locale, status));
        if (U_FAILURE(status) || !m_collator) {
            m_collator.reset();
            return;
        }
        m_collator->setStrength(icu::Collator::SECONDARY);
        auto *ruleBased = dynamic_cast<icu::RuleBasedCollator *>(m_collator.get());
        if (!ruleBased)
            return;
        // ICU refuses an empty text; the placeholder is replaced per search.
        // The search refers to the text rather than copying it, so the text
        // lives in a member.
        m_pattern = icu::UnicodeString(reinterpret_cast<const char16_t *>(needle.utf16()), int32_t(needle.size()));
        m_text = icu::UnicodeString(u" ");
        m_search = std::make_unique<icu::StringSearch>(m_pattern, m_text, ruleBased, nullptr, status);
        if (U_FAILURE(status)) {
            m_search.reset();
            return;
        }
        m_classes = &collationClasses(locale.getName());
        for (const QChar c : needle) {
            const char16_t folded = m_classes->classOf(c.unicode());
            if (folded == 0) {
                m_foldedNeedle.clear();
                break;
            }
            m_foldedNeedle.push_back(folded);
        }
    }

    bool foundIn(const QString &haystack)
    {
        if (haystack.isEmpty())
            return false;
        if (!m_search)
            return haystack.contains(m_needle, Qt::CaseInsensitive);
        if (const std::optional<bool> found = foundDirectly(haystack))
            return *found;
        UErrorCode status = U_ZERO_ERROR;
        m_text = aliasOf(haystack);
        m_search->setText(m_text, status);
        if (U_FAILURE(status))
            return haystack.contains(m_needle, Qt::CaseInsensitive);
        m_search->reset();
        const int32_t position = m_search->first(status);
        return U_SUCCESS(status) && position != USEARCH_DONE;
    }

private:
    // Absent when the text or the query holds a character only the
    // collator can match.
    std::optional<bool> foundDirectly(const QString &haystack)
    {
        if (m_foldedNeedle.empty())
            return std::nullopt;
        CollationClasses &classes = *m_classes;
        const char16_t *text = reinterpret_cast<const char16_t *>(haystack.utf16());
        const qsizetype length = haystack.size();
        const auto needleLength = qsizetype(m_foldedNeedle.size());
        const char16_t last = m_foldedNeedle.back();
        // One pass: a match counts once the character after it is known to
        // be simple too, since a mark there would join the match's last one.
        for (qsizetype i = 0; i < length; ++i) {
            const char16_t folded = classes.classOf(text[i]);
            if (folded == 0)
                return std::nullopt;
            if (folded != last || i + 1 < needleLength)
                continue;
            const qsizetype start = i + 1 - needleLength;
            qsizetype k = needleLength - 1;
            while (k > 0 && classes.classOf(text[start + k - 1]) == m_foldedNeedle[size_t(k - 1)])
                --k;
            if (k > 0)
                continue;
            if (i + 1 == length || classes.classOf(text[i + 1]) != 0)
                return true;
            return std::nullopt;
        }
        return false;
    }

    QString m_needle;
    CollationClasses *m_classes = nullptr;
    std::u16string m_foldedNeedle;
    icu::UnicodeString m_pattern;
    icu::UnicodeString m_text;
    std::unique_ptr<icu::Collator> m_collator;
    std::unique_ptr<icu::StringSearch> m_search;
};

ZulNoteSearch::ZulNoteSearch(const QString &needle) : m_matcher(std::make_unique<Matcher>(needle)) {}

ZulNoteSearch::~ZulNoteSearch() = default;

bool ZulNoteSearch::foundIn(const QString &haystack)
{
    return m_matcher->foundIn(haystack);
}

bool ZulNoteSearch::matches(const ZulNote &note)
{
    if (foundIn(note.displayTitle()) || foundIn(note.content))
        return true;
    for (const QString &tag : note.tags) {
        if (foundIn(tag))
            return true;
    }
    return false;
}
