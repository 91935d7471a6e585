#include "VeskKit/Cloud/VeskFeedbackError.h"
#include "VeskKit/Cloud/VeskFeedbackKind.h"
#include "VeskKit/Cloud/VeskFeedbackService.h"
#include "VeskKit/Localization/VeskUserDefaults.h"
#include "helper_recordingurlopener.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

#include <memory>

Q_DECLARE_METATYPE(VeskFeedbackError)

namespace {

// A null QVariant means "not given" in the tables below.
std::optional<QString> optionalText(const QVariant &value)
{
    return value.isNull() ? std::nullopt : std::optional<QString>(value.toString());
}

QVariant none()
{
    return QVariant();
}

void setSources(const QVariant &environment, const QVariant &stored)
{
    if (environment.isNull())
        qunsetenv("QUARNELL_FEEDBACK_BASE_URL");
    else
        qputenv("QUARNELL_FEEDBACK_BASE_URL", environment.toString().toUtf8());
    QFile::remove(VeskUserDefaults::filePath());
    if (!stored.isNull())
        QVERIFY(VeskUserDefaults::setString(VeskFeedbackService::baseURLDefaultsKey, stored.toString()));
}

// How the system description appears in a page address.
QString encodedOS()
{
    return QString::fromLatin1(QUrl::toPercentEncoding(VeskFeedbackService::currentOSDescription(), "()"));
}

using QueryItems = QList<std::pair<QString, QString>>;

QueryItems decodedItems(const QUrl &url)
{
    QueryItems items;
    for (const auto &[name, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded))
        items.append({name, value});
    return items;
}

} // namespace

class TestVeskFeedbackService : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void kindRawValues_data();
    void kindRawValues();
    void kindTitlesFollowLanguage_data();
    void kindTitlesFollowLanguage();
    void errorDescriptionsFollowCurrentLanguage_data();
    void errorDescriptionsFollowCurrentLanguage();

    void baseURLSources_data();
    void baseURLSources();
    void appSlug_data();
    void appSlug();
    void currentAppName_data();
    void currentAppName();
    void systemDescriptionIsOneLineWithThreeNumbers();

    void pageAddressForEachSourceAndKind_data();
    void pageAddressForEachSourceAndKind();
    void pagePathFollowsLanguage_data();
    void pagePathFollowsLanguage();
    void optionalItemsAreLeftOut_data();
    void optionalItemsAreLeftOut();
    void queryValuesCannotInjectItems();
    void unparsableBaseGivesNoAddress();

    void openingHandsWebAddressesToTheDesktop_data();
    void openingHandsWebAddressesToTheDesktop();

private:
    QTemporaryDir m_home;
};

void TestVeskFeedbackService::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("data"))));
}

void TestVeskFeedbackService::cleanup()
{
    qunsetenv("QUARNELL_FEEDBACK_BASE_URL");
    QFile::remove(VeskUserDefaults::filePath());
}

void TestVeskFeedbackService::kindRawValues_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<int>("expected"); // -1: no kind

    QTest::newRow("bug") << "bug" << int(VeskFeedbackKind::bug);
    QTest::newRow("feature") << "feature" << int(VeskFeedbackKind::feature);
    QTest::newRow("new_app") << "new_app" << int(VeskFeedbackKind::newApp);
    QTest::newRow("general") << "general" << int(VeskFeedbackKind::general);
    QTest::newRow("case name is not a raw value") << "newApp" << -1;
    QTest::newRow("capitalised") << "Bug" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("surrounding blank") << " bug" << -1;
}

void TestVeskFeedbackService::kindRawValues()
{
    QFETCH(QString, raw);
    QFETCH(int, expected);

    const std::optional<VeskFeedbackKind> kind = VeskFeedbackKindFromRaw(raw);
    QCOMPARE(kind.has_value(), expected >= 0);
    if (kind)
        QCOMPARE(rawValue(*kind), raw);
    if (kind)
        QCOMPARE(int(*kind), expected);
}

