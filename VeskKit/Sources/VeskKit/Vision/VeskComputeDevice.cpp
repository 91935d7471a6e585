#include "VeskKit/Vision/VeskComputeDevice.h"

QString rawValue(VeskComputeDevice device)
{
    switch (device) {
    case VeskComputeDevice::cpu:
        return QStringLiteral("cpu");
    }
    return {};
}

std::optional<VeskComputeDevice> VeskComputeDeviceFromRaw(const QString& raw)
{
    if (raw == QLatin1String("cpu"))
        return VeskComputeDevice::cpu;
    return std::nullopt;
}

QList<VeskComputeDevice> allComputeDevices()
{
    return {VeskComputeDevice::cpu};
}
