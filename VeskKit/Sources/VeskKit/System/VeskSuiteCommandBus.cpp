#include "VeskKit/System/VeskSuiteCommandBus.h"

#include "VeskKit/System/VeskSuiteJson.h"
#include "VeskKit/System/VeskSuiteWorkspace.h"

#include "SessionBusSignal.h"
#include "SharedFile.h"
#include "UserFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

namespace {

constexpr qint64 maxEnvelopeFileBytes = 1024 * 1024;
constexpr double listenerMaxAgeSeconds = 25;
constexpr int startupCheckDelayMs = 350;

QString defaultCommandsDirectory()
{
    return UserFolders::dataHome() + QStringLiteral("/Quarnell/SuiteTelemetry/Commands");
}

std::optional<QByteArray> readEnvelopeFile(const QString &path)
{
    return SharedFile::read(path, maxEnvelopeFileBytes);
}

// A name in the same folder that no other consumer, in this process or
// another, will choose; hidden, so that folder listings pass it by.
QString claimPath(const QString &commandFile)
{
    const QFileInfo file(commandFile);
    return file.dir().filePath(QStringLiteral(".%1.claimed-%2-%3")
                                   .arg(file.fileName())
                                   .arg(QCoreApplication::applicationPid())
                                   .arg(QUuid::createUuid().toString(QUuid::Id128)));
}

// Moves the command file to a name of this call's own. Only one rename of a
// file can succeed, so of all consumers exactly one gets it; and a command
// written afterwards lands beside it, out of reach of this call.
std::optional<QString> claim(const QString &commandFile)
{
    QString claimed = claimPath(commandFile);
    if (!SharedFile::renameWithoutReplacing(commandFile, claimed))
        return std::nullopt;
    return claimed;
}

// Puts a claimed file back where it was, unless a newer command has taken
// that place meanwhile: the newer one replaces it, as a later write would.
void unclaim(const QString &claimed, const QString &commandFile)
{
    if (!SharedFile::renameWithoutReplacing(claimed, commandFile))
        QFile::remove(claimed);
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

std::optional<QByteArray> VeskSuiteCommandBus::writeEnvelope(const VeskSuiteCommandEnvelope &envelope) const
{
    if (!QDir().mkpath(m_commandsDirectory))
        return std::nullopt;
    const std::optional<QJsonObject> encoded = envelope.toJson();
    if (!encoded)
        return std::nullopt;
    const QByteArray data = VeskSuiteJson::encode(*encoded);
    if (!SharedFile::replaceWhole(commandFilePath(envelope.targetApp), data).failure.isEmpty())
        return std::nullopt;
    return data;
}

void VeskSuiteCommandBus::withdraw(VeskSuiteApp target, const QByteArray &written) const
{
    // A fresh id makes every envelope's bytes unique: anything else is a
    // newer command from another sender, which stays and is not even moved
    // aside, lest its consumer find the place empty.
    const QString path = commandFilePath(target);
    if (readEnvelopeFile(path) != written)
        return;
    const std::optional<QString> claimed = claim(path);
    if (!claimed)
        return;
    if (readEnvelopeFile(*claimed) == written)
        QFile::remove(*claimed);
    else
        unclaim(*claimed, path);
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
    const std::optional<QByteArray> written = writeEnvelope(envelope);
    if (!written)
        return false;

    if (wasRunning) {
        SessionBusSignal::post(notificationName(to), std::nullopt);
        if (bringToFront)
            to.launch();
        return true;
    }
    // The started application finds the file through its start-up check.
    const std::optional<QUrl> location = to.installedURL();
    if (location && VeskSuiteWorkspace::openApplication(*location, bringToFront))
        return true;
    // Nothing was started that would read it; left behind, it would be
    // carried out by whichever start came next, long after the sender gave up.
    withdraw(to, *written);
    return false;
}

bool VeskSuiteCommandBus::enqueue(const VeskSuiteCommandEnvelope &envelope) const
{
    return writeEnvelope(envelope).has_value();
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
    const std::optional<QByteArray> data = readEnvelopeFile(commandFilePath(app));
    if (!data)
        return std::nullopt;
    return decodeFor(app, *data, now, maxAgeSeconds);
}

std::optional<VeskSuiteCommandEnvelope> VeskSuiteCommandBus::consumePendingCommand(VeskSuiteApp app,
                                                                                   const QDateTime &now,
                                                                                   double maxAgeSeconds) const
{
    const QString path = commandFilePath(app);
    const std::optional<QString> claimed = claim(path);
    if (!claimed)
        return std::nullopt;
    const std::optional<QByteArray> data = readEnvelopeFile(*claimed);
    // What cannot be read is no command of ours to drop.
    if (!data) {
        unclaim(*claimed, path);
        return std::nullopt;
    }
    QFile::remove(*claimed);
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
