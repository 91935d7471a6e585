// The first frame a user sees, against a peer calculator: VeskZul with
// 1,000 notes on disk and SpeedCrunch, launched in turn on one private Xvfb
// (no window manager), each timed from its launch to the first X damage on
// its main window, i.e. to the moment its first pixels reach the screen.
// Alternating the two keeps the machine's load alike for both. The
// iteration time is VeskZul's; the counters give the minimum and median
// of each and their ratios. Skipped where Xvfb or the peer is missing.
//
// Nothing of the application's own reporting is used, so both programs are
// measured the same way, from outside.
//
// Also, in the process: the application's start-up work itself, from making
// the view model over the notes on disk to the end of the studio's first
// paint, on the platform in QT_QPA_PLATFORM (offscreen under scripts/bench).
#include "App/VeskZulApp.h"
#include "BenchProfile.h"
#include "Services/ZulStorageService.h"
#include "VeskKit/System/VeskGlobalHotkeyManager.h"

#include <benchmark/benchmark.h>

#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <poll.h>
#include <set>
#include <signal.h>
#include <time.h>
#include <vector>

namespace {

QString appExecutable()
{
    return qEnvironmentVariable("VESK_BENCH_APP", QStringLiteral(VESK_APP_EXECUTABLE));
}

// The X damage extension spoken directly (only its headers for the wire
// format are needed, no client library): a damage object per window that
// reports once, when anything is first drawn into it.
xcb_extension_t damageExtension = {"DAMAGE", 0};
constexpr uint8_t kDamageQueryVersion = 0;
constexpr uint8_t kDamageCreate = 1;
constexpr uint8_t kReportNonEmpty = 3;
constexpr int kMainWindowSide = 200;

struct DamageQueryVersionRequest {
    uint8_t majorOpcode;
    uint8_t minorOpcode;
    uint16_t length;
    uint32_t majorVersion;
    uint32_t minorVersion;
};

struct DamageCreateRequest {
    uint8_t majorOpcode;
    uint8_t minorOpcode;
    uint16_t length;
    uint32_t damage;
    uint32_t drawable;
    uint8_t level;
    uint8_t pad[3];
};

template<typename Request>
unsigned int sendDamageRequest(xcb_connection_t *connection, Request &request, uint8_t opcode, bool withReply)
{
    const xcb_protocol_request_t protocol = {1, &damageExtension, opcode, uint8_t(withReply ? 0 : 1)};
    // Two slots before the request belong to the library.
    iovec parts[3] = {};
    parts[2].iov_base = &request;
    parts[2].iov_len = sizeof(Request);
    return xcb_send_request(connection, withReply ? XCB_REQUEST_CHECKED : 0, parts + 2, &protocol);
}

class DamageWatch {
public:
    ~DamageWatch()
    {
        if (m_connection)
            xcb_disconnect(m_connection);
    }

    bool open(const QByteArray &display, std::string &error)
    {
        m_connection = xcb_connect(display.constData(), nullptr);
        if (xcb_connection_has_error(m_connection)) {
            error = "could not connect to Xvfb";
            return false;
        }
        const xcb_query_extension_reply_t *extension = xcb_get_extension_data(m_connection, &damageExtension);
        if (!extension || !extension->present) {
            error = "the X server has no damage extension";
            return false;
        }
        m_damageNotify = extension->first_event;
        DamageQueryVersionRequest query{0, 0, 0, 1, 1};
        xcb_generic_error_t *failure = nullptr;
        free(xcb_wait_for_reply(m_connection, sendDamageRequest(m_connection, query, kDamageQueryVersion, true),
                                &failure));
        if (failure) {
            free(failure);
            error = "the damage extension refused its version";
            return false;
        }
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &events);
        xcb_flush(m_connection);
        return true;
    }

