#pragma once

#include "VeskKit/Utilities/VeskResult.h"
#include "VeskKit/Utilities/VeskSemVerError.h"
#include "VeskKit/Utilities/VeskVersionBumpKind.h"

#include <QHashFunctions>
#include <QJsonObject>
#include <QString>

#include <compare>
#include <optional>

// A strict MAJOR.MINOR.PATCH version, and the release rule that a new version
// may only be its predecessor bumped by one step of the requested kind.
struct VeskSemVer {
    qint64 major = 0;
    qint64 minor = 0;
    qint64 patch = 0;

    VeskSemVer() = default;
    // Negative parts become 0, so built and bumped versions never hold one.
    VeskSemVer(qint64 major, qint64 minor, qint64 patch);

    // Nothing unless the text is exactly three non-negative decimal parts,
    // after trimming blanks and one leading "v" or "V".
    static std::optional<VeskSemVer> parsing(const QString& text);
    // The same parse; the error carries the text as given.
    static VeskResult<VeskSemVer, VeskSemVerError> parse(const QString& text);

    VeskSemVer bumped(VeskVersionBumpKind kind) const;

    // Allowed only when `to` is exactly `from` bumped by `kind`.
    static VeskResult<void, VeskSemVerError> validateTransition(const VeskSemVer& from, const VeskSemVer& to,
                                                                 VeskVersionBumpKind kind);

    QString description() const;

    QJsonObject toJson() const;
    static std::optional<VeskSemVer> fromJson(const QJsonObject& object);

    friend bool operator==(const VeskSemVer&, const VeskSemVer&) = default;
    friend std::strong_ordering operator<=>(const VeskSemVer&, const VeskSemVer&) = default;
};

size_t qHash(const VeskSemVer& version, size_t seed = 0) noexcept;
