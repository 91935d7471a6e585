#pragma once

#include "VeskKit/System/VeskSuiteWorkspace.h"

#include <QJsonValue>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QUrl>

#include <optional>

// The sibling applications of the suite, the addresses of every suite file,
// notification and launch. Used like an enumeration; the raw value is the
// product name ("VeskMirrel"), matched exactly and case-sensitively. The
// application the kit is built into is not one of them.
class VeskSuiteApp
{
public:
    enum Value : quint8 {
        veskHalvot, veskMirrel, veskTrenik, veskAtlas, veskBeacon, veskCanvas, veskDovric,
        veskSelbar, veskDock, veskEcho, veskFlux, veskGrid, veskHarbor, veskIris, veskJolt,
        veskKite, veskLumen, veskMosaic, veskNimbus, veskOrbit, veskPulse, veskQuill, veskRelay,
        veskSpark, veskTide, veskUmbra, veskVault, veskWisp, veskQuenby, veskYarn, veskPastin,
        veskZephyr, veskAnvil, veskBloom, veskCipher, veskDrift, veskEmber, veskFable, veskGlyph,
        veskHaven, veskInkwell, veskJuniper, veskKeel, veskLoom, veskMeridian, veskNexus, veskOnyx,
        veskPrism, veskQuarry,
    };
    static constexpr int caseCount = 49;

    constexpr VeskSuiteApp(Value value) : m_value(value) {}
    constexpr operator Value() const { return m_value; }

    // Declaration order.
    static const QList<VeskSuiteApp>& allCases();
    static std::optional<VeskSuiteApp> fromRawValue(const QString& raw);

    QString rawValue() const;
    QString id() const { return rawValue(); }

    // "com.quarnell." followed by the raw value in lower case.
    QString bundleIdentifier() const;

    // The installed application's desktop entry (see VeskSuiteWorkspace),
    // the user's own before the system's; any file system object at the path
    // counts.
    std::optional<QUrl> installedURL() const;
    bool isInstalled() const { return installedURL().has_value(); }

    // Whether this running application is the sibling: its bundle identifier
    // equals ours ignoring case, else its name equals the raw value ignoring
    // case.
    bool matches(const VeskRunningApplication& application) const;
    // The first running application that matches, in the workspace's order.
    std::optional<VeskRunningApplication> runningApplication(const QList<VeskRunningApplication>& running) const;
    bool isRunning() const;

    // Raises the running sibling, else starts the installed one (without
    // waiting for it). False when it neither runs nor is installed, and when
    // the installed entry could not be started. Main thread.
    bool launch() const;

    // The symbol that stands for the sibling in suite views and tiles.
    QString symbolName() const;

    QJsonValue toJson() const;
    // Nothing unless the value is a string that is exactly a raw value.
    static std::optional<VeskSuiteApp> fromJson(const QJsonValue& value);

private:
    Value m_value;
};

QString rawValue(VeskSuiteApp app);
std::optional<VeskSuiteApp> VeskSuiteAppFromRaw(const QString& raw);

size_t qHash(VeskSuiteApp app, size_t seed = 0) noexcept;

Q_DECLARE_METATYPE(VeskSuiteApp)
