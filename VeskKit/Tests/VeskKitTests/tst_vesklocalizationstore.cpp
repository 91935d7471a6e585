#include "VeskKit/Localization/VeskLocalizationStore.h"
#include "VeskKit/Localization/VeskText.h"

#include <QTemporaryDir>
#include <QtTest>

#include <thread>
#include <vector>

// Files are named "<folder>/<file name>", where folder is one of: extra1,
// extra2 (the store's own search folders, in that order), custom, shared.
using Files = QMap<QString, QByteArray>;

namespace {

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((v >> (8 * i)) & 0xff);
    return b;
}

// An LZFSE stream holding `data` in one stored block.
QByteArray storedLzfse(const QByteArray &data)
{
    return "bvx-" + le32(quint32(data.size())) + data + "bvx$";
}

// An LZFSE stream holding `data` as LZVN literal runs.
QByteArray lzvnLzfse(const QByteArray &data)
{
    QByteArray payload;
    for (qsizetype at = 0; at < data.size();) {
        const qsizetype run = qMin<qsizetype>(data.size() - at, 271);
        if (run < 16)
            payload += char(0xe0 | run);
        else
            payload += QByteArray(1, char(0xe0)) + char(run - 16);
        payload += data.mid(at, run);
        at += run;
    }
    payload += QByteArray::fromHex("0600000000000000");
    return "bvxn" + le32(quint32(data.size())) + le32(quint32(payload.size())) + payload + "bvx$";
}

QByteArray flat(const QMap<QString, QString> &strings)
{
    QJsonObject object;
    for (auto it = strings.cbegin(); it != strings.cend(); ++it)
        object.insert(it.key(), it.value());
    return QJsonDocument(object).toJson();
}

QByteArray pack(const QMap<QString, QString> &strings, const QMap<QString, QString> &templates = {})
{
    VeskLocalizationPack p(QStringLiteral("xx"), QStringLiteral("Native"), QStringLiteral("English"),
                           false, strings, templates);
    return QJsonDocument(p.toJson()).toJson();
}

std::optional<QString> noKey()
{
    return std::nullopt;
}

} // namespace

class TestVeskLocalizationStore : public QObject {
    Q_OBJECT

private slots:
    void init();

    void looksUpInOrder_data();
    void looksUpInOrder();
    void searchFoldersInPrecedence_data();
    void searchFoldersInPrecedence();
    void readsCompressedCatalogs_data();
    void readsCompressedCatalogs();
    void skipsUnusableCatalogs_data();
    void skipsUnusableCatalogs();
    void loadsCustomPacks_data();
    void loadsCustomPacks();
    void customPackFailureKeepsOverrides_data();
    void customPackFailureKeepsOverrides();

    void cachesCatalogsUntilReload();
    void registeringFolderPutsItFirstOnce();
    void preloadsCatalogLanguagesOnly();
    void sharedStoreServesVeskText();
    void concurrentLookupsStayConsistent();

private:
    QString folder(const QString &name) const;
    void writeFiles(const Files &files) const;
    std::unique_ptr<VeskLocalizationStore> makeStore() const;

    std::unique_ptr<QTemporaryDir> m_home;
};

void TestVeskLocalizationStore::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    qputenv("HOME", m_home->path().toUtf8());
    qputenv("XDG_DATA_HOME", (m_home->path() + "/data").toUtf8());
    qputenv("XDG_CONFIG_HOME", (m_home->path() + "/config").toUtf8());
    VeskLocalizationStore::shared().reloadCatalogs();
    VeskLocalizationStore::shared().clearCustomPack();
}

QString TestVeskLocalizationStore::folder(const QString &name) const
{
    if (name == QLatin1String("shared"))
        return VeskLocalizationStore::sharedSuiteLocalizationsDirectory();
    if (name == QLatin1String("custom"))
        return VeskLocalizationStore::customLanguagePacksDirectory();
    return m_home->path() + QLatin1Char('/') + name;
}

