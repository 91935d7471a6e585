#include "VeskKit/System/VeskSuiteApp.h"

#include <QFileInfo>
#include <QHash>

#include <array>

namespace {

// One row per case, in declaration order; every symbol has a glyph in the
// kit's symbol table.
const std::array<QString, VeskSuiteApp::caseCount> symbolTable = {
    QStringLiteral("xmark.octagon.fill"),
    QStringLiteral("memorychip"),
    QStringLiteral("waveform.path.ecg"),
    QStringLiteral("globe"),
    QStringLiteral("lightbulb.fill"),
    QStringLiteral("photo.on.rectangle.angled"),
    QStringLiteral("hourglass.circle.fill"),
    QStringLiteral("checklist"),
    QStringLiteral("sidebar.left"),
    QStringLiteral("bubble.left.and.bubble.right.fill"),
    QStringLiteral("arrow.clockwise"),
    QStringLiteral("square.grid.2x2.fill"),
    QStringLiteral("tray"),
    QStringLiteral("magnifyingglass"),
    QStringLiteral("bolt.fill"),
    QStringLiteral("tag.fill"),
    QStringLiteral("sun.max.fill"),
    QStringLiteral("tablecells"),
    QStringLiteral("safari"),
    QStringLiteral("clock.arrow.circlepath"),
    QStringLiteral("chart.bar.xaxis"),
    QStringLiteral("note.text"),
    QStringLiteral("square.and.arrow.up"),
    QStringLiteral("bolt.circle.fill"),
    QStringLiteral("thermometer.medium"),
    QStringLiteral("rectangle.on.rectangle.slash"),
    QStringLiteral("externaldrive.badge.timemachine"),
    QStringLiteral("macwindow.on.rectangle"),
    QStringLiteral("sparkles"),
    QStringLiteral("doc.richtext"),
    QStringLiteral("slider.horizontal.3"),
    QStringLiteral("chevron.up"),
    QStringLiteral("gearshape.fill"),
    QStringLiteral("plus.circle"),
    QStringLiteral("function"),
    QStringLiteral("arrow.up.left.and.arrow.down.right"),
    QStringLiteral("exclamationmark.triangle.fill"),
    QStringLiteral("doc.plaintext"),
    QStringLiteral("sum"),
    QStringLiteral("folder"),
    QStringLiteral("doc.on.clipboard"),
    QStringLiteral("ladybug.fill"),
    QStringLiteral("scope"),
    QStringLiteral("doc.on.doc"),
    QStringLiteral("hourglass"),
    QStringLiteral("bubble.left.and.exclamationmark.bubble.right"),
    QStringLiteral("checkmark.seal.fill"),
    QStringLiteral("doc.text.magnifyingglass"),
    QStringLiteral("pin"),
};

QString rawValueOf(VeskSuiteApp::Value value)
{
    static const std::array<QString, VeskSuiteApp::caseCount> table = [] {
        static const char* const names[] = {
            "VeskHalvot",
            "VeskMirrel",
            "VeskTrenik",
            "VeskAtlas",
            "VeskBeacon",
            "VeskCanvas",
            "VeskDovric",
            "VeskSelbar",
            "VeskDock",
            "VeskEcho",
            "VeskFlux",
            "VeskGrid",
            "VeskHarbor",
            "VeskIris",
            "VeskJolt",
            "VeskKite",
            "VeskLumen",
            "VeskMosaic",
            "VeskNimbus",
            "VeskOrbit",
            "VeskPulse",
            "VeskQuill",
            "VeskRelay",
            "VeskSpark",
            "VeskTide",
            "VeskUmbra",
            "VeskVault",
            "VeskWisp",
            "VeskQuenby",
            "VeskYarn",
            "VeskPastin",
            "VeskZephyr",
            "VeskAnvil",
            "VeskBloom",
            "VeskCipher",
            "VeskDrift",
            "VeskEmber",
            "VeskFable",
            "VeskGlyph",
            "VeskHaven",
            "VeskInkwell",
            "VeskJuniper",
            "VeskKeel",
            "VeskLoom",
            "VeskMeridian",
            "VeskNexus",
            "VeskOnyx",
            "VeskPrism",
            "VeskQuarry",
        };
        std::array<QString, VeskSuiteApp::caseCount> raw;
        for (int i = 0; i < VeskSuiteApp::caseCount; ++i)
            raw[i] = QString::fromLatin1(names[i]);
        return raw;
    }();
    return table[value];
}

const QHash<QString, VeskSuiteApp::Value>& byRawValue()
{
    static const QHash<QString, VeskSuiteApp::Value> table = [] {
        QHash<QString, VeskSuiteApp::Value> map;
        for (int i = 0; i < VeskSuiteApp::caseCount; ++i)
            map.insert(rawValueOf(VeskSuiteApp::Value(i)), VeskSuiteApp::Value(i));
        return map;
    }();
    return table;
}

bool existsAt(const QString& path)
{
    // Any object counts, a dangling link included.
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

const QList<VeskSuiteApp>& VeskSuiteApp::allCases()
{
    static const QList<VeskSuiteApp> cases = [] {
        QList<VeskSuiteApp> list;
        for (int i = 0; i < caseCount; ++i)
            list.append(VeskSuiteApp(Value(i)));
        return list;
    }();
    return cases;
}

std::optional<VeskSuiteApp> VeskSuiteApp::fromRawValue(const QString& raw)
{
    const auto it = byRawValue().constFind(raw);
    if (it == byRawValue().cend())
        return std::nullopt;
    return VeskSuiteApp(it.value());
}

QString VeskSuiteApp::rawValue() const
{
    return rawValueOf(m_value);
}

QString VeskSuiteApp::bundleIdentifier() const
{
    return QStringLiteral("com.quarnell.") + rawValue().toLower();
}

std::optional<QUrl> VeskSuiteApp::installedURL() const
{
    const QString entry = bundleIdentifier() + QStringLiteral(".desktop");
    for (const QString& folder : VeskSuiteWorkspace::applicationFolders()) {
        const QString path = folder + u'/' + entry;
        if (existsAt(path))
            return QUrl::fromLocalFile(path);
    }
    return std::nullopt;
}

bool VeskSuiteApp::matches(const VeskRunningApplication& application) const
{
    if (application.bundleIdentifier
        && application.bundleIdentifier->compare(bundleIdentifier(), Qt::CaseInsensitive) == 0)
        return true;
    return application.localizedName
        && application.localizedName->compare(rawValue(), Qt::CaseInsensitive) == 0;
}

std::optional<VeskRunningApplication>
VeskSuiteApp::runningApplication(const QList<VeskRunningApplication>& running) const
{
    for (const VeskRunningApplication& application : running)
        if (matches(application))
            return application;
    return std::nullopt;
}

bool VeskSuiteApp::isRunning() const
{
    return runningApplication(VeskSuiteWorkspace::runningApplications()).has_value();
}

bool VeskSuiteApp::launch() const
{
    if (runningApplication(VeskSuiteWorkspace::runningApplications())) {
        VeskSuiteWorkspace::activate(bundleIdentifier());
        return true;
    }
    const std::optional<QUrl> location = installedURL();
    if (!location)
        return false;
    // The start is not awaited, but one that could not even begin (no
    // command in the entry, no such program) is reported.
    return VeskSuiteWorkspace::openApplication(*location, true);
}

QString VeskSuiteApp::symbolName() const
{
    return symbolTable[m_value];
}

QJsonValue VeskSuiteApp::toJson() const
{
    return rawValue();
}

std::optional<VeskSuiteApp> VeskSuiteApp::fromJson(const QJsonValue& value)
{
    if (!value.isString())
        return std::nullopt;
    return fromRawValue(value.toString());
}

QString rawValue(VeskSuiteApp app)
{
    return app.rawValue();
}

std::optional<VeskSuiteApp> VeskSuiteAppFromRaw(const QString& raw)
{
    return VeskSuiteApp::fromRawValue(raw);
}

size_t qHash(VeskSuiteApp app, size_t seed) noexcept
{
    return qHash(app.rawValue(), seed);
}
