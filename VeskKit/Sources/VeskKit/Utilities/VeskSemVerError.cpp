#include "VeskKit/Utilities/VeskSemVerError.h"

VeskSemVerError VeskSemVerError::invalidFormat(const QString& input)
{
    VeskSemVerError error;
    error.kind = Case::invalidFormat;
    error.input = input;
    return error;
}

VeskSemVerError VeskSemVerError::downgradeNotAllowed(const QString& from, const QString& to)
{
    VeskSemVerError error;
    error.kind = Case::downgradeNotAllowed;
    error.from = from;
    error.to = to;
    return error;
}

VeskSemVerError VeskSemVerError::multiStepJumpBlocked(const QString& from, const QString& to)
{
    VeskSemVerError error;
    error.kind = Case::multiStepJumpBlocked;
    error.from = from;
    error.to = to;
    return error;
}

VeskSemVerError VeskSemVerError::unexpectedBumpKind(VeskVersionBumpKind expected, const QString& from, const QString& to)
{
    VeskSemVerError error;
    error.kind = Case::unexpectedBumpKind;
    error.expected = expected;
    error.from = from;
    error.to = to;
    return error;
}

QString VeskSemVerError::errorDescription() const
{
    switch (kind) {
    case Case::invalidFormat:
        return QStringLiteral("Invalid SemVer 2.0.0 string: '") + input + QStringLiteral("' (expected MAJOR.MINOR.PATCH).");
    case Case::downgradeNotAllowed:
        return QStringLiteral("Version downgrade blocked: ") + from + QStringLiteral(" -> ") + to + u'.';
    case Case::multiStepJumpBlocked:
        return QStringLiteral("Multi-step version jump blocked by Quarnell policy: ") + from + QStringLiteral(" -> ") + to
            + QStringLiteral(". Only +1 increments are permitted.");
    case Case::unexpectedBumpKind:
        return QStringLiteral("Transition ") + from + QStringLiteral(" -> ") + to + QStringLiteral(" does not match requested '")
            + rawValue(expected) + QStringLiteral("' bump.");
    }
    return {};
}
