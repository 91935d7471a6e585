#include "App/VeskZulApp.h"
#include "App/ZulProcessEnd.h"
#include "App/ZulStartupProbe.h"
#include "App/ZulTerminationSignalHandler.h"
#include "VeskKit/Design/VeskAppActivationDelegate.h"
#include "VeskKit/System/VeskSingleInstance.h"
#include "ViewModels/ZulStudioViewModel.h"

#include <QApplication>
#include <QElapsedTimer>

#include <clocale>

int main(int argc, char *argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    // The user's locale for everything that asks the C library; the
    // computation core never does.
    std::setlocale(LC_ALL, "");

    int status = 0;
    QApplication application(argc, argv);
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

    VeskAppActivationDelegate delegate;
    QObject::connect(&instance, &VeskSingleInstance::reopenRequested, &delegate,
                     &VeskAppActivationDelegate::handleReopenRequest);

    // SIGTERM and SIGINT end the event loop in order, so the quit below runs.
    ZulTerminationSignalHandler terminationSignals;

    VeskZulApp app(ZulStorageService(), VeskZulApp::desktopEnvironment(), VeskZulApp::studioEditorFactory());
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
    return status;
}