void TestVeskLocalizationStore::writeFiles(const Files &files) const
{
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        const qsizetype slash = it.key().indexOf(QLatin1Char('/'));
        const QString dir = folder(it.key().left(slash));
        QVERIFY(QDir().mkpath(dir));
        QFile file(dir + it.key().mid(slash));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(it.value()), it.value().size());
    }
}

std::unique_ptr<VeskLocalizationStore> TestVeskLocalizationStore::makeStore() const
{
    return std::make_unique<VeskLocalizationStore>(
        QStringList{folder(QStringLiteral("extra1")), folder(QStringLiteral("extra2"))});
}

void TestVeskLocalizationStore::looksUpInOrder_data()
{
    QTest::addColumn<Files>("files");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("key");  // null: none
    QTest::addColumn<QString>("en");
    QTest::addColumn<QString>("tr");
    QTest::addColumn<QString>("expected");

    const Files german = {{"shared/de.json", flat({{"Save", "Speichern"}, {"save.button", "Sichern"}})}};
    QTest::newRow("English ignores catalogs")
        << Files{{"shared/en.json", flat({{"Save", "SAVE"}})}} << "en" << QString() << "Save"
        << "Kaydet" << "Save";
    QTest::newRow("Turkish from the call site")
        << Files{{"shared/tr.json", flat({{"Save", "KAYDET"}})}} << "tr" << QString() << "Save"
        << "Kaydet" << "Kaydet";
    QTest::newRow("empty Turkish shows English") << Files{} << "tr" << QString() << "Save" << ""
                                                 << "Save";
    QTest::newRow("catalog language") << german << "de" << QString() << "Save" << "Kaydet"
                                      << "Speichern";
    QTest::newRow("untranslated text shows English")
        << german << "de" << QString() << "Open" << "Aç" << "Open";
    QTest::newRow("key before English text") << german << "de" << "save.button" << "Save"
                                             << "Kaydet" << "Sichern";
    QTest::newRow("unknown key, known English text")
        << german << "de" << "other.key" << "Save" << "Kaydet" << "Speichern";
    QTest::newRow("empty translation ignored")
        << Files{{"shared/de.json", flat({{"Save", ""}})}} << "de" << QString() << "Save"
        << "Kaydet" << "Save";
    QTest::newRow("no catalog fallback to English")
        << Files{{"shared/en.json", flat({{"Open", "OPEN"}})}} << "de" << QString() << "Open"
        << "Aç" << "Open";
    QTest::newRow("pt-PT falls back to pt-BR")
        << Files{{"shared/pt-BR.json", flat({{"Save", "Salvar"}})},
                 {"shared/pt-PT.json", flat({{"Open", "Abrir"}})}}
        << "pt-PT" << QString() << "Save" << "Kaydet" << "Salvar";
    QTest::newRow("pt-PT own catalog first")
        << Files{{"shared/pt-BR.json", flat({{"Save", "Salvar"}})},
                 {"shared/pt-PT.json", flat({{"Save", "Guardar"}})}}
        << "pt-PT" << QString() << "Save" << "Kaydet" << "Guardar";
    QTest::newRow("pt-BR does not fall back to pt-PT")
        << Files{{"shared/pt-PT.json", flat({{"Save", "Guardar"}})}} << "pt-BR" << QString()
        << "Save" << "Kaydet" << "Save";
    QTest::newRow("zh-Hant falls back to zh-Hans")
        << Files{{"shared/zh-Hans.json", flat({{"Save", QString::fromUtf8("保存")}})}}
        << "zh-Hant" << QString() << "Save" << "Kaydet" << QString::fromUtf8("保存");
    QTest::newRow("template from a pack")
        << Files{{"shared/de.json", pack({}, {{"{0} notes", "{0} Notizen"}})}} << "de" << QString()
        << "3 notes" << "3 not" << "3 Notizen";
    QTest::newRow("flat catalog") << Files{{"shared/de.json", R"({"Pin": "Anheften"})"}} << "de"
                                  << QString() << "Pin" << "Sabitle" << "Anheften";
    // A record with no strings and no templates is read again as a flat catalog.
    QTest::newRow("record holding only a code reads flat")
        << Files{{"shared/de.json", R"({"code": "de"})"}} << "de" << QString() << "code" << ""
        << "de";
    QTest::newRow("record of informational members only is not a catalog")
        << Files{{"shared/de.json", R"({"code": "de", "isRTL": false})"}} << "de" << QString()
        << "code" << "" << "code";
}

