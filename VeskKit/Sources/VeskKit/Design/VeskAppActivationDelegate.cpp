#include "VeskKit/Design/VeskAppActivationDelegate.h"

#include "VeskKit/Design/VeskPanelWindow.h"
#include "VeskKit/System/VeskReopenStudioWindowNotifier.h"
#include "VeskKit/Utilities/VeskAppLogger.h"
#include "VeskKit/Utilities/VeskAppVersion.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSysInfo>
#include <QTimer>
#include <QWindow>

namespace {

// Panels (tool windows and the kit's floating panels, ordinary windows to
// the window manager), dialogs, popups and windows that never take focus are
// passed over: they are the drawer, its handle, stickies and the like.
bool canBecomeMain(const QWindow* window)
{
    return window->type() == Qt::Window && !(window->flags() & Qt::WindowDoesNotAcceptFocus)
        && !VeskPanelWindow::isPanel(window);
}

QString processName()
{
    const QString path = QCoreApplication::applicationFilePath();
    if (!path.isEmpty())
        return QFileInfo(path).fileName();
    QFile comm(QStringLiteral("/proc/self/comm"));
    if (comm.open(QIODevice::ReadOnly))
        return QString::fromLocal8Bit(comm.readAll()).trimmed();
    return {};
}

} // namespace

VeskAppActivationDelegate::VeskAppActivationDelegate(QObject* parent)
    : VeskAppActivationDelegate(VeskBundle::main(), parent)
{
}

VeskAppActivationDelegate::VeskAppActivationDelegate(VeskBundle bundle, QObject* parent)
    : QObject(parent)
    , m_bundle(std::move(bundle))
{
}

void VeskAppActivationDelegate::applicationDidFinishLaunching()
{
    const QString name = applicationName(m_bundle);
    const VeskAppVersion version =
        VeskAppVersion::current(m_bundle, QStringLiteral("1.0.0"), QStringLiteral("100"));
    VeskAppLogger::shared(name)->log(
        VeskLogLevel::info, QStringLiteral("lifecycle"),
        launchMessage(name, version.shortVersion, version.buildNumber, QSysInfo::prettyProductName()));

    // A Linux application is always a regular one with a taskbar entry;
    // there is no activation policy to set.
    QTimer::singleShot(100, this, [] { bringStudioWindowToFront(); });
}

bool VeskAppActivationDelegate::applicationShouldHandleReopen(bool hasVisibleWindows)
{
    if (hasVisibleWindows)
        bringStudioWindowToFront();
    else
        VeskReopenStudioWindowNotifier::post();
    return true;
}

void VeskAppActivationDelegate::handleReopenRequest()
{
    applicationShouldHandleReopen(hasVisibleWindows());
}

void VeskAppActivationDelegate::bringStudioWindowToFront()
{
    const QWindowList windows = QGuiApplication::topLevelWindows();
    for (QWindow* window : windows) {
        if (!window->isVisible() || !canBecomeMain(window))
            continue;
        if (window->windowStates() & Qt::WindowMinimized)
            window->setWindowStates(window->windowStates() & ~Qt::WindowMinimized);
        window->raise();
        window->requestActivate();
        return;
    }
}

bool VeskAppActivationDelegate::hasVisibleWindows()
{
    const QWindowList windows = QGuiApplication::topLevelWindows();
    for (const QWindow* window : windows) {
        if (window->isVisible() && canBecomeMain(window) && !(window->windowStates() & Qt::WindowMinimized))
            return true;
    }
    return false;
}

QString VeskAppActivationDelegate::applicationName(const VeskBundle& bundle)
{
    for (const char* key : {"CFBundleDisplayName", "CFBundleName"}) {
        const QVariant value = bundle.object(QLatin1String(key));
        if (value.typeId() == QMetaType::QString)
            return value.toString();
    }
    return processName();
}

QString VeskAppActivationDelegate::launchMessage(const QString& name, const QString& shortVersion,
                                                 const QString& buildNumber, const QString& operatingSystem)
{
    return name + QStringLiteral(" v") + shortVersion + QStringLiteral(" (") + buildNumber + QStringLiteral(")")
        + QStringLiteral(" launched (") + operatingSystem + QStringLiteral(")");
}
