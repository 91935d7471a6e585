#include "VeskKit/Design/Emblems/VeskEmblemTone.h"

#include <QtTest>

Q_DECLARE_METATYPE(VeskFlatPaint::Kind)

namespace {

const QColor flatPrimary(200, 40, 60);
const QColor flatAccent(20, 120, 220, 230);

VeskEmblemTone toneNamed(const QString &name)
{
    return name == QLatin1String("white glass") ? VeskEmblemTone::whiteGlass()
                                                 : VeskEmblemTone::flatLight(flatPrimary, flatAccent);
}

VeskFlatPaint paintNamed(const VeskEmblemTone &tone, const QString &name, qreal argument)
{
    if (name == QLatin1String("primary"))
        return tone.primary();
    if (name == QLatin1String("accent"))
        return tone.accent();
    if (name == QLatin1String("mid"))
        return tone.mid();
    if (name == QLatin1String("soft"))
        return tone.soft();
    if (name == QLatin1String("stroke"))
        return tone.stroke();
    if (name == QLatin1String("primaryAlpha"))
        return tone.primaryAlpha(argument);
    if (name == QLatin1String("accentAlpha"))
        return tone.accentAlpha(argument);
    if (name == QLatin1String("onPrimaryAccent"))
        return tone.onPrimaryAccent();
    if (name == QLatin1String("cutout"))
        return tone.cutout(argument);
    qFatal("unknown paint %s", qPrintable(name));
}

constexpr qreal tolerance = 1.0 / 2000; // QColor keeps 16 bits per channel

} // namespace

class TestEmblemTone : public QObject
{
    Q_OBJECT

private slots:
    void whiteGlassColours();
    void flatLightKeepsItsColours();
    void paints_data();
    void paints();
};

void TestEmblemTone::whiteGlassColours()
{
    const VeskEmblemTone &tone = VeskEmblemTone::whiteGlass();
    QVERIFY(tone.isWhiteGlass);
    QCOMPARE(tone.primaryColor.rgb(), qRgb(255, 255, 255));
    QVERIFY(qAbs(tone.primaryColor.alphaF() - 0.98) < tolerance);
    QCOMPARE(tone.accentColor.rgb(), qRgb(255, 255, 255));
    QVERIFY(qAbs(tone.accentColor.alphaF() - 0.72) < tolerance);
}

void TestEmblemTone::flatLightKeepsItsColours()
{
    const VeskEmblemTone tone = VeskEmblemTone::flatLight(flatPrimary, flatAccent);
    QVERIFY(!tone.isWhiteGlass);
    QCOMPARE(tone.primaryColor, flatPrimary);
    QCOMPARE(tone.accentColor, flatAccent);
}

