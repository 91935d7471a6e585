#include "VeskKit/System/VeskHotkeyDescriptor.h"

#include <QJsonValue>

#include <cmath>

namespace {

std::optional<quint32> readUInt32(const QJsonObject& object, QLatin1String key)
{
    const QJsonValue value = object.value(key);
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || number < 0 || number > 4294967295.0 || std::floor(number) != number)
        return std::nullopt;
    return quint32(number);
}

} // namespace

QJsonObject VeskHotkeyDescriptor::toJson() const
{
    return QJsonObject{
        {QStringLiteral("keyCode"), qint64(keyCode)},
        {QStringLiteral("carbonModifiers"), qint64(carbonModifiers)},
    };
}

std::optional<VeskHotkeyDescriptor> VeskHotkeyDescriptor::fromJson(const QJsonObject& object)
{
    const auto keyCode = readUInt32(object, QLatin1String("keyCode"));
    const auto modifiers = readUInt32(object, QLatin1String("carbonModifiers"));
    if (!keyCode || !modifiers)
        return std::nullopt;
    return VeskHotkeyDescriptor{*keyCode, *modifiers};
}

size_t qHash(const VeskHotkeyDescriptor& descriptor, size_t seed) noexcept
{
    return qHashMulti(seed, descriptor.keyCode, descriptor.carbonModifiers);
}
