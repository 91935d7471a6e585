#include "VeskKit/Localization/VeskLanguage.h"
#include "VeskKit/Localization/VeskLanguageNotifier.h"
#include "VeskKit/Localization/VeskLanguageSelection.h"
#include "VeskKit/Localization/VeskLocalizationStore.h"
#include "VeskKit/Localization/VeskText.h"
#include "VeskKit/Localization/VeskUserDefaults.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const char *const kLocaleVariables[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};

// The system's preferred languages as the environment states them; every
// variable not named is unset.
void setSystemLanguages(const QMap<QString, QString> &variables)
{
    for (const char *name : kLocaleVariables)
        qunsetenv(name);
    for (auto it = variables.cbegin(); it != variables.cend(); ++it)
        qputenv(it.key().toLatin1().constData(), it.value().toUtf8());
}

void storePreference(const QVariant &value)
{
    QSettings settings(VeskUserDefaults::filePath(), QSettings::IniFormat);
    if (value.isValid())
        settings.setValue(VeskLanguage::defaultsKey, value);
    else
        settings.remove(VeskLanguage::defaultsKey);
    settings.sync();
}

std::optional<QString> storedPreference()
{
    return VeskUserDefaults::string(VeskLanguage::defaultsKey);
}

QString codeOf(std::optional<VeskLanguage> language)
{
    return language ? language->rawValue() : QString();
}

} // namespace

class TestVeskLanguage : public QObject {
    Q_OBJECT

private slots:
    void init();

    void casesInDeclarationOrder();
    void perLanguageData_data();
    void perLanguageData();
    void sortedByEnglishName();

    void matchesTags_data();
    void matchesTags();
    void resolvesFirstMatchingTag_data();
    void resolvesFirstMatchingTag();
    void readsSystemLanguagesFromEnvironment_data();
    void readsSystemLanguagesFromEnvironment();

    void resolvesStoredPreference_data();
    void resolvesStoredPreference();
    void storesInApplicationDefaultsFile();

    void setCurrentStoresAndAnnounces();
    void setFollowSystemStoresSystemAndAnnouncesResolved();
    void followSystemSuppressesStoringInsideBody();
    void nestedFollowSystemKeepsSuppressing();
    void announcesAfterCatalogIsLoaded();

    void decodesLeniently_data();
    void decodesLeniently();
    void selectionEqualityAndHash();

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

void TestVeskLanguage::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    qputenv("HOME", m_home->path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (m_home->path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (m_home->path() + "/data").toUtf8());
    setSystemLanguages({{"LC_ALL", "C"}});
    VeskLocalizationStore::shared().reloadCatalogs();
    VeskLocalizationStore::shared().clearCustomPack();
}

void TestVeskLanguage::casesInDeclarationOrder()
{
    const QStringList expected = {
        "ar", "az", "bg", "ca", "cs", "da", "de", "el", "en", "es", "fa", "fi", "fr",
        "he", "hi", "hr", "hu", "id", "it", "ja", "ko", "ms", "nb", "nl", "pl", "pt-BR",
        "pt-PT", "ro", "ru", "sk", "sv", "th", "tr", "uk", "vi", "zh-Hans", "zh-Hant"};
    QStringList codes;
    for (VeskLanguage language : VeskLanguage::allCases()) {
        codes.append(rawValue(language));
        QCOMPARE(codeOf(VeskLanguageFromRaw(language.rawValue())), language.rawValue());
    }
    QCOMPARE(codes, expected);
    // Only exact codes: letter case counts.
    QVERIFY(!VeskLanguageFromRaw("DE"));
    QVERIFY(!VeskLanguageFromRaw("pt-br"));
    QVERIFY(!VeskLanguageFromRaw("pt"));
}

void TestVeskLanguage::perLanguageData_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("shortCode");
    QTest::addColumn<bool>("rtl");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("displayName");

