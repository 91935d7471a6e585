#pragma once

#include <QtGlobal>

#include <chrono>
#include <memory>

class QNetworkReply;

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
std::shared_ptr<const VeskReplyCut> veskLimitReply(QNetworkReply *reply, std::chrono::milliseconds deadline,
                                                    qint64 maxBytes = veskMaxReplyBytes);
