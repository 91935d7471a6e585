#pragma once

#include "Models/NoteEvaluationSummary.h"
#include "Models/ZulNote.h"
#include "ViewModels/ZulNoteFilter.h"
#include "ViewModels/ZulStudioTab.h"

#include <QLocale>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class QTimer;
class ZulNoteSearch;

// What the studio shows rather than what the notes are: the tab, which
// notes the list lets through (filter, tag, search), the toast, and the
// tray popover's scratch pad. Lives on the GUI thread; nothing here is saved.
class ZulScreenState : public QObject
{
    Q_OBJECT
public:
    // A toast goes away `toastLifetimeMs` after it was last shown.
    explicit ZulScreenState(int toastLifetimeMs, QObject *parent = nullptr);
    ~ZulScreenState() override;

    ZulStudioTab selectedTab() const { return m_selectedTab; }
    void setSelectedTab(ZulStudioTab tab);
    ZulNoteFilter activeFilter() const { return m_activeFilter; }
    void setActiveFilter(ZulNoteFilter filter);
    const std::optional<QString> &selectedTag() const { return m_selectedTag; }
    void setSelectedTag(const std::optional<QString> &tag);
    const QString &searchText() const { return m_searchText; }
    void setSearchText(const QString &text);
    // Whether the note passes the filter, the tag and the search.
    bool isListed(const ZulNote &note) const;

    const std::optional<QString> &toastMessage() const { return m_toastMessage; }
    bool toastIsError() const { return m_toastIsError; }
    void showToast(const QString &message, bool isError);

    const QString &quickScratchText() const { return m_quickScratchText; }
    // Its summary is the owner's to evaluate.
    void setQuickScratchText(const QString &text);
    const NoteEvaluationSummary &quickScratchSummary() const { return m_quickScratchSummary; }
    void setQuickScratchSummary(const NoteEvaluationSummary &summary);

signals:
    void selectedTabChanged();
    void activeFilterChanged();
    void selectedTagChanged();
    void searchTextChanged();
    void toastMessageChanged();
    void toastIsErrorChanged();
    void quickScratchTextChanged();
    void quickScratchSummaryChanged();

private:
    void setToastMessage(const std::optional<QString> &message);
    void setToastIsError(bool isError);

    ZulStudioTab m_selectedTab = ZulStudioTab::workspace;
    ZulNoteFilter m_activeFilter = ZulNoteFilter::all;
    std::optional<QString> m_selectedTag;
    QString m_searchText;
    std::optional<QString> m_toastMessage;
    bool m_toastIsError = false;
    QTimer *m_toastTimer = nullptr;
    QString m_quickScratchText;
    NoteEvaluationSummary m_quickScratchSummary;

    // The search of isListed(), made once per query and locale: a key in
    // the search field matches every note against one query.
    mutable std::shared_ptr<ZulNoteSearch> m_listedSearch;
    mutable QString m_listedSearchText;
    mutable QLocale m_listedSearchLocale;
};