    QTest::newRow("en") << "en" << "EN" << false << QString() << "English";
    QTest::newRow("de") << "de" << "DE" << false << QString() << "Deutsch (German)";
    QTest::newRow("tr") << "tr" << "TR" << false << QString() << QString::fromUtf8("Türkçe (Turkish)");
    QTest::newRow("ar") << "ar" << "AR" << true << QString()
                        << QString::fromUtf8("العربية (Arabic)");
    QTest::newRow("fa") << "fa" << "FA" << true << QString() << QString::fromUtf8("فارسی (Persian)");
    QTest::newRow("he") << "he" << "HE" << true << QString() << QString::fromUtf8("עברית (Hebrew)");
    QTest::newRow("pt-BR") << "pt-BR" << "PT" << false << QString()
                           << QString::fromUtf8("Português (Brasil) (Portuguese (Brazil))");
    QTest::newRow("pt-PT") << "pt-PT" << "PT-PT" << false << "pt-BR"
                           << QString::fromUtf8("Português (Portugal) (Portuguese (Portugal))");
    QTest::newRow("zh-Hans") << "zh-Hans" << "ZH" << false << QString()
                             << QString::fromUtf8("简体中文 (Chinese (Simplified))");
    QTest::newRow("zh-Hant") << "zh-Hant" << "ZH-TW" << false << "zh-Hans"
                             << QString::fromUtf8("繁體中文 (Chinese (Traditional))");
    QTest::newRow("nb") << "nb" << "NB" << false << QString()
                        << QString::fromUtf8("Norsk Bokmål (Norwegian Bokmål)");
}

void TestVeskLanguage::perLanguageData()
{
    QFETCH(QString, code);
    QFETCH(QString, shortCode);
    QFETCH(bool, rtl);
    QFETCH(QString, parent);
    QFETCH(QString, displayName);

    const auto language = VeskLanguage::fromRawValue(code);
    QVERIFY(language);
    QCOMPARE(language->shortCode(), shortCode);
    QCOMPARE(language->isRTL(), rtl);
    QCOMPARE(codeOf(language->fallbackParent()), parent);
    QCOMPARE(language->displayName(), displayName);
}

void TestVeskLanguage::sortedByEnglishName()
{
    const QList<VeskLanguage> sorted = VeskLanguage::sortedCases();
    QCOMPARE(sorted.size(), VeskLanguage::caseCount);
    QStringList firstSix;
    for (int i = 0; i < 6; ++i)
        firstSix.append(sorted[i].englishName());
    QCOMPARE(firstSix, (QStringList{"Arabic", "Azerbaijani", "Bulgarian", "Catalan",
                                    "Chinese (Simplified)", "Chinese (Traditional)"}));
    QCOMPARE(sorted.last().englishName(), QStringLiteral("Vietnamese"));
}

void TestVeskLanguage::matchesTags_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("expected");  // empty: no language

    QTest::newRow("underscore region") << "en_US" << "en";
    QTest::newRow("bare pt") << "pt" << "pt-BR";
    QTest::newRow("pt-BR region") << "pt_BR" << "pt-BR";
    QTest::newRow("pt-PT with extension") << "pt-PT-x" << "pt-PT";
    QTest::newRow("exact pass ignores case") << "PT-pt" << "pt-PT";
    QTest::newRow("zh-TW") << "zh-TW" << "zh-Hant";
    QTest::newRow("zh-HK") << "zh-HK" << "zh-Hant";
    QTest::newRow("zh-MO") << "zh-MO" << "zh-Hant";
    QTest::newRow("zh-Hant-CN") << "zh-Hant-CN" << "zh-Hant";
    QTest::newRow("zh-hant exact") << "zh-hant" << "zh-Hant";
    QTest::newRow("bare zh") << "zh" << "zh-Hans";
    QTest::newRow("zh-CN") << "zh-CN" << "zh-Hans";
    QTest::newRow("zh-SG") << "zh-SG" << "zh-Hans";
    QTest::newRow("zh-Hans-HK script wins") << "zh-Hans-HK" << "zh-Hant";
    QTest::newRow("no") << "no" << "nb";
    QTest::newRow("nn-NO") << "nn-NO" << "nb";
    QTest::newRow("nb") << "nb" << "nb";
    QTest::newRow("nb_NO") << "nb_NO" << "nb";
    QTest::newRow("old Hebrew code") << "iw-IL" << "he";
    QTest::newRow("old Indonesian code") << "in" << "id";
    QTest::newRow("upper case") << "DE" << "de";
    QTest::newRow("region and script") << "sr-Latn-RS" << QString();
    QTest::newRow("surrounding blanks") << "  fr-CA \n" << "fr";
    QTest::newRow("Turkish") << "tr-TR" << "tr";
    QTest::newRow("unknown") << "xx-YY" << QString();
    QTest::newRow("empty") << "" << QString();
    QTest::newRow("blanks only") << "   " << QString();
    QTest::newRow("separators only") << "--" << QString();
    QTest::newRow("zhx is not Chinese") << "zhx" << QString();
    QTest::newRow("nob is not Norwegian") << "nob" << QString();
    QTest::newRow("posix locale with codeset") << "de_DE.UTF-8" << "de";
}

