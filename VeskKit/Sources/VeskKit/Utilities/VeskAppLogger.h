#pragma once

#include "VeskKit/Utilities/VeskAppVersion.h"
#include "VeskKit/Utilities/VeskLogEntry.h"
#include "VeskKit/Utilities/VeskLogLevel.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>

// One application's runtime log: JSON lines in
// $XDG_DATA_HOME/Quarnell/<application>/logs/<stem>.log, rotated by size,
// with secrets removed from every message and each entry mirrored to the
// system log. Any thread may use it; file work is serialised by its own lock.
class VeskAppLogger
{
public:
    // Must be callable from any thread; asked once per entry.
    using VersionProvider = std::function<VeskAppVersion()>;

    // Touches no file or folder. Without a directory the log lives in
    // $XDG_DATA_HOME/Quarnell/<appName>/logs. maxFileBytes is at least 4096,
    // maxRotatedFiles at least 1.
    VeskAppLogger(const QString& appName, const std::optional<QString>& directory, quint64 maxFileBytes,
                  int maxRotatedFiles, VersionProvider versionProvider);

    VeskAppLogger(const VeskAppLogger&) = delete;
    VeskAppLogger& operator=(const VeskAppLogger&) = delete;

    // The process-wide logger for this exact name, made on first request with
    // 2 MiB files and five rotated files; later providers are ignored.
    static std::shared_ptr<VeskAppLogger> shared(const QString& appName, VersionProvider versionProvider = {});

    const QString& appName() const { return m_appName; }
    const QString& logDirectoryURL() const { return m_logDirectoryURL; }
    const QString& currentLogFileURL() const { return m_currentLogFileURL; }
    quint64 maxFileBytes() const { return m_maxFileBytes; }
    int maxRotatedFiles() const { return m_maxRotatedFiles; }

    // Never throws and reports nothing: a line that cannot be written is noted
    // on standard error and dropped.
    void log(VeskLogLevel level, const QString& category, const QString& message) noexcept;
    void debug(const QString& message, const QString& category) noexcept;
    void info(const QString& message, const QString& category) noexcept;
    void warn(const QString& message, const QString& category) noexcept;
    void error(const QString& message, const QString& category) noexcept;

    // Bearer tokens, API keys and key=value secrets replaced by placeholders.
    static QString redactSecrets(const QString& text);

    // Newest first, from the current file only; a limit below 1 gives nothing.
    QList<VeskLogEntry> recentEntries(int limit, VeskLogLevel minimumLevel) const;
    // The same entries oldest first, one line each, no line feed after the last.
    QString exportPlainText(int limit, VeskLogLevel minimumLevel) const;
    // Removes the current and rotated files; the folder stays.
    void clear();

private:
    // Path of rotated file n (1 is the newest): the current file's name plus ".n".
    QString rotatedLogFileURL(int n) const;
    void rotateIfNeededLocked();
    bool appendLocked(const QByteArray& bytes, QString& failure);

    QString m_appName;
    QString m_logDirectoryURL;
    QString m_currentLogFileURL;
    quint64 m_maxFileBytes;
    int m_maxRotatedFiles;
    mutable std::mutex m_lock;
    QString m_systemLogSubsystem;
    VersionProvider m_versionProvider;
};
