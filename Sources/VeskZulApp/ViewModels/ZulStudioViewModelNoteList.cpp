#include "ViewModels/ZulStudioViewModel.h"

#include <QCollator>
#include <QLocale>
#include <QSet>

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/stsearch.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <memory>

namespace {

icu::UnicodeString toUnicode(const QString &text)
{
    return icu::UnicodeString(reinterpret_cast<const char16_t *>(text.utf16()), int32_t(text.size()));
}

// Case-insensitive containment by the user's locale: a collator at
// secondary strength tells accents apart but not letter case, including
// non-ASCII letters ("ÇAY" finds "çay"; in Turkish "I" pairs with "ı").
class LocalizedContainment
{
public:
    explicit LocalizedContainment(const QString &needle) : m_needle(needle)
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
        m_pattern = toUnicode(needle);
        m_text = icu::UnicodeString(u" ");
        m_search = std::make_unique<icu::StringSearch>(m_pattern, m_text, ruleBased, nullptr, status);
        if (U_FAILURE(status))
            m_search.reset();
    }

    bool foundIn(const QString &haystack)
    {
        if (haystack.isEmpty())
            return false;
        if (!m_search)
            return haystack.contains(m_needle, Qt::CaseInsensitive);
        UErrorCode status = U_ZERO_ERROR;
        m_text = toUnicode(haystack);
        m_search->setText(m_text, status);
        if (U_FAILURE(status))
            return haystack.contains(m_needle, Qt::CaseInsensitive);
        m_search->reset();
        const int32_t position = m_search->first(status);
        return U_SUCCESS(status) && position != USEARCH_DONE;
    }

private:
    QString m_needle;
    icu::UnicodeString m_pattern;
    icu::UnicodeString m_text;
    std::unique_ptr<icu::Collator> m_collator;
    std::unique_ptr<icu::StringSearch> m_search;
};

bool passesFilter(const ZulNote &note, ZulNoteFilter filter)
{
    switch (filter) {
    case ZulNoteFilter::all:
        return true;
    case ZulNoteFilter::pinned:
        return note.isPinned;
    case ZulNoteFilter::sticky:
        return note.isFloatingSticky;
    case ZulNoteFilter::ephemeral:
        return note.isEphemeral;
    }
    return false;
}

} // namespace

QList<ZulNote> ZulStudioViewModel::sortedNotesList(const QList<ZulNote> &notes)
{
    QList<ZulNote> ordered = notes;
    std::stable_sort(ordered.begin(), ordered.end(), [](const ZulNote &a, const ZulNote &b) {
        if (a.isPinned != b.isPinned)
            return a.isPinned;
        return a.updatedAt > b.updatedAt;
    });
    return ordered;
}

QList<ZulNote> ZulStudioViewModel::filteredNotes() const
{
    const QString query = m_searchText.trimmed();
    std::optional<LocalizedContainment> search;
    QHash<QUuid, SearchVerdict> verdicts;
    if (!query.isEmpty()) {
        // The locale decides what matches, so a verdict holds only under the
        // locale it was reached in.
        const QString key = QLocale().name() + QLatin1Char('\n') + query;
        if (key != m_searchVerdictsQuery) {
            m_searchVerdictsQuery = key;
            m_searchVerdicts.clear();
        }
        verdicts.reserve(m_searchVerdicts.size());
    }

    QList<ZulNote> shown;
    for (const ZulNote &note : sortedNotesList(m_notes)) {
        if (!passesFilter(note, m_activeFilter))
            continue;
        if (m_selectedTag && !note.tags.contains(*m_selectedTag))
            continue;
        if (!query.isEmpty()) {
            // An unchanged note shares its texts with the verdict's copies,
            // and comparing a text with itself costs nothing.
            const auto cached = m_searchVerdicts.constFind(note.id);
            SearchVerdict verdict;
            if (cached != m_searchVerdicts.cend() && cached->title == note.title && cached->content == note.content &&
                cached->tags == note.tags) {
                verdict = *cached;
            } else {
                if (!search)
                    search.emplace(query);
                bool found = search->foundIn(note.displayTitle()) || search->foundIn(note.content);
                for (qsizetype index = 0; !found && index < note.tags.size(); ++index)
                    found = search->foundIn(note.tags.at(index));
                verdict = {note.title, note.content, note.tags, found};
            }
            const bool found = verdict.found;
            verdicts.insert(note.id, std::move(verdict));
            if (!found)
                continue;
        }
        shown.append(note);
    }
    // Notes filtered out or gone keep no verdict: they are searched afresh
    // when they come back.
    m_searchVerdicts = std::move(verdicts);
    return shown;
}

QStringList ZulStudioViewModel::allTags() const
{
    QStringList tags;
    QSet<QString> seen;
    for (const ZulNote &note : m_notes) {
        for (const QString &tag : note.tags) {
            if (!seen.contains(tag)) {
                seen.insert(tag);
                tags.append(tag);
            }
        }
    }
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(tags.begin(), tags.end(),
                     [&collator](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
    return tags;
}
