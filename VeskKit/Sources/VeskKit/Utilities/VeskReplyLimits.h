#pragma once

#include <QObject>
#include <QTimer>
#include <QtGlobal>

#include <chrono>
#include <memory>

// The web services answer in a few kilobytes; a body far larger is not an
// answer, and is not worth holding in memory.
inline constexpr qint64 veskMaxReplyBytes = 1024 * 1024;

// What cut a limited reply short, if anything did.
enum class VeskReplyCut { none, deadline, tooLarge };

// Bounds one reply: the whole exchange must end within the deadline (not
// only each silence, so a server that trickles bytes cannot hold the caller),
// and the body may not pass maxBytes (a declared length over it is refused
// before the body comes). A reply that passes a limit is aborted and finishes
// as any aborted reply does; the value returned, read once the reply has
// finished, says which limit ended it. Call it right after sending, before
// connecting to the reply's finished signal.
//
// `Reply` is QNetworkReply; written for any type with its downloadProgress
// and finished signals and abort(), the foundation needs no network module
// and only the callers that make replies link one.
template <typename Reply>
std::shared_ptr<const VeskReplyCut> veskLimitReply(Reply *reply, std::chrono::milliseconds deadline,
                                                    qint64 maxBytes = veskMaxReplyBytes)
{
    auto cut = std::make_shared<VeskReplyCut>(VeskReplyCut::none);
    auto end = [reply, cut](VeskReplyCut why) {
        // The last progress may come when the reply counts as finished, with
        // the whole body in: it is refused all the same.
        if (*cut != VeskReplyCut::none)
            return;
        *cut = why;
        reply->abort();
    };

    // Precise: a coarse timer may fire up to 5 % before the promised time.
    auto *timer = new QTimer(reply);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, reply, [end] { end(VeskReplyCut::deadline); });
    QObject::connect(reply, &Reply::downloadProgress, reply, [end, maxBytes](qint64 received, qint64 total) {
        if (received > maxBytes || total > maxBytes)
            end(VeskReplyCut::tooLarge);
    });
    QObject::connect(reply, &Reply::finished, timer, &QTimer::stop);
    timer->start(deadline);
    return cut;
}
