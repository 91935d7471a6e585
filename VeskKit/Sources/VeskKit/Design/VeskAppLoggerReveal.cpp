#include "VeskKit/Design/VeskAppLoggerReveal.h"

#include "VeskKit/Utilities/VeskAppLogger.h"

#include <QDir>

void revealInFinder(const VeskAppLogger &logger, const std::shared_ptr<VeskUrlOpener> &opener)
{
    QDir().mkpath(logger.logDirectoryURL());
    if (opener)
        opener->openUrl(QUrl::fromLocalFile(logger.logDirectoryURL()));
}