void TestVeskLocalizationStore::looksUpInOrder()
{
    QFETCH(Files, files);
    QFETCH(QString, language);
    QFETCH(QString, key);
    QFETCH(QString, en);
    QFETCH(QString, tr);
    QFETCH(QString, expected);

    writeFiles(files);
    const auto store = makeStore();
    const auto lang = VeskLanguage::fromRawValue(language);
    QVERIFY(lang);
    const std::optional<QString> optionalKey = key.isNull() ? noKey() : std::optional(key);
    QCOMPARE(store->resolve(optionalKey, en, tr, *lang), expected);
    if (!key.isNull())
        QCOMPARE(store->string(key, en, tr, *lang), expected);
}

void TestVeskLocalizationStore::searchFoldersInPrecedence_data()
{
    QTest::addColumn<Files>("files");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("en");
    QTest::addColumn<QString>("expected");

    QTest::newRow("custom over shared")
        << Files{{"custom/de.json", flat({{"Key", "custom"}})},
                 {"shared/de.json", flat({{"Key", "shared"}})}}
        << "de" << "Key" << "custom";
    QTest::newRow("extra over custom")
        << Files{{"extra2/de.json", flat({{"Key", "extra"}})},
                 {"custom/de.json", flat({{"Key", "custom"}})}}
        << "de" << "Key" << "extra";
    QTest::newRow("first extra over second")
        << Files{{"extra1/de.json", flat({{"Key", "first"}})},
                 {"extra2/de.json", flat({{"Key", "second"}})}}
        << "de" << "Key" << "first";
    QTest::newRow("lower folders fill missing keys")
        << Files{{"extra1/de.json", flat({{"Key", "first"}})},
                 {"shared/de.json", flat({{"Other", "shared"}})}}
        << "de" << "Other" << "shared";
    // The application's resources carry fr.json with "Shared key" and "Resource only".
    QTest::newRow("custom over the application's resources")
        << Files{{"custom/fr.json", flat({{"Shared key", "personnalisé"}})}} << "fr" << "Shared key"
        << "personnalisé";
    QTest::newRow("application's resources over shared")
        << Files{{"shared/fr.json", flat({{"Shared key", "partagé"}})}} << "fr" << "Shared key"
        << "depuis les ressources";
    QTest::newRow("application's resources alone") << Files{} << "fr" << "Resource only"
                                                   << "ressource";
    QTest::newRow("templates merge across folders too")
        << Files{{"extra1/de.json", pack({{"Other", "x"}}, {{"{0} notes", "{0} Notizen"}})},
                 {"shared/de.json", pack({}, {{"{0} notes", "{0} Zettel"}, {"{0} files", "{0} Dateien"}})}}
        << "de" << "2 files" << "2 Dateien";
    QTest::newRow("template from the higher folder wins")
        << Files{{"extra1/de.json", pack({{"Other", "x"}}, {{"{0} notes", "{0} Notizen"}})},
                 {"shared/de.json", pack({}, {{"{0} notes", "{0} Zettel"}})}}
        << "de" << "2 notes" << "2 Notizen";
}

