#pragma once

// Fakes and fixtures shared by the studio view model tests: a storage folder
// of its own per test, a clock the test sets, recording stand-ins for the
// drawer, the stickies, the clipboard, the save dialog, the rate service and
// the key grabber, and a notes writer the test can slow down or break.

#include "GlobalKeyGrabber.h"
#include "Models/ZulNote.h"
#include "Services/ZulStorageService.h"
#include "VeskKit/System/VeskGlobalHotkeyManager.h"
#include "VeskKit/Utilities/VeskAppLogger.h"
#include "ViewModels/ZulClipboard.h"
#include "ViewModels/ZulEdgeDrawerControlling.h"
#include "ViewModels/ZulLiveRatesFetching.h"
#include "ViewModels/ZulSaveFileChooser.h"
#include "ViewModels/ZulStickyControlling.h"
#include "ViewModels/ZulStudioEnvironment.h"
#include "ViewModels/ZulStudioViewModel.h"
#include "ViewModels/ZulStudioWindowActivation.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMenu>
#include <QMutex>
#include <QMutexLocker>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

namespace studiotest {

// Clocks the test moves by hand; each runs with real time until set.
struct TestClock
{
    std::optional<QDateTime> fixed;
    QDateTime now() const { return fixed ? *fixed : QDateTime::currentDateTimeUtc(); }
    std::optional<std::chrono::steady_clock::time_point> steady;
    std::chrono::steady_clock::time_point steadyNow() const
    {
        return steady ? *steady : std::chrono::steady_clock::now();
    }
};

struct DrawerLog
{
    int created = 0;
    int opens = 0;
    int closes = 0;
    int hides = 0;
    QList<ZulEdgeSide> placements;
    bool open = false;
};

class FakeDrawer final : public ZulEdgeDrawerControlling
{
public:
    FakeDrawer(std::shared_ptr<DrawerLog> log, ZulStudioViewModel &viewModel)
        : m_log(std::move(log)), m_viewModel(&viewModel)
    {
        ++m_log->created;
    }
    bool isDrawerOpen() const override { return m_log->open; }
    void openDrawer() override
    {
        ++m_log->opens;
        m_log->open = true;
        m_viewModel->setIsEdgeDrawerOpen(true);
    }
    void closeDrawer() override
    {
        if (!m_log->open)
            return;
        ++m_log->closes;
        m_log->open = false;
        m_viewModel->setIsEdgeDrawerOpen(false);
    }
    void syncEdgePlacement(ZulEdgeSide side) override { m_log->placements.append(side); }
    void hideAll() override
    {
        ++m_log->hides;
        m_log->open = false;
        m_viewModel->setIsEdgeDrawerOpen(false);
    }

private:
    std::shared_ptr<DrawerLog> m_log;
    ZulStudioViewModel *m_viewModel;
};

struct StickyLog
{
    int created = 0;
    QList<QUuid> shown;
    QList<QUuid> closed;
};

class FakeSticky final : public ZulStickyControlling
{
public:
    explicit FakeSticky(std::shared_ptr<StickyLog> log) : m_log(std::move(log)) { ++m_log->created; }
    void showSticky(const QUuid &id) override { m_log->shown.append(id); }
    void closeSticky(const QUuid &id) override { m_log->closed.append(id); }

private:
    std::shared_ptr<StickyLog> m_log;
};

class FakeClipboard final : public ZulClipboard
{
public:
    void setText(const QString &text) override
    {
        this->text = text;
        ++writes;
    }
    QString text;
    int writes = 0;
};

class FakeSaveChooser final : public ZulSaveFileChooser
{
public:
    std::optional<QString> chooseSaveLocation(const QString &proposedFileName, ZulExportFormat format) override
    {
        proposedNames.append(proposedFileName);
        formats.append(format);
        return answer;
    }
    std::optional<QString> answer;
    QStringList proposedNames;
    QList<ZulExportFormat> formats;
};

class FakeRatesFetcher final : public ZulLiveRatesFetching
{
public:
    void fetchLiveRates(QObject *receiver, Handler handler) override
    {
        ++requests;
        m_receiver = receiver;
        m_handler = std::move(handler);
    }
    // Answers the outstanding request.
    void answer(std::optional<CurrencyRateTable> table)
    {
        QVERIFY(m_handler);
        Handler handler = std::exchange(m_handler, {});
        if (m_receiver)
            handler(std::move(table));
    }
    int requests = 0;

private:
    QPointer<QObject> m_receiver;
    Handler m_handler;
};

class FakeKeyGrabber final : public GlobalKeyGrabber
{
public:
    bool isAvailable() const override { return true; }
    std::optional<quint64> grab(quint32 keysym, quint32 modifiers) override
    {
        grabs.append({keysym, modifiers});
        return quint64(grabs.size());
    }
    void ungrab(quint64) override {}
    void press(quint64 grabId) { emit activated(grabId); }
    QList<std::pair<quint32, quint32>> grabs;
};

// Records every write; can be told to fail or to take its time.
struct WriteLog
{
    QMutex lock;
    std::atomic<int> started{0};
    QList<QList<ZulNote>> writes;
    std::atomic<bool> failing{false};
    std::chrono::milliseconds delayFirst{0};
    int writeCount()
    {
        QMutexLocker guard(&lock);
        return int(writes.size());
    }
};

inline ZulStudioEnvironment::NotesWriter recordingWriter(std::shared_ptr<WriteLog> log, ZulStorageService storage)
{
    return [log, storage](const QList<ZulNote> &notes) -> ZulResult<ZulSavedFile> {
        const bool firstCall = ++log->started == 1;
        std::chrono::milliseconds delay{0};
        bool failing = false;
        {
            QMutexLocker guard(&log->lock);
            if (firstCall)
                delay = log->delayFirst;
            failing = log->failing.load();
        }
        if (delay.count() > 0)
            std::this_thread::sleep_for(delay);
        QMutexLocker guard(&log->lock);
        log->writes.append(notes);
        if (failing)
            return ZulResult<ZulSavedFile>::failure(QStringLiteral("disk full"));
        return storage.saveNotes(notes);
    };
}

inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline ZulNote makeNote(const QString &title, const QString &content, const QDateTime &updatedAt)
{
    ZulNote note;
    note.id = QUuid::createUuid();
    note.title = title;
    note.content = content;
    note.createdAt = updatedAt;
    note.updatedAt = updatedAt;
    return note;
}

// Everything one test needs: a storage folder, the fakes, and the view model
// built over them once the test has laid out the files.
class Studio
{
public:
    Studio()
        : storage(folder.path()),
          drawers(std::make_shared<DrawerLog>()),
          stickies(std::make_shared<StickyLog>()),
          clipboard(std::make_shared<FakeClipboard>()),
          chooser(std::make_shared<FakeSaveChooser>()),
          rates(std::make_shared<FakeRatesFetcher>()),
          writes(std::make_shared<WriteLog>()),
          clock(std::make_shared<TestClock>())
    {
    }

