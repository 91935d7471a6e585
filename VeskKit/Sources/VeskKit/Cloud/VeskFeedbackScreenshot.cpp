#include "VeskKit/Cloud/VeskFeedbackScreenshot.h"

#include "VeskKit/Utilities/VeskByteFormatter.h"

QString VeskFeedbackScreenshot::formattedSize() const
{
    return VeskByteFormatter::format(data.size());
}