void TestVeskLocalizationStore::searchFoldersInPrecedence()
{
    QFETCH(Files, files);
    QFETCH(QString, language);
    QFETCH(QString, en);
    QFETCH(QString, expected);

    writeFiles(files);
    const auto store = makeStore();
    QCOMPARE(store->resolve(noKey(), en, en, *VeskLanguage::fromRawValue(language)), expected);
}

void TestVeskLocalizationStore::readsCompressedCatalogs_data()
{
    QTest::addColumn<Files>("files");
    QTest::addColumn<QString>("en");
    QTest::addColumn<QString>("expected");

    const QByteArray compressedCatalog = flat({{"Save", "gepackt"}});
    const QByteArray plainCatalog = flat({{"Save", "einfach"}, {"Open", "Öffnen"}});
    QTest::newRow("compressed file alone") << Files{{"shared/de.json.lzfse", storedLzfse(compressedCatalog)}}
                                           << "Save" << "gepackt";
    QTest::newRow("LZVN-compressed file") << Files{{"shared/de.json.lzfse", lzvnLzfse(pack({{"Save", "lzvn"}}))}}
                                          << "Save" << "lzvn";
    QTest::newRow("compressed before plain in one folder")
        << Files{{"shared/de.json.lzfse", storedLzfse(compressedCatalog)}, {"shared/de.json", plainCatalog}}
        << "Save" << "gepackt";
    // Only one file per folder counts: the plain file's other texts are not read.
    QTest::newRow("plain file unread beside a usable compressed one")
        << Files{{"shared/de.json.lzfse", storedLzfse(compressedCatalog)}, {"shared/de.json", plainCatalog}}
        << "Open" << "Open";
    QTest::newRow("corrupt compressed file falls back to plain")
        << Files{{"shared/de.json.lzfse", storedLzfse(compressedCatalog).left(20)},
                 {"shared/de.json", plainCatalog}}
        << "Save" << "einfach";
    QTest::newRow("compressed non-catalog falls back to plain")
        << Files{{"shared/de.json.lzfse", storedLzfse("[1, 2]")}, {"shared/de.json", plainCatalog}}
        << "Open" << "Öffnen";
    QTest::newRow("uncompressed JSON under the compressed name falls back to plain")
        << Files{{"shared/de.json.lzfse", compressedCatalog}, {"shared/de.json", plainCatalog}}
        << "Save" << "einfach";
    QTest::newRow("compressed in a higher folder over plain in a lower one")
        << Files{{"custom/de.json.lzfse", storedLzfse(compressedCatalog)}, {"shared/de.json", plainCatalog}}
        << "Save" << "gepackt";
}

void TestVeskLocalizationStore::readsCompressedCatalogs()
{
    QFETCH(Files, files);
    QFETCH(QString, en);
    QFETCH(QString, expected);

    writeFiles(files);
    const auto store = makeStore();
    QCOMPARE(store->resolve(noKey(), en, en, VeskLanguage::de), expected);
}

