#include "VeskKit/Utilities/VeskAppVersion.h"
#include "VeskKit/Utilities/VeskSemVer.h"

#include <QJsonDocument>
#include <QSet>
#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(VeskSemVer)
Q_DECLARE_METATYPE(VeskVersionBumpKind)
Q_DECLARE_METATYPE(VeskSemVerError::Case)

namespace {

VeskSemVer v(qint64 major, qint64 minor, qint64 patch)
{
    return VeskSemVer(major, minor, patch);
}

VeskBundle bundleWith(const QVariantMap& info)
{
    VeskBundle bundle;
    bundle.infoDictionary = info;
    return bundle;
}

} // namespace

class TestVeskSemVer : public QObject
{
    Q_OBJECT

private slots:
    void parsing_data();
    void parsing();
    void parseErrorCarriesTheInputAsGiven();

    void bumping_data();
    void bumping();
    void orderingComparesNumbers();
    void negativePartsBecomeZero();

    void transitions_data();
    void transitions();
    void errorTexts_data();
    void errorTexts();

    void jsonRoundTripAndStrictDecoding_data();
    void jsonRoundTripAndStrictDecoding();
    void bumpKindRawValues();

    void currentVersionFromBundle_data();
    void currentVersionFromBundle();
    void displayForms();
    void mainBundleCarriesTheBuildVersion();
};

void TestVeskSemVer::parsing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("parses");
    QTest::addColumn<VeskSemVer>("expected");

    QTest::newRow("plain") << "1.2.3" << true << v(1, 2, 3);
    QTest::newRow("v prefix and blanks") << "  v1.2.3 \n" << true << v(1, 2, 3);
    QTest::newRow("capital V") << "V1.2.3" << true << v(1, 2, 3);
    QTest::newRow("plus sign") << "+1.2.3" << true << v(1, 2, 3);
    QTest::newRow("minus zero") << "-0.0.1" << true << v(0, 0, 1);
    QTest::newRow("leading zeros") << "007.1.0" << true << v(7, 1, 0);
    QTest::newRow("largest part") << "9223372036854775807.0.0" << true << v(std::numeric_limits<qint64>::max(), 0, 0);
    QTest::newRow("two v") << "vv1.2.3" << false << VeskSemVer();
    QTest::newRow("two parts") << "1.2" << false << VeskSemVer();
    QTest::newRow("four parts") << "1.2.3.4" << false << VeskSemVer();
    QTest::newRow("empty part") << "1..3" << false << VeskSemVer();
    QTest::newRow("letter part") << "1.2.x" << false << VeskSemVer();
    QTest::newRow("blank inside a part") << "1. 2.3" << false << VeskSemVer();
    QTest::newRow("negative") << "-1.2.3" << false << VeskSemVer();
    QTest::newRow("pre-release suffix") << "1.2.3-beta" << false << VeskSemVer();
    QTest::newRow("build suffix") << "1.2.3+7" << false << VeskSemVer();
    QTest::newRow("sign alone") << "+.1.2" << false << VeskSemVer();
    QTest::newRow("overflow") << "9223372036854775808.0.0" << false << VeskSemVer();
    QTest::newRow("arabic-indic digits") << QString::fromUtf8("\u0661.2.3") << false << VeskSemVer();
    QTest::newRow("empty") << "" << false << VeskSemVer();
    QTest::newRow("v alone") << "v" << false << VeskSemVer();
}

void TestVeskSemVer::parsing()
{
    QFETCH(QString, text);
    QFETCH(bool, parses);
    QFETCH(VeskSemVer, expected);
    const std::optional<VeskSemVer> parsed = VeskSemVer::parsing(text);
    QCOMPARE(parsed.has_value(), parses);
    if (parses)
        QCOMPARE(*parsed, expected);
    QCOMPARE(VeskSemVer::parse(text).ok(), parses);
}

void TestVeskSemVer::parseErrorCarriesTheInputAsGiven()
{
    const auto result = VeskSemVer::parse(QStringLiteral(" 1.2 "));
    QVERIFY(!result.ok());
    QCOMPARE(result.error(), VeskSemVerError::invalidFormat(QStringLiteral(" 1.2 ")));
    QCOMPARE(result.error().errorDescription(),
             QStringLiteral("Invalid SemVer 2.0.0 string: ' 1.2 ' (expected MAJOR.MINOR.PATCH)."));
}

void TestVeskSemVer::bumping_data()
{
    QTest::addColumn<VeskSemVer>("from");
    QTest::addColumn<VeskVersionBumpKind>("kind");
    QTest::addColumn<VeskSemVer>("expected");

    QTest::newRow("build keeps") << v(1, 4, 2) << VeskVersionBumpKind::build << v(1, 4, 2);
    QTest::newRow("patch") << v(1, 4, 2) << VeskVersionBumpKind::patch << v(1, 4, 3);
    QTest::newRow("minor resets patch") << v(1, 4, 2) << VeskVersionBumpKind::minor << v(1, 5, 0);
    QTest::newRow("major resets both") << v(1, 4, 2) << VeskVersionBumpKind::major << v(2, 0, 0);
    QTest::newRow("minor past nine") << v(1, 9, 9) << VeskVersionBumpKind::minor << v(1, 10, 0);
    const qint64 max = std::numeric_limits<qint64>::max();
    QTest::newRow("largest patch stays") << v(0, 0, max) << VeskVersionBumpKind::patch << v(0, 0, max);
}

