#pragma once

#include "VeskKit/Cloud/VeskUrlOpener.h"
#include "VeskKit/Design/VeskProductPalette.h"
#include "VeskKit/Localization/VeskLanguage.h"
#include "VeskKit/Utilities/VeskAppVersion.h"
#include "VeskKit/Utilities/VeskBundle.h"
#include "VeskKit/Utilities/VeskLogEntry.h"
#include "VeskKit/Utilities/VeskReleaseLogRecord.h"

#include <QList>
#include <QWidget>

#include <functional>
#include <memory>

class QAbstractButton;
class QVBoxLayout;
class VeskAppLogger;
class VeskButton;
class VeskFeedbackButton;

// The diagnostics panel: the application's version, its release history and
// the newest lines of its runtime log, with a level filter and the log
// actions refresh, copy, show folder and clear. Both lists are read again
// each time the panel comes on screen; the log list also on every filter
// change, refresh and clear, never behind the user's back.
//
// Everything read from files (release notes, log lines) is shown as plain
// text. With an onClose action the panel draws its own ground and a header
// with a close button that Escape also triggers; without one it sits on its
// host's background.
class VeskVersionAndLogsView : public QWidget {
    Q_OBJECT
public:
    static constexpr int entryLimit = 120;
    static constexpr int copyLimit = 250;

    // A null logger stands for the shared logger of appName.
    VeskVersionAndLogsView(const QString &appName, const VeskAppVersion &version,
                           std::shared_ptr<VeskAppLogger> logger, VeskProductPalette palette, VeskLanguage language,
                           const QList<VeskReleaseLogRecord> &fallbackReleases, std::function<void()> onClose,
                           QWidget *parent = nullptr);
    ~VeskVersionAndLogsView() override;

    const QString &appName() const { return m_appName; }
    const VeskAppVersion &version() const { return m_version; }
    const std::shared_ptr<VeskAppLogger> &logger() const { return m_logger; }
    VeskProductPalette productPalette() const { return m_palette; }
    VeskLanguage language() const { return m_language; }

    // Where the release history is read from; the application's own
    // resources unless replaced before the panel is shown.
    void setReleaseBundle(const VeskBundle &bundle);
    // Where the folder button and the feedback button open their addresses.
    void setUrlOpener(std::shared_ptr<VeskUrlOpener> opener);

    // What the panel shows.
    VeskLogLevel selectedMinLevel() const { return m_selectedMinLevel; }
    const QList<VeskLogEntry> &entries() const { return m_entries; }
    const QList<VeskReleaseLogRecord> &releases() const { return m_releases; }
    bool copiedToast() const { return m_copiedToast; }

    // The controls, for hosts that describe them and for tests.
    QAbstractButton *filterButton(VeskLogLevel level) const;
    QAbstractButton *refreshButton() const;
    QAbstractButton *copyButton() const;
    QAbstractButton *folderButton() const;
    QAbstractButton *clearButton() const;
    // Null without an onClose action.
    QAbstractButton *closeButton() const { return m_closeButton; }
    VeskFeedbackButton *feedbackButton() const { return m_feedbackButton; }

    // The time column of a log row: up to eight characters after the first
    // "T", else the first eight.
    static QString timeOfDay(const QString &timestamp);
    // "Build 42 · minor/Added".
    static QString buildLine(const VeskReleaseLogRecord &record);

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *makeHeaderRow();
    QWidget *makeVersionSummaryCard();
    QWidget *makeReleaseHistoryCard();
    QWidget *makeRuntimeLogsCard();

    void reloadAll();
    void reloadEntries();
    void selectLevel(VeskLogLevel level);
    void copyLog();
    void revealLogFolder();
    void clearLog();
    void rebuildReleaseRows();
    void rebuildEntryRows();
    QString text(const char *en, const char *tr) const;

    QString m_appName;
    VeskAppVersion m_version;
    std::shared_ptr<VeskAppLogger> m_logger;
    VeskProductPalette m_palette;
    VeskLanguage m_language;
    QList<VeskReleaseLogRecord> m_fallbackReleases;
    std::function<void()> m_onClose;
    VeskBundle m_releaseBundle;
    std::shared_ptr<VeskUrlOpener> m_opener;

    VeskLogLevel m_selectedMinLevel = VeskLogLevel::debug;
    QList<VeskLogEntry> m_entries;
    QList<VeskReleaseLogRecord> m_releases;
    bool m_copiedToast = false;

    QList<QAbstractButton *> m_filterButtons;
    VeskButton *m_refreshButton = nullptr;
    VeskButton *m_copyButton = nullptr;
    VeskButton *m_folderButton = nullptr;
    VeskButton *m_clearButton = nullptr;
    QAbstractButton *m_closeButton = nullptr;
    VeskFeedbackButton *m_feedbackButton = nullptr;
    QVBoxLayout *m_releaseRows = nullptr;
    QVBoxLayout *m_entryRows = nullptr;
};