    // Writes the notes file the view model will find.
    void seed(const QList<ZulNote> &notes) const { QVERIFY(storage.saveNotes(notes).ok()); }

    ZulStudioEnvironment environment()
    {
        ZulStudioEnvironment environment;
        auto drawerLog = drawers;
        environment.makeEdgeDrawerController = [drawerLog](ZulStudioViewModel &viewModel) {
            return std::make_unique<FakeDrawer>(drawerLog, viewModel);
        };
        auto stickyLog = stickies;
        environment.makeStickyController = [stickyLog](ZulStudioViewModel &) {
            return std::make_unique<FakeSticky>(stickyLog);
        };
        environment.clipboard = clipboard;
        environment.saveFileChooser = chooser;
        environment.liveRatesFetcher = rates;
        environment.windowActivation = activation;
        FakeKeyGrabber *keys = &grabber;
        environment.makeHotkeyManager = [keys] { return std::make_unique<VeskGlobalHotkeyManager>(keys); };
        environment.notesWriter = recordingWriter(writes, storage);
        auto testClock = clock;
        environment.clock = [testClock] { return testClock->now(); };
        environment.steadyClock = [testClock] { return testClock->steadyNow(); };
        environment.autoTidyInterval = tidyInterval;
        environment.nativeWayland = nativeWayland;
        environment.startsAfterFirstFrame = startsAfterFirstFrame;
        return environment;
    }

    ZulStudioViewModel &start()
    {
        viewModel = std::make_unique<ZulStudioViewModel>(storage, environment());
        return *viewModel;
    }

    QByteArray notesFileBytes() const { return fileBytes(storage.notesFileURL()); }

    QList<ZulNote> notesOnDisk() const
    {
        const auto decoded = ZulStorageService::decodeNotes(notesFileBytes());
        return decoded.ok() ? decoded.value() : QList<ZulNote>();
    }