void TestVeskLanguage::matchesTags()
{
    QFETCH(QString, tag);
    QFETCH(QString, expected);
    QCOMPARE(codeOf(VeskLanguage::match(tag)), expected);
}

void TestVeskLanguage::resolvesFirstMatchingTag_data()
{
    QTest::addColumn<QStringList>("tags");
    QTest::addColumn<QString>("expected");

    QTest::newRow("first that folds") << QStringList{"xx", "de-AT", "fr"} << "de";
    QTest::newRow("list order, not table order") << QStringList{"tr", "ar"} << "tr";
    QTest::newRow("nothing folds") << QStringList{"xx", "yy-ZZ"} << "en";
    QTest::newRow("empty list") << QStringList{} << "en";
}

void TestVeskLanguage::resolvesFirstMatchingTag()
{
    QFETCH(QStringList, tags);
    QFETCH(QString, expected);
    QCOMPARE(VeskLanguage::resolve(tags).rawValue(), expected);
}

void TestVeskLanguage::readsSystemLanguagesFromEnvironment_data()
{
    QTest::addColumn<QVariantMap>("environment");
    QTest::addColumn<QString>("expected");

    QTest::newRow("LANG") << QVariantMap{{"LANG", "de_DE.UTF-8"}} << "de";
    QTest::newRow("LC_ALL over LANG") << QVariantMap{{"LC_ALL", "fr_FR.UTF-8"}, {"LANG", "de_DE.UTF-8"}}
                                      << "fr";
    QTest::newRow("LC_MESSAGES over LANG")
        << QVariantMap{{"LC_MESSAGES", "tr_TR"}, {"LANG", "de_DE.UTF-8"}} << "tr";
    QTest::newRow("LANGUAGE list first")
        << QVariantMap{{"LANGUAGE", "xx:pt_PT:de"}, {"LANG", "de_DE.UTF-8"}} << "pt-PT";
    QTest::newRow("LANGUAGE ignored under the C locale")
        << QVariantMap{{"LANGUAGE", "de"}, {"LC_ALL", "C.UTF-8"}} << "en";
    QTest::newRow("modifier stripped") << QVariantMap{{"LANG", "ca_ES@valencia"}} << "ca";
    QTest::newRow("nothing that folds") << QVariantMap{{"LANG", "xx_YY.UTF-8"}} << "en";
    QTest::newRow("C locale") << QVariantMap{{"LANG", "POSIX"}} << "en";
}

void TestVeskLanguage::readsSystemLanguagesFromEnvironment()
{
    QFETCH(QVariantMap, environment);
    QFETCH(QString, expected);
    QMap<QString, QString> variables;
    for (auto it = environment.cbegin(); it != environment.cend(); ++it)
        variables.insert(it.key(), it.value().toString());
    setSystemLanguages(variables);
    // Read afresh: a change of the environment shows at the next call.
    QCOMPARE(VeskLanguage::systemResolved().rawValue(), expected);
}

void TestVeskLanguage::resolvesStoredPreference_data()
{
    QTest::addColumn<QVariant>("stored");  // invalid: key missing
    QTest::addColumn<QString>("storedCode");
    QTest::addColumn<bool>("following");
    QTest::addColumn<QString>("current");

    // The system's language is Turkish in every row.
    QTest::newRow("missing key") << QVariant() << "system" << true << "tr";
    QTest::newRow("empty") << QVariant("") << "system" << true << "tr";
    QTest::newRow("blanks") << QVariant(" \n ") << "system" << true << "tr";
    QTest::newRow("system") << QVariant("system") << "system" << true << "tr";
    QTest::newRow("system in capitals") << QVariant("SYSTEM") << "SYSTEM" << true << "tr";
    QTest::newRow("code with blanks") << QVariant("  de ") << "de" << false << "de";
    QTest::newRow("tag folded on read") << QVariant("pt_PT") << "pt_PT" << false << "pt-PT";
    QTest::newRow("unknown code") << QVariant("xx") << "xx" << false << "tr";
    QTest::newRow("not a single string") << QVariant(QStringList{"de", "fr"}) << "system" << true
                                         << "tr";
}

