#include "VeskKit/System/VeskProcessRunner.h"

#include "VeskKit/System/VeskProcessCancellation.h"

#include "ChildProcess.h"

#include <QProcessEnvironment>

#include <csignal>

namespace VeskProcessRunner {

namespace {

bool isValidUtf8(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto* end = p + bytes.size();
    while (p < end) {
        const unsigned char lead = *p;
        int length = 0;
        char32_t min = 0;
        char32_t code = 0;
        if (lead < 0x80) {
            ++p;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            min = 0x80;
            code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            min = 0x800;
            code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            min = 0x10000;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (end - p < length)
            return false;
        for (int i = 1; i < length; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        p += length;
    }
    return true;
}

// Output of one run. The runner reads both pipes on one thread, so the
// buffers need no lock of their own.
class BoundedBuffer
{
public:
    explicit BoundedBuffer(bool keepFullStdout) : m_keepFullStdout(keepFullStdout) {}

    void appendOut(const QByteArray& bytes) { append(m_out, bytes, !m_keepFullStdout); }
    void appendErr(const QByteArray& bytes) { append(m_err, bytes, true); }
    const QByteArray& out() const { return m_out; }
    const QByteArray& err() const { return m_err; }

private:
    static void append(QByteArray& buffer, const QByteArray& bytes, bool trim)
    {
        buffer += bytes;
        if (trim && buffer.size() > tailLimit)
            buffer.remove(0, buffer.size() - tailLimit);
    }

    bool m_keepFullStdout;
    QByteArray m_out;
    QByteArray m_err;
};

} // namespace

VeskProcessRunOutcome run(const QString& executable, const QStringList& arguments,
                          const std::optional<QString>& workingDirectory,
                          const std::optional<QHash<QString, QString>>& environment,
                          bool captureFullStdout, VeskProcessCancellation* cancellation,
                          const OutputCallback& onOutput, std::optional<std::chrono::milliseconds> timeout)
{
    if (cancellation && cancellation->isCancelled())
        return VeskProcessRunOutcome::failure(VeskProcessError::cancelled());

    std::optional<QStringList> childEnvironment;
    if (environment) {
        QProcessEnvironment merged = QProcessEnvironment::systemEnvironment();
        for (auto it = environment->cbegin(); it != environment->cend(); ++it)
            merged.insert(it.key(), it.value());
        childEnvironment = merged.toStringList();
    }

    ChildProcess child;
    if (const std::error_code error = child.start(executable, arguments, workingDirectory, childEnvironment))
        return VeskProcessRunOutcome::failure(error);

    // Attached after the start, so a cancel that came in meanwhile stops the
    // tool at once instead of when it exits by itself.
    const quint64 token = cancellation ? cancellation->attach([&child] { child.signalGroup(SIGTERM); }) : 0;

    BoundedBuffer buffer(captureFullStdout);
    const auto forward = [&onOutput](const QByteArray& bytes) {
        if (onOutput && isValidUtf8(bytes))
            onOutput(QString::fromUtf8(bytes));
    };
    const ChildProcess::ChunkHandler whileRunning = [&](ChildProcess::Stream stream, const QByteArray& bytes) {
        if (stream == ChildProcess::Stream::StandardOutput)
            buffer.appendOut(bytes);
        else
            buffer.appendErr(bytes);
        forward(bytes);
    };

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    std::optional<Clock::time_point> stopRequestedAt;
    bool killed = false;
    bool timedOut = false;
    // A tool only ever needs watching when something may stop it.
    const bool watched = cancellation || timeout;

    for (;;) {
        int wait = watched ? 100 : -1;
        if (timeout && !stopRequestedAt) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(start + *timeout - Clock::now());
            wait = int(qBound(qint64(0), qint64(left.count()), qint64(wait)));
        }
        if (child.pump(wait, whileRunning))
            break;

        const auto now = Clock::now();
        if (!stopRequestedAt) {
            if (timeout && now - start >= *timeout) {
                timedOut = true;
                child.signalGroup(SIGTERM);
                stopRequestedAt = now;
            } else if (cancellation && cancellation->isCancelled()) {
                stopRequestedAt = now; // cancel() has sent SIGTERM already
            }
        } else if (!killed && now - *stopRequestedAt >= terminationGrace) {
            child.signalGroup(SIGKILL);
            killed = true;
        }
    }

    // Detached before the child is collected: its id may be reused after.
    if (cancellation)
        cancellation->detach(token);

    child.drain([&](ChildProcess::Stream stream, const QByteArray& bytes) {
        if (stream == ChildProcess::Stream::StandardOutput) {
            buffer.appendOut(bytes);
            forward(bytes);
        } else {
            buffer.appendErr(bytes);
        }
    });
    const int exitCode = child.reap();

    if (timedOut || (cancellation && cancellation->isCancelled()))
        return VeskProcessRunOutcome::failure(VeskProcessError::cancelled());
    return VeskProcessRunOutcome::success(VeskProcessResult{exitCode, buffer.out(), buffer.err()});
}

} // namespace VeskProcessRunner
