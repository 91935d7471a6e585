#pragma once

#include "VeskKit/Localization/LoadedLanguageCatalog.h"
#include "VeskKit/Localization/VeskLanguage.h"
#include "VeskKit/Localization/VeskLocalizationPack.h"

#include <QHash>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <optional>

// Owns the translation catalogs of the languages beyond English and Turkish
// (loaded on first use, one per language) and the custom pack that overrides
// every language. The lock guards the fields only; files are never read or
// decoded while it is held.
//
// A language's catalog merges its file from each directory, earlier
// directories winning key by key:
//   1. extra directories: the constructor's, in order, behind registered ones
//      (the most recently registered first)
//   2. customLanguagePacksDirectory()           $XDG_DATA_HOME/Quarnell/Localizations/Custom
//   3. the application's own catalogs           Qt resources under ":/Localizations"
//   4. sharedSuiteLocalizationsDirectory()      $XDG_DATA_HOME/Quarnell/Localizations
//   5. the kit's source checkout                VeskKit/Resources/Localizations
// In each directory "<code>.json.lzfse" is tried before "<code>.json".
class VeskLocalizationStore {
public:
    static VeskLocalizationStore &shared();

    explicit VeskLocalizationStore(const QStringList &searchDirectories = {});
    VeskLocalizationStore(const VeskLocalizationStore &) = delete;
    VeskLocalizationStore &operator=(const VeskLocalizationStore &) = delete;

    QString resolve(const std::optional<QString> &key, const QString &en, const QString &tr,
                    VeskLanguage language) const;
    QString string(const QString &key, const QString &en, const QString &tr,
                   VeskLanguage language) const;

    // Loads the catalog of a catalog language now, unless it is loaded already.
    void preloadIfNeeded(VeskLanguage language) const;

    // Makes the strings of the pack at `filePath` (flat or record form,
    // optionally LZFSE-compressed) the custom overrides. On failure the
    // current overrides stay.
    std::optional<VeskLocalizationPackError> loadJSONPack(const QString &filePath);
    void clearCustomPack();
    void reloadCatalogs();
    // Puts `directory` ahead of every other search directory (once).
    void registerSearchDirectory(const QString &directory);

    static QString sharedSuiteLocalizationsDirectory();
    static QString customLanguagePacksDirectory();
    // Where an application's compiled-in catalogs live.
    static QString applicationResourcesDirectory();

private:
    std::shared_ptr<const LoadedLanguageCatalog> catalog(const QString &code) const;
    static std::shared_ptr<const LoadedLanguageCatalog>
    loadCatalogFromDisk(const QString &code, const QStringList &extraDirectories);

    mutable QMutex m_lock;
    QHash<QString, QString> m_customOverrides;
    mutable QHash<QString, std::shared_ptr<const LoadedLanguageCatalog>> m_loadedCatalogs;
    QStringList m_extraSearchDirectories;
    // Bumped whenever the cache is emptied, so that a load that started
    // before does not put an outdated catalog back.
    mutable quint64 m_cacheGeneration = 0;
    // Lets lookups skip the lock while no custom pack is loaded.
    std::atomic<bool> m_hasCustomOverrides{false};
};
