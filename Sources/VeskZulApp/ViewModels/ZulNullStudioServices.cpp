#include "ViewModels/ZulNullStudioServices.h"

#include <QPointer>
#include <QTimer>

void ZulInProcessWindowActivation::postReopenStudioWindow()
{
    emit reopenStudioWindowPosted();
}

QMetaObject::Connection ZulInProcessWindowActivation::observeReopenStudioWindow(QObject *receiver,
                                                                                std::function<void()> handler)
{
    // Queued: the observer acts after the poster has finished its own step.
    return connect(this, &ZulInProcessWindowActivation::reopenStudioWindowPosted, receiver, std::move(handler),
                   Qt::QueuedConnection);
}

void ZulOfflineRatesFetcher::fetchLiveRates(QObject *receiver, Handler handler)
{
    QTimer::singleShot(0, receiver, [handler = std::move(handler)] { handler(std::nullopt); });
}