    // Forgets the windows of the last launch and what was queued since.
    void reset()
    {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection))
            free(event);
        m_watched.clear();
    }

    // Waits for the first damage on a top-level window made since reset().
    bool awaitFirstDamage(int timeoutMs)
    {
        QElapsedTimer limit;
        limit.start();
        pollfd descriptor{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        while (limit.elapsed() < timeoutMs) {
            while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
                const uint8_t type = event->response_type & 0x7f;
                bool damaged = false;
                if (type == XCB_CREATE_NOTIFY) {
                    const auto *created = reinterpret_cast<xcb_create_notify_event_t *>(event);
                    // The main window, not the small ones that may come
                    // before it (a drawer's handle at the screen's edge).
                    if (created->parent == m_root && created->width >= kMainWindowSide
                        && created->height >= kMainWindowSide)
                        watch(created->window);
                } else if (type == m_damageNotify) {
                    // The drawable follows the event's type, level and sequence.
                    uint32_t drawable = 0;
                    std::memcpy(&drawable, reinterpret_cast<const char *>(event) + 4, sizeof drawable);
                    damaged = m_watched.count(drawable) > 0;
                }
                free(event);
                if (damaged)
                    return true;
            }
            if (xcb_connection_has_error(m_connection))
                return false;
            ::poll(&descriptor, 1, 20);
        }
        return false;
    }

private:
    void watch(xcb_window_t window)
    {
        // A window that cannot be drawn into (input only) answers with an
        // error event, which the loop above passes over.
        DamageCreateRequest create{0, 0, 0, xcb_generate_id(m_connection), window, kReportNonEmpty, {}};
        sendDamageRequest(m_connection, create, kDamageCreate, false);
        xcb_flush(m_connection);
        m_watched.insert(window);
    }

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = 0;
    uint8_t m_damageNotify = 0;
    std::set<uint32_t> m_watched;
};

struct Contest {
    QTemporaryDir home;
    std::unique_ptr<QProcess> xvfb;
    QByteArray display;
    QString peer;
    DamageWatch damage;

