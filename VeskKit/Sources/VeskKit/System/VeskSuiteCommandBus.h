#pragma once

#include "VeskKit/System/VeskSuiteApp.h"
#include "VeskKit/System/VeskSuiteCommandEnvelope.h"
#include "VeskKit/System/VeskSuiteCommandKind.h"
#include "VeskKit/System/VeskSuiteTelemetryBus.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

// A one-way command channel between the suite's applications that needs no
// server and no open connection: the sender drops one envelope file per
// target into the Commands folder of the shared suite folder, then rings the
// target's session-bus doorbell ("com.quarnell.suite.command.<raw value in
// lower case>") when it runs, or starts it when it does not. The target takes
// the file out when the doorbell rings, and once shortly after it starts
// listening, so the command that started it is still carried out. A newer
// command for the same target replaces an older one that was not taken yet.
class VeskSuiteCommandBus
{
public:
    // Without a base folder the commands live in
    // $XDG_DATA_HOME/Quarnell/SuiteTelemetry/Commands; with one, in its
    // Commands folder. No file is touched here.
    explicit VeskSuiteCommandBus(const std::optional<QString> &baseDirectory = std::nullopt);

    VeskSuiteCommandBus(const VeskSuiteCommandBus &) = delete;
    VeskSuiteCommandBus &operator=(const VeskSuiteCommandBus &) = delete;

    // One bus on the default folder, made on first use.
    static VeskSuiteCommandBus &shared();

    static QString notificationName(VeskSuiteApp app);

    QString commandsDirectory() const { return m_commandsDirectory; }
    // "<raw value in lower case>-cmd.json" in the commands folder.
    QString commandFilePath(VeskSuiteApp app) const;

    // True once a new envelope is on disk and the target has been rung (and
    // raised, with bringToFront) or started. False, and nothing written, for
    // a targetPID below 2, or a target that is not running when it may not
    // be launched or is not installed; false too when the folder or file
    // cannot be written, and when the target could not be started (its
    // entry has no command, the program is missing or would not start), in
    // which case the command is taken back.
    bool send(VeskSuiteCommandKind kind, VeskSuiteApp from, VeskSuiteApp to, std::optional<qint32> targetPID,
              const std::optional<QString> &targetName, const std::optional<QString> &payload, bool launchIfNeeded,
              bool bringToFront) const;

    // Writes the envelope as its target's pending command; rings nothing and
    // starts nothing.
    bool enqueue(const VeskSuiteCommandEnvelope &envelope) const;

    // The app's pending command when it is addressed to the app and within
    // the age limit; the file stays as it is.
    std::optional<VeskSuiteCommandEnvelope> peekPendingCommand(VeskSuiteApp app, const QDateTime &now,
                                                               double maxAgeSeconds) const;
    // The same, but the file is taken out of the folder before it is read,
    // whatever it holds, so that of any number of consumers exactly one gets
    // each command and a bad file does not linger. A file that cannot be
    // read (not a regular file, too large, no permission) stays where it is.
    std::optional<VeskSuiteCommandEnvelope> consumePendingCommand(VeskSuiteApp app, const QDateTime &now,
                                                                  double maxAgeSeconds) const;

    // Hands the app's commands to `handler` on the main thread: one consume
    // per doorbell, and one 0.35 s from now for a command written before the
    // app listened. Commands older than 25 s are dropped unhandled. Destroying
    // the token stops the doorbell deliveries; once the bus is gone, doorbells
    // do nothing.
    VeskSuiteObserverToken startListening(VeskSuiteApp app,
                                          std::function<void(const VeskSuiteCommandEnvelope &)> handler) const;

private:
    // The bytes written, or nothing when the folder or file cannot be
    // written.
    std::optional<QByteArray> writeEnvelope(const VeskSuiteCommandEnvelope &envelope) const;
    // Removes the target's pending command if it is still the one written
    // as `written`.
    void withdraw(VeskSuiteApp target, const QByteArray &written) const;
    std::optional<VeskSuiteCommandEnvelope> decodeFor(VeskSuiteApp app, const QByteArray &data, const QDateTime &now,
                                                      double maxAgeSeconds) const;

    QString m_commandsDirectory;
    // Listeners hold this weakly to learn whether the bus still exists.
    std::shared_ptr<const bool> m_lifetime = std::make_shared<const bool>(true);
};
