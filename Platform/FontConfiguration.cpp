#include "FontConfiguration.h"

#include <fontconfig/fontconfig.h>

namespace FontConfiguration {

std::shared_future<void> loadAside()
{
    return std::async(std::launch::async, [] { FcInit(); }).share();
}

} // namespace FontConfiguration
