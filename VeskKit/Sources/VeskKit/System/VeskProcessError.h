#pragma once

#include "VeskKit/Localization/VeskLanguage.h"

#include <QString>
#include <QtGlobal>

// Failures of the kit's tool services. The runner itself only ever reports
// cancelled; the other two are for its callers to report.
struct VeskProcessError
{
    enum class Kind {
        binaryNotFound,
        nonZeroExit,
        cancelled,
    };

    Kind kind = Kind::cancelled;
    // binaryNotFound: the tool's name.
    QString name;
    // nonZeroExit: the exit code and the tool's standard-error text.
    qint32 code = 0;
    QString stderrText;

    static VeskProcessError binaryNotFound(const QString& name) { return {Kind::binaryNotFound, name, 0, {}}; }
    static VeskProcessError nonZeroExit(qint32 code, const QString& stderrText)
    {
        return {Kind::nonZeroExit, {}, code, stderrText};
    }
    static VeskProcessError cancelled() { return {Kind::cancelled, {}, 0, {}}; }

    // The text shown to the user, in the current interface language or the
    // given one.
    QString errorDescription() const;
    QString errorDescription(VeskLanguage language) const;

    friend bool operator==(const VeskProcessError&, const VeskProcessError&) = default;
};