void TestVeskLanguage::resolvesStoredPreference()
{
    QFETCH(QVariant, stored);
    QFETCH(QString, storedCode);
    QFETCH(bool, following);
    QFETCH(QString, current);

    setSystemLanguages({{"LANG", "tr_TR.UTF-8"}});
    storePreference(stored);
    QCOMPARE(VeskLanguage::storedPreferenceCode(), storedCode);
    QCOMPARE(VeskLanguage::isFollowingSystem(), following);
    QCOMPARE(VeskLanguage::current().rawValue(), current);
    const VeskLanguageSelection selection = VeskLanguageSelection::current();
    QCOMPARE(selection.isSystem(), following);
    QCOMPARE(selection.resolvedLanguage().rawValue(), current);
}

void TestVeskLanguage::storesInApplicationDefaultsFile()
{
    VeskLanguage::setCurrent(VeskLanguage::de);
    const QString expectedPath = m_home->path() + "/config/Quarnell/"
                                 + QCoreApplication::applicationName() + ".ini";
    QCOMPARE(VeskUserDefaults::filePath(), expectedPath);
    QSettings settings(expectedPath, QSettings::IniFormat);
    QCOMPARE(settings.value("com.quarnell.preferredLanguage").toString(), QStringLiteral("de"));
}

void TestVeskLanguage::setCurrentStoresAndAnnounces()
{
    QSignalSpy spy(VeskLanguageNotifier::shared(), &VeskLanguageNotifier::veskLanguageDidChange);
    VeskLanguage::setCurrent(VeskLanguage::ptPT);
    // Delivered before setCurrent returns.
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<VeskLanguage>().rawValue(), QStringLiteral("pt-PT"));
    QCOMPARE(storedPreference(), std::optional<QString>("pt-PT"));
    QCOMPARE(VeskLanguage::current().rawValue(), QStringLiteral("pt-PT"));
    QVERIFY(!VeskLanguage::isFollowingSystem());
}

void TestVeskLanguage::setFollowSystemStoresSystemAndAnnouncesResolved()
{
    setSystemLanguages({{"LANG", "ja_JP.UTF-8"}});
    VeskLanguage::setCurrent(VeskLanguage::de);
    QSignalSpy spy(VeskLanguageNotifier::shared(), &VeskLanguageNotifier::veskLanguageDidChange);
    VeskLanguage::setFollowSystem();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<VeskLanguage>().rawValue(), QStringLiteral("ja"));
    QCOMPARE(storedPreference(), std::optional<QString>("system"));
    QVERIFY(VeskLanguage::isFollowingSystem());
    QCOMPARE(VeskLanguageSelection::current(), VeskLanguageSelection::system());
}

void TestVeskLanguage::followSystemSuppressesStoringInsideBody()
{
    setSystemLanguages({{"LANG", "fr_FR.UTF-8"}});
    VeskLanguage::setCurrent(VeskLanguage::it);
    QSignalSpy spy(VeskLanguageNotifier::shared(), &VeskLanguageNotifier::veskLanguageDidChange);
    bool ran = false;
    VeskLanguage::applyFollowSystem([&] {
        ran = true;
        QCOMPARE(storedPreference(), std::optional<QString>("system"));
        // What a picker bound to the language does when "system" is chosen.
        VeskLanguage::setCurrent(VeskLanguage::de);
        QCOMPARE(storedPreference(), std::optional<QString>("system"));
    });
    QVERIFY(ran);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).value<VeskLanguage>().rawValue(), QStringLiteral("fr"));
    QCOMPARE(spy.at(1).at(0).value<VeskLanguage>().rawValue(), QStringLiteral("de"));
    QCOMPARE(storedPreference(), std::optional<QString>("system"));

    VeskLanguage::setCurrent(VeskLanguage::de);
    QCOMPARE(storedPreference(), std::optional<QString>("de"));
}

