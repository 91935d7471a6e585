#pragma once

#include <QString>

// The desktop clipboard, as far as the view model writes to it.
class ZulClipboard
{
public:
    virtual ~ZulClipboard() = default;

    // Clears whatever the clipboard holds, then puts the text on it as plain text.
    virtual void setText(const QString &text) = 0;
};
