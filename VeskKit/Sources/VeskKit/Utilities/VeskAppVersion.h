#pragma once

#include "VeskKit/Utilities/VeskBundle.h"
#include "VeskKit/Utilities/VeskSemVer.h"

#include <QString>

#include <optional>

// The running application's marketing version and build number.
struct VeskAppVersion {
    QString shortVersion;
    QString buildNumber;

    VeskAppVersion() = default;
    VeskAppVersion(const QString& shortVersion, const QString& buildNumber);

    // Read from the bundle's "CFBundleShortVersionString" and "CFBundleVersion";
    // an entry that is missing, not text or blank gives way to its fallback.
    static VeskAppVersion current(const VeskBundle& bundle = VeskBundle::main(),
                                  const QString& fallbackVersion = QStringLiteral("1.0.0"),
                                  const QString& fallbackBuild = QStringLiteral("100"));

    QString tag() const;             // v1.4.2
    QString detailedDisplay() const; // v1.4.2 (157)
    std::optional<VeskSemVer> semVer() const;

    friend bool operator==(const VeskAppVersion&, const VeskAppVersion&) = default;
};