void TestVeskLanguage::nestedFollowSystemKeepsSuppressing()
{
    VeskLanguage::applyFollowSystem([] {
        VeskLanguage::applyFollowSystem([] { VeskLanguage::setCurrent(VeskLanguage::sv); });
        // The inner call ended; the outer one still suppresses.
        VeskLanguage::setCurrent(VeskLanguage::da);
        QCOMPARE(storedPreference(), std::optional<QString>("system"));
    });
    // An exception leaving the body still ends the suppression.
    try {
        VeskLanguage::applyFollowSystem([] { throw std::runtime_error("picker failed"); });
    } catch (const std::runtime_error &) {
    }
    VeskLanguage::setCurrent(VeskLanguage::fi);
    QCOMPARE(storedPreference(), std::optional<QString>("fi"));
}

void TestVeskLanguage::announcesAfterCatalogIsLoaded()
{
    const QString dir = VeskLocalizationStore::sharedSuiteLocalizationsDirectory();
    QVERIFY(QDir().mkpath(dir));
    QFile file(dir + "/nl.json");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"Save": "Bewaren"})");
    file.close();

    bool removedInReceiver = false;
    const auto connection = QObject::connect(
        VeskLanguageNotifier::shared(), &VeskLanguageNotifier::veskLanguageDidChange,
        [&](VeskLanguage) { removedInReceiver = QFile::remove(dir + "/nl.json"); });
    VeskLanguage::setCurrent(VeskLanguage::nl);
    QObject::disconnect(connection);
    QVERIFY(removedInReceiver);
    // The file is gone; the text can only come from the catalog loaded before the announcement.
    QCOMPARE(veskText("Save", "Kaydet", VeskLanguage::nl), QStringLiteral("Bewaren"));
}

void TestVeskLanguage::decodesLeniently_data()
{
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<QString>("expected");

    // The system's language is Korean in every row.
    QTest::newRow("code") << QJsonValue("de") << "de";
    QTest::newRow("code with blanks") << QJsonValue(" pt-BR\n") << "pt-BR";
    QTest::newRow("folded tag") << QJsonValue("zh_TW") << "zh-Hant";
    QTest::newRow("code in capitals folds") << QJsonValue("DE") << "de";
    QTest::newRow("system") << QJsonValue("System") << "ko";
    QTest::newRow("empty") << QJsonValue("") << "ko";
    QTest::newRow("unknown") << QJsonValue("klingon") << "ko";
    QTest::newRow("number") << QJsonValue(42) << "ko";
    QTest::newRow("null") << QJsonValue(QJsonValue::Null) << "ko";
    QTest::newRow("object") << QJsonValue(QJsonObject{{"code", "de"}}) << "ko";
}

void TestVeskLanguage::decodesLeniently()
{
    QFETCH(QJsonValue, value);
    QFETCH(QString, expected);
    setSystemLanguages({{"LANG", "ko_KR.UTF-8"}});
    const VeskLanguage decoded = VeskLanguage::fromJson(value);
    QCOMPARE(decoded.rawValue(), expected);
    QCOMPARE(decoded.toJson(), QJsonValue(expected));
}

void TestVeskLanguage::selectionEqualityAndHash()
{
    const auto de = VeskLanguageSelection::explicitLanguage(VeskLanguage::de);
    const auto fr = VeskLanguageSelection::explicitLanguage(VeskLanguage::fr);
    const auto system = VeskLanguageSelection::system();
    QVERIFY(de == VeskLanguageSelection::explicitLanguage(VeskLanguage::de));
    QVERIFY(!(de == fr));
    QVERIFY(!(de == system));
    QCOMPARE(qHash(de), qHash(VeskLanguageSelection::explicitLanguage(VeskLanguage::de)));
    const QSet<VeskLanguageSelection> set = {de, fr, system, VeskLanguageSelection::system()};
    QCOMPARE(set.size(), 3);

    setSystemLanguages({{"LANG", "el_GR.UTF-8"}});
    QCOMPARE(system.resolvedLanguage().rawValue(), QStringLiteral("el"));
    QCOMPARE(fr.resolvedLanguage().rawValue(), QStringLiteral("fr"));
}

QTEST_GUILESS_MAIN(TestVeskLanguage)
#include "tst_vesklanguage.moc"