void TestVeskLocalizationStore::skipsUnusableCatalogs_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("en");
    QTest::addColumn<QString>("expected");

    // The custom folder's valid catalog translates "Good"; the shared folder
    // holds the file under test, which also mentions "Bad".
    QTest::newRow("not JSON") << QByteArray("{\"Bad\": \"schlecht\"") << "Bad" << "Bad";
    QTest::newRow("empty file") << QByteArray() << "Bad" << "Bad";
    QTest::newRow("binary") << QByteArray::fromHex("00ff10fe7b22") << "Bad" << "Bad";
    QTest::newRow("top-level array") << QByteArray(R"([{"Bad": "schlecht"}])") << "Bad" << "Bad";
    QTest::newRow("number value in a flat catalog") << QByteArray(R"({"Bad": "schlecht", "n": 1})")
                                                    << "Bad" << "Bad";
    QTest::newRow("strings member not an object")
        << QByteArray(R"({"strings": ["Bad"], "templates": {}})") << "Bad" << "Bad";
    QTest::newRow("number inside strings")
        << QByteArray(R"({"strings": {"Bad": 1}, "code": "de"})") << "Bad" << "Bad";
    QTest::newRow("isRTL not a Boolean")
        << QByteArray(R"({"isRTL": "no", "strings": {"Bad": "schlecht"}})") << "Bad" << "Bad";
    QTest::newRow("null members read as missing")
        << QByteArray(R"({"code": null, "isRTL": null, "strings": {"Bad": "schlecht"}, "templates": null})")
        << "Bad" << "schlecht";
    QTest::newRow("templates that can never match are dropped")
        << QByteArray(R"({"templates": {"{0}": "x", "{0}{1}": "y", "{1} {0}": "z", "a{0}b": "w",
                                         "{0} pages": "{0} Seiten"}})")
        << "4 pages" << "4 Seiten";
    QTest::newRow("placeholder-looking text in the target only")
        << QByteArray(R"({"templates": {"Done {0}": "{9} fertig {0}"}})") << "Done now"
        << "{9} fertig now";
    QTest::newRow("valid catalog beside unusable ones still read")
        << QByteArray(R"({"Bad": "schlecht"})") << "Good" << "gut";
}

void TestVeskLocalizationStore::skipsUnusableCatalogs()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, en);
    QFETCH(QString, expected);

    writeFiles({{"custom/de.json", flat({{"Good", "gut"}})}, {"shared/de.json", content}});
    const auto store = makeStore();
    QCOMPARE(store->resolve(noKey(), en, en, VeskLanguage::de), expected);
    QCOMPARE(store->resolve(noKey(), "Good", "Good", VeskLanguage::de), QStringLiteral("gut"));
}

void TestVeskLocalizationStore::loadsCustomPacks_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("en");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("withoutPack");

    // Turkish texts passed are "Kaydet"; the German catalog has "Save" and "Empty".
    const QByteArray flatPack = flat({{"Save", "Store"}, {"save.key", "Keyed"}, {"Empty", ""}});
    QTest::newRow("overrides English") << "pack.json" << flatPack << "en" << QString() << "Save"
                                       << "Store" << "Save";
    QTest::newRow("overrides Turkish") << "pack.json" << flatPack << "tr" << QString() << "Save"
                                       << "Store" << "Kaydet";
    QTest::newRow("overrides catalogs") << "pack.json" << flatPack << "de" << QString() << "Save"
                                        << "Store" << "Speichern";
    QTest::newRow("key first") << "pack.json" << flatPack << "en" << "save.key" << "Save" << "Keyed"
                               << "Save";
    QTest::newRow("empty override skipped") << "pack.json" << flatPack << "de" << QString() << "Empty"
                                            << "Leer" << "Leer";
    QTest::newRow("record form strings") << "pack.json" << pack({{"Save", "Record"}}) << "en"
                                         << QString() << "Save" << "Record" << "Save";
    QTest::newRow("record form templates unused")
        << "pack.json" << pack({{"Save", "Record"}}, {{"{0} notes", "{0} NOTES"}}) << "en" << QString()
        << "3 notes" << "3 notes" << "3 notes";
    QTest::newRow("compressed, extension in capitals") << "pack.json.LZFSE" << storedLzfse(flatPack)
                                                       << "en" << QString() << "Save" << "Store"
                                                       << "Save";
}

void TestVeskLocalizationStore::loadsCustomPacks()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    QFETCH(QString, language);
    QFETCH(QString, key);
    QFETCH(QString, en);
    QFETCH(QString, expected);
    QFETCH(QString, withoutPack);

    writeFiles({{"custom/de.json", flat({{"Empty", "Leer"}, {"Save", "Speichern"}})},
                {"packs/" + fileName, content}});
    const auto store = makeStore();
    const auto lang = *VeskLanguage::fromRawValue(language);
    const std::optional<QString> optionalKey = key.isNull() ? noKey() : std::optional(key);
    const auto error = store->loadJSONPack(folder("packs") + "/" + fileName);
    QVERIFY2(!error, error ? qPrintable(error->detail) : "");
    QCOMPARE(store->resolve(optionalKey, en, "Kaydet", lang), expected);

    store->clearCustomPack();
    QCOMPARE(store->resolve(optionalKey, en, "Kaydet", lang), withoutPack);
}

