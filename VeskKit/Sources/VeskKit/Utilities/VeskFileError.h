#pragma once

#include <QFileDevice>
#include <QString>

// A file operation the platform refused, passed on as Qt reported it: which
// file, Qt's error code and its message.
struct VeskFileError {
    QString path;
    QFileDevice::FileError code = QFileDevice::UnspecifiedError;
    QString message;

    // The file and the message on one line, for logs.
    QString errorDescription() const { return path + QStringLiteral(": ") + message; }

    bool operator==(const VeskFileError&) const = default;
};
