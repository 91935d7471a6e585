#pragma once

#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

// The privacy permissions the kit can ask about.
enum class VeskSystemPermissionKind {
    accessibility,
    screenRecording,
    systemAudio,
};

// The raw value is also the kind's identifier.
QString rawValue(VeskSystemPermissionKind kind);
std::optional<VeskSystemPermissionKind> VeskSystemPermissionKindFromRaw(const QString& raw);

// Every kind, in declaration order.
QList<VeskSystemPermissionKind> allVeskSystemPermissionKinds();

// The suite's deep link into the privacy settings for the kind; nothing when
// the text does not form a URL.
std::optional<QUrl> settingsURL(VeskSystemPermissionKind kind);
