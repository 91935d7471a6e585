#pragma once

#include "Models/ZulExportFormat.h"

#include <QString>

#include <optional>

// Asks the user where to write an exported note.
class ZulSaveFileChooser
{
public:
    virtual ~ZulSaveFileChooser() = default;

    // A modal choice that offers exactly the format's file type, proposes
    // `proposedFileName` and lets the user create folders. Nothing when the
    // user cancels.
    virtual std::optional<QString> chooseSaveLocation(const QString &proposedFileName,
                                                      ZulExportFormat format) = 0;
};
