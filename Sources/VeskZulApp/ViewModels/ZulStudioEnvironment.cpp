#include "ViewModels/ZulStudioEnvironment.h"

#include "ViewModels/ZulDesktopStudioServices.h"

ZulStudioEnvironment ZulStudioEnvironment::desktop()
{
    ZulStudioEnvironment environment;
    environment.clipboard = std::make_shared<ZulSystemClipboard>();
    environment.saveFileChooser = std::make_shared<ZulFileDialogSaveChooser>();
    environment.liveRatesFetcher = std::make_shared<ZulNetworkRatesFetcher>();
    environment.windowActivation = std::make_shared<ZulDesktopWindowActivation>();
    return environment;
}
