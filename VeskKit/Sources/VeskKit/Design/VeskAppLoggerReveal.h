#pragma once

#include "VeskKit/Cloud/VeskUrlOpener.h"

#include <memory>

class VeskAppLogger;

// Shows the logger's folder in the file manager, creating it first so there
// is always something to open. The desktop offers no portable way to select
// one file in its file manager, so the folder is opened even when the current
// log file exists. Failures are ignored.
void revealInFinder(const VeskAppLogger &logger,
                    const std::shared_ptr<VeskUrlOpener> &opener = VeskUrlOpener::desktop());
