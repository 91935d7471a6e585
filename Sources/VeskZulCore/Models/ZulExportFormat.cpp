#include "Models/ZulExportFormat.h"

QString rawValue(ZulExportFormat format)
{
    switch (format) {
    case ZulExportFormat::markdownWithResults:
        return QStringLiteral("markdownWithResults");
    case ZulExportFormat::plainText:
        return QStringLiteral("plainText");
    case ZulExportFormat::csv:
        return QStringLiteral("csv");
    }
    return {};
}

std::optional<ZulExportFormat> ZulExportFormatFromRaw(const QString &raw)
{
    for (ZulExportFormat format : ZulExportFormatAllCases()) {
        if (raw == rawValue(format))
            return format;
    }
    return std::nullopt;
}

const std::array<ZulExportFormat, 3> &ZulExportFormatAllCases()
{
    static const std::array<ZulExportFormat, 3> all = {
        ZulExportFormat::markdownWithResults, ZulExportFormat::plainText, ZulExportFormat::csv};
    return all;
}

QString fileExtension(ZulExportFormat format)
{
    switch (format) {
    case ZulExportFormat::markdownWithResults:
        return QStringLiteral("md");
    case ZulExportFormat::plainText:
        return QStringLiteral("txt");
    case ZulExportFormat::csv:
        return QStringLiteral("csv");
    }
    return {};
}
