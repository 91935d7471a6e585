#include "VeskKit/Design/VeskColorHex.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskProductPalette.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

#include <cmath>
#include <functional>

namespace {

// QColor keeps 16 bits per channel, so an opacity reads back within 1/65535.
constexpr double kAlphaTolerance = 1.0 / 65535.0;

void compareColour(const QColor &actual, int r, int g, int b, double alpha)
{
    QCOMPARE(actual.spec(), QColor::Rgb);
    QCOMPARE(actual.red(), r);
    QCOMPARE(actual.green(), g);
    QCOMPARE(actual.blue(), b);
    QVERIFY2(std::abs(actual.alphaF() - alpha) <= kAlphaTolerance,
             qPrintable(QStringLiteral("alpha %1, expected %2").arg(actual.alphaF()).arg(alpha)));
}

void compareHex(const QColor &actual, quint32 hex)
{
    compareColour(actual, int((hex >> 16) & 0xFF), int((hex >> 8) & 0xFF), int(hex & 0xFF), 1.0);
}

} // namespace

class TestVeskPalette : public QObject {
    Q_OBJECT
private slots:
    void paletteColours_data();
    void paletteColours();
    void allCasesInDeclarationOrder();
    void rawValueParsing_data();
    void rawValueParsing();
    void jsonCoding_data();
    void jsonCoding();
    void rgbStopsExact_data();
    void rgbStopsExact();
    void rgbStopsRoundEveryChannel();
    void glassTokens_data();
    void glassTokens();
    void tokensAreBuiltOnce();
    void colourFromHex_data();
    void colourFromHex();
};

void TestVeskPalette::paletteColours_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("raw");
    QTest::addColumn<quint32>("topLeft");
    QTest::addColumn<quint32>("middle");
    QTest::addColumn<quint32>("bottomRight");
    QTest::addColumn<quint32>("accent");
    QTest::newRow("deepViolet") << 0 << "deepViolet" << 0x462A7Du << 0x311F59u << 0x1D133Bu << 0xA98BFFu;
    QTest::newRow("deepCrimson") << 1 << "deepCrimson" << 0x7A2248u << 0x4A1634u << 0x240D1Du << 0xFF6B9Du;
    QTest::newRow("deepAmber") << 2 << "deepAmber" << 0x783C1Eu << 0x4A2515u << 0x24130Cu << 0xFFA95Cu;
    QTest::newRow("deepEmerald") << 3 << "deepEmerald" << 0x156256u << 0x103F3Du << 0x0B2124u << 0x47E6C1u;
    QTest::newRow("deepCobalt") << 4 << "deepCobalt" << 0x1D4E89u << 0x16335Eu << 0x0D1C38u << 0x5CC4FFu;
    QTest::newRow("deepIndigo") << 5 << "deepIndigo" << 0x24347Au << 0x182356u << 0x0D1433u << 0x7CA4FFu;
    QTest::newRow("deepAbyss") << 6 << "deepAbyss" << 0x1F4A5Cu << 0x153445u << 0x0C1F2Bu << 0x66D9EFu;
    QTest::newRow("deepCoral") << 7 << "deepCoral" << 0x6E1F63u << 0x471645u << 0x240B26u << 0xF472D0u;
    QTest::newRow("deepCyan") << 8 << "deepCyan" << 0x0D5668u << 0x0B3A4Au << 0x07202Bu << 0x38E8FFu;
}

void TestVeskPalette::paletteColours()
{
    QFETCH(int, index);
    QFETCH(QString, raw);
    QFETCH(quint32, topLeft);
    QFETCH(quint32, middle);
    QFETCH(quint32, bottomRight);
    QFETCH(quint32, accent);
    const VeskProductPalette palette = kVeskProductPaletteAllCases.at(std::size_t(index));
    QCOMPARE(rawValue(palette), raw);
    const VeskGroundStops stops = groundStops(palette);
    compareHex(stops.topLeft, topLeft);
    compareHex(stops.middle, middle);
    compareHex(stops.bottomRight, bottomRight);
    compareHex(accentColor(palette), accent);
}

