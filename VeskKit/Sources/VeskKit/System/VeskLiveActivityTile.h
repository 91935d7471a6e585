#pragma once

#include "VeskKit/System/VeskSuiteApp.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include <optional>

// A small live activity card any suite application can publish: a title in
// both languages, one or two ready-made figures, an optional progress, a
// symbol, a tone and a priority. Whoever shows tiles decides how they look.
struct VeskLiveActivityTile {
    enum class Tone { neutral, active, success, warning, danger };

    VeskSuiteApp app = VeskSuiteApp::veskHalvot;
    QDateTime timestamp;
    qint32 senderPID = 0;
    QString titleEN;
    QString titleTR;
    QString primaryMetric;
    std::optional<QString> secondaryMetric;
    std::optional<double> progress;
    QString symbolName;
    Tone tone = Tone::neutral;
    // Higher comes first.
    qint64 priority = 0;

    VeskLiveActivityTile() = default;
    // A progress is brought into 0...1; without a symbol the catalog symbol of
    // `app` is stored.
    VeskLiveActivityTile(VeskSuiteApp app, QDateTime timestamp, qint32 senderPID, QString titleEN, QString titleTR,
                         QString primaryMetric, std::optional<QString> secondaryMetric,
                         std::optional<double> progress, std::optional<QString> symbolName, Tone tone,
                         qint64 priority);

    // One tile per application: the raw value of `app`.
    QString id() const { return app.rawValue(); }

    bool isFresh(const QDateTime &now, double maxAgeSeconds) const;
    // Nothing when a progress is present and not finite.
    std::optional<QJsonObject> toJson() const;
    // All keys but secondaryMetric and progress are required; an unknown
    // application or tone makes the tile unreadable.
    static std::optional<VeskLiveActivityTile> fromJson(const QJsonObject &object);

    bool operator==(const VeskLiveActivityTile &other) const;
};

QString rawValue(VeskLiveActivityTile::Tone tone);
// Exactly one of "neutral", "active", "success", "warning", "danger".
std::optional<VeskLiveActivityTile::Tone> VeskLiveActivityTileToneFromRaw(const QString &raw);
