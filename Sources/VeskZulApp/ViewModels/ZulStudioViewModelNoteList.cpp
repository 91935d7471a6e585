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

} // namespace

// Case-insensitive containment by the user's locale: a collator at
// secondary strength tells accents apart but not letter case, including
// non-ASCII letters ("ÇAY" finds "çay"; in Turkish "I" pairs with "ı").
class ZulNoteSearch
{
public:
    explicit ZulNoteSearch(const QString &needle) : m_needle(needle)
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

namespace {

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
    std::stable_sort(ordered.begin(), ordered.end(), &ZulStudioViewModel::comesBefore);
    return ordered;
}

bool ZulStudioViewModel::isListed(const ZulNote &note) const
{
    if (!passesFilter(note, m_activeFilter))
        return false;
    if (m_selectedTag && !note.tags.contains(*m_selectedTag))
        return false;
    const QString query = m_searchText.trimmed();
    if (query.isEmpty())
        return true;
    // The locale decides what matches, so a search holds only under the
    // locale it was made in.
    const QString key = QLocale().name() + QLatin1Char('\n') + query;
    if (!m_listedSearch || key != m_listedSearchKey) {
        m_listedSearch = std::make_shared<ZulNoteSearch>(query);
        m_listedSearchKey = key;
    }
    bool found = m_listedSearch->foundIn(note.displayTitle()) || m_listedSearch->foundIn(note.content);
    for (qsizetype index = 0; !found && index < note.tags.size(); ++index)
        found = m_listedSearch->foundIn(note.tags.at(index));
    return found;
}

QList<ZulNote> ZulStudioViewModel::filteredNotes() const
{
    QList<ZulNote> shown;
    for (const ZulNote &note : sortedNotesList(m_notes)) {
        if (isListed(note))
            shown.append(note);
    }
    return shown;
}

bool ZulStudioViewModel::comesBefore(const ZulNote &a, const ZulNote &b)
{
    if (a.isPinned != b.isPinned)
        return a.isPinned;
    return a.updatedAt > b.updatedAt;
}

std::optional<QUuid> ZulStudioViewModel::firstInDisplayOrder() const
{
    // The first of a stable sort: the earliest of the notes no other note
    // comes before.
    const ZulNote *first = nullptr;
    for (const ZulNote &note : m_notes) {
        if (!first || comesBefore(note, *first))
            first = &note;
    }
    return first ? std::optional<QUuid>(first->id) : std::nullopt;
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
