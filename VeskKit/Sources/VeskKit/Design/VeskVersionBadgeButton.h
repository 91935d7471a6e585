#pragma once

#include "VeskKit/Cloud/VeskUrlOpener.h"
#include "VeskKit/Design/VeskProductPalette.h"
#include "VeskKit/Design/VeskVersionAndLogsView.h"
#include "VeskKit/Localization/VeskLanguage.h"
#include "VeskKit/Utilities/VeskAppVersion.h"

#include <QDialog>
#include <QPointer>
#include <QWidget>

#include <memory>

class QAbstractButton;
class VeskAppLogger;
class VeskFeedbackButton;

// A header control: the version badge as a button that opens the
// version-and-logs panel in a sheet, optionally followed by the compact
// feedback button. Every opening shows a fresh panel.
class VeskVersionBadgeButton : public QWidget {
    Q_OBJECT
public:
    static constexpr int sheetMinimumWidth = 720;
    static constexpr int sheetMinimumHeight = 560;

    // A null logger stands for the shared logger of appName.
    VeskVersionBadgeButton(const QString &appName, const VeskAppVersion &version,
                           std::shared_ptr<VeskAppLogger> logger, VeskProductPalette palette, VeskLanguage language,
                           bool showBuild, bool showFeedbackButton, QWidget *parent = nullptr);
    ~VeskVersionBadgeButton() override;

    const QString &appName() const { return m_appName; }
    const VeskAppVersion &version() const { return m_version; }
    const std::shared_ptr<VeskAppLogger> &logger() const { return m_logger; }
    VeskLanguage language() const { return m_language; }
    bool showBuild() const { return m_showBuild; }
    bool showFeedbackButton() const { return m_showFeedbackButton; }

    QAbstractButton *badgeButton() const { return m_badgeButton; }
    // Null unless showFeedbackButton.
    VeskFeedbackButton *feedbackButton() const { return m_feedbackButton; }
    // The badge's tooltip; it names the build whether or not the badge does.
    QString helpText() const;

    bool isSheetPresented() const { return m_sheet != nullptr; }
    // The open sheet and its panel; null while closed.
    QDialog *sheet() const { return m_sheet; }
    VeskVersionAndLogsView *sheetPanel() const { return m_panel; }

    // Where the feedback buttons and the panel's folder button open their
    // addresses.
    void setUrlOpener(std::shared_ptr<VeskUrlOpener> opener);

signals:
    void sheetPresentedChanged(bool presented);

private:
    void presentSheet();
    void dismissSheet();

    QString m_appName;
    VeskAppVersion m_version;
    std::shared_ptr<VeskAppLogger> m_logger;
    VeskProductPalette m_palette;
    VeskLanguage m_language;
    bool m_showBuild;
    bool m_showFeedbackButton;
    std::shared_ptr<VeskUrlOpener> m_opener;

    QAbstractButton *m_badgeButton = nullptr;
    VeskFeedbackButton *m_feedbackButton = nullptr;
    QPointer<QDialog> m_sheet;
    QPointer<VeskVersionAndLogsView> m_panel;
};
