#include "VeskKit/System/VeskSuiteCommandBus.h"

#include "VeskKit/System/VeskSuiteJson.h"
#include "VeskKit/System/VeskSuiteWorkspace.h"

#include "SessionBusSignal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

namespace {

constexpr qint64 maxEnvelopeFileBytes = 1024 * 1024;
constexpr double listenerMaxAgeSeconds = 25;
constexpr int startupCheckDelayMs = 350;

QString defaultCommandsDirectory()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/.local/share");
    return folder + QStringLiteral("/Quarnell/SuiteTelemetry/Commands");
}

std::optional<QByteArray> readWhole(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxEnvelopeFileBytes)
        return std::nullopt;
    return file.readAll();
}

// Runs `call` on the main thread after `delayMs`, whichever thread asks.
void afterDelayOnMainThread(int delayMs, std::function<void()> call)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return;
    if (QThread::currentThread() == app->thread()) {
        QTimer::singleShot(delayMs, app, std::move(call));
        return;
    }
    QMetaObject::invokeMethod(
        app, [delayMs, call = std::move(call)] { QTimer::singleShot(delayMs, QCoreApplication::instance(), call); },
        Qt::QueuedConnection);
}

} // namespace

VeskSuiteCommandBus::VeskSuiteCommandBus(const std::optional<QString> &baseDirectory)
    : m_commandsDirectory(baseDirectory ? QDir(*baseDirectory).filePath(QStringLiteral("Commands"))
                                        : defaultCommandsDirectory())
{
}

VeskSuiteCommandBus &VeskSuiteCommandBus::shared()
{
    static VeskSuiteCommandBus bus;
    return bus;
}

QString VeskSuiteCommandBus::notificationName(VeskSuiteApp app)
{
    return QStringLiteral("com.quarnell.suite.command.") + app.rawValue().toLower();
}

QString VeskSuiteCommandBus::commandFilePath(VeskSuiteApp app) const
{
    return QDir(m_commandsDirectory).filePath(app.rawValue().toLower() + QStringLiteral("-cmd.json"));
}

bool VeskSuiteCommandBus::writeEnvelope(const VeskSuiteCommandEnvelope &envelope) const
{
    if (!QDir().mkpath(m_commandsDirectory))
        return false;
    const std::optional<QJsonObject> encoded = envelope.toJson();
    if (!encoded)
        return false;
    const QByteArray data = VeskSuiteJson::encode(*encoded);
    QSaveFile file(commandFilePath(envelope.targetApp));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool VeskSuiteCommandBus::send(VeskSuiteCommandKind kind, VeskSuiteApp from, VeskSuiteApp to,
                               std::optional<qint32> targetPID, const std::optional<QString> &targetName,
                               const std::optional<QString> &payload, bool launchIfNeeded, bool bringToFront) const
{
    // Process ids 0 and 1 (and negative ones) never name a process a command
    // could be about.
    if (targetPID && *targetPID < 2)
        return false;
    const bool wasRunning = to.isRunning();
    if (!wasRunning && (!launchIfNeeded || !to.isInstalled()))
        return false;

    const VeskSuiteCommandEnvelope envelope(QUuid::createUuid(), QDateTime::currentDateTimeUtc(), from, to, kind,
                                            targetPID, targetName, payload);
    if (!writeEnvelope(envelope))
        return false;

    if (wasRunning) {
        SessionBusSignal::post(notificationName(to), std::nullopt);
        if (bringToFront)
            to.launch();
        return true;
    }
    const std::optional<QUrl> location = to.installedURL();
    // The file stays: the target's next consume takes or discards it.
    if (!location)
        return false;
    // The started application finds the file through its start-up check.
    VeskSuiteWorkspace::openApplication(*location, bringToFront);
    return true;
}

bool VeskSuiteCommandBus::enqueue(const VeskSuiteCommandEnvelope &envelope) const
{
    return writeEnvelope(envelope);
}

std::optional<VeskSuiteCommandEnvelope> VeskSuiteCommandBus::decodeFor(VeskSuiteApp app, const QByteArray &data,
                                                                       const QDateTime &now,
                                                                       double maxAgeSeconds) const
{
    const std::optional<QJsonObject> object = VeskSuiteJson::decodeObject(data);
    if (!object)
        return std::nullopt;
    std::optional<VeskSuiteCommandEnvelope> envelope = VeskSuiteCommandEnvelope::fromJson(*object);
    if (!envelope || envelope->targetApp != app
        || !VeskSuiteJson::isWithinAge(envelope->timestamp, now, maxAgeSeconds))
        return std::nullopt;
    return envelope;
}

std::optional<VeskSuiteCommandEnvelope> VeskSuiteCommandBus::peekPendingCommand(VeskSuiteApp app,
                                                                                const QDateTime &now,
                                                                                double maxAgeSeconds) const
{
    const std::optional<QByteArray> data = readWhole(commandFilePath(app));
    if (!data)
        return std::nullopt;
    return decodeFor(app, *data, now, maxAgeSeconds);
}

std::optional<VeskSuiteCommandEnvelope> VeskSuiteCommandBus::consumePendingCommand(VeskSuiteApp app,
                                                                                   const QDateTime &now,
                                                                                   double maxAgeSeconds) const
{
    const QString path = commandFilePath(app);
    const std::optional<QByteArray> data = readWhole(path);
    if (!data)
        return std::nullopt;
    QFile::remove(path);
    return decodeFor(app, *data, now, maxAgeSeconds);
}

VeskSuiteObserverToken
VeskSuiteCommandBus::startListening(VeskSuiteApp app,
                                    std::function<void(const VeskSuiteCommandEnvelope &)> handler) const
{
    const std::weak_ptr<const bool> lifetime = m_lifetime;
    const VeskSuiteCommandBus *bus = this;
    // Every consume and handler call happens on the main thread, so the bus
    // cannot go away between the check and the use.
    const auto consumeAndHandle = [lifetime, bus, app, handler] {
        if (lifetime.expired() || !handler)
            return;
        if (const std::optional<VeskSuiteCommandEnvelope> envelope =
                bus->consumePendingCommand(app, QDateTime::currentDateTimeUtc(), listenerMaxAgeSeconds))
            handler(*envelope);
    };

    VeskSuiteObserverToken token = SessionBusSignal::observe(
        notificationName(app), [consumeAndHandle](const std::optional<QString> &) {
            if (QCoreApplication *main = QCoreApplication::instance())
                QMetaObject::invokeMethod(main, consumeAndHandle, Qt::QueuedConnection);
        });
    afterDelayOnMainThread(startupCheckDelayMs, consumeAndHandle);
    return token;
}
