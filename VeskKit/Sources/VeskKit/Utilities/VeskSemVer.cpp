#include "VeskKit/Utilities/VeskSemVer.h"

#include <QJsonValue>
#include <QList>
#include <QStringView>

#include <charconv>
#include <limits>

namespace {

// One part: an optional sign, then ASCII digits only; a negative value (other
// than -0) is refused, as is anything that does not fit 64 bits.
std::optional<qint64> parsePart(QStringView piece)
{
    if (piece.isEmpty())
        return std::nullopt;
    bool negative = false;
    if (piece.front() == u'+' || piece.front() == u'-') {
        negative = piece.front() == u'-';
        piece = piece.mid(1);
    }
    if (piece.isEmpty())
        return std::nullopt;
    QByteArray digits;
    digits.reserve(piece.size());
    for (QChar c : piece) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        digits.append(char(c.unicode()));
    }
    qint64 value = 0;
    const auto [end, ec] = std::from_chars(digits.constData(), digits.constData() + digits.size(), value);
    if (ec != std::errc() || end != digits.constData() + digits.size())
        return std::nullopt;
    if (negative && value != 0)
        return std::nullopt;
    return value;
}

// Bumping the largest part stays at the largest value rather than overflowing.
qint64 plusOne(qint64 value)
{
    return value == std::numeric_limits<qint64>::max() ? value : value + 1;
}

std::optional<qint64> integerValue(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    constexpr qint64 sentinel = std::numeric_limits<qint64>::min();
    const qint64 whole = value.toInteger(sentinel);
    if (whole == sentinel)
        return std::nullopt;
    return whole;
}

} // namespace

VeskSemVer::VeskSemVer(qint64 major, qint64 minor, qint64 patch)
    : major(major < 0 ? 0 : major), minor(minor < 0 ? 0 : minor), patch(patch < 0 ? 0 : patch)
{
}

std::optional<VeskSemVer> VeskSemVer::parsing(const QString& text)
{
    QStringView view = QStringView(text).trimmed();
    if (!view.isEmpty() && (view.front() == u'v' || view.front() == u'V'))
        view = view.mid(1);
    const QList<QStringView> pieces = view.split(u'.');
    if (pieces.size() != 3)
        return std::nullopt;
    const std::optional<qint64> major = parsePart(pieces[0]);
    const std::optional<qint64> minor = parsePart(pieces[1]);
    const std::optional<qint64> patch = parsePart(pieces[2]);
    if (!major || !minor || !patch)
        return std::nullopt;
    return VeskSemVer(*major, *minor, *patch);
}

VeskResult<VeskSemVer, VeskSemVerError> VeskSemVer::parse(const QString& text)
{
    if (std::optional<VeskSemVer> version = parsing(text))
        return VeskResult<VeskSemVer, VeskSemVerError>::success(*version);
    return VeskResult<VeskSemVer, VeskSemVerError>::failure(VeskSemVerError::invalidFormat(text));
}

VeskSemVer VeskSemVer::bumped(VeskVersionBumpKind kind) const
{
    switch (kind) {
    case VeskVersionBumpKind::build: return *this;
    case VeskVersionBumpKind::patch: return VeskSemVer(major, minor, plusOne(patch));
    case VeskVersionBumpKind::minor: return VeskSemVer(major, plusOne(minor), 0);
    case VeskVersionBumpKind::major: return VeskSemVer(plusOne(major), 0, 0);
    }
    return *this;
}

VeskResult<void, VeskSemVerError> VeskSemVer::validateTransition(const VeskSemVer& from, const VeskSemVer& to,
                                                                  VeskVersionBumpKind kind)
{
    using Result = VeskResult<void, VeskSemVerError>;
    if (to < from)
        return Result::failure(VeskSemVerError::downgradeNotAllowed(from.description(), to.description()));
    if (to == from.bumped(kind))
        return Result::success();

    // `to` is not below `from`, so the first differing part grew; "- 1" on the
    // larger value cannot overflow.
    const auto grewByTwoOrMore = [](qint64 before, qint64 after) { return after - 1 > before; };
    const auto multiStep = [&] {
        return Result::failure(VeskSemVerError::multiStepJumpBlocked(from.description(), to.description()));
    };
    const auto wrongKind = [&] {
        return Result::failure(VeskSemVerError::unexpectedBumpKind(kind, from.description(), to.description()));
    };
    if (to.major != from.major)
        return grewByTwoOrMore(from.major, to.major) ? multiStep() : wrongKind();
    if (to.minor != from.minor)
        return grewByTwoOrMore(from.minor, to.minor) ? multiStep() : wrongKind();
    if (to.patch != from.patch && grewByTwoOrMore(from.patch, to.patch))
        return multiStep();
    return wrongKind();
}

QString VeskSemVer::description() const
{
    return QString::number(major) + u'.' + QString::number(minor) + u'.' + QString::number(patch);
}

QJsonObject VeskSemVer::toJson() const
{
    return QJsonObject{{QStringLiteral("major"), major}, {QStringLiteral("minor"), minor}, {QStringLiteral("patch"), patch}};
}

std::optional<VeskSemVer> VeskSemVer::fromJson(const QJsonObject& object)
{
    const std::optional<qint64> major = integerValue(object.value(QStringLiteral("major")));
    const std::optional<qint64> minor = integerValue(object.value(QStringLiteral("minor")));
    const std::optional<qint64> patch = integerValue(object.value(QStringLiteral("patch")));
    if (!major || !minor || !patch)
        return std::nullopt;
    // Decoded parts are kept as they are, even negative ones.
    VeskSemVer version;
    version.major = *major;
    version.minor = *minor;
    version.patch = *patch;
    return version;
}

size_t qHash(const VeskSemVer& version, size_t seed) noexcept
{
    return qHashMulti(seed, version.major, version.minor, version.patch);
}