    QTemporaryDir folder;
    ZulStorageService storage;
    std::shared_ptr<DrawerLog> drawers;
    std::shared_ptr<StickyLog> stickies;
    std::shared_ptr<FakeClipboard> clipboard;
    std::shared_ptr<FakeSaveChooser> chooser;
    std::shared_ptr<FakeRatesFetcher> rates;
    std::shared_ptr<WriteLog> writes;
    std::shared_ptr<TestClock> clock;
    // None: the in-process stand-in.
    std::shared_ptr<ZulStudioWindowActivation> activation;
    FakeKeyGrabber grabber;
    std::chrono::milliseconds tidyInterval{std::chrono::seconds(1800)};
    bool nativeWayland = false;
    bool startsAfterFirstFrame = false;
    std::unique_ptr<ZulStudioViewModel> viewModel;
};

// Points the process's data and config folders at a private temporary
// folder before the shared logger or any setting is first touched.
class PrivateHome
{
public:
    PrivateHome()
    {
        qputenv("XDG_DATA_HOME", QDir(home.path()).filePath(QStringLiteral("data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", QDir(home.path()).filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_CACHE_HOME", QDir(home.path()).filePath(QStringLiteral("cache")).toUtf8());
    }
    QString configPath() const { return QDir(home.path()).filePath(QStringLiteral("config")); }
    QTemporaryDir home;
};

inline std::shared_ptr<VeskAppLogger> appLogger()
{
    return VeskAppLogger::shared(QStringLiteral("VeskZul"));
}

// Messages of the log's current file, oldest first.
inline QStringList loggedMessages(VeskLogLevel minimum = VeskLogLevel::debug)
{
    QStringList messages;
    const QList<VeskLogEntry> entries = appLogger()->recentEntries(10000, minimum);
    for (auto entry = entries.crbegin(); entry != entries.crend(); ++entry)
        messages.append(entry->message);
    return messages;
}

// Pixels of an area whose colour passes the test.
template <typename Test>
int countPixels(const QImage &image, const QRect &area, Test test)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += test(image.pixelColor(x, y)) ? 1 : 0;
    return count;
}

// How a pop-up menu, opened and drawn as the user sees it, falls short of
// the dark glass look: a light ground, or an item whose text, or symbol
// where it has one, cannot be made out. Empty when it does not; `shot`
// receives the drawn menu.
inline QString menuLookFault(QMenu *menu, QImage *shot = nullptr)
{
    menu->popup(QPoint(40, 40));
    if (!QTest::qWaitForWindowExposed(menu))
        return QStringLiteral("never shown");
    const QImage image = menu->grab().toImage();
    menu->hide();
    if (shot)
        *shot = image;
    const int ground = qGray(image.pixel(image.width() / 2, 2)); // inside its padding
    if (ground >= 80)
        return QStringLiteral("a light ground, grey %1").arg(ground);
    // What of an area can be made out: grey well apart from the ground's.
    const auto legible = [&](const QRect &area) {
        return countPixels(image, area, [&](const QColor &c) { return std::abs(qGray(c.rgb()) - ground) >= 50; });
    };
    int brightest[2] = {0, 0}; // of disabled and of enabled items' ink
    for (QAction *action : menu->actions()) {
        const QRect row = menu->actionGeometry(action);
        const QRect symbol(row.topLeft(), QSize(row.height(), row.height()));
        if (!action->isSeparator() &&
            (legible(row.adjusted(row.height(), 0, 0, 0)) < 20 || (!action->icon().isNull() && legible(symbol) < 12)))
            return action->text() + QStringLiteral(" cannot be made out");
        for (int y = row.top(); y <= row.bottom() && !action->isSeparator(); ++y)
            for (int x = row.left() + row.height(); x <= row.right(); ++x)
                brightest[action->isEnabled()] = std::max(brightest[action->isEnabled()], qGray(image.pixel(x, y)));
    }
    if (brightest[0] > 0 && brightest[0] >= brightest[1] - 40) // dimmer, never embossed brighter
        return QStringLiteral("disabled as bright as enabled: %1 against %2").arg(brightest[0]).arg(brightest[1]);
    return {};
}

inline QList<QUuid> ids(const QList<ZulNote> &notes)
{
    QList<QUuid> result;
    for (const ZulNote &note : notes)
        result.append(note.id);
    return result;
}

} // namespace studiotest