void TestVeskFeedbackService::kindTitlesFollowLanguage_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<VeskLanguage>("language");
    QTest::addColumn<QString>("title");

    QTest::newRow("bug en") << int(VeskFeedbackKind::bug) << VeskLanguage(VeskLanguage::en) << "Bug Report";
    QTest::newRow("bug tr") << int(VeskFeedbackKind::bug) << VeskLanguage(VeskLanguage::tr) << "Hata Bildirimi";
    QTest::newRow("feature tr") << int(VeskFeedbackKind::feature) << VeskLanguage(VeskLanguage::tr)
                                << "Özellik & İyileştirme";
    QTest::newRow("new app tr") << int(VeskFeedbackKind::newApp) << VeskLanguage(VeskLanguage::tr)
                                << "Yeni Program Fikri";
    QTest::newRow("general tr") << int(VeskFeedbackKind::general) << VeskLanguage(VeskLanguage::tr)
                                << "Genel Görüş";
    QTest::newRow("german without catalog falls back to English")
        << int(VeskFeedbackKind::general) << VeskLanguage(VeskLanguage::de) << "General Feedback";
}

void TestVeskFeedbackService::kindTitlesFollowLanguage()
{
    QFETCH(int, kind);
    QFETCH(VeskLanguage, language);
    QFETCH(QString, title);

    QCOMPARE(::title(VeskFeedbackKind(kind), language), title);
}

void TestVeskFeedbackService::errorDescriptionsFollowCurrentLanguage_data()
{
    QTest::addColumn<VeskFeedbackError>("error");
    QTest::addColumn<VeskLanguage>("language");
    QTest::addColumn<QString>("description");

    const VeskLanguage en = VeskLanguage::en;
    const VeskLanguage tr = VeskLanguage::tr;
    QTest::newRow("too many en") << VeskFeedbackError::tooManyScreenshots(5) << en
                                 << "You can attach up to 5 screenshots.";
    QTest::newRow("too many tr") << VeskFeedbackError::tooManyScreenshots(5) << tr
                                 << "En fazla 5 ekran görüntüsü ekleyebilirsiniz.";
    QTest::newRow("too large en") << VeskFeedbackError::screenshotTooLarge(5) << en
                                  << "Each screenshot must be smaller than 5 MB.";
    QTest::newRow("too large tr") << VeskFeedbackError::screenshotTooLarge(12) << tr
                                  << "Her ekran görüntüsü en fazla 12 MB olabilir.";
    QTest::newRow("server text unchanged in en") << VeskFeedbackError::serverRejected("Kota doldu <b>") << en
                                                 << "Kota doldu <b>";
    QTest::newRow("server text unchanged in tr") << VeskFeedbackError::serverRejected("HTTP 503") << tr
                                                 << "HTTP 503";
    QTest::newRow("network en") << VeskFeedbackError::networkFailure("timed out") << en
                                << "Could not reach quarnell.com (timed out). You can open the feedback page in "
                                   "your browser instead.";
    QTest::newRow("network tr") << VeskFeedbackError::networkFailure("timed out") << tr
                                << "quarnell.com adresine ulaşılamadı (timed out). Dilerseniz tarayıcıdan "
                                   "göndermeyi deneyebilirsiniz.";
    QTest::newRow("endpoint tr") << VeskFeedbackError::invalidEndpoint() << tr
                                 << "Geri bildirim sunucu adresi çözümlenemedi.";
    QTest::newRow("email en") << VeskFeedbackError::invalidEmail() << en << "Please enter a valid email address.";
    QTest::newRow("email tr") << VeskFeedbackError::invalidEmail() << tr
                              << "Lütfen geçerli bir e-posta adresi girin.";
    QTest::newRow("short en") << VeskFeedbackError::messageTooShort() << en
                              << "Please write a bit more detail (at least 10 characters).";
    QTest::newRow("short tr") << VeskFeedbackError::messageTooShort() << tr
                              << "Lütfen en az 10 karakterlik kısa bir açıklama yazın.";
}

void TestVeskFeedbackService::errorDescriptionsFollowCurrentLanguage()
{
    QFETCH(VeskFeedbackError, error);
    QFETCH(VeskLanguage, language);
    QFETCH(QString, description);

    VeskLanguage::setCurrent(language);
    QCOMPARE(VeskLanguage::current(), language);
    QCOMPARE(error.errorDescription(), description);
}

