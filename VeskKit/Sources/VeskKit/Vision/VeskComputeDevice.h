#pragma once

#include <QList>
#include <QString>

#include <optional>

// Where a recognition may run. The engines here compute on the processor
// only, so the processor is the one device there is.
enum class VeskComputeDevice {
    cpu,
};

QString rawValue(VeskComputeDevice device);
std::optional<VeskComputeDevice> VeskComputeDeviceFromRaw(const QString& raw);

// The devices this machine offers the engines, in order of preference.
QList<VeskComputeDevice> allComputeDevices();
