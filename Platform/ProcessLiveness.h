#pragma once

#include <QtGlobal>

// Whether a process exists, asked with the null signal (kill with signal 0),
// which tests without delivering anything. A process of another user answers
// with EPERM and still counts as alive.
namespace ProcessLiveness {

// Identifiers of 0 or less, and any beyond the system's pid range, are never
// alive.
bool isAlive(qint64 pid);

} // namespace ProcessLiveness
