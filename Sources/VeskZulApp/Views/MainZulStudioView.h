#pragma once

#include "VeskKit/Design/VeskBackdropCache.h"
#include "VeskKit/Design/VeskToastBanner.h"

#include <QAbstractButton>
#include <QColor>
#include <QDialog>
#include <QPointer>
#include <QUuid>
#include <QWidget>

#include <functional>

class QLabel;
class QMenu;
class QStackedWidget;
class QVariantAnimation;
class VeskButton;
class VeskFeedbackButton;
class VeskTextLine;
class VeskUnifiedHeaderBar;
class VeskVersionAndLogsView;
class ZulChipButton;
class ZulSettingsView;
class ZulSidebarView;
class ZulStudioViewModel;

// The studio window's content: a header sharing the title bar (brand,
// version and feedback, the two tabs, drawer, sticky and new-note buttons,
// and the button of the command menu once the application gives it one),
// then either the workspace (note list beside the editor of the selected
// note, or an empty state) or the settings page. Toasts rise from the bottom
// edge; the version-and-logs panel opens as a sheet. Everything shown lives
// in the view model. In a header too narrow for everything the subtitle
// gives way, so the buttons keep their whole labels.
class MainZulStudioView : public QWidget {
    Q_OBJECT
public:
    // Makes the editor for a note; the studio passes its full form.
    using EditorFactory = std::function<QWidget *(ZulStudioViewModel &, const QUuid &, QWidget *parent)>;

    static constexpr int sidebarWidth = 268;
    static constexpr int toastBottomPadding = 22;
    static constexpr int toastAnimationMs = 200;
    static constexpr int sheetWidth = 680;
    static constexpr int sheetHeight = 540;

    MainZulStudioView(ZulStudioViewModel &viewModel, const QColor &accent, EditorFactory makeEditor,
                      QWidget *parent = nullptr);
    ~MainZulStudioView() override;

    ZulStudioViewModel &viewModel() const { return m_viewModel; }
    QColor accent() const { return m_accent; }

    // The parts, for the application and for tests.
    VeskUnifiedHeaderBar *headerBar() const { return m_headerBar; }
    VeskTextLine *subtitleLabel() const { return m_subtitle; }
    QAbstractButton *versionBadgeButton() const { return m_versionBadgeButton; }
    VeskFeedbackButton *feedbackButton() const { return m_feedbackButton; }
    ZulChipButton *workspaceTabButton() const { return m_workspaceTab; }
    ZulChipButton *settingsTabButton() const { return m_settingsTab; }
    VeskButton *edgeDrawerButton() const { return m_drawerButton; }
    VeskButton *stickyButton() const { return m_stickyButton; }
    VeskButton *newNoteButton() const { return m_newNoteButton; }
    // Opens the command menu below it, by click, Return, Space or the
    // context-menu key; hidden while there is none.
    VeskButton *commandMenuButton() const { return m_menuButton; }
    QMenu *commandMenu() const { return m_commandMenu; }
    void setCommandMenu(QMenu *menu);
    ZulSidebarView *sidebar() const { return m_sidebar; }
    // Null until the settings tab was first opened.
    ZulSettingsView *settingsView() const { return m_settingsView; }
    QWidget *emptyWorkspaceState() const { return m_emptyState; }
    VeskButton *createNoteButton() const { return m_createButton; }
    // The editor of the selected note; null while none is selected.
    QWidget *editor() const { return m_editor; }
    // The page shown below the header: the workspace or the settings.
    QWidget *currentPage() const;
    // Null while no toast shows.
    VeskToastBanner *toastBanner() const { return m_toast; }
    // Null while the sheet is closed.
    QDialog *versionSheet() const { return m_sheet; }

    // Header's and empty state's New Note.
    void newNote();

    // Where Tab stops, as the page reads: on the workspace the sidebar top
    // to bottom, the header, then the note's header, text and status bar; on
    // the settings page the header, then the page. Only what shows.
    QList<QWidget *> tabStops() const;

protected:
    bool focusNextPrevChild(bool next) override;

    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QString text(const char *en, const char *tr) const;
    void buildHeader();
    void retranslate();
    void syncTabs();
    void syncActions();
    void syncEditor();
    void syncToast();
    void syncSheet();
    void placeToast();
    // Hands the keyboard to the selected note's text.
    void focusEditor();
    void openCommandMenu();

    ZulStudioViewModel &m_viewModel;
    QColor m_accent;
    EditorFactory m_makeEditor;

    VeskUnifiedHeaderBar *m_headerBar = nullptr;
    QWidget *m_headerRow = nullptr;
    QLabel *m_title = nullptr;
    VeskTextLine *m_subtitle = nullptr;
    QAbstractButton *m_versionBadgeButton = nullptr;
    QWidget *m_feedbackSlot = nullptr;
    VeskFeedbackButton *m_feedbackButton = nullptr;
    ZulChipButton *m_workspaceTab = nullptr;
    ZulChipButton *m_settingsTab = nullptr;
    VeskButton *m_drawerButton = nullptr;
    VeskButton *m_stickyButton = nullptr;
    VeskButton *m_newNoteButton = nullptr;
    VeskButton *m_menuButton = nullptr;
    QMenu *m_commandMenu = nullptr;

    QStackedWidget *m_pages = nullptr;
    QWidget *m_workspace = nullptr;
    ZulSidebarView *m_sidebar = nullptr;
    QStackedWidget *m_editorStack = nullptr;
    QWidget *m_emptyState = nullptr;
    QLabel *m_emptyText = nullptr;
    VeskButton *m_createButton = nullptr;
    QPointer<QWidget> m_editor;
    QUuid m_editorNoteID;
    ZulSettingsView *m_settingsView = nullptr;

    QPointer<VeskToastBanner> m_toast;
    QVariantAnimation *m_toastAnimation = nullptr;
    qreal m_toastProgress = 0;
    QPointer<QDialog> m_sheet;
    // The window's ground, drawn once for its size.
    VeskBackdropCache m_ground;
};
