#pragma once

#include <future>

// The system's font configuration read ahead of the first text. Reading it
// (dozens of small XML files, then the cache of every font folder) is the
// largest part of the first font Qt resolves; it needs nothing of Qt, so it
// can run on a thread of its own from the start of the process while the
// display is connected to. Qt's own reading then finds it done.
namespace FontConfiguration {

std::shared_future<void> loadAside();

} // namespace FontConfiguration
