#include "App/VeskZulApp.h"
#include "App/ZulAllocatorPolicy.h"
#include "App/ZulDataFolderClaim.h"
#include "App/ZulProcessEnd.h"
#include "App/ZulStartupProbe.h"
#include "App/ZulTerminationSignalHandler.h"
#include "App/ZulWindowSystemChoice.h"
#include "FontConfiguration.h"
#include "VeskKit/Design/Emblems/VeskAppIcon.h"
#include "VeskKit/Design/VeskAppActivationDelegate.h"
#include "VeskKit/System/VeskSingleInstance.h"
#include "VeskKit/Utilities/VeskAppLogger.h"
#include "ViewModels/ZulStudioViewModel.h"
#include "X11Display.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <vector>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

int main(int argc, char *argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    applyLongTextAllocatorPolicy();
    // The user's locale for everything that asks the C library; the
    // computation core never does.
    std::setlocale(LC_ALL, "");
    // Read while the display is connected to; the first text waits for it.
    const std::shared_future<void> fontConfiguration = FontConfiguration::loadAside();

    // The notes file is read and decoded while Qt connects to the display
    // and loads its plugins; the view model waits for it where it needs it.
    // Only a file that is there: making the starter notes is left to the
    // view model, as is everything that asks for the settings.
    // Never read while another copy may write: the folder's lock first,
    // taken here at once when no other copy holds it, else after the
    // hand-over has been tried.
    const ZulStorageService storage;
    std::optional<FolderLock> dataLock = FolderLock::take(
        storage.baseDirectory(), QString::fromLatin1(ZulDataFolderClaim::lockFileName), std::chrono::milliseconds(0));
    std::shared_future<ZulNotesLoadReport> notes;
    if (dataLock->state() != FolderLock::State::heldElsewhere && QFileInfo::exists(storage.notesFileURL()))
        notes = std::async(std::launch::async, [storage] { return storage.loadNotesReporting(); }).share();

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const ZulWindowSystemChoice::Choice platform = ZulWindowSystemChoice::choose(
        arguments, [](const char *name) { return qgetenv(name); }, X11Display::isReachable);
    // Asked for on the command line rather than through QT_QPA_PLATFORM, so
    // the programs the application starts (a browser) choose for themselves.
    std::vector<char *> args(argv, argv + argc);
    char platformOption[] = "-platform";
    QByteArray platformName = platform.platform;
    if (!platformName.isEmpty()) {
        args.push_back(platformOption);
        args.push_back(platformName.data());
    }
    int count = int(args.size());
    args.push_back(nullptr);
    int status = 0;
    QApplication application(count, args.data());
    ZulProcessEnd::atApplicationEnd(application, status);
    QCoreApplication::setOrganizationName(QStringLiteral("Quarnell"));
    QCoreApplication::setApplicationName(QStringLiteral("VeskZul"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("VeskZul"));
    QGuiApplication::setDesktopFileName(QStringLiteral("com.quarnell.VeskZul"));
    // The tray keeps the application alive with no window open.
    QApplication::setQuitOnLastWindowClosed(false);

    // A second launch hands over to the running copy and leaves.
    VeskSingleInstance instance(QStringLiteral("com.quarnell.VeskZul"));
    if (instance.claim() == VeskSingleInstance::Role::handedOver)
        return 0;
    // A running copy that did not take the hand-over still holds the data.
    if (dataLock->state() == FolderLock::State::heldElsewhere) {
        dataLock = ZulDataFolderClaim::take(storage.baseDirectory(), VeskLanguage::current());
        if (!dataLock) {
            status = 1; // what the process ends with when the application object goes
            return status;
        }
    }

    // Every window carries the icon the desktop entry names, drawn the same way.
    QGuiApplication::setWindowIcon(VeskAppIcon::windowIcon(VeskAppIdentity::veskZul, VeskProductPalette::deepIndigo));

    VeskAppActivationDelegate delegate;
    QObject::connect(&instance, &VeskSingleInstance::reopenRequested, &delegate,
                     &VeskAppActivationDelegate::handleReopenRequest);

    // SIGTERM and SIGINT end the event loop in order, so the quit below runs.
    ZulTerminationSignalHandler terminationSignals;

    ZulStudioEnvironment environment = VeskZulApp::desktopEnvironment();
    // Qt would otherwise read the font configuration a second time, alongside.
    fontConfiguration.wait();
    if (notes.valid())
        environment.loadNotes = [notes] { return notes.get(); };
    VeskZulApp app(storage, std::move(environment), VeskZulApp::studioEditorFactory());
#if defined(__GLIBC__)
    // Reading the notes file leaves most of what it took free but held; it
    // is given back once the first frame is out of the way.
    QObject::connect(&app, &VeskZulApp::startupCompleted, &app, [] { malloc_trim(0); });
#endif
    if (!platform.reason.isEmpty())
        app.viewModel().logger().log(VeskLogLevel::info, QStringLiteral("lifecycle"), platform.reason);
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &app, [&app, &instance] {
        app.viewModel().flushPendingSaves();
        // Saved: a launch from now on starts afresh instead of handing over
        // to a copy that is ending.
        instance.release();
    });

    app.openStudioWindow();
    if (ZulStartupProbe::isRequested())
        new ZulStartupProbe(app.studioWindow(), sinceStart, &app);
    delegate.applicationDidFinishLaunching();

    status = application.exec();
    // What the user made is on disk by now: the save still in its pause is
    // written on the way out, and the log is written a line at a time. So
    // the process ends here instead of freeing every note and result one by
    // one, which with a large collection takes longer than starting did. A
    // sanitizer build frees everything, for the leak check that ends it.
    app.viewModel().flushPendingSaves();
#if !defined(__SANITIZE_ADDRESS__)
    std::fflush(nullptr);
    std::_Exit(status);
#endif
    return status;
}
