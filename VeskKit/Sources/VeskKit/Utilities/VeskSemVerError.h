#pragma once

#include "VeskKit/Utilities/VeskVersionBumpKind.h"

#include <QString>

// Why a version text or a release step was refused.
struct VeskSemVerError {
    enum class Case { invalidFormat, downgradeNotAllowed, multiStepJumpBlocked, unexpectedBumpKind };

    Case kind = Case::invalidFormat;
    QString input;                                             // invalidFormat
    QString from;                                              // the three transition cases
    QString to;
    VeskVersionBumpKind expected = VeskVersionBumpKind::build; // unexpectedBumpKind

    static VeskSemVerError invalidFormat(const QString& input);
    static VeskSemVerError downgradeNotAllowed(const QString& from, const QString& to);
    static VeskSemVerError multiStepJumpBlocked(const QString& from, const QString& to);
    static VeskSemVerError unexpectedBumpKind(VeskVersionBumpKind expected, const QString& from, const QString& to);

    QString errorDescription() const;

    bool operator==(const VeskSemVerError&) const = default;
};