void TestVeskLocalizationStore::customPackFailureKeepsOverrides_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("content");  // null: no file
    QTest::addColumn<int>("kind");

    using Kind = VeskLocalizationPackError::Kind;
    QTest::newRow("missing file") << "absent.json" << QByteArray() << int(Kind::unreadable);
    QTest::newRow("not JSON") << "bad.json" << QByteArray("{oops") << int(Kind::notDecodable);
    QTest::newRow("array") << "bad.json" << QByteArray("[]") << int(Kind::notDecodable);
    QTest::newRow("neither form") << "bad.json" << QByteArray(R"({"strings": 5})") << int(Kind::notDecodable);
    QTest::newRow("corrupt compression") << "bad.json.lzfse" << QByteArray("bvx-\xff\xff") << int(Kind::notDecompressible);
    QTest::newRow("a folder") << "folder.json" << QByteArray("<dir>") << int(Kind::unreadable);
    QTest::newRow("beyond the size limit")
        << "huge.json" << QByteArray(16 * 1024 * 1024 + 1, ' ') << int(Kind::unreadable);
}

void TestVeskLocalizationStore::customPackFailureKeepsOverrides()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    QFETCH(int, kind);

    writeFiles({{"packs/good.json", flat({{"Save", "Store"}})}});
    const QString path = folder("packs") + "/" + fileName;
    if (content == "<dir>")
        QVERIFY(QDir().mkpath(path));
    else if (!content.isNull())
        writeFiles({{"packs/" + fileName, content}});

    const auto store = makeStore();
    QVERIFY(!store->loadJSONPack(folder("packs") + "/good.json"));
    const auto error = store->loadJSONPack(path);
    QVERIFY(error);
    QCOMPARE(int(error->kind), kind);
    QCOMPARE(store->resolve(noKey(), "Save", "Kaydet", VeskLanguage::tr), QStringLiteral("Store"));
}

void TestVeskLocalizationStore::cachesCatalogsUntilReload()
{
    const auto store = makeStore();
    // A language without files is cached as empty too.
    QCOMPARE(store->resolve(noKey(), "Save", "", VeskLanguage::de), QStringLiteral("Save"));
    writeFiles({{"shared/de.json", flat({{"Save", "eins"}})}});
    QCOMPARE(store->resolve(noKey(), "Save", "", VeskLanguage::de), QStringLiteral("Save"));
    store->reloadCatalogs();
    QCOMPARE(store->resolve(noKey(), "Save", "", VeskLanguage::de), QStringLiteral("eins"));
    writeFiles({{"shared/de.json", flat({{"Save", "zwei"}})}});
    QCOMPARE(store->resolve(noKey(), "Save", "", VeskLanguage::de), QStringLiteral("eins"));
    store->reloadCatalogs();
    QCOMPARE(store->resolve(noKey(), "Save", "", VeskLanguage::de), QStringLiteral("zwei"));
}

