#pragma once

#include "Models/ZulNote.h"
#include "ViewModels/ZulStudioEnvironment.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <functional>
#include <mutex>

// The one writer of the notes file. Every request carries the notes as they
// were when it was made and gets a ticket in request order; a write never
// lands after a write requested later, whichever thread either runs on. A
// background request that a later one overtakes before it starts is skipped:
// the later one holds newer notes.
class ZulOrderedNotesWriter : public QObject
{
    Q_OBJECT
public:
    using WriteFunction = ZulStudioEnvironment::NotesWriter;
    using MeasureFunction = std::function<qint64()>;

    struct Outcome
    {
        quint64 ticket = 0;
        bool ok = false;
        QString error;
        // Where a file in the way was moved before it was replaced.
        QString preservedFilePath;
        // The storage footprint measured right after the write.
        qint64 footprintBytes = 0;
    };

    // Both functions are called on the writer's thread and on the thread
    // that calls writeNow().
    ZulOrderedNotesWriter(WriteFunction write, MeasureFunction measure, QObject *parent = nullptr);
    // Waits for the queued writes: nothing requested is dropped.
    ~ZulOrderedNotesWriter() override;

    // Returns at once with the request's ticket. The outcome arrives through
    // written() on this object's thread, unless the write was skipped.
    quint64 writeInBackground(QList<ZulNote> notes);
    // Writes on the calling thread, after the write in progress if any.
    Outcome writeNow(const QList<ZulNote> &notes);
    // Returns when every queued write has been done or skipped.
    void waitForIdle();

signals:
    void written(const ZulOrderedNotesWriter::Outcome &outcome);

private:
    // Null when a later write has already landed, or the write was overtaken.
    std::optional<Outcome> writeIfCurrent(quint64 ticket, const QList<ZulNote> &notes, bool skipIfOvertaken);

    WriteFunction m_write;
    MeasureFunction m_measure;
    std::atomic<quint64> m_latestTicket{0};
    std::mutex m_writeLock;
    quint64 m_lastWrittenTicket = 0; // guarded by m_writeLock
    QThreadPool m_pool;
};