    bool prepare(int noteCount, std::string &error)
    {
        peer = QStandardPaths::findExecutable(QStringLiteral("speedcrunch"));
        const QString server = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (peer.isEmpty() || server.isEmpty()) {
            error = "needs Xvfb and speedcrunch";
            return false;
        }
        const QDir root(home.path());
        for (const char *folder : {"data", "config", "cache", "runtime"})
            root.mkpath(QString::fromLatin1(folder));
        QFile::setPermissions(root.filePath("runtime"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        const ZulStorageService storage(root.filePath("data/Quarnell/VeskZul"));
        if (!storage.saveNotes(BenchProfile::mixedCollection(noteCount))) {
            error = "could not write the notes";
            return false;
        }
        xvfb = std::make_unique<QProcess>();
        display = BenchProfile::startXvfb(server, *xvfb);
        if (display.isEmpty()) {
            error = "Xvfb did not start";
            return false;
        }
        return damage.open(display, error);
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const QDir root(home.path());
        environment.insert("HOME", home.path());
        environment.insert("XDG_DATA_HOME", root.filePath("data"));
        environment.insert("XDG_CONFIG_HOME", root.filePath("config"));
        environment.insert("XDG_CACHE_HOME", root.filePath("cache"));
        environment.insert("XDG_RUNTIME_DIR", root.filePath("runtime"));
        environment.insert("DISPLAY", QString::fromLatin1(display));
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.remove("VESKZUL_STARTUP_PROBE");
        environment.remove("DBUS_SESSION_BUS_ADDRESS");
        return environment;
    }

    // Milliseconds from launching `program` to its first frame; the program
    // is then asked to end and waited for, so the next launch starts alone.
    std::optional<double> firstFrame(const QString &program)
    {
        damage.reset();
        QProcess process;
        process.setProcessEnvironment(environment());
        QElapsedTimer clock;
        clock.start();
        process.start(program, {});
        const bool painted = process.waitForStarted(10000) && damage.awaitFirstDamage(30000);
        const double elapsed = double(clock.nsecsElapsed()) / 1e6;
        if (process.state() != QProcess::NotRunning) {
            ::kill(pid_t(process.processId()), SIGTERM);
            if (!process.waitForFinished(15000)) {
                process.kill();
                process.waitForFinished(5000);
            }
        }
        return painted ? std::optional<double>(elapsed) : std::nullopt;
    }

    ~Contest()
    {
        if (xvfb) {
            xvfb->terminate();
            xvfb->waitForFinished(5000);
        }
    }
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void firstFrameAgainstSpeedCrunch(benchmark::State &state)
{
    Contest contest;
    std::string error;
    if (!contest.prepare(int(state.range(0)), error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    // One launch of each first, unmeasured: both then start from a warm file
    // cache and the peer from its settings of a first run.
    if (!contest.firstFrame(appExecutable()) || !contest.firstFrame(contest.peer)) {
        state.SkipWithError("a program showed no window");
        return;
    }
    std::vector<double> ours;
    std::vector<double> peers;
    for (auto _ : state) {
        const std::optional<double> peer = contest.firstFrame(contest.peer);
        const std::optional<double> own = contest.firstFrame(appExecutable());
        if (!peer || !own) {
            state.SkipWithError("a program showed no window within 30 s");
            return;
        }
        peers.push_back(*peer);
        ours.push_back(*own);
        state.SetIterationTime(*own / 1000.0);
    }
    if (ours.empty())
        return;
    const double ourMin = *std::min_element(ours.begin(), ours.end());
    const double peerMin = *std::min_element(peers.begin(), peers.end());
    state.counters["veskzul_min_ms"] = ourMin;
    state.counters["veskzul_median_ms"] = median(ours);
    state.counters["speedcrunch_min_ms"] = peerMin;
    state.counters["speedcrunch_median_ms"] = median(peers);
    state.counters["ratio_min"] = ourMin / peerMin;
    state.counters["ratio_median"] = median(ours) / median(peers);
}
BENCHMARK(firstFrameAgainstSpeedCrunch)->Arg(1000)->UseManualTime()->Iterations(7)->Unit(benchmark::kMillisecond);

// Stops the wait below once the studio's first paint on the screen is over
// (a paint while it is not shown yet only draws into an image).
class FirstPaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->objectName() == QLatin1String("studio")
            && static_cast<QWidget *>(watched)->isVisible())
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

// What the calling thread has run for, however loaded the machine is.
double mainThreadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The application made over `range(0)` notes on disk and its studio opened,
// until the studio's first paint has ended; everything is made anew per
// iteration except what the process keeps (fonts, symbol outlines), so
// first_ms is the first iteration alone, as a launch meets it, and
// main_thread_cpu_ms what the main thread ran for on average.
void studioToFirstPaint(benchmark::State &state)
{
    QTemporaryDir folder;
    if (!BenchProfile::write(folder.path(), BenchProfile::mixedCollection(int(state.range(0))))) {
        state.SkipWithError("could not write the notes");
        return;
    }
    ZulStudioEnvironment environment = VeskZulApp::desktopEnvironment();
    environment.makeHotkeyManager = [] { return std::unique_ptr<VeskGlobalHotkeyManager>(); };
    double first = -1;
    double busy = 0;
    for (auto _ : state) {
        const double cpuBefore = mainThreadCpuMs();
        QElapsedTimer clock;
        clock.start();
        auto app = std::make_unique<VeskZulApp>(ZulStorageService(folder.path()), environment,
                                                VeskZulApp::studioEditorFactory());
        FirstPaintWatch watch;
        qApp->installEventFilter(&watch);
        app->openStudioWindow();
        QElapsedTimer limit;
        limit.start();
        while (!watch.painted && limit.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        const double elapsed = double(clock.nsecsElapsed()) / 1e9;
        busy += mainThreadCpuMs() - cpuBefore;
        state.SetIterationTime(elapsed);
        if (first < 0)
            first = elapsed * 1000;
        if (!watch.painted) {
            state.SkipWithError("the studio was never painted");
            return;
        }
        state.PauseTiming();
        qApp->removeEventFilter(&watch);
        // What start-up leaves for later runs and is gone before the next.
        for (int turn = 0; turn < 20; ++turn)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        app.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["first_ms"] = first;
    if (state.iterations() > 0)
        state.counters["main_thread_cpu_ms"] = busy / double(state.iterations());
}
BENCHMARK(studioToFirstPaint)->Arg(1000)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // Nothing here may touch the real home folder.
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_CACHE_HOME", home.filePath(QStringLiteral("cache")).toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
