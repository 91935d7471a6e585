#include "ViewModels/ZulOrderedNotesWriter.h"

#include <QMetaObject>

#include <malloc.h>

#include <utility>

ZulOrderedNotesWriter::ZulOrderedNotesWriter(WriteFunction write, MeasureFunction measure, QObject *parent)
    : QObject(parent), m_write(std::move(write)), m_measure(std::move(measure))
{
    // One thread, first in first out: background writes run in ticket order.
    m_pool.setMaxThreadCount(1);
    m_pool.setExpiryTimeout(-1);
}

ZulOrderedNotesWriter::~ZulOrderedNotesWriter()
{
    waitForIdle();
}

quint64 ZulOrderedNotesWriter::writeInBackground(QList<ZulNote> notes)
{
    const quint64 ticket = ++m_latestTicket;
    m_pool.start([this, ticket, notes = std::move(notes)] {
        std::optional<Outcome> outcome = writeIfCurrent(ticket, notes, true);
        if (!outcome)
            return;
        // Typing into a long note leaves freed copies of its text, of its
        // results and of the file just written, which the allocator keeps
        // until asked to give them back. A save comes when the typing pauses
        // (or every few seconds of it), and this thread is not the one the
        // keys wait on: only the first key after it takes pages back.
        malloc_trim(0);
        // Posted to this object: a pending post is dropped with the object.
        QMetaObject::invokeMethod(
            this, [this, result = *outcome] { emit written(result); }, Qt::QueuedConnection);
    });
    return ticket;
}

ZulOrderedNotesWriter::Outcome ZulOrderedNotesWriter::writeNow(const QList<ZulNote> &notes)
{
    const quint64 ticket = ++m_latestTicket;
    // Never skipped: nothing newer can have been written before a ticket
    // that was the newest when it was handed out and is written at once.
    return writeIfCurrent(ticket, notes, false).value_or(Outcome{ticket, false, {}, {}, 0});
}

void ZulOrderedNotesWriter::waitForIdle()
{
    m_pool.waitForDone();
}

std::optional<ZulOrderedNotesWriter::Outcome>
ZulOrderedNotesWriter::writeIfCurrent(quint64 ticket, const QList<ZulNote> &notes, bool skipIfOvertaken)
{
    if (skipIfOvertaken && ticket < m_latestTicket.load())
        return std::nullopt;
    std::lock_guard<std::mutex> guard(m_writeLock);
    if (ticket <= m_lastWrittenTicket)
        return std::nullopt;
    const ZulResult<ZulSavedFile> result = m_write(notes);
    m_lastWrittenTicket = ticket;
    Outcome outcome;
    outcome.ticket = ticket;
    outcome.ok = result.ok();
    if (result.ok())
        outcome.preservedFilePath = result.value().preservedFilePath;
    else
        outcome.error = result.error();
    outcome.footprintBytes = m_measure ? m_measure() : 0;
    return outcome;
}
