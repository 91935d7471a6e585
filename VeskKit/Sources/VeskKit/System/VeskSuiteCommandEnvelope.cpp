#include "VeskKit/System/VeskSuiteCommandEnvelope.h"

#include "VeskKit/System/VeskSuiteJson.h"

#include <QRegularExpression>

#include <limits>

namespace {

std::optional<QUuid> parseUuid(const QString &text)
{
    // QUuid reads braces and mixed forms too; the file holds the plain
    // hyphenated text.
    static const QRegularExpression form(
        QStringLiteral("^[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}$"));
    if (!form.match(text).hasMatch())
        return std::nullopt;
    return QUuid::fromString(text);
}

} // namespace

VeskSuiteCommandEnvelope::VeskSuiteCommandEnvelope(QUuid id, QDateTime timestamp, VeskSuiteApp sourceApp,
                                                   VeskSuiteApp targetApp, VeskSuiteCommandKind kind,
                                                   std::optional<qint32> targetPID, std::optional<QString> targetName,
                                                   std::optional<QString> payload)
    : id(id),
      timestamp(std::move(timestamp)),
      sourceApp(sourceApp),
      targetApp(targetApp),
      kind(kind),
      targetPID(targetPID),
      targetName(std::move(targetName)),
      payload(std::move(payload))
{
}

std::optional<QJsonObject> VeskSuiteCommandEnvelope::toJson() const
{
    VeskSuiteJson::Writer out;
    out.text("id", id.toString(QUuid::WithoutBraces).toUpper());
    out.timestamp("timestamp", timestamp);
    out.text("sourceApp", sourceApp.rawValue());
    out.text("targetApp", targetApp.rawValue());
    out.text("kind", rawValue(kind));
    if (targetPID)
        out.integer("targetPID", *targetPID);
    out.optionalText("targetName", targetName);
    out.optionalText("payload", payload);
    return out.result();
}

std::optional<VeskSuiteCommandEnvelope> VeskSuiteCommandEnvelope::fromJson(const QJsonObject &object)
{
    VeskSuiteJson::Reader in(object);
    const std::optional<QUuid> id = parseUuid(in.text("id"));
    const QDateTime timestamp = in.timestamp("timestamp");
    const std::optional<VeskSuiteApp> source = VeskSuiteApp::fromRawValue(in.text("sourceApp"));
    const std::optional<VeskSuiteApp> target = VeskSuiteApp::fromRawValue(in.text("targetApp"));
    const std::optional<VeskSuiteCommandKind> kind = VeskSuiteCommandKindFromRaw(in.text("kind"));
    std::optional<qint32> pid;
    if (const std::optional<qint64> wide = in.optionalInteger("targetPID")) {
        if (*wide < std::numeric_limits<qint32>::min() || *wide > std::numeric_limits<qint32>::max())
            in.fail();
        else
            pid = qint32(*wide);
    }
    std::optional<QString> targetName = in.optionalText("targetName");
    std::optional<QString> payload = in.optionalText("payload");
    if (!in.ok() || !id || !source || !target || !kind)
        return std::nullopt;
    return VeskSuiteCommandEnvelope(*id, timestamp, *source, *target, *kind, pid, std::move(targetName),
                                    std::move(payload));
}

bool VeskSuiteCommandEnvelope::operator==(const VeskSuiteCommandEnvelope &other) const
{
    return id == other.id && timestamp == other.timestamp && sourceApp == other.sourceApp
        && targetApp == other.targetApp && kind == other.kind && targetPID == other.targetPID
        && targetName == other.targetName && payload == other.payload;
}