void TestVeskFeedbackService::baseURLSources_data()
{
    QTest::addColumn<QVariant>("override");
    QTest::addColumn<QVariant>("environment");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("expected");

    const QString builtIn = VeskFeedbackService::defaultBaseURL;
    QTest::newRow("override wins") << QVariant("https://a.test") << QVariant("https://b.test")
                                   << QVariant("https://c.test") << "https://a.test";
    QTest::newRow("blank override passes to environment")
        << QVariant(" \t\n ") << QVariant("https://b.test") << QVariant("https://c.test") << "https://b.test";
    QTest::newRow("override trimmed, trailing slashes removed")
        << QVariant("  https://a.test//  \n") << none() << none() << "https://a.test";
    QTest::newRow("leading slashes removed too") << QVariant("//a.test/x/") << none() << none() << "a.test/x";
    QTest::newRow("environment over stored") << none() << QVariant("https://b.test/") << QVariant("https://c.test")
                                             << "https://b.test";
    QTest::newRow("empty environment passes to stored")
        << none() << QVariant("") << QVariant(" https://c.test/ ") << "https://c.test";
    QTest::newRow("blank stored value gives built-in") << none() << none() << QVariant("   ") << builtIn;
    QTest::newRow("nothing configured gives built-in") << none() << none() << none() << builtIn;
    QTest::newRow("slashes only count as given") << QVariant("///") << QVariant("https://b.test") << none() << "";
    QTest::newRow("no scheme check") << QVariant("file:///etc") << none() << none() << "file:///etc";
}

void TestVeskFeedbackService::baseURLSources()
{
    QFETCH(QVariant, override);
    QFETCH(QVariant, environment);
    QFETCH(QVariant, stored);
    QFETCH(QString, expected);

    setSources(environment, stored);
    QCOMPARE(VeskFeedbackService::resolvedBaseURL(optionalText(override)), expected);
}

void TestVeskFeedbackService::appSlug_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("slug");

    QTest::newRow("spaces and digits") << "My Notes 2" << "mynotes2";
    QTest::newRow("punctuation only") << "!!!" << "";
    QTest::newRow("symbols vanish, nothing replaced") << "Vesk-Zul™ (beta)" << "veskzulbeta";
    QTest::newRow("accented letters kept") << "Çalışma Ünïcödé" << "çalışmaünïcödé";
    QTest::newRow("dotted capital I keeps its mark") << QString::fromUtf8("İz") << QString::fromUtf8("i\u0307z");
    QTest::newRow("other scripts and digits") << QString::fromUtf8("数字 Notes \u0663") << QString::fromUtf8("数字notes\u0663");
    QTest::newRow("emoji dropped") << QString::fromUtf8("Zul 🚀") << "zul";
}

void TestVeskFeedbackService::appSlug()
{
    QFETCH(QString, name);
    QFETCH(QString, slug);

    QCOMPARE(VeskFeedbackService::normalizedAppSlug(name), slug);
}

void TestVeskFeedbackService::currentAppName_data()
{
    QTest::addColumn<QVariantMap>("info");
    QTest::addColumn<QString>("expected");

    const QString process = QStringLiteral("tst_veskfeedbackservice");
    QTest::newRow("display name trimmed") << QVariantMap{{"CFBundleDisplayName", " Vesk Zul \n"},
                                                         {"CFBundleName", "Other"}}
                                          << "Vesk Zul";
    QTest::newRow("blank display name passes to name")
        << QVariantMap{{"CFBundleDisplayName", "  "}, {"CFBundleName", " VeskZul"}} << "VeskZul";
    QTest::newRow("display name that is no text is ignored")
        << QVariantMap{{"CFBundleDisplayName", 42}, {"CFBundleName", "VeskZul"}} << "VeskZul";
    QTest::newRow("nothing in the bundle gives the process name") << QVariantMap{} << process;
}

void TestVeskFeedbackService::currentAppName()
{
    QFETCH(QVariantMap, info);
    QFETCH(QString, expected);

    VeskBundle bundle;
    bundle.infoDictionary = info;
    QCOMPARE(VeskFeedbackService::resolvedCurrentAppName(bundle, QStringLiteral("Fallback")), expected);
}

void TestVeskFeedbackService::systemDescriptionIsOneLineWithThreeNumbers()
{
    const QString description = VeskFeedbackService::currentOSDescription();
    static const QRegularExpression form(QStringLiteral("^Linux \\d+\\.\\d+\\.\\d+ \\([^()\\n]+\\)$"));
    QVERIFY2(form.match(description).hasMatch(), qPrintable(description));
}