void TestVeskPalette::allCasesInDeclarationOrder()
{
    QCOMPARE(kVeskProductPaletteAllCases.size(), std::size_t(9));
    QCOMPARE(kVeskProductPaletteAllCases.front(), VeskProductPalette::deepViolet);
    QCOMPARE(kVeskProductPaletteAllCases.back(), VeskProductPalette::deepCyan);
    for (std::size_t i = 0; i < kVeskProductPaletteAllCases.size(); ++i)
        QCOMPARE(int(kVeskProductPaletteAllCases[i]), int(i));
}

void TestVeskPalette::rawValueParsing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // -1: no palette
    QTest::newRow("exact name") << "deepIndigo" << int(VeskProductPalette::deepIndigo);
    QTest::newRow("last case") << "deepCyan" << int(VeskProductPalette::deepCyan);
    QTest::newRow("capital first letter") << "DeepIndigo" << -1;
    QTest::newRow("all lower case") << "deepindigo" << -1;
    QTest::newRow("tint name only") << "indigo" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("surrounding space") << " deepIndigo" << -1;
}

void TestVeskPalette::rawValueParsing()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    const std::optional<VeskProductPalette> parsed = VeskProductPaletteFromRaw(text);
    if (expected < 0) {
        QVERIFY(!parsed.has_value());
    } else {
        QVERIFY(parsed.has_value());
        QCOMPARE(int(*parsed), expected);
    }
}

void TestVeskPalette::jsonCoding_data()
{
    QTest::addColumn<QByteArray>("document"); // a one-element array holding the value
    QTest::addColumn<int>("expected");        // -1: decoding fails
    QTest::newRow("known string") << QByteArray(R"(["deepCobalt"])") << int(VeskProductPalette::deepCobalt);
    QTest::newRow("unknown string") << QByteArray(R"(["deepTeal"])") << -1;
    QTest::newRow("wrong case") << QByteArray(R"(["DeepCobalt"])") << -1;
    QTest::newRow("number") << QByteArray(R"([4])") << -1;
    QTest::newRow("null") << QByteArray(R"([null])") << -1;
    QTest::newRow("object") << QByteArray(R"([{"rawValue":"deepCobalt"}])") << -1;
}

void TestVeskPalette::jsonCoding()
{
    QFETCH(QByteArray, document);
    QFETCH(int, expected);
    const QJsonValue value = QJsonDocument::fromJson(document).array().at(0);
    const std::optional<VeskProductPalette> decoded = VeskProductPaletteFromJson(value);
    if (expected < 0) {
        QVERIFY(!decoded.has_value());
        return;
    }
    QVERIFY(decoded.has_value());
    QCOMPARE(int(*decoded), expected);
    // Encoding writes the bare string back.
    QJsonArray again;
    again.append(toJson(*decoded));
    QCOMPARE(QJsonDocument(again).toJson(QJsonDocument::Compact), document);
}

void TestVeskPalette::rgbStopsExact_data()
{
    QTest::addColumn<int>("palette");
    QTest::addColumn<QList<double>>("expected");
    QTest::newRow("deepViolet") << int(VeskProductPalette::deepViolet)
                                << QList<double>{0.275, 0.165, 0.49, 0.192, 0.122, 0.349, 0.114, 0.075, 0.231};
    QTest::newRow("deepAmber") << int(VeskProductPalette::deepAmber)
                               << QList<double>{0.471, 0.235, 0.118, 0.29, 0.145, 0.082, 0.141, 0.075, 0.047};
}

void TestVeskPalette::rgbStopsExact()
{
    QFETCH(int, palette);
    QFETCH(QList<double>, expected);
    const auto &stops = rgbStops(VeskProductPalette(palette));
    QList<double> actual;
    for (const VeskRgbStop &stop : stops)
        actual << stop.r << stop.g << stop.b;
    // Exact equality: the values are the doubles nearest the decimal numbers.
    QCOMPARE(actual, expected);
}

