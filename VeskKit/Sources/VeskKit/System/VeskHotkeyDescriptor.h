#pragma once

#include <QHashFunctions>
#include <QJsonObject>
#include <QtGlobal>

#include <optional>

// A global shortcut: the key's virtual key code and a Carbon-style modifier
// mask, the form shortcuts are stored and exchanged in across the suite.
struct VeskHotkeyDescriptor
{
    quint32 keyCode = 0;
    quint32 carbonModifiers = 0;

    // Carbon modifier bits.
    static constexpr quint32 cmdKey = 0x100;
    static constexpr quint32 shiftKey = 0x200;
    static constexpr quint32 optionKey = 0x800;
    static constexpr quint32 controlKey = 0x1000;

    static constexpr quint32 cmdShiftFlag = cmdKey | shiftKey;
    static constexpr quint32 cmdOptionFlag = cmdKey | optionKey;

    QJsonObject toJson() const;
    // Both keys are required and must hold whole numbers in 0 ... 2^32 - 1.
    static std::optional<VeskHotkeyDescriptor> fromJson(const QJsonObject& object);

    friend bool operator==(const VeskHotkeyDescriptor&, const VeskHotkeyDescriptor&) = default;
};

size_t qHash(const VeskHotkeyDescriptor& descriptor, size_t seed = 0) noexcept;
