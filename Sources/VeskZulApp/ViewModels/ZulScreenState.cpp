#include "ViewModels/ZulScreenState.h"

#include "Services/ZulNoteSearch.h"

#include <QTimer>

namespace {

// The sample the tray popover's scratch pad starts with.
const char kQuickScratchSample[] = "1850 + %20 KDV\n250 USD to TRY";

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

ZulScreenState::ZulScreenState(int toastLifetimeMs, QObject *parent)
    : QObject(parent),
      m_quickScratchText(QString::fromUtf8(kQuickScratchSample)),
      m_quickScratchSummary(NoteEvaluationSummary::empty())
{
    m_toastTimer = new QTimer(this);
    m_toastTimer->setSingleShot(true);
    m_toastTimer->setTimerType(Qt::PreciseTimer);
    m_toastTimer->setInterval(toastLifetimeMs);
    connect(m_toastTimer, &QTimer::timeout, this, [this] { setToastMessage(std::nullopt); });
}

ZulScreenState::~ZulScreenState() = default;

void ZulScreenState::setSelectedTab(ZulStudioTab tab)
{
    if (m_selectedTab == tab)
        return;
    m_selectedTab = tab;
    emit selectedTabChanged();
}

void ZulScreenState::setActiveFilter(ZulNoteFilter filter)
{
    if (m_activeFilter == filter)
        return;
    m_activeFilter = filter;
    emit activeFilterChanged();
}

void ZulScreenState::setSelectedTag(const std::optional<QString> &tag)
{
    if (m_selectedTag == tag)
        return;
    m_selectedTag = tag;
    emit selectedTagChanged();
}

void ZulScreenState::setSearchText(const QString &text)
{
    if (m_searchText == text)
        return;
    m_searchText = text;
    emit searchTextChanged();
}

bool ZulScreenState::isListed(const ZulNote &note) const
{
    if (!passesFilter(note, m_activeFilter))
        return false;
    if (m_selectedTag && !note.tags.contains(*m_selectedTag))
        return false;
    if (m_searchText.isEmpty())
        return true;
    // The locale decides what matches, so a search holds only under the
    // locale it was made in.
    if (m_searchText != m_listedSearchText || QLocale() != m_listedSearchLocale) {
        const QString query = m_searchText.trimmed();
        m_listedSearch = query.isEmpty() ? nullptr : std::make_shared<ZulNoteSearch>(query);
        m_listedSearchText = m_searchText;
        m_listedSearchLocale = QLocale();
    }
    if (!m_listedSearch)
        return true;
    return m_listedSearch->matches(note);
}

void ZulScreenState::showToast(const QString &message, bool isError)
{
    // Announced even when the same text is already up: it is a new toast.
    m_toastMessage = message;
    emit toastMessageChanged();
    setToastIsError(isError);
    m_toastTimer->start();
}

void ZulScreenState::setQuickScratchText(const QString &text)
{
    m_quickScratchText = text;
    emit quickScratchTextChanged();
}

void ZulScreenState::setToastMessage(const std::optional<QString> &message)
{
    if (m_toastMessage == message)
        return;
    m_toastMessage = message;
    emit toastMessageChanged();
}

void ZulScreenState::setToastIsError(bool isError)
{
    if (m_toastIsError == isError)
        return;
    m_toastIsError = isError;
    emit toastIsErrorChanged();
}

void ZulScreenState::setQuickScratchSummary(const NoteEvaluationSummary &summary)
{
    m_quickScratchSummary = summary;
    emit quickScratchSummaryChanged();
}