void TestEmblemTone::paints_data()
{
    QTest::addColumn<QString>("tone");
    QTest::addColumn<QString>("paint");
    QTest::addColumn<qreal>("argument");
    QTest::addColumn<VeskFlatPaint::Kind>("kind");
    QTest::addColumn<QColor>("rgb");    // colour paints: the colour without its alpha
    QTest::addColumn<qreal>("alpha");   // colour alpha, or the strength of a cut

    using K = VeskFlatPaint::Kind;
    const QColor white(255, 255, 255);
    const QColor tint(238, 241, 247);
    const QString wg = QStringLiteral("white glass");
    const QString fl = QStringLiteral("flat light");

    QTest::newRow("glass primary") << wg << "primary" << 0.0 << K::color << white << 0.98;
    QTest::newRow("glass accent") << wg << "accent" << 0.0 << K::color << white << 0.72;
    QTest::newRow("glass mid") << wg << "mid" << 0.0 << K::color << white << 0.46;
    QTest::newRow("glass soft") << wg << "soft" << 0.0 << K::color << white << 0.16;
    QTest::newRow("glass stroke") << wg << "stroke" << 0.0 << K::color << white << 0.42;
    QTest::newRow("glass primaryAlpha replaces, not multiplies")
        << wg << "primaryAlpha" << 0.5 << K::color << white << 0.5;
    QTest::newRow("glass accentAlpha") << wg << "accentAlpha" << 0.3 << K::color << white << 0.3;
    QTest::newRow("glass onPrimaryAccent cuts") << wg << "onPrimaryAccent" << 0.0 << K::cutout
                                                << QColor() << 0.86;
    QTest::newRow("glass cutout floored at 0.55") << wg << "cutout" << 0.3 << K::cutout << QColor() << 0.55;
    QTest::newRow("glass cutout 0.55") << wg << "cutout" << 0.55 << K::cutout << QColor() << 0.6325;
    QTest::newRow("glass cutout 0.75") << wg << "cutout" << 0.75 << K::cutout << QColor() << 0.8625;
    QTest::newRow("glass cutout 0.9 cuts fully") << wg << "cutout" << 0.9 << K::cutout << QColor() << 1.0;
    QTest::newRow("glass cutout capped at 1") << wg << "cutout" << 0.95 << K::cutout << QColor() << 1.0;

    const QColor primaryRgb = flatPrimary;
    const QColor accentRgb(flatAccent.red(), flatAccent.green(), flatAccent.blue());
    QTest::newRow("flat primary") << fl << "primary" << 0.0 << K::color << primaryRgb << 1.0;
    QTest::newRow("flat accent") << fl << "accent" << 0.0 << K::color << accentRgb << 230 / 255.0;
    QTest::newRow("flat mid") << fl << "mid" << 0.0 << K::color << primaryRgb << 0.46;
    QTest::newRow("flat soft") << fl << "soft" << 0.0 << K::color << primaryRgb << 0.11;
    QTest::newRow("flat stroke") << fl << "stroke" << 0.0 << K::color << primaryRgb << 0.28;
    QTest::newRow("flat primaryAlpha") << fl << "primaryAlpha" << 0.5 << K::color << primaryRgb << 0.5;
    QTest::newRow("flat accentAlpha replaces the accent's own alpha")
        << fl << "accentAlpha" << 0.3 << K::color << accentRgb << 0.3;
    QTest::newRow("flat onPrimaryAccent paints the accent")
        << fl << "onPrimaryAccent" << 0.0 << K::color << accentRgb << 230 / 255.0;
    QTest::newRow("flat cutout 0.3 is the light tint") << fl << "cutout" << 0.3 << K::color << tint << 0.3;
    QTest::newRow("flat cutout 0.75") << fl << "cutout" << 0.75 << K::color << tint << 0.75;
    QTest::newRow("flat cutout 0.95") << fl << "cutout" << 0.95 << K::color << tint << 0.95;
    QTest::newRow("alpha above 1 is held at 1") << fl << "primaryAlpha" << 1.7 << K::color << primaryRgb << 1.0;
    QTest::newRow("alpha below 0 is held at 0") << fl << "accentAlpha" << -0.2 << K::color << accentRgb << 0.0;
}

void TestEmblemTone::paints()
{
    QFETCH(QString, tone);
    QFETCH(QString, paint);
    QFETCH(qreal, argument);
    QFETCH(VeskFlatPaint::Kind, kind);
    QFETCH(QColor, rgb);
    QFETCH(qreal, alpha);

    const VeskFlatPaint result = paintNamed(toneNamed(tone), paint, argument);
    QCOMPARE(result.kind(), kind);
    if (kind == VeskFlatPaint::Kind::cutout) {
        QVERIFY2(qAbs(result.cutoutAlpha() - alpha) < 1e-9,
                 qPrintable(QString::number(result.cutoutAlpha())));
        return;
    }
    const QColor colour = result.paintColor();
    QCOMPARE(colour.rgb(), rgb.rgb());
    QVERIFY2(qAbs(colour.alphaF() - alpha) < tolerance, qPrintable(QString::number(colour.alphaF())));
}

QTEST_GUILESS_MAIN(TestEmblemTone)
#include "tst_emblemtone.moc"
