#pragma once

#include "VeskKit/Utilities/VeskBundle.h"

#include <QJsonValue>
#include <QList>
#include <QMetaType>
#include <QString>

#include <optional>

// The applications of the maker's suite, so that a kit component can tell which
// one is running or is meant by a name (to draw its emblem, to label feedback).
// Used like an enumeration; the raw value of a row is its name lower-cased.
class VeskAppIdentity
{
public:
    enum Value : quint8 {
        veskAtlas, veskBeacon, veskCanvas, veskDock, veskEcho, veskFlux,
        veskGrid, veskHarbor, veskZul, veskIris, veskJolt, veskKite,
        veskLumen, veskMosaic, veskNimbus, veskOrbit, veskPulse, veskQuill,
        veskRelay, veskSpark, veskTide, veskUmbra, veskVault, veskWisp,
        veskYarn, veskZephyr, veskAnvil, veskBloom, veskCipher, veskDrift,
        veskEmber, veskFable, veskGlyph, veskHaven, veskInkwell, veskJuniper,
        veskKeel, veskLoom, veskMeridian, veskNexus, veskOnyx, veskPrism,
        veskQuarry, veskRipple, veskSextant, veskTorch, veskUplink, veskVista,
        veskWren, veskYield, veskAurora, veskBastion, veskCairn, veskDelta,
        veskEclipse, veskFjord, veskGarnet, veskHelix, veskIndex, veskJetty,
        veskKernel, veskLattice, veskMagnet, veskNorth, veskOpal, veskPilot,
        veskQuasar, veskRadar, veskSignal, veskTally, veskUnity, veskVoyage,
        veskWharf, veskZenith, veskCompass,
    };
    static constexpr int caseCount = 75;

    constexpr VeskAppIdentity(Value value) : m_value(value) {}
    constexpr operator Value() const { return m_value; }

    // Declaration order.
    static const QList<VeskAppIdentity>& allCases();
    // Exact, case-sensitive match of a raw value.
    static std::optional<VeskAppIdentity> fromRawValue(const QString& raw);

    QString rawValue() const;
    QString id() const { return rawValue(); }

    // Folds a bundle identifier, display name or process name to a row: the
    // last dot-separated part, lower-cased, letters, marks and digits only, then
    // a few former names, then the raw values.
    static std::optional<VeskAppIdentity> resolve(const QString& name);

    // The running application's row, judged afresh on each call from the
    // bundle's identifier, display name and name, then the process name.
    static std::optional<VeskAppIdentity> current(const VeskBundle& bundle = VeskBundle::main());

    QJsonValue toJson() const;
    // Nothing unless the value is a string that is exactly a raw value.
    static std::optional<VeskAppIdentity> fromJson(const QJsonValue& value);

private:
    Value m_value;
};

QString rawValue(VeskAppIdentity identity);
std::optional<VeskAppIdentity> VeskAppIdentityFromRaw(const QString& raw);

size_t qHash(VeskAppIdentity identity, size_t seed = 0) noexcept;

Q_DECLARE_METATYPE(VeskAppIdentity)
