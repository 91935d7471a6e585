#pragma once

#include "Models/CurrencyRateTable.h"

#include <QObject>

#include <functional>
#include <optional>

// One fetch of the latest exchange rates.
class ZulLiveRatesFetching
{
public:
    using Handler = std::function<void(std::optional<CurrencyRateTable>)>;

    virtual ~ZulLiveRatesFetching() = default;

    // Returns at once; `handler` runs once, later, on `receiver`'s thread,
    // with the merged live table or nothing. It does not run once `receiver`
    // is gone.
    virtual void fetchLiveRates(QObject *receiver, Handler handler) = 0;
};
