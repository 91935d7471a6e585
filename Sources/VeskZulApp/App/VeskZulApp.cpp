#include "App/VeskZulApp.h"

#include "App/ZulCommandMenu.h"
#include "App/ZulTrayIcon.h"
#include "VeskKit/Design/VeskAppActivationDelegate.h"
#include "VeskKit/Design/VeskContextMenuKey.h"
#include "VeskKit/Design/VeskFieldFocus.h"
#include "VeskKit/Design/VeskGlassMenu.h"
#include "VeskKit/Design/VeskProductPalette.h"
#include "VeskKit/Design/VeskWheelFocus.h"
#include "VeskKit/Design/VeskWindowSystem.h"
#include "VeskKit/Localization/VeskUserDefaults.h"
#include "VeskKit/Localization/VeskText.h"
#include "ViewModels/ZulStudioViewModel.h"
#include "Views/ComputationalEditorView.h"
#include "Views/EdgeDrawerController.h"
#include "Views/FloatingStickyNoteController.h"
#include "Views/ZulScreenLayout.h"
#include "Views/ZulTrayPopoverWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QMenu>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>

#include <algorithm>

namespace {

// Where the studio window was left, in the application's settings file:
// Qt's own record (size, place, maximised, the screens of the time) and the
// frame alone, to tell whether that place is still on a screen.
const QString kStudioGeometryKey = QStringLiteral("studioWindow/geometry");
const QString kStudioFrameKey = QStringLiteral("studioWindow/frame");

} // namespace

VeskZulApp::VeskZulApp(ZulStorageService storage, ZulStudioEnvironment environment,
                       MainZulStudioView::EditorFactory makeEditor, QObject *parent)
    : QObject(parent),
      m_viewModel(std::make_unique<ZulStudioViewModel>(std::move(storage), std::move(environment))),
      m_makeEditor(std::move(makeEditor))
{
    // Menus Qt builds by itself (a text field's edit menu) must not come up
    // light on the dark windows either.
    VeskGlassMenu::applyApplicationWide(VeskProductPalette::deepIndigo);
    VeskWheelFocus::applyApplicationWide();
    VeskContextMenuKey::applyApplicationWide();
    VeskFieldFocus::applyApplicationWide();
    m_commandMenu = new ZulCommandMenu(*m_viewModel);
    connect(m_viewModel.get(), &ZulStudioViewModel::languageChanged, this, &VeskZulApp::followLanguageInQtTexts);

    // What the studio's first frame does not show waits for it; with no
    // studio being opened, for the next turn of the event loop.
    m_restOfStartup.setSingleShot(true);
    connect(&m_restOfStartup, &QTimer::timeout, this, &VeskZulApp::completeStartup);
    m_restOfStartup.start(0);

    // Seen before any window's own handling, so the key quits wherever the
    // keyboard is, the studio hidden or not.
    qApp->installEventFilter(this);
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (m_studio && m_studio->isVisible())
            keepStudioPlace();
    });
}

void VeskZulApp::completeStartup()
{
    if (m_startupCompleted)
        return;
    m_startupCompleted = true;
    m_restOfStartup.stop();
    followLanguageInQtTexts();
    m_trayMenu = new VeskGlassMenu();
    m_trayMenu->addActions(m_commandMenu->actions());
    m_trayMenu->addSeparator();
    // The desktop has no application menu to quit from; the tray's menu is it.
    QAction *quit = m_trayMenu->addAction(QString(), this, &VeskZulApp::quit);
    quit->setShortcut(quitShortcut());
    auto retitleQuit = [this, quit] {
        quit->setText(veskText(QStringLiteral("Quit VeskZul"), QStringLiteral("VeskZul'den Çık"),
                               m_viewModel->language()));
    };
    retitleQuit();
    connect(m_viewModel.get(), &ZulStudioViewModel::languageChanged, quit, retitleQuit);
    m_tray = new ZulTrayIcon(*m_viewModel, this);
    m_tray->setContextMenu(m_trayMenu);
    // A click opens the popover beside the icon (a second click closes it).
    m_tray->setClickAction([this](const QRect &iconGeometry) { togglePopover(iconGeometry); });
    m_viewModel->firstFrameShown();
    emit startupCompleted();
}

QKeySequence VeskZulApp::quitShortcut()
{
    return QKeySequence(Qt::CTRL | Qt::Key_Q);
}

void VeskZulApp::quit()
{
    // Quitting closes every window, the studio among them; that close must
    // not start a second quit.
    if (m_quitting)
        return;
    const QScopedValueRollback<bool> quitting(m_quitting, true);
    QCoreApplication::quit();
}

bool VeskZulApp::trayIsAvailable() const
{
    return m_trayAvailability ? m_trayAvailability() : QSystemTrayIcon::isSystemTrayAvailable();
}

bool VeskZulApp::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (QKeySequence(key->keyCombination()) == quitShortcut()) {
            quit();
            return true;
        }
    } else if (event->type() == QEvent::Paint && !m_startupCompleted && m_studio && watched == m_studio.data()
               && m_studio->isVisible()) {
        // Run once this paint, and with it the first frame, is over.
        m_restOfStartup.start(0);
    } else if (event->type() == QEvent::Close && m_studio && watched == m_studio.data()) {
        keepStudioPlace();
        if (!trayIsAvailable()) {
            m_studioClosedWithoutTray = true;
            quitUnlessPanelsAreOpen();
        }
    } else if (event->type() == QEvent::Hide && m_studioClosedWithoutTray && watched->isWidgetType()
               && static_cast<QWidget *>(watched)->isWindow()) {
        // A sticky or the drawer closing may have been the last way back.
        quitUnlessPanelsAreOpen();
    }
    return QObject::eventFilter(watched, event);
}

