#include "VeskKit/Cloud/VeskFeedbackKind.h"

#include "VeskKit/Localization/VeskText.h"

QString rawValue(VeskFeedbackKind kind)
{
    switch (kind) {
    case VeskFeedbackKind::bug: return QStringLiteral("bug");
    case VeskFeedbackKind::feature: return QStringLiteral("feature");
    case VeskFeedbackKind::newApp: return QStringLiteral("new_app");
    case VeskFeedbackKind::general: return QStringLiteral("general");
    }
    return {};
}

std::optional<VeskFeedbackKind> VeskFeedbackKindFromRaw(const QString &raw)
{
    for (VeskFeedbackKind kind : kVeskFeedbackKindAllCases) {
        if (rawValue(kind) == raw)
            return kind;
    }
    return std::nullopt;
}

QString title(VeskFeedbackKind kind, VeskLanguage language)
{
    switch (kind) {
    case VeskFeedbackKind::bug:
        return veskText(QStringLiteral("Bug Report"), QStringLiteral("Hata Bildirimi"), language);
    case VeskFeedbackKind::feature:
        return veskText(QStringLiteral("Feature & Improvement"), QStringLiteral("Özellik & İyileştirme"), language);
    case VeskFeedbackKind::newApp:
        return veskText(QStringLiteral("New App Idea"), QStringLiteral("Yeni Program Fikri"), language);
    case VeskFeedbackKind::general:
        return veskText(QStringLiteral("General Feedback"), QStringLiteral("Genel Görüş"), language);
    }
    return {};
}

QString symbolName(VeskFeedbackKind kind)
{
    switch (kind) {
    case VeskFeedbackKind::bug: return QStringLiteral("ladybug.fill");
    case VeskFeedbackKind::feature: return QStringLiteral("sparkles");
    case VeskFeedbackKind::newApp: return QStringLiteral("lightbulb.fill");
    case VeskFeedbackKind::general: return QStringLiteral("bubble.left.and.bubble.right.fill");
    }
    return {};
}
