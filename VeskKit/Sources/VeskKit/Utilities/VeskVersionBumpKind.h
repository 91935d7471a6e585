#pragma once

#include <QString>

#include <array>
#include <optional>

// The size of a release step; release histories record the same words.
enum class VeskVersionBumpKind { build, patch, minor, major };

inline constexpr std::array<VeskVersionBumpKind, 4> kVeskVersionBumpKindAllCases = {
    VeskVersionBumpKind::build, VeskVersionBumpKind::patch, VeskVersionBumpKind::minor, VeskVersionBumpKind::major};

QString rawValue(VeskVersionBumpKind kind);
std::optional<VeskVersionBumpKind> VeskVersionBumpKindFromRaw(const QString& raw);
