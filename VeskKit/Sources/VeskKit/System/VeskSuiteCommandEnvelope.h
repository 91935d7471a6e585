#pragma once

#include "VeskKit/System/VeskSuiteApp.h"
#include "VeskKit/System/VeskSuiteCommandKind.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QUuid>

#include <optional>

// One command as it lies in a command file: who sent it to whom, what to do,
// and an optional process, name and free-form argument it is about.
struct VeskSuiteCommandEnvelope {
    QUuid id;
    QDateTime timestamp;
    VeskSuiteApp sourceApp;
    VeskSuiteApp targetApp;
    VeskSuiteCommandKind kind;
    std::optional<qint32> targetPID;
    std::optional<QString> targetName;
    std::optional<QString> payload;

    VeskSuiteCommandEnvelope(QUuid id, QDateTime timestamp, VeskSuiteApp sourceApp, VeskSuiteApp targetApp,
                             VeskSuiteCommandKind kind, std::optional<qint32> targetPID,
                             std::optional<QString> targetName, std::optional<QString> payload);

    // The id as upper-case hyphenated text; absent optional fields are left
    // out. Nothing when the timestamp is not a valid instant.
    std::optional<QJsonObject> toJson() const;
    // id, timestamp, sourceApp, targetApp and kind are required; the other
    // three may be missing or null.
    static std::optional<VeskSuiteCommandEnvelope> fromJson(const QJsonObject &object);

    bool operator==(const VeskSuiteCommandEnvelope &other) const;
};
