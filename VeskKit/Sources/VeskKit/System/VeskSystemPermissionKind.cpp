#include "VeskKit/System/VeskSystemPermissionKind.h"

QString rawValue(VeskSystemPermissionKind kind)
{
    switch (kind) {
    case VeskSystemPermissionKind::accessibility:
        return QStringLiteral("accessibility");
    case VeskSystemPermissionKind::screenRecording:
        return QStringLiteral("screenRecording");
    case VeskSystemPermissionKind::systemAudio:
        return QStringLiteral("systemAudio");
    }
    return {};
}

std::optional<VeskSystemPermissionKind> VeskSystemPermissionKindFromRaw(const QString& raw)
{
    for (VeskSystemPermissionKind kind : allVeskSystemPermissionKinds()) {
        if (rawValue(kind) == raw)
            return kind;
    }
    return std::nullopt;
}

QList<VeskSystemPermissionKind> allVeskSystemPermissionKinds()
{
    return {VeskSystemPermissionKind::accessibility, VeskSystemPermissionKind::screenRecording,
            VeskSystemPermissionKind::systemAudio};
}

std::optional<QUrl> settingsURL(VeskSystemPermissionKind kind)
{
    QString text;
    switch (kind) {
    case VeskSystemPermissionKind::accessibility:
        text = QStringLiteral("x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility");
        break;
    case VeskSystemPermissionKind::screenRecording:
        text = QStringLiteral("x-apple.systempreferences:com.apple.preference.security?Privacy_ScreenCapture");
        break;
    case VeskSystemPermissionKind::systemAudio:
        text = QStringLiteral("x-apple.systempreferences:com.apple.preference.security?Privacy_AudioCapture");
        break;
    }
    const QUrl url(text, QUrl::StrictMode);
    if (text.isEmpty() || !url.isValid())
        return std::nullopt;
    return url;
}
