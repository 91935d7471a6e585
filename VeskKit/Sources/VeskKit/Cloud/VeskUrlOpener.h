#pragma once

#include <QUrl>

#include <memory>

// Hands an address to the desktop: a web page to the default browser, a
// folder to the file manager. Views take one so that a test can see what
// would have been opened without starting anything.
class VeskUrlOpener
{
public:
    virtual ~VeskUrlOpener() = default;

    // Whether the desktop accepted the address; callers may ignore it.
    virtual bool openUrl(const QUrl &url) = 0;

    // The real desktop (QDesktopServices), shared and never destroyed.
    static std::shared_ptr<VeskUrlOpener> desktop();
};
