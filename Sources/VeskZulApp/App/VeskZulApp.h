#pragma once

#include "Services/ZulStorageService.h"
#include "ViewModels/ZulStudioEnvironment.h"
#include "Views/MainZulStudioView.h"
#include "Views/ZulTrayPopoverWindow.h"

#include <QKeySequence>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QTranslator>

#include <functional>
#include <memory>

class QMenu;
class ZulCommandMenu;
class ZulStudioViewModel;
class ZulTrayIcon;

// The application: the one view model for the life of the process, the
// studio window, the tray item and the command menu. The studio window is
// made when first opened and comes back where it was left, also after a
// restart; closing it only hides it while a tray shows the
// application, which then runs on until it is quit. Without a tray, closing
// the studio quits unless a sticky or the drawer is open, and then the
// application ends when the last of them closes (a second launch brings the
// studio back meanwhile). Ctrl+Q quits from any of the application's windows.
class VeskZulApp : public QObject {
    Q_OBJECT
public:
    using TrayAvailability = std::function<bool()>;

    static constexpr int defaultWidth = 1180;
    static constexpr int defaultHeight = 740;
    static constexpr int minimumWidth = 1020;
    static constexpr int minimumHeight = 660;
    // The longest the tray, the hotkeys, the drawer and the stickies wait
    // for the studio's first frame.
    static constexpr int firstFrameWaitMs = 1000;

    VeskZulApp(ZulStorageService storage, ZulStudioEnvironment environment,
               MainZulStudioView::EditorFactory makeEditor, QObject *parent = nullptr);
    ~VeskZulApp() override;

    ZulStudioViewModel &viewModel() const { return *m_viewModel; }
    // Null until the studio window was first opened.
    MainZulStudioView *studioWindow() const { return m_studio; }
    ZulCommandMenu *commandMenu() const { return m_commandMenu; }
    // Both null until the rest of start-up ran, right after the studio's
    // first frame.
    ZulTrayIcon *trayIcon() const { return m_tray; }
    QMenu *trayMenu() const { return m_trayMenu; }
    // Null until the tray icon was first clicked.
    ZulTrayPopoverWindow *popover() const { return m_popover; }

    // Opens the studio window (making it the first time), brings it forward
    // and hands the view model the way back to it.
    void openStudioWindow();

    // Shows the tray popover beside the icon, or hides it when it shows.
    void togglePopover(const QRect &iconGeometry);

    // Ends the application; the view model writes pending saves on the way out.
    void quit();
    static QKeySequence quitShortcut();

    // Asked when the studio window closes. Empty: whether the desktop has a tray.
    void setTrayAvailability(TrayAvailability availability) { m_trayAvailability = std::move(availability); }

    // The desktop's services with the real edge drawer and sticky panels.
    static ZulStudioEnvironment desktopEnvironment();
    // The editor the studio shows for a note: the full editor with its header.
    static MainZulStudioView::EditorFactory studioEditorFactory();

signals:
    // The rest of start-up has run: the tray, its menu and all else the
    // studio's first frame did not need are there.
    void startupCompleted();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool trayIsAvailable() const;
    // The studio window's size and place, kept in the settings file on
    // every close and at quitting, and given back at every opening; the
    // default size, centred, the first time or when no screen shows it.
    void keepStudioPlace();
    void restoreStudioPlace();
    void followLanguageInQtTexts();
    void quitUnlessPanelsAreOpen();
    // The tray and its menu, Qt's own texts in the interface language, the
    // global hotkeys, then the drawer and the stickies: nothing the studio's
    // first frame shows. Runs once.
    void completeStartup();

    std::unique_ptr<ZulStudioViewModel> m_viewModel;
    MainZulStudioView::EditorFactory m_makeEditor;
    ZulCommandMenu *m_commandMenu = nullptr;
    QMenu *m_trayMenu = nullptr;
    ZulTrayIcon *m_tray = nullptr;
    QPointer<MainZulStudioView> m_studio;
    QPointer<ZulTrayPopoverWindow> m_popover;
    TrayAvailability m_trayAvailability;
    bool m_quitting = false;
    // Qt's own texts in the interface language.
    QTranslator m_qtTexts;
    bool m_studioClosedWithoutTray = false;
    QTimer m_restOfStartup;
    bool m_startupCompleted = false;
};
