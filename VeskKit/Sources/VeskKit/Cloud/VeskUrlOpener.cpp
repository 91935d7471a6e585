#include "VeskKit/Cloud/VeskUrlOpener.h"

#include <QDesktopServices>

namespace {

class DesktopUrlOpener final : public VeskUrlOpener
{
public:
    bool openUrl(const QUrl &url) override { return QDesktopServices::openUrl(url); }
};

} // namespace

std::shared_ptr<VeskUrlOpener> VeskUrlOpener::desktop()
{
    static const std::shared_ptr<VeskUrlOpener> opener = std::make_shared<DesktopUrlOpener>();
    return opener;
}
