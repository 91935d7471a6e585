#include "VeskKit/Design/Emblems/VeskAppIdentity.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

class TestVeskAppIdentity : public QObject
{
    Q_OBJECT

private slots:
    void catalogFollowsTheRawValueRule();
    void rawValueIsStrict_data();
    void rawValueIsStrict();
    void resolve_data();
    void resolve();
    void currentTriesEachSourceInTurn_data();
    void currentTriesEachSourceInTurn();
    void jsonCoding();
};

void TestVeskAppIdentity::catalogFollowsTheRawValueRule()
{
    const QList<VeskAppIdentity>& all = VeskAppIdentity::allCases();
    QCOMPARE(all.size(), 75);
    QCOMPARE(all.at(8), VeskAppIdentity(VeskAppIdentity::veskZul));
    QCOMPARE(VeskAppIdentity(VeskAppIdentity::veskZul).rawValue(), QStringLiteral("veskzul"));
    QCOMPARE(VeskAppIdentity(VeskAppIdentity::veskZul).id(), QStringLiteral("veskzul"));

    static const QRegularExpression rule(QStringLiteral("^[a-z0-9]{6,16}$"));
    QSet<QString> seen;
    for (int i = 0; i < all.size(); ++i) {
        const QString raw = all.at(i).rawValue();
        QVERIFY2(rule.match(raw).hasMatch(), qPrintable(raw));
        QVERIFY2(!seen.contains(raw), qPrintable(raw));
        seen.insert(raw);
        QCOMPARE(int(VeskAppIdentity::Value(all.at(i))), i);
        QCOMPARE(VeskAppIdentity::fromRawValue(raw), std::optional<VeskAppIdentity>(all.at(i)));
    }
    // Rows far from the start still carry their own name.
    QCOMPARE(rawValue(VeskAppIdentity::veskRadar), QStringLiteral("veskradar"));
    QCOMPARE(rawValue(VeskAppIdentity::veskCompass), QStringLiteral("veskcompass"));
}

void TestVeskAppIdentity::rawValueIsStrict_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<bool>("found");
    QTest::newRow("exact") << "veskzul" << true;
    QTest::newRow("capitals") << "VeskZul" << false;
    QTest::newRow("blank around") << " veskzul" << false;
    QTest::newRow("empty") << "" << false;
}

void TestVeskAppIdentity::rawValueIsStrict()
{
    QFETCH(QString, raw);
    QTEST(VeskAppIdentityFromRaw(raw).has_value(), "found");
}

void TestVeskAppIdentity::resolve_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected"); // raw value, "" for none

    QTest::newRow("bundle identifier") << "com.quarnell.VeskZul" << "veskzul";
    QTest::newRow("display name") << "Vesk Zul" << "veskzul";
    QTest::newRow("process name") << "VeskZul" << "veskzul";
    QTest::newRow("upper case") << "VESKZUL" << "veskzul";
    QTest::newRow("hyphen") << "vesk-zul" << "veskzul";
    QTest::newRow("underscore") << "Vesk_Zul" << "veskzul";
    QTest::newRow("trailing dot") << "com.quarnell.veskzul." << "veskzul";
    QTest::newRow("only the last part counts") << "veskzul.helper" << "";
    QTest::newRow("another row") << "com.quarnell.Vesk Radar" << "veskradar";
    QTest::newRow("former name") << "Radar-Scope" << "veskradar";
    QTest::newRow("former name as identifier") << "com.quarnell.pilotdesk" << "veskpilot";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("dots only") << "..." << "";
    QTest::newRow("folds to nothing") << " -_!" << "";
    QTest::newRow("unknown") << "TextEdit" << "";
    QTest::newRow("non-latin letters are kept") << QStringLiteral("veskzulé") << "";
}

void TestVeskAppIdentity::resolve()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    const std::optional<VeskAppIdentity> identity = VeskAppIdentity::resolve(name);
    QCOMPARE(identity ? identity->rawValue() : QString(), expected);
}

void TestVeskAppIdentity::currentTriesEachSourceInTurn_data()
{
    QTest::addColumn<QVariantMap>("info");
    QTest::addColumn<QString>("expected");

    QTest::newRow("identifier first") << QVariantMap{{"CFBundleIdentifier", "com.quarnell.VeskZul"},
                                                     {"CFBundleDisplayName", "Vesk Radar"}}
                                      << "veskzul";
    QTest::newRow("unknown identifier, display name") << QVariantMap{{"CFBundleIdentifier", "org.example.thing"},
                                                                     {"CFBundleDisplayName", "Vesk Radar"},
                                                                     {"CFBundleName", "VeskZul"}}
                                                      << "veskradar";
    QTest::newRow("display name not text") << QVariantMap{{"CFBundleDisplayName", 42}, {"CFBundleName", "VeskZul"}}
                                           << "veskzul";
    QTest::newRow("display name missing") << QVariantMap{{"CFBundleName", "Vesk Pilot"}} << "veskpilot";
    // The test program's own name is no row of the catalog.
    QTest::newRow("nothing resolves") << QVariantMap{{"CFBundleName", "tst"}} << "";
}

void TestVeskAppIdentity::currentTriesEachSourceInTurn()
{
    QFETCH(QVariantMap, info);
    QFETCH(QString, expected);
    VeskBundle bundle;
    bundle.infoDictionary = info;
    const std::optional<VeskAppIdentity> identity = VeskAppIdentity::current(bundle);
    QCOMPARE(identity ? identity->rawValue() : QString(), expected);
}

void TestVeskAppIdentity::jsonCoding()
{
    const VeskAppIdentity zul = VeskAppIdentity::veskZul;
    QCOMPARE(zul.toJson(), QJsonValue(QStringLiteral("veskzul")));
    QCOMPARE(VeskAppIdentity::fromJson(zul.toJson()), std::optional<VeskAppIdentity>(zul));
    QVERIFY(!VeskAppIdentity::fromJson(QJsonValue(QStringLiteral("VeskZul"))));
    QVERIFY(!VeskAppIdentity::fromJson(QJsonValue(8)));
}

QTEST_GUILESS_MAIN(TestVeskAppIdentity)
#include "tst_veskappidentity.moc"
