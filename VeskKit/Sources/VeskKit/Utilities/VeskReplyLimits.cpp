#include "VeskKit/Utilities/VeskReplyLimits.h"

#include <QNetworkReply>
#include <QTimer>

std::shared_ptr<const VeskReplyCut> veskLimitReply(QNetworkReply *reply, std::chrono::milliseconds deadline,
                                                    qint64 maxBytes)
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
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [end, maxBytes](qint64 received, qint64 total) {
        if (received > maxBytes || total > maxBytes)
            end(VeskReplyCut::tooLarge);
    });
    QObject::connect(reply, &QNetworkReply::finished, timer, &QTimer::stop);
    timer->start(deadline);
    return cut;
}