void TestVeskSemVer::bumping()
{
    QFETCH(VeskSemVer, from);
    QFETCH(VeskVersionBumpKind, kind);
    QFETCH(VeskSemVer, expected);
    QCOMPARE(from.bumped(kind), expected);
}

void TestVeskSemVer::orderingComparesNumbers()
{
    QVERIFY(v(1, 9, 9) < v(1, 10, 0));
    QVERIFY(v(1, 10, 0) > v(1, 9, 9));
    QVERIFY(v(2, 0, 0) > v(1, 99, 99));
    QVERIFY(v(1, 2, 3) < v(1, 2, 4));
    QVERIFY(!(v(1, 2, 3) < v(1, 2, 3)));
    QCOMPARE(v(1, 10, 0).description(), QStringLiteral("1.10.0"));
    QSet<VeskSemVer> set{v(1, 2, 3), v(1, 2, 3), v(3, 2, 1)};
    QCOMPARE(set.size(), 2);
}

void TestVeskSemVer::negativePartsBecomeZero()
{
    QCOMPARE(v(-1, 5, -7), v(0, 5, 0));
}

void TestVeskSemVer::transitions_data()
{
    QTest::addColumn<VeskSemVer>("from");
    QTest::addColumn<VeskSemVer>("to");
    QTest::addColumn<VeskVersionBumpKind>("kind");
    QTest::addColumn<bool>("allowed");
    QTest::addColumn<VeskSemVerError::Case>("error");

    using K = VeskVersionBumpKind;
    using E = VeskSemVerError::Case;
    const VeskSemVer base = v(1, 2, 3);
    QTest::newRow("build unchanged") << base << base << K::build << true << E::invalidFormat;
    QTest::newRow("patch step") << base << v(1, 2, 4) << K::patch << true << E::invalidFormat;
    QTest::newRow("minor step") << base << v(1, 3, 0) << K::minor << true << E::invalidFormat;
    QTest::newRow("major step") << base << v(2, 0, 0) << K::major << true << E::invalidFormat;
    QTest::newRow("unchanged asked as patch") << base << base << K::patch << false << E::unexpectedBumpKind;
    QTest::newRow("downgrade") << base << v(1, 2, 2) << K::patch << false << E::downgradeNotAllowed;
    QTest::newRow("downgrade wins over kind") << base << v(0, 9, 0) << K::build << false << E::downgradeNotAllowed;
    QTest::newRow("two patches") << base << v(1, 2, 5) << K::patch << false << E::multiStepJumpBlocked;
    QTest::newRow("two patches asked as major") << base << v(1, 2, 5) << K::major << false << E::multiStepJumpBlocked;
    QTest::newRow("two minors") << base << v(1, 4, 0) << K::minor << false << E::multiStepJumpBlocked;
    QTest::newRow("minor asked as patch") << base << v(1, 3, 0) << K::patch << false << E::unexpectedBumpKind;
    QTest::newRow("minor step keeping patch") << base << v(1, 3, 5) << K::minor << false << E::unexpectedBumpKind;
    QTest::newRow("one major with leftovers") << base << v(2, 7, 1) << K::major << false << E::unexpectedBumpKind;
    QTest::newRow("two majors") << base << v(3, 0, 0) << K::major << false << E::multiStepJumpBlocked;
    QTest::newRow("patch step asked as minor") << base << v(1, 2, 4) << K::minor << false << E::unexpectedBumpKind;
}

void TestVeskSemVer::transitions()
{
    QFETCH(VeskSemVer, from);
    QFETCH(VeskSemVer, to);
    QFETCH(VeskVersionBumpKind, kind);
    QFETCH(bool, allowed);
    QFETCH(VeskSemVerError::Case, error);

    const auto result = VeskSemVer::validateTransition(from, to, kind);
    QCOMPARE(result.ok(), allowed);
    if (!allowed) {
        QCOMPARE(result.error().kind, error);
        QCOMPARE(result.error().from, from.description());
        QCOMPARE(result.error().to, to.description());
        if (error == VeskSemVerError::Case::unexpectedBumpKind)
            QCOMPARE(result.error().expected, kind);
    }
}

void TestVeskSemVer::errorTexts_data()
{
    QTest::addColumn<VeskSemVerError>("error");
    QTest::addColumn<QString>("text");

    QTest::newRow("downgrade") << VeskSemVerError::downgradeNotAllowed("1.2.3", "1.2.2")
                               << "Version downgrade blocked: 1.2.3 -> 1.2.2.";
    QTest::newRow("multi-step") << VeskSemVerError::multiStepJumpBlocked("1.2.3", "1.4.0")
                                << "Multi-step version jump blocked by Quarnell policy: 1.2.3 -> 1.4.0. Only +1 "
                                   "increments are permitted.";
    QTest::newRow("wrong kind") << VeskSemVerError::unexpectedBumpKind(VeskVersionBumpKind::patch, "1.2.3", "1.2.3")
                                << "Transition 1.2.3 -> 1.2.3 does not match requested 'patch' bump.";
}

