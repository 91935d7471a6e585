#include "VeskKit/Design/Emblems/VeskAppIdentity.h"

#include "VeskKit/Localization/VeskCharacters.h"

#include <QHash>
#include <QHashFunctions>
#include <QStringView>

#include <cerrno>

namespace {

// In declaration order, one per row.
constexpr const char16_t* kRawValues[] = {
    u"veskatlas", u"veskbeacon", u"veskcanvas", u"veskdock",
    u"veskecho", u"veskflux", u"veskgrid", u"veskharbor",
    u"veskzul", u"veskiris", u"veskjolt", u"veskkite",
    u"vesklumen", u"veskmosaic", u"vesknimbus", u"veskorbit",
    u"veskpulse", u"veskquill", u"veskrelay", u"veskspark",
    u"vesktide", u"veskumbra", u"veskvault", u"veskwisp",
    u"veskyarn", u"veskzephyr", u"veskanvil", u"veskbloom",
    u"veskcipher", u"veskdrift", u"veskember", u"veskfable",
    u"veskglyph", u"veskhaven", u"veskinkwell", u"veskjuniper",
    u"veskkeel", u"veskloom", u"veskmeridian", u"vesknexus",
    u"veskonyx", u"veskprism", u"veskquarry", u"veskripple",
    u"vesksextant", u"vesktorch", u"veskuplink", u"veskvista",
    u"veskwren", u"veskyield", u"veskaurora", u"veskbastion",
    u"veskcairn", u"veskdelta", u"veskeclipse", u"veskfjord",
    u"veskgarnet", u"veskhelix", u"veskindex", u"veskjetty",
    u"veskkernel", u"vesklattice", u"veskmagnet", u"vesknorth",
    u"veskopal", u"veskpilot", u"veskquasar", u"veskradar",
    u"vesksignal", u"vesktally", u"veskunity", u"veskvoyage",
    u"veskwharf", u"veskzenith", u"veskcompass",
};
static_assert(std::size(kRawValues) == VeskAppIdentity::caseCount);

// Names some siblings went by before, as they fold.
const QHash<QString, VeskAppIdentity>& aliases()
{
    static const QHash<QString, VeskAppIdentity> table = {
        {QStringLiteral("atlasmaps"), VeskAppIdentity::veskAtlas},
        {QStringLiteral("beaconhq"), VeskAppIdentity::veskBeacon},
        {QStringLiteral("vaultkeeper"), VeskAppIdentity::veskVault},
        {QStringLiteral("radarscope"), VeskAppIdentity::veskRadar},
        {QStringLiteral("pilotdesk"), VeskAppIdentity::veskPilot},
    };
    return table;
}

const QHash<QString, VeskAppIdentity>& byRawValue()
{
    static const QHash<QString, VeskAppIdentity> table = [] {
        QHash<QString, VeskAppIdentity> result;
        for (int i = 0; i < VeskAppIdentity::caseCount; ++i)
            result.insert(QString::fromUtf16(kRawValues[i]), VeskAppIdentity(VeskAppIdentity::Value(i)));
        return result;
    }();
    return table;
}

QString folded(const QString& name)
{
    QString part = name;
    const QStringList parts = name.split(u'.', Qt::SkipEmptyParts);
    if (!parts.isEmpty())
        part = parts.last();
    const QString lower = part.toLower();
    QString kept;
    kept.reserve(lower.size());
    for (const uint scalar : lower.toUcs4()) {
        if (VeskCharacters::isLetterOrDigit(char32_t(scalar)))
            kept.append(QStringView(QChar::fromUcs4(char32_t(scalar))));
    }
    return kept;
}

std::optional<VeskAppIdentity> resolveEntry(const VeskBundle& bundle, const QString& key)
{
    const QVariant value = bundle.object(key);
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return VeskAppIdentity::resolve(value.toString());
}

} // namespace

const QList<VeskAppIdentity>& VeskAppIdentity::allCases()
{
    static const QList<VeskAppIdentity> cases = [] {
        QList<VeskAppIdentity> result;
        for (int i = 0; i < caseCount; ++i)
            result.append(VeskAppIdentity(Value(i)));
        return result;
    }();
    return cases;
}

std::optional<VeskAppIdentity> VeskAppIdentity::fromRawValue(const QString& raw)
{
    const auto& table = byRawValue();
    const auto found = table.constFind(raw);
    if (found == table.constEnd())
        return std::nullopt;
    return *found;
}

QString VeskAppIdentity::rawValue() const
{
    return QString::fromUtf16(kRawValues[m_value]);
}

std::optional<VeskAppIdentity> VeskAppIdentity::resolve(const QString& name)
{
    const QString key = folded(name);
    if (key.isEmpty())
        return std::nullopt;
    const auto alias = aliases().constFind(key);
    if (alias != aliases().constEnd())
        return *alias;
    return fromRawValue(key);
}

std::optional<VeskAppIdentity> VeskAppIdentity::current(const VeskBundle& bundle)
{
    for (const char* key : {"CFBundleIdentifier", "CFBundleDisplayName", "CFBundleName"}) {
        if (std::optional<VeskAppIdentity> identity = resolveEntry(bundle, QString::fromLatin1(key)))
            return identity;
    }
    return resolve(QString::fromLocal8Bit(program_invocation_short_name));
}

QJsonValue VeskAppIdentity::toJson() const
{
    return rawValue();
}

std::optional<VeskAppIdentity> VeskAppIdentity::fromJson(const QJsonValue& value)
{
    if (!value.isString())
        return std::nullopt;
    return fromRawValue(value.toString());
}

QString rawValue(VeskAppIdentity identity)
{
    return identity.rawValue();
}

std::optional<VeskAppIdentity> VeskAppIdentityFromRaw(const QString& raw)
{
    return VeskAppIdentity::fromRawValue(raw);
}

size_t qHash(VeskAppIdentity identity, size_t seed) noexcept
{
    return qHash(int(VeskAppIdentity::Value(identity)), seed);
}
