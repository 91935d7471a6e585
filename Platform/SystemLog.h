#pragma once

#include <QString>

// The system log (syslog(3)). Records carry the subsystem and category that the
// kit's loggers name; syslog has no such fields, so both lead the message text.
namespace SystemLog {

enum class Type { Debug, Info, Error };

struct Record {
    QString subsystem;
    QString category;
    Type type = Type::Info;
    QString text;
};

// A replacement destination for records, so tests can see what would have gone
// to the system log without filling the machine's journal.
using Sink = void (*)(const Record&);

// Whether records of this type currently pass the process's syslog mask
// (always true while a sink is installed).
bool isEnabled(Type type);

void write(const Record& record);

// Installs a sink (nullptr restores syslog) and returns the previous one.
Sink setSink(Sink sink);

} // namespace SystemLog
