#pragma once

#include "VeskKit/Localization/VeskLanguage.h"

#include <QString>

#include <array>
#include <optional>

// What a report is about. The raw value is what the feedback page and the
// feedback service receive as "type"; it is also the kind's id.
enum class VeskFeedbackKind { bug, feature, newApp, general };

inline constexpr std::array<VeskFeedbackKind, 4> kVeskFeedbackKindAllCases = {
    VeskFeedbackKind::bug, VeskFeedbackKind::feature, VeskFeedbackKind::newApp, VeskFeedbackKind::general};

QString rawValue(VeskFeedbackKind kind);
// Exactly the four raw values, case-sensitive.
std::optional<VeskFeedbackKind> VeskFeedbackKindFromRaw(const QString &raw);

QString title(VeskFeedbackKind kind, VeskLanguage language);
QString symbolName(VeskFeedbackKind kind);
