#include "VeskKit/Utilities/VeskVersionBumpKind.h"

QString rawValue(VeskVersionBumpKind kind)
{
    switch (kind) {
    case VeskVersionBumpKind::build: return QStringLiteral("build");
    case VeskVersionBumpKind::patch: return QStringLiteral("patch");
    case VeskVersionBumpKind::minor: return QStringLiteral("minor");
    case VeskVersionBumpKind::major: return QStringLiteral("major");
    }
    return {};
}

std::optional<VeskVersionBumpKind> VeskVersionBumpKindFromRaw(const QString& raw)
{
    for (VeskVersionBumpKind kind : kVeskVersionBumpKindAllCases) {
        if (rawValue(kind) == raw)
            return kind;
    }
    return std::nullopt;
}