void TestVeskLocalizationStore::registeringFolderPutsItFirstOnce()
{
    writeFiles({{"extra1/de.json", flat({{"Key", "first"}})},
                {"late/de.json", flat({{"Key", "late"}})},
                {"later/de.json", flat({{"Key", "later"}})}});
    const auto store = makeStore();
    QCOMPARE(store->resolve(noKey(), "Key", "", VeskLanguage::de), QStringLiteral("first"));
    // Registering empties the cache and puts the folder in front.
    store->registerSearchDirectory(folder("late"));
    QCOMPARE(store->resolve(noKey(), "Key", "", VeskLanguage::de), QStringLiteral("late"));
    store->registerSearchDirectory(folder("later"));
    QCOMPARE(store->resolve(noKey(), "Key", "", VeskLanguage::de), QStringLiteral("later"));
    // A folder already known keeps its place (the same location spelled differently).
    store->registerSearchDirectory(folder("late") + "/../late/");
    QCOMPARE(store->resolve(noKey(), "Key", "", VeskLanguage::de), QStringLiteral("later"));
    store->registerSearchDirectory(folder("extra1"));
    QCOMPARE(store->resolve(noKey(), "Key", "", VeskLanguage::de), QStringLiteral("later"));
}

void TestVeskLocalizationStore::preloadsCatalogLanguagesOnly()
{
    writeFiles({{"shared/de.json", flat({{"Save", "Speichern"}})},
                {"shared/en.json", flat({{"Save", "SAVE"}})}});
    const auto store = makeStore();
    store->preloadIfNeeded(VeskLanguage::de);
    store->preloadIfNeeded(VeskLanguage::en);
    QVERIFY(QFile::remove(folder("shared") + "/de.json"));
    QCOMPARE(store->resolve(noKey(), "Save", "", VeskLanguage::de), QStringLiteral("Speichern"));
    QCOMPARE(store->resolve(noKey(), "Save", "", VeskLanguage::en), QStringLiteral("Save"));
}

void TestVeskLocalizationStore::sharedStoreServesVeskText()
{
    writeFiles({{"shared/sv.json", flat({{"Save", "Spara"}})}});
    QCOMPARE(veskText("Save", "Kaydet", VeskLanguage::sv), QStringLiteral("Spara"));
    QCOMPARE(veskText("Save", "Kaydet", std::optional<QString>("missing.key"), VeskLanguage::sv),
             QStringLiteral("Spara"));
    QCOMPARE(veskText("Save", "Kaydet", VeskLanguage::tr), QStringLiteral("Kaydet"));
    QCOMPARE(veskText("Save", "Kaydet", VeskLanguage::en), QStringLiteral("Save"));
    QCOMPARE(VeskLocalizationStore::sharedSuiteLocalizationsDirectory(),
             m_home->path() + "/data/Quarnell/Localizations");
    QCOMPARE(VeskLocalizationStore::customLanguagePacksDirectory(),
             m_home->path() + "/data/Quarnell/Localizations/Custom");
}

void TestVeskLocalizationStore::concurrentLookupsStayConsistent()
{
    writeFiles({{"shared/de.json", flat({{"Save", "Speichern"}})},
                {"shared/pt-BR.json", flat({{"Save", "Salvar"}})},
                {"packs/pack.json", flat({{"Open", "Override"}})}});
    const auto store = makeStore();
    QAtomicInt wrong = 0;
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([&store, &wrong, t] {
            const VeskLanguage language = (t % 2) ? VeskLanguage::de : VeskLanguage::ptPT;
            const QString want = (t % 2) ? QStringLiteral("Speichern") : QStringLiteral("Salvar");
            for (int i = 0; i < 200; ++i) {
                if (store->resolve(noKey(), "Save", "Kaydet", language) != want)
                    wrong.ref();
                const QString open = store->resolve(noKey(), "Open", "Aç", language);
                if (open != QLatin1String("Open") && open != QLatin1String("Override"))
                    wrong.ref();
            }
        });
    }
    for (int i = 0; i < 50; ++i) {
        store->reloadCatalogs();
        if (i % 2)
            store->clearCustomPack();
        else
            QVERIFY(!store->loadJSONPack(folder("packs") + "/pack.json"));
    }
    for (std::thread &worker : workers)
        worker.join();
    QCOMPARE(wrong.loadRelaxed(), 0);
}

QTEST_GUILESS_MAIN(TestVeskLocalizationStore)
#include "tst_vesklocalizationstore.moc"
