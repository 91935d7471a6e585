#include "VeskKit/Utilities/VeskLogEntry.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QStringDecoder>

namespace {

void appendJsonString(QByteArray& out, const QString& text)
{
    static constexpr char hex[] = "0123456789abcdef";
    const QByteArray utf8 = text.toUtf8();
    out.append('"');
    for (char ch : utf8) {
        const auto byte = static_cast<unsigned char>(ch);
        switch (byte) {
        case '"': out.append("\\\""); break;
        case '\\': out.append("\\\\"); break;
        case '/': out.append("\\/"); break;
        case '\n': out.append("\\n"); break;
        case '\r': out.append("\\r"); break;
        case '\t': out.append("\\t"); break;
        case '\b': out.append("\\b"); break;
        case '\f': out.append("\\f"); break;
        default:
            if (byte < 0x20) {
                out.append("\\u00");
                out.append(hex[byte >> 4]);
                out.append(hex[byte & 0xF]);
            } else {
                out.append(ch);
            }
        }
    }
    out.append('"');
}

void appendMember(QByteArray& out, const char* key, const QString& value, bool first = false)
{
    if (!first)
        out.append(',');
    out.append('"').append(key).append("\":");
    appendJsonString(out, value);
}

std::optional<QString> stringMember(const QJsonObject& object, const char* key)
{
    const QJsonValue value = object.value(QLatin1StringView(key));
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

} // namespace

QByteArray VeskLogEntry::toJsonLine() const
{
    QByteArray out;
    out.reserve(160 + category.size() + message.size() * 3);
    out.append('{');
    appendMember(out, "build", build, true);
    appendMember(out, "category", category);
    appendMember(out, "id", id);
    appendMember(out, "level", rawValue(level));
    appendMember(out, "message", message);
    appendMember(out, "timestamp", timestamp);
    appendMember(out, "version", version);
    out.append('}');
    return out;
}

std::optional<VeskLogEntry> VeskLogEntry::fromJsonLine(const QByteArray& line)
{
    // A torn or foreign line may hold bytes that are no UTF-8; it is skipped
    // alone rather than spoiling the lines around it.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString decoded = utf8.decode(line);
    if (utf8.hasError())
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();

    const std::optional<QString> levelText = stringMember(object, "level");
    const std::optional<VeskLogLevel> level = levelText ? VeskLogLevelFromRaw(*levelText) : std::nullopt;
    const std::optional<QString> id = stringMember(object, "id");
    const std::optional<QString> timestamp = stringMember(object, "timestamp");
    const std::optional<QString> category = stringMember(object, "category");
    const std::optional<QString> message = stringMember(object, "message");
    const std::optional<QString> version = stringMember(object, "version");
    const std::optional<QString> build = stringMember(object, "build");
    if (!level || !id || !timestamp || !category || !message || !version || !build)
        return std::nullopt;
    return VeskLogEntry{*id, *timestamp, *level, *category, *message, *version, *build};
}
