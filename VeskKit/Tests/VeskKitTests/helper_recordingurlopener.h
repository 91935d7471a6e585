#pragma once

#include "VeskKit/Cloud/VeskUrlOpener.h"

#include <QList>
#include <QUrl>

// Keeps every address it is asked to open instead of starting a program.
class RecordingUrlOpener : public VeskUrlOpener
{
public:
    bool openUrl(const QUrl &url) override
    {
        opened.append(url);
        return true;
    }

    QList<QUrl> opened;
};
