#pragma once

#include "VeskKit/System/VeskProcessError.h"
#include "VeskKit/System/VeskProcessResult.h"
#include "VeskKit/Utilities/VeskResult.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <optional>
#include <system_error>
#include <variant>

class VeskProcessCancellation;

// Why a run gave no result: VeskProcessError::cancelled (also for a run
// that timed out), or the system's own error for a tool that could not be
// started (missing file, no permission, ...), passed on unchanged.
using VeskProcessRunError = std::variant<VeskProcessError, std::error_code>;
using VeskProcessRunOutcome = VeskResult<VeskProcessResult, VeskProcessRunError>;

// Runs command-line tools for the kit's users.
namespace VeskProcessRunner {

// Bytes kept of each stream, the newest ones, unless full output is asked for.
inline constexpr qsizetype tailLimit = 32768;

// How long a tool asked to stop may take before it is killed outright.
inline constexpr std::chrono::milliseconds terminationGrace{2000};

using OutputCallback = std::function<void(const QString&)>;

// Starts executable with arguments exactly as given (no shell is involved),
// standard input reading nothing, and blocks the calling thread until the
// tool exits. environment, when given, is laid over this process's own.
// Standard output keeps its last tailLimit bytes unless captureFullStdout;
// standard error always keeps its last tailLimit bytes. onOutput receives
// every chunk that is valid UTF-8 on its own, from the running thread.
// A cancel (from any thread) or the optional timeout stops the tool and its
// children (SIGTERM, then SIGKILL after terminationGrace) and makes the run
// end with VeskProcessError::cancelled. A non-zero exit is no error here.
VeskProcessRunOutcome run(const QString& executable, const QStringList& arguments,
                          const std::optional<QString>& workingDirectory = std::nullopt,
                          const std::optional<QHash<QString, QString>>& environment = std::nullopt,
                          bool captureFullStdout = false,
                          VeskProcessCancellation* cancellation = nullptr,
                          const OutputCallback& onOutput = {},
                          std::optional<std::chrono::milliseconds> timeout = std::nullopt);

} // namespace VeskProcessRunner
