#include "Models/EvaluatedLine.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <charconv>
#include <cmath>

namespace {

void appendJsonString(QByteArray &out, const QString &text)
{
    out += '"';
    const QByteArray utf8 = text.toUtf8();
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (byte < 0x20) {
                static const char hex[] = "0123456789abcdef";
                out += "\\u00";
                out += hex[byte >> 4];
                out += hex[byte & 0xf];
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

void appendKey(QByteArray &out, const char *key)
{
    if (out.size() > 1)
        out += ',';
    out += '"';
    out += key;
    out += "\":";
}

// Shortest text that reads back to the same double.
void appendJsonNumber(QByteArray &out, double value)
{
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, ec == std::errc() ? end - buffer : 0);
}

void appendJsonInteger(QByteArray &out, qint64 value)
{
    char buffer[24];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, ec == std::errc() ? end - buffer : 0);
}

QString wrongType(const char *key, const char *expected)
{
    return QStringLiteral("EvaluatedLine: \"%1\" is not %2").arg(QLatin1String(key), QLatin1String(expected));
}

QString missingKey(const char *key)
{
    return QStringLiteral("EvaluatedLine: required key \"%1\" is missing").arg(QLatin1String(key));
}

bool isMissing(const QJsonValue &value)
{
    return value.isUndefined() || value.isNull();
}

} // namespace

ZulResult<QByteArray> EvaluatedLine::toJson() const
{
    if (numericValue && !std::isfinite(*numericValue))
        return ZulResult<QByteArray>::failure(QStringLiteral("EvaluatedLine: numericValue is not a finite number"));

    QByteArray out;
    out.reserve(128 + rawLine.size() + formattedResult.size());
    out += '{';
    appendKey(out, "lineIndex");
    appendJsonInteger(out, lineIndex);
    appendKey(out, "rawLine");
    appendJsonString(out, rawLine);
    if (numericValue) {
        appendKey(out, "numericValue");
        appendJsonNumber(out, *numericValue);
    }
    if (unitOrCurrency) {
        appendKey(out, "unitOrCurrency");
        appendJsonString(out, *unitOrCurrency);
    }
    appendKey(out, "formattedResult");
    appendJsonString(out, formattedResult);
    appendKey(out, "kind");
    appendJsonString(out, rawValue(kind));
    if (label) {
        appendKey(out, "label");
        appendJsonString(out, *label);
    }
    if (isChecked) {
        appendKey(out, "isChecked");
        out += *isChecked ? "true" : "false";
    }
    out += '}';
    return ZulResult<QByteArray>::success(out);
}

ZulResult<EvaluatedLine> EvaluatedLine::fromJson(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        return ZulResult<EvaluatedLine>::failure(QStringLiteral("EvaluatedLine: ") + error.errorString());
    if (!document.isObject())
        return ZulResult<EvaluatedLine>::failure(QStringLiteral("EvaluatedLine: not a JSON object"));
    return fromJson(QJsonValue(document.object()));
}

ZulResult<EvaluatedLine> EvaluatedLine::fromJson(const QJsonValue &json)
{
    using Result = ZulResult<EvaluatedLine>;
    if (!json.isObject())
        return Result::failure(QStringLiteral("EvaluatedLine: not a JSON object"));
    const QJsonObject object = json.toObject();
    EvaluatedLine line;

    const QJsonValue lineIndex = object.value(QLatin1String("lineIndex"));
    if (isMissing(lineIndex))
        return Result::failure(missingKey("lineIndex"));
    // toInteger answers its default for anything that is not an integral
    // number within 64 bits; two different defaults tell that case apart.
    if (!lineIndex.isDouble() || lineIndex.toInteger(0) != lineIndex.toInteger(1))
        return Result::failure(wrongType("lineIndex", "an integer"));
    line.lineIndex = lineIndex.toInteger();

    const QJsonValue rawLine = object.value(QLatin1String("rawLine"));
    if (isMissing(rawLine))
        return Result::failure(missingKey("rawLine"));
    if (!rawLine.isString())
        return Result::failure(wrongType("rawLine", "a string"));
    line.rawLine = rawLine.toString();

    const QJsonValue numericValue = object.value(QLatin1String("numericValue"));
    if (!isMissing(numericValue)) {
        if (!numericValue.isDouble())
            return Result::failure(wrongType("numericValue", "a number"));
        line.numericValue = numericValue.toDouble();
    }

    const QJsonValue unitOrCurrency = object.value(QLatin1String("unitOrCurrency"));
    if (!isMissing(unitOrCurrency)) {
        if (!unitOrCurrency.isString())
            return Result::failure(wrongType("unitOrCurrency", "a string"));
        line.unitOrCurrency = unitOrCurrency.toString();
    }

    const QJsonValue formattedResult = object.value(QLatin1String("formattedResult"));
    if (isMissing(formattedResult))
        return Result::failure(missingKey("formattedResult"));
    if (!formattedResult.isString())
        return Result::failure(wrongType("formattedResult", "a string"));
    line.formattedResult = formattedResult.toString();

    const QJsonValue kind = object.value(QLatin1String("kind"));
    if (isMissing(kind))
        return Result::failure(missingKey("kind"));
    if (!kind.isString())
        return Result::failure(wrongType("kind", "a string"));
    const std::optional<EvaluatedLineKind> parsedKind = EvaluatedLineKindFromRaw(kind.toString());
    if (!parsedKind)
        return Result::failure(QStringLiteral("EvaluatedLine: unknown kind \"%1\"").arg(kind.toString()));
    line.kind = *parsedKind;

    const QJsonValue label = object.value(QLatin1String("label"));
    if (!isMissing(label)) {
        if (!label.isString())
            return Result::failure(wrongType("label", "a string"));
        line.label = label.toString();
    }

    const QJsonValue isChecked = object.value(QLatin1String("isChecked"));
    if (!isMissing(isChecked)) {
        if (!isChecked.isBool())
            return Result::failure(wrongType("isChecked", "a boolean"));
        line.isChecked = isChecked.toBool();
    }

    return Result::success(line);
}