void VeskZulApp::quitUnlessPanelsAreOpen()
{
    // An open sticky or drawer still shows the notes, and Ctrl+Q there still
    // quits; once they are gone too, nothing would be left to bring the
    // application back or end it.
    const QList<ZulNote> &notes = m_viewModel->notes();
    const bool floating = std::any_of(notes.cbegin(), notes.cend(), [](const ZulNote &note) { return note.isFloatingSticky; });
    if (!floating && !m_viewModel->isEdgeDrawerOpen())
        quit();
}

void VeskZulApp::togglePopover(const QRect &iconGeometry)
{
    if (!m_popover)
        m_popover = new ZulTrayPopoverWindow(m_viewModel.get(), [this] { openStudioWindow(); },
                                             accentColor(VeskProductPalette::deepIndigo));
    m_popover->toggleNear(iconGeometry.isEmpty() ? std::nullopt : std::optional<QRect>(iconGeometry));
}

VeskZulApp::~VeskZulApp()
{
    // Windows closed on the way out are not the user's closing.
    qApp->removeEventFilter(this);
    delete m_popover.data();
    delete m_studio.data();
    delete m_trayMenu;
    delete m_commandMenu;
}

ZulStudioEnvironment VeskZulApp::desktopEnvironment()
{
    ZulStudioEnvironment environment = ZulStudioEnvironment::desktop();
    environment.nativeWayland = VeskWindowSystem::isNativeWayland();
    environment.startsAfterFirstFrame = true;
    environment.makeEdgeDrawerController = [](ZulStudioViewModel &viewModel) {
        return std::make_unique<EdgeDrawerController>(viewModel);
    };
    environment.makeStickyController = [](ZulStudioViewModel &viewModel) {
        return std::make_unique<FloatingStickyNoteController>(viewModel);
    };
    return environment;
}

MainZulStudioView::EditorFactory VeskZulApp::studioEditorFactory()
{
    return [](ZulStudioViewModel &viewModel, const QUuid &noteID, QWidget *parent) -> QWidget * {
        return new ComputationalEditorView(&viewModel, noteID, false, true, parent);
    };
}

void VeskZulApp::openStudioWindow()
{
    m_studioClosedWithoutTray = false;
    if (!m_studio) {
        auto *studio = new MainZulStudioView(*m_viewModel, accentColor(VeskProductPalette::deepIndigo), m_makeEditor);
        studio->setObjectName(QStringLiteral("studio"));
        studio->setWindowTitle(QStringLiteral("VeskZul"));
        studio->setMinimumSize(minimumWidth, minimumHeight);
        // Closing hides the window; with a tray the application stays there.
        studio->setAttribute(Qt::WA_DeleteOnClose, false);
        // The command menu without a tray to open it from.
        studio->setCommandMenu(m_commandMenu);
        m_studio = studio;
        m_viewModel->bindStudioWindowOpener([this] { openStudioWindow(); });
        // At its own size before it is first drawn, so its layouts are made
        // once, at the size it shows at.
        restoreStudioPlace();
        // Drawn once, when it is first exposed; the rest of start-up waits
        // for that, or for firstFrameWaitMs where no exposure comes.
        if (!m_startupCompleted)
            m_restOfStartup.start(firstFrameWaitMs);
    } else if (!m_studio->isVisible()) {
        // Shown again after a close, the window manager would place it anew.
        restoreStudioPlace();
    }
    if (m_studio->isMinimized())
        m_studio->showNormal();
    else
        m_studio->show();
    m_studio->raise();
    m_studio->activateWindow();
    VeskAppActivationDelegate::bringStudioWindowToFront();
}

void VeskZulApp::followLanguageInQtTexts()
{
    // What Qt draws by itself (the save dialog, a text field's edit menu)
    // speaks the interface language too; installing the catalog tells every
    // widget, so the change is live.
    QCoreApplication::removeTranslator(&m_qtTexts);
    if (m_qtTexts.load(m_viewModel->language().locale(), QStringLiteral("qt"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&m_qtTexts);
}

void VeskZulApp::keepStudioPlace()
{
    VeskUserDefaults::setValue(kStudioGeometryKey, m_studio->saveGeometry());
    VeskUserDefaults::setValue(kStudioFrameKey, m_studio->frameGeometry());
}

void VeskZulApp::restoreStudioPlace()
{
    const QByteArray saved = VeskUserDefaults::value(kStudioGeometryKey).toByteArray();
    const ZulScreenLayout layout = ZulScreenLayout::current();
    const QRectF frame = ZulScreenCoordinates::toBottomLeft(VeskUserDefaults::value(kStudioFrameKey).toRectF(),
                                                            layout.flipAxis);
    if (!saved.isEmpty() && layout.isReachable(frame)
        && m_studio->restoreGeometry(saved))
        return;
    // First start, or a place no screen shows any more.
    m_studio->resize(defaultWidth, defaultHeight);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        const QSize room = (available.size() - m_studio->frameGeometry().size()).expandedTo(QSize(0, 0));
        m_studio->move(available.topLeft() + QPoint(room.width() / 2, room.height() / 2));
    }
}
