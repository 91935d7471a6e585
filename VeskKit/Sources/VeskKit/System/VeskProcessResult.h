#pragma once

#include <QByteArray>
#include <QString>

// What a finished tool left behind.
struct VeskProcessResult
{
    // The exit status, or the number of the signal that ended the tool.
    qint32 exitCode = 0;
    QByteArray stdout;
    QByteArray stderr;

    // The bytes as UTF-8; invalid sequences become U+FFFD.
    QString stdoutString() const { return QString::fromUtf8(stdout); }
    QString stderrString() const { return QString::fromUtf8(stderr); }

    friend bool operator==(const VeskProcessResult&, const VeskProcessResult&) = default;
};
