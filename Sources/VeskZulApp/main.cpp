#include "App/VeskZulApp.h"
#include "App/ZulStartupProbe.h"
#include "App/ZulTerminationSignalHandler.h"
#include "VeskKit/Design/VeskAppActivationDelegate.h"
#include "VeskKit/System/VeskSingleInstance.h"
#include "ViewModels/ZulStudioViewModel.h"

#include <QApplication>
#include <QElapsedTimer>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

int main(int argc, char *argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    // The user's locale for everything that asks the C library; the
    // computation core never does.
    std::setlocale(LC_ALL, "");

    QApplication application(argc, argv);
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

    VeskAppActivationDelegate delegate;
    QObject::connect(&instance, &VeskSingleInstance::reopenRequested, &delegate,
                     &VeskAppActivationDelegate::handleReopenRequest);

    // SIGTERM and SIGINT end the event loop in order, so the quit below runs.
    ZulTerminationSignalHandler terminationSignals;

    VeskZulApp app(ZulStorageService(), VeskZulApp::desktopEnvironment(), VeskZulApp::studioEditorFactory());
#if defined(__GLIBC__)
    // Reading the notes file leaves most of what it took free but held.
    malloc_trim(0);
#endif
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &app,
                     [&app] { app.viewModel().flushPendingSaves(); });

    app.openStudioWindow();
    if (ZulStartupProbe::isRequested())
        new ZulStartupProbe(app.studioWindow(), sinceStart, &app);
    delegate.applicationDidFinishLaunching();

    const int code = application.exec();
    // What the user made is on disk by now: the save still in its pause is
    // written on the way out, and the log is written a line at a time. So
    // the process ends here instead of freeing every note and result one by
    // one, which with a large collection takes longer than starting did. A
    // sanitizer build frees everything, for its leak check to see.
    app.viewModel().flushPendingSaves();
#if !defined(__SANITIZE_ADDRESS__)
    std::fflush(nullptr);
    std::_Exit(code);
#endif
    return code;
}
