#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <optional>

// What the application ships with it: a dictionary of facts about the build
// (version, build number, name) and a folder of resources. The running
// application's own bundle is main(); its resources are the ones compiled in
// with the Qt resource system.
struct VeskBundle {
    QVariantMap infoDictionary;
    // Folder holding the bundle's resources, ":/" for the compiled-in ones.
    QString resourceDirectory;

    // The raw value under the key; an invalid QVariant when there is none.
    QVariant object(const QString& infoDictionaryKey) const;

    // Path of the resource "<name>.<extension>" when it exists.
    std::optional<QString> url(const QString& resource, const QString& extension) const;

    static VeskBundle main();
};