void TestVeskPalette::rgbStopsRoundEveryChannel()
{
    for (VeskProductPalette palette : kVeskProductPaletteAllCases) {
        const VeskGroundStops colours = groundStops(palette);
        const QColor stops[] = {colours.topLeft, colours.middle, colours.bottomRight};
        const auto &numbers = rgbStops(palette);
        for (int i = 0; i < 3; ++i) {
            const double channels[] = {numbers[i].r, numbers[i].g, numbers[i].b};
            const int bytes[] = {stops[i].red(), stops[i].green(), stops[i].blue()};
            for (int c = 0; c < 3; ++c) {
                // Three decimals: within half a thousandth, and no finer.
                QVERIFY(std::abs(channels[c] - bytes[c] / 255.0) <= 0.0005);
                QCOMPARE(std::round(channels[c] * 1000.0) / 1000.0, channels[c]);
            }
        }
    }
}

void TestVeskPalette::glassTokens_data()
{
    QTest::addColumn<std::function<const QColor &()>>("token");
    QTest::addColumn<int>("r");
    QTest::addColumn<int>("g");
    QTest::addColumn<int>("b");
    QTest::addColumn<double>("alpha");
    QTest::newRow("surface1") << std::function(VeskGlassTokens::surface1) << 255 << 255 << 255 << 0.06;
    QTest::newRow("surface2") << std::function(VeskGlassTokens::surface2) << 255 << 255 << 255 << 0.10;
    QTest::newRow("surface3") << std::function(VeskGlassTokens::surface3) << 255 << 255 << 255 << 0.16;
    QTest::newRow("borderSubtle") << std::function(VeskGlassTokens::borderSubtle) << 255 << 255 << 255 << 0.14;
    QTest::newRow("borderStrong") << std::function(VeskGlassTokens::borderStrong) << 255 << 255 << 255 << 0.28;
    QTest::newRow("textPrimary") << std::function(VeskGlassTokens::textPrimary) << 255 << 255 << 255 << 0.96;
    QTest::newRow("textSecondary") << std::function(VeskGlassTokens::textSecondary) << 255 << 255 << 255 << 0.72;
    QTest::newRow("textMuted") << std::function(VeskGlassTokens::textMuted) << 255 << 255 << 255 << 0.50;
    QTest::newRow("success") << std::function(VeskGlassTokens::success) << 62 << 230 << 168 << 1.0;
    QTest::newRow("warning") << std::function(VeskGlassTokens::warning) << 255 << 184 << 77 << 1.0;
    QTest::newRow("danger") << std::function(VeskGlassTokens::danger) << 255 << 100 << 124 << 1.0;
}

void TestVeskPalette::glassTokens()
{
    QFETCH(std::function<const QColor &()>, token);
    QFETCH(int, r);
    QFETCH(int, g);
    QFETCH(int, b);
    QFETCH(double, alpha);
    compareColour(token(), r, g, b, alpha);
}

void TestVeskPalette::tokensAreBuiltOnce()
{
    QCOMPARE(&VeskGlassTokens::surface2(), &VeskGlassTokens::surface2());
    QCOMPARE(&VeskGlassTokens::success(), &VeskGlassTokens::success());
}

void TestVeskPalette::colourFromHex_data()
{
    QTest::addColumn<quint32>("hex");
    QTest::addColumn<double>("opacity");
    QTest::addColumn<int>("r");
    QTest::addColumn<int>("g");
    QTest::addColumn<int>("b");
    QTest::newRow("success green") << 0x3EE6A8u << 1.0 << 62 << 230 << 168;
    QTest::newRow("alpha byte ignored") << 0xFF3EE6A8u << 1.0 << 62 << 230 << 168;
    QTest::newRow("other high byte ignored") << 0x123EE6A8u << 1.0 << 62 << 230 << 168;
    QTest::newRow("black at half") << 0x000000u << 0.5 << 0 << 0 << 0;
    QTest::newRow("opaque white") << 0xFFFFFFu << 1.0 << 255 << 255 << 255;
    QTest::newRow("channels kept apart") << 0x010203u << 0.25 << 1 << 2 << 3;
}

void TestVeskPalette::colourFromHex()
{
    QFETCH(quint32, hex);
    QFETCH(double, opacity);
    QFETCH(int, r);
    QFETCH(int, g);
    QFETCH(int, b);
    compareColour(veskColorFromHex(hex, opacity), r, g, b, opacity);
}

QTEST_GUILESS_MAIN(TestVeskPalette)
#include "tst_veskpalette.moc"