void TestVeskFeedbackService::pageAddressForEachSourceAndKind_data()
{
    QTest::addColumn<QVariant>("override");
    QTest::addColumn<QVariant>("environment");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("expected"); // {os} stands for the encoded system description

    const QString tail = QStringLiteral("&source=desktop_app&os={os}&app=mynotes&version=2.3.1");
    QTest::newRow("override, bug") << QVariant(" https://a.test/ ") << QVariant("https://b.test") << none()
                                   << int(VeskFeedbackKind::bug) << "https://a.test/en/feedback?type=bug" + tail;
    QTest::newRow("environment, feature") << none() << QVariant("https://b.test//") << QVariant("https://c.test")
                                          << int(VeskFeedbackKind::feature)
                                          << "https://b.test/en/feedback?type=feature" + tail;
    QTest::newRow("stored, new app") << none() << none() << QVariant("http://c.test:8080/base/")
                                     << int(VeskFeedbackKind::newApp)
                                     << "http://c.test:8080/base/en/feedback?type=new_app" + tail;
    QTest::newRow("built-in, general") << none() << none() << none() << int(VeskFeedbackKind::general)
                                       << VeskFeedbackService::defaultBaseURL +
                                              "/en/feedback?type=general" + tail;
}

void TestVeskFeedbackService::pageAddressForEachSourceAndKind()
{
    QFETCH(QVariant, override);
    QFETCH(QVariant, environment);
    QFETCH(QVariant, stored);
    QFETCH(int, kind);
    QFETCH(QString, expected);

    setSources(environment, stored);
    const std::optional<QUrl> url = VeskFeedbackService::webFeedbackURL(
        QStringLiteral("My Notes"), VeskAppVersion(QStringLiteral("2.3.1"), QStringLiteral("77")),
        VeskFeedbackKind(kind), VeskLanguage::en, optionalText(override));
    QVERIFY(url.has_value());
    QCOMPARE(QString::fromLatin1(url->toEncoded()), QString(expected).replace(QStringLiteral("{os}"), encodedOS()));
    // The build number never travels.
    QVERIFY(!url->toString().contains(QStringLiteral("77")));
}

void TestVeskFeedbackService::pagePathFollowsLanguage_data()
{
    QTest::addColumn<VeskLanguage>("language");
    QTest::addColumn<QString>("path");

    QTest::newRow("Turkish has its own path") << VeskLanguage(VeskLanguage::tr) << "/tr/geri-bildirim";
    QTest::newRow("English") << VeskLanguage(VeskLanguage::en) << "/en/feedback";
    QTest::newRow("German") << VeskLanguage(VeskLanguage::de) << "/de/feedback";
    QTest::newRow("region part kept") << VeskLanguage(VeskLanguage::ptBR) << "/pt-BR/feedback";
    QTest::newRow("script part kept") << VeskLanguage(VeskLanguage::zhHans) << "/zh-Hans/feedback";
    QTest::newRow("right to left") << VeskLanguage(VeskLanguage::ar) << "/ar/feedback";
}

void TestVeskFeedbackService::pagePathFollowsLanguage()
{
    QFETCH(VeskLanguage, language);
    QFETCH(QString, path);

    const std::optional<QUrl> url = VeskFeedbackService::webFeedbackURL(
        QStringLiteral("VeskZul"), VeskAppVersion(QStringLiteral("1.0.0"), QStringLiteral("1")),
        VeskFeedbackKind::bug, language, QStringLiteral("https://a.test"));
    QVERIFY(url.has_value());
    QCOMPARE(url->path(), path);
    QCOMPARE(url->host(), QStringLiteral("a.test"));
}

void TestVeskFeedbackService::optionalItemsAreLeftOut_data()
{
    QTest::addColumn<QString>("appName");
    QTest::addColumn<QString>("shortVersion");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("all five") << "VeskZul" << "1.0.0" << QStringList{"type", "source", "os", "app", "version"};
    QTest::newRow("name without letters or digits") << "!!!" << "1.0.0"
                                                   << QStringList{"type", "source", "os", "version"};
    QTest::newRow("empty version") << "VeskZul" << "" << QStringList{"type", "source", "os", "app"};
    QTest::newRow("neither") << " - " << "" << QStringList{"type", "source", "os"};
}

void TestVeskFeedbackService::optionalItemsAreLeftOut()
{
    QFETCH(QString, appName);
    QFETCH(QString, shortVersion);
    QFETCH(QStringList, names);

    const std::optional<QUrl> url = VeskFeedbackService::webFeedbackURL(
        appName, VeskAppVersion(shortVersion, QStringLiteral("9")), VeskFeedbackKind::feature, VeskLanguage::en,
        QStringLiteral("https://a.test"));
    QVERIFY(url.has_value());
    QStringList found;
    for (const auto &item : decodedItems(*url))
        found.append(item.first);
    QCOMPARE(found, names);
}