void TestVeskSemVer::errorTexts()
{
    QFETCH(VeskSemVerError, error);
    QTEST(error.errorDescription(), "text");
}

void TestVeskSemVer::jsonRoundTripAndStrictDecoding_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("decodes");
    QTest::addColumn<VeskSemVer>("expected");

    QTest::newRow("three integers") << QByteArray(R"({"major":1,"minor":4,"patch":2})") << true << v(1, 4, 2);
    QTest::newRow("extra key ignored") << QByteArray(R"({"major":1,"minor":4,"patch":2,"x":"y"})") << true << v(1, 4, 2);
    QTest::newRow("missing patch") << QByteArray(R"({"major":1,"minor":4})") << false << VeskSemVer();
    QTest::newRow("string part") << QByteArray(R"({"major":"1","minor":4,"patch":2})") << false << VeskSemVer();
    QTest::newRow("fractional part") << QByteArray(R"({"major":1.5,"minor":4,"patch":2})") << false << VeskSemVer();
    QTest::newRow("null part") << QByteArray(R"({"major":1,"minor":null,"patch":2})") << false << VeskSemVer();
}

void TestVeskSemVer::jsonRoundTripAndStrictDecoding()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, decodes);
    QFETCH(VeskSemVer, expected);
    const std::optional<VeskSemVer> decoded = VeskSemVer::fromJson(QJsonDocument::fromJson(json).object());
    QCOMPARE(decoded.has_value(), decodes);
    if (decodes) {
        QCOMPARE(*decoded, expected);
        QCOMPARE(VeskSemVer::fromJson(decoded->toJson()), decoded);
        QCOMPARE(decoded->toJson().keys(), QStringList({"major", "minor", "patch"}));
    }
}

void TestVeskSemVer::bumpKindRawValues()
{
    QStringList raws;
    for (VeskVersionBumpKind kind : kVeskVersionBumpKindAllCases) {
        raws << rawValue(kind);
        QCOMPARE(VeskVersionBumpKindFromRaw(rawValue(kind)), kind);
    }
    QCOMPARE(raws, QStringList({"build", "patch", "minor", "major"}));
    QVERIFY(!VeskVersionBumpKindFromRaw(QStringLiteral("Patch")));
    QVERIFY(!VeskVersionBumpKindFromRaw(QStringLiteral("hotfix")));
}

void TestVeskSemVer::currentVersionFromBundle_data()
{
    QTest::addColumn<QVariantMap>("info");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("build");

    QTest::newRow("both present, trimmed") << QVariantMap{{"CFBundleShortVersionString", " 1.4.2\n"}, {"CFBundleVersion", "157 "}}
                                           << "1.4.2" << "157";
    QTest::newRow("both missing") << QVariantMap() << "1.0.0" << "100";
    QTest::newRow("blank version") << QVariantMap{{"CFBundleShortVersionString", " \t"}, {"CFBundleVersion", "9"}} << "1.0.0"
                                   << "9";
    QTest::newRow("numeric build") << QVariantMap{{"CFBundleShortVersionString", "2.0.0"}, {"CFBundleVersion", 157}}
                                   << "2.0.0" << "100";
}

void TestVeskSemVer::currentVersionFromBundle()
{
    QFETCH(QVariantMap, info);
    const VeskAppVersion version = VeskAppVersion::current(bundleWith(info), QStringLiteral("1.0.0"), QStringLiteral("100"));
    QTEST(version.shortVersion, "version");
    QTEST(version.buildNumber, "build");
}

void TestVeskSemVer::displayForms()
{
    const VeskAppVersion version(QStringLiteral("1.4.2"), QStringLiteral("157"));
    QCOMPARE(version.tag(), QStringLiteral("v1.4.2"));
    QCOMPARE(version.detailedDisplay(), QStringLiteral("v1.4.2 (157)"));
    QCOMPARE(version.semVer(), std::optional<VeskSemVer>(v(1, 4, 2)));
    QVERIFY(!VeskAppVersion(QStringLiteral("1.4"), QStringLiteral("1")).semVer());
    QVERIFY(version != VeskAppVersion(QStringLiteral("1.4.2"), QStringLiteral("158")));
    // A fallback given with blanks is used as it stands.
    QCOMPARE(VeskAppVersion::current(VeskBundle(), QStringLiteral(" 0.9 "), QStringLiteral("x")).shortVersion,
             QStringLiteral(" 0.9 "));
}

void TestVeskSemVer::mainBundleCarriesTheBuildVersion()
{
    const VeskAppVersion version = VeskAppVersion::current();
    QCOMPARE(version.shortVersion, QStringLiteral(VESK_APP_VERSION));
    QCOMPARE(version.buildNumber, QStringLiteral(VESK_APP_BUILD));
    QVERIFY(version.semVer().has_value());
}

QTEST_GUILESS_MAIN(TestVeskSemVer)
#include "tst_vesksemver.moc"