void TestVeskFeedbackService::queryValuesCannotInjectItems()
{
    const QString version = QStringLiteral(" 1.0 beta&type=bug+x#frag");
    const std::optional<QUrl> url = VeskFeedbackService::webFeedbackURL(
        QStringLiteral("VeskZul"), VeskAppVersion(version, QStringLiteral("9")), VeskFeedbackKind::feature,
        VeskLanguage::en, QStringLiteral("https://a.test"));
    QVERIFY(url.has_value());
    QVERIFY(url->fragment().isEmpty());
    const QString encoded = QString::fromLatin1(url->toEncoded());
    QVERIFY2(encoded.endsWith(QStringLiteral("&version=%201.0%20beta%26type%3Dbug%2Bx%23frag")), qPrintable(encoded));
    const QueryItems items = decodedItems(*url);
    QCOMPARE(items.size(), 5);
    QCOMPARE(items.at(0), std::make_pair(QStringLiteral("type"), QStringLiteral("feature")));
    QCOMPARE(items.at(4), std::make_pair(QStringLiteral("version"), version));
}

void TestVeskFeedbackService::unparsableBaseGivesNoAddress()
{
    auto opener = std::make_shared<RecordingUrlOpener>();
    const VeskAppVersion version(QStringLiteral("1.0.0"), QStringLiteral("1"));
    const QString base = QStringLiteral("https://exa mple.test");
    QVERIFY(!VeskFeedbackService::webFeedbackURL(QStringLiteral("VeskZul"), version, VeskFeedbackKind::bug,
                                                 VeskLanguage::en, base));
    VeskFeedbackService::openInBrowser(QStringLiteral("VeskZul"), version, VeskFeedbackKind::bug, VeskLanguage::en,
                                       base, opener);
    QVERIFY(opener->opened.isEmpty());
}

void TestVeskFeedbackService::openingHandsWebAddressesToTheDesktop_data()
{
    QTest::addColumn<QVariant>("override");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("opened"); // empty: nothing may be opened

    QTest::newRow("https") << QVariant("https://a.test") << none() << "https://a.test/tr/geri-bildirim";
    QTest::newRow("http with port") << QVariant("http://127.0.0.1:8080") << none()
                                    << "http://127.0.0.1:8080/tr/geri-bildirim";
    QTest::newRow("scheme in capitals") << QVariant("HTTPS://A.test") << none() << "https://a.test/tr/geri-bildirim";
    QTest::newRow("stored web address") << none() << QVariant("https://c.test/") << "https://c.test/tr/geri-bildirim";
    QTest::newRow("file scheme") << QVariant("file:///etc") << none() << "";
    QTest::newRow("stored file scheme") << none() << QVariant("file:///home/user/run.sh") << "";
    QTest::newRow("script scheme") << QVariant("javascript:alert(1)//") << none() << "";
    QTest::newRow("ftp") << QVariant("ftp://a.test") << none() << "";
    QTest::newRow("mail") << QVariant("mailto:someone@a.test") << none() << "";
    QTest::newRow("slashes only give a relative address") << QVariant("///") << none() << "";
    QTest::newRow("no scheme") << QVariant("a.test") << none() << "";
    QTest::newRow("web scheme without host") << QVariant("https:") << none() << "";
}

void TestVeskFeedbackService::openingHandsWebAddressesToTheDesktop()
{
    QFETCH(QVariant, override);
    QFETCH(QVariant, stored);
    QFETCH(QString, opened);

    setSources(QVariant(), stored);
    auto opener = std::make_shared<RecordingUrlOpener>();
    VeskFeedbackService::openInBrowser(QStringLiteral("VeskZul"), VeskAppVersion(QStringLiteral("1.0.0"), "1"),
                                       VeskFeedbackKind::feature, VeskLanguage::tr, optionalText(override), opener);
    if (opened.isEmpty()) {
        QCOMPARE(opener->opened.size(), 0);
        return;
    }
    QCOMPARE(opener->opened.size(), 1);
    const QUrl url = opener->opened.constFirst();
    QCOMPARE(url.adjusted(QUrl::RemoveQuery).toString(), opened);
    QCOMPARE(decodedItems(url).constFirst(), std::make_pair(QStringLiteral("type"), QStringLiteral("feature")));
}

QTEST_GUILESS_MAIN(TestVeskFeedbackService)
#include "tst_veskfeedbackservice.moc"
