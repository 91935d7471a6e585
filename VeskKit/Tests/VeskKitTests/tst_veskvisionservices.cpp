#include "VeskKit/Vision/VeskTesseractTextRecognizer.h"
#include "VeskKit/Vision/VeskVisionServices.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <thread>

Q_DECLARE_METATYPE(VeskOCRLine)
Q_DECLARE_METATYPE(VeskVisionError)
Q_DECLARE_METATYPE(VeskFeaturePrintObservation)

namespace {

VeskVisionImage visionImage(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    return VeskVisionImage::fromArgb32(image.constBits(), image.width(), image.height(), image.bytesPerLine());
}

QImage blankImage(int width, int height, const QColor& color = Qt::white)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

// Dark text on white, one entry per line, in a plain font large enough for
// any recognizer.
QImage textImage(const QStringList& lines, int width = 640, int pixelSize = 40, bool lightOnDark = false)
{
    const int lineHeight = pixelSize * 2;
    QImage image = blankImage(width, lineHeight * int(lines.size()) + pixelSize,
        lightOnDark ? QColor(20, 30, 60) : QColor(Qt::white));
    QPainter painter(&image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    painter.setFont(font);
    painter.setPen(lightOnDark ? QColor(240, 240, 200) : QColor(Qt::black));
    for (int i = 0; i < lines.size(); ++i)
        painter.drawText(QPoint(pixelSize, lineHeight * (i + 1)), lines.at(i));
    return image;
}

// Shapes and text with detail at several scales, on a white ground: the
// content the registration tests move about.
QImage sceneImage(int width, int height, QPoint shift = {})
{
    QImage image = blankImage(width, height);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(shift);
    const double sx = width / 320.0;
    const double sy = height / 240.0;
    painter.scale(sx, sy);
    painter.setPen(QPen(Qt::black, 3));
    painter.setBrush(QColor(40, 90, 200));
    painter.drawEllipse(QRectF(60, 50, 70, 50));
    painter.setBrush(QColor(200, 60, 40));
    painter.drawRect(QRectF(170, 120, 80, 60));
    painter.drawLine(QPointF(90, 190), QPointF(150, 140));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(22);
    painter.setFont(font);
    painter.drawText(QPointF(150, 60), QStringLiteral("Q3 plan"));
    return image;
}

VeskRecognizedTextObservation observation(const QString& text, QRectF box, float confidence)
{
    return VeskRecognizedTextObservation{box, VeskRecognizedText{text, confidence}};
}

VeskVisionError attemptError(int attempt)
{
    return VeskVisionError{QStringLiteral("TestEngine"), 10 + attempt, QStringLiteral("attempt %1 failed").arg(attempt)};
}

// A recognizer that fails the attempts it is told to and otherwise answers
// with one line naming the attempt; it keeps every request it was given.
struct ScriptedRecognizer {
    QList<int> failingAttempts;
    bool answersEmpty = false;
    QList<VeskTextRecognitionRequest> requests;

    VeskTextRecognizer recognizer()
    {
        return [this](const VeskVisionImage&, const VeskTextRecognitionRequest& request) {
            using Result = VeskResult<QList<VeskRecognizedTextObservation>, VeskVisionError>;
            const int attempt = int(requests.size());
            requests.append(request);
            if (failingAttempts.contains(attempt))
                return Result::failure(attemptError(attempt));
            if (answersEmpty)
                return Result::success({});
            return Result::success(
                {observation(QStringLiteral("attempt %1").arg(attempt), QRectF(0.1, 0.2, 0.3, 0.4), 0.5F)});
        };
    }
};

} // namespace

class tst_VeskVisionServices : public QObject
{
    Q_OBJECT

private slots:
    void fullTextJoinsLines_data();
    void fullTextJoinsLines();
    void lineEqualityNeedsEveryPart_data();
    void lineEqualityNeedsEveryPart();

    void recognitionRetries_data();
    void recognitionRetries();
    void recognitionPassesLanguagesAndCorrectionOn();
    void observationsWithoutCandidateAreSkipped();

    void featurePrintEngineOutcomes_data();
    void featurePrintEngineOutcomes();
    void translationEngineOutcomes_data();
    void translationEngineOutcomes();

    void languageDataNames_data();
    void languageDataNames();
    void imageWithoutTextHasNoLines();
    void drawnLinesAreRead_data();
    void drawnLinesAreRead();
    void unreadableLanguagesFail_data();
    void unreadableLanguagesFail();
    void missingLanguageDataFails_data();
    void missingLanguageDataFails();
    void callsMayRunAtOnce();
    void invalidImagesFail();

    void featurePrintsTellImagesApart();
    void flatImageHasZeroPrint();
    void printsOfDifferentLengthsHaveNoDistance();

    void shiftedImagesAreAligned_data();
    void shiftedImagesAreAligned();
    void flatImagesGiveZeroOffset();
};

void tst_VeskVisionServices::fullTextJoinsLines_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("fullText");

    QTest::newRow("no lines") << QStringList() << QString();
    QTest::newRow("one line") << QStringList{QStringLiteral("A")} << QStringLiteral("A");
    QTest::newRow("two lines") << QStringList{QStringLiteral("A"), QStringLiteral("B")} << QStringLiteral("A\nB");
    QTest::newRow("empty line in between kept")
        << QStringList{QStringLiteral("A"), QString(), QStringLiteral("B")} << QStringLiteral("A\n\nB");
    QTest::newRow("line ending in a line feed")
        << QStringList{QStringLiteral("A\n"), QStringLiteral("B")} << QStringLiteral("A\n\nB");
}

void tst_VeskVisionServices::fullTextJoinsLines()
{
    QFETCH(QStringList, texts);
    QFETCH(QString, fullText);

    QList<VeskOCRLine> lines;
    for (const QString& text : texts)
        lines.append(VeskOCRLine(text, QRectF(0, 0, 1, 1), 1.0F));
    QCOMPARE(VeskOCRResult(lines).fullText(), fullText);
}

void tst_VeskVisionServices::lineEqualityNeedsEveryPart_data()
{
    QTest::addColumn<VeskOCRLine>("other");
    QTest::addColumn<bool>("equal");

    const QRectF box(0.25, 0.5, 0.5, 0.125);
    QTest::newRow("same") << VeskOCRLine(QStringLiteral("Total"), box, 0.75F) << true;
    QTest::newRow("other text") << VeskOCRLine(QStringLiteral("total"), box, 0.75F) << false;
    QTest::newRow("other x") << VeskOCRLine(QStringLiteral("Total"), box.translated(0.001, 0), 0.75F) << false;
    QTest::newRow("other y") << VeskOCRLine(QStringLiteral("Total"), box.translated(0, 0.001), 0.75F) << false;
    QTest::newRow("other width") << VeskOCRLine(QStringLiteral("Total"), box.adjusted(0, 0, 0.001, 0), 0.75F)
                                 << false;
    QTest::newRow("other height") << VeskOCRLine(QStringLiteral("Total"), box.adjusted(0, 0, 0, 0.001), 0.75F)
                                  << false;
    QTest::newRow("other confidence") << VeskOCRLine(QStringLiteral("Total"), box, 0.7501F) << false;
}

void tst_VeskVisionServices::lineEqualityNeedsEveryPart()
{
    QFETCH(VeskOCRLine, other);
    QFETCH(bool, equal);

    const VeskOCRLine line(QStringLiteral("Total"), QRectF(0.25, 0.5, 0.5, 0.125), 0.75F);
    QCOMPARE(line == other, equal);
    QCOMPARE(VeskOCRResult({line}) == VeskOCRResult({other}), equal);
}

void tst_VeskVisionServices::recognitionRetries_data()
{
    QTest::addColumn<bool>("accurate");
    QTest::addColumn<QList<int>>("failingAttempts");
    QTest::addColumn<bool>("answersEmpty");
    // Per attempt made: its level (true = accurate) and whether it was
    // kept to the CPU.
    QTest::addColumn<QList<bool>>("levels");
    QTest::addColumn<QList<bool>>("cpuOnly");
    QTest::addColumn<int>("answeringAttempt"); // -1: failure

    QTest::newRow("accurate, first pass works")
        << true << QList<int>{} << false << QList<bool>{true} << QList<bool>{false} << 0;
    QTest::newRow("fast, first pass works")
        << false << QList<int>{} << false << QList<bool>{false} << QList<bool>{false} << 0;
    QTest::newRow("empty answer ends the passes")
        << true << QList<int>{} << true << QList<bool>{true} << QList<bool>{false} << 0;
    QTest::newRow("default device fails, CPU works")
        << true << QList<int>{0} << false << QList<bool>{true, true} << QList<bool>{false, true} << 1;
    QTest::newRow("accurate fails twice, fast on CPU works")
        << true << QList<int>{0, 1} << false << QList<bool>{true, true, false} << QList<bool>{false, true, true}
        << 2;
    QTest::newRow("fast fails twice, fast on CPU works")
        << false << QList<int>{0, 1} << false << QList<bool>{false, false, false}
        << QList<bool>{false, true, true} << 2;
    QTest::newRow("every pass fails")
        << true << QList<int>{0, 1, 2} << false << QList<bool>{true, true, false}
        << QList<bool>{false, true, true} << -1;
}

void tst_VeskVisionServices::recognitionRetries()
{
    QFETCH(bool, accurate);
    QFETCH(QList<int>, failingAttempts);
    QFETCH(bool, answersEmpty);
    QFETCH(QList<bool>, levels);
    QFETCH(QList<bool>, cpuOnly);
    QFETCH(int, answeringAttempt);

    ScriptedRecognizer engine{failingAttempts, answersEmpty, {}};
    const auto result = VeskVisionServices::recognizeText(
        visionImage(blankImage(8, 8)), {QStringLiteral("en-US")}, accurate, engine.recognizer());

    QCOMPARE(engine.requests.size(), levels.size());
    for (qsizetype i = 0; i < engine.requests.size(); ++i) {
        const VeskTextRecognitionRequest& request = engine.requests.at(i);
        QCOMPARE(request.recognitionLevel == VeskRecognitionLevel::accurate, levels.at(i));
        QCOMPARE(request.computeDevice.has_value(), cpuOnly.at(i));
        if (request.computeDevice)
            QCOMPARE(*request.computeDevice, VeskComputeDevice::cpu);
    }
    if (answeringAttempt < 0) {
        QVERIFY(!result.ok());
        // Only the last pass's failure is reported.
        QCOMPARE(result.error(), attemptError(2));
    } else if (answersEmpty) {
        QVERIFY(result.ok());
        QVERIFY(result.value().lines.isEmpty());
        QCOMPARE(result.value().fullText(), QString());
    } else {
        QVERIFY(result.ok());
        QCOMPARE(result.value().fullText(), QStringLiteral("attempt %1").arg(answeringAttempt));
    }
}

void tst_VeskVisionServices::recognitionPassesLanguagesAndCorrectionOn()
{
    ScriptedRecognizer engine{{0, 1}, false, {}};
    const QStringList languages{QStringLiteral("tr-TR"), QStringLiteral("en-US"), QStringLiteral("x-klingon")};
    QVERIFY(VeskVisionServices::recognizeText(visionImage(blankImage(8, 8)), languages, true, engine.recognizer()));

    QCOMPARE(engine.requests.size(), 3);
    for (const VeskTextRecognitionRequest& request : std::as_const(engine.requests)) {
        QCOMPARE(request.recognitionLanguages, languages);
        QVERIFY(request.usesLanguageCorrection);
        QVERIFY(request.automaticallyDetectsLanguage);
    }
}

void tst_VeskVisionServices::observationsWithoutCandidateAreSkipped()
{
    const QRectF firstBox(0.1, 0.7, 0.5, 0.1);
    const QRectF lastBox(0.1, 0.2, 0.6, 0.1);
    const VeskTextRecognizer recognizer = [&](const VeskVisionImage&, const VeskTextRecognitionRequest&) {
        return VeskResult<QList<VeskRecognizedTextObservation>, VeskVisionError>::success({
            observation(QStringLiteral("Rent 1200"), firstBox, 0.9F),
            VeskRecognizedTextObservation{QRectF(0.1, 0.5, 0.2, 0.1), std::nullopt},
            observation(QStringLiteral("Food 310"), lastBox, 0.625F),
        });
    };

    const auto result = VeskVisionServices::recognizeText(visionImage(blankImage(8, 8)), {}, false, recognizer);
    QVERIFY(result.ok());
    const VeskOCRResult expected({VeskOCRLine(QStringLiteral("Rent 1200"), firstBox, 0.9F),
        VeskOCRLine(QStringLiteral("Food 310"), lastBox, 0.625F)});
    QCOMPARE(result.value(), expected);
    QCOMPARE(result.value().fullText(), QStringLiteral("Rent 1200\nFood 310"));
}

void tst_VeskVisionServices::featurePrintEngineOutcomes_data()
{
    using Observations = QList<VeskFeaturePrintObservation>;
    QTest::addColumn<bool>("engineFails");
    QTest::addColumn<Observations>("observations");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<VeskVisionError>("error");
    QTest::addColumn<VeskFeaturePrintObservation>("print");

    const VeskFeaturePrintObservation first{{1.0F, 0.0F}};
    const VeskFeaturePrintObservation second{{0.0F, 1.0F}};
    const VeskVisionError engineError{QStringLiteral("TestEngine"), 7, QStringLiteral("engine broke")};
    const VeskVisionError noPrint{QStringLiteral("VeskVisionServices"), 1,
        QStringLiteral("Could not compute image feature print.")};

    QTest::newRow("no observation") << false << Observations{} << false << noPrint << VeskFeaturePrintObservation{};
    QTest::newRow("engine error passed on unchanged")
        << true << Observations{} << false << engineError << VeskFeaturePrintObservation{};
    QTest::newRow("first observation taken")
        << false << Observations{first, second} << true << VeskVisionError{} << first;
}

void tst_VeskVisionServices::featurePrintEngineOutcomes()
{
    QFETCH(bool, engineFails);
    QFETCH(QList<VeskFeaturePrintObservation>, observations);
    QFETCH(bool, ok);
    QFETCH(VeskVisionError, error);
    QFETCH(VeskFeaturePrintObservation, print);

    const VeskFeaturePrintRequest request = [&](const VeskVisionImage&) {
        using Result = VeskResult<QList<VeskFeaturePrintObservation>, VeskVisionError>;
        return engineFails ? Result::failure(error) : Result::success(observations);
    };
    const auto result = VeskVisionServices::featurePrint(visionImage(blankImage(8, 8)), request);
    QCOMPARE(result.ok(), ok);
    if (ok)
        QCOMPARE(result.value(), print);
    else
        QCOMPARE(result.error(), error);
}

void tst_VeskVisionServices::translationEngineOutcomes_data()
{
    QTest::addColumn<bool>("engineFails");
    QTest::addColumn<QList<QPointF>>("alignments");
    QTest::addColumn<QPointF>("offset");

    QTest::newRow("no alignment is zero") << false << QList<QPointF>{} << QPointF(0, 0);
    QTest::newRow("first alignment taken")
        << false << QList<QPointF>{QPointF(12.5, -3), QPointF(1, 1)} << QPointF(12.5, -3);
    QTest::newRow("engine error passed on unchanged") << true << QList<QPointF>{} << QPointF();
}

void tst_VeskVisionServices::translationEngineOutcomes()
{
    QFETCH(bool, engineFails);
    QFETCH(QList<QPointF>, alignments);
    QFETCH(QPointF, offset);

    const VeskVisionError engineError{QStringLiteral("TestEngine"), 9, QStringLiteral("no overlap")};
    VeskVisionImage seenFrom;
    VeskVisionImage seenTo;
    const VeskTranslationalRegistrationRequest request = [&](const VeskVisionImage& reference,
                                                             const VeskVisionImage& floating) {
        seenFrom = reference;
        seenTo = floating;
        using Result = VeskResult<QList<QPointF>, VeskVisionError>;
        return engineFails ? Result::failure(engineError) : Result::success(alignments);
    };
    const auto result =
        VeskVisionServices::translationalOffset(visionImage(blankImage(8, 4)), visionImage(blankImage(6, 2)), request);

    // The first image is the reference, the second the one being aligned.
    QCOMPARE(seenFrom.width, 8);
    QCOMPARE(seenTo.width, 6);
    QCOMPARE(result.ok(), !engineFails);
    if (engineFails)
        QCOMPARE(result.error(), engineError);
    else
        QCOMPARE(result.value(), offset);
}

void tst_VeskVisionServices::languageDataNames_data()
{
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<QString>("dataName"); // empty: none

    QTest::newRow("english with region") << QStringLiteral("en-US") << QStringLiteral("eng");
    QTest::newRow("bare language") << QStringLiteral("de") << QStringLiteral("deu");
    QTest::newRow("underscore and upper case") << QStringLiteral("PT_br") << QStringLiteral("por");
    QTest::newRow("turkish") << QStringLiteral("tr-TR") << QStringLiteral("tur");
    QTest::newRow("norwegian bokmal") << QStringLiteral("nb-NO") << QStringLiteral("nor");
    QTest::newRow("chinese simplified script") << QStringLiteral("zh-Hans") << QStringLiteral("chi_sim");
    QTest::newRow("chinese traditional script") << QStringLiteral("zh-Hant") << QStringLiteral("chi_tra");
    QTest::newRow("chinese taiwan region") << QStringLiteral("zh-TW") << QStringLiteral("chi_tra");
    QTest::newRow("chinese mainland region") << QStringLiteral("zh_CN") << QStringLiteral("chi_sim");
    QTest::newRow("unknown language") << QStringLiteral("tlh") << QString();
    QTest::newRow("empty identifier") << QString() << QString();
    QTest::newRow("data name itself is no identifier") << QStringLiteral("eng") << QString();
}

void tst_VeskVisionServices::languageDataNames()
{
    QFETCH(QString, identifier);
    QFETCH(QString, dataName);

    QCOMPARE(VeskTesseractTextRecognizer::dataName(identifier).value_or(QString()), dataName);
}

void tst_VeskVisionServices::imageWithoutTextHasNoLines()
{
    int attempts = 0;
    const VeskTextRecognizer counting = [&](const VeskVisionImage& image, const VeskTextRecognitionRequest& request) {
        ++attempts;
        return VeskTesseractTextRecognizer::recognize(image, request);
    };
    const auto result = VeskVisionServices::recognizeText(
        visionImage(blankImage(320, 120)), {QStringLiteral("en-US")}, true, counting);
    QVERIFY2(result.ok(), qPrintable(result.ok() ? QString() : result.error().localizedDescription));
    QVERIFY(result.value().lines.isEmpty());
    QCOMPARE(result.value().fullText(), QString());
    QCOMPARE(attempts, 1);
}

void tst_VeskVisionServices::drawnLinesAreRead_data()
{
    QTest::addColumn<bool>("accurate");
    QTest::addColumn<QStringList>("languages");
    QTest::addColumn<bool>("lightOnDark");

    QTest::newRow("accurate, english") << true << QStringList{QStringLiteral("en-US")} << false;
    QTest::newRow("fast, english") << false << QStringList{QStringLiteral("en-GB")} << false;
    QTest::newRow("accurate, no language given") << true << QStringList{} << false;
    QTest::newRow("accurate, light on dark") << true << QStringList{QStringLiteral("en-US")} << true;
}

void tst_VeskVisionServices::drawnLinesAreRead()
{
    QFETCH(bool, accurate);
    QFETCH(QStringList, languages);
    QFETCH(bool, lightOnDark);

    const QStringList texts{QStringLiteral("Invoice 2041"), QStringLiteral("Total 38.50")};
    const auto result = VeskVisionServices::recognizeText(
        visionImage(textImage(texts, 640, 40, lightOnDark)), languages, accurate);
    QVERIFY2(result.ok(), qPrintable(result.ok() ? QString() : result.error().localizedDescription));
    QCOMPARE(result.value().fullText(), texts.join(QLatin1Char('\n')));

    const QList<VeskOCRLine>& lines = result.value().lines;
    for (const VeskOCRLine& line : lines) {
        const QRectF& box = line.boundingBox;
        QVERIFY2(box.left() >= 0.0 && box.right() <= 1.0 && box.top() >= 0.0 && box.bottom() <= 1.0,
            qPrintable(QStringLiteral("box outside the image: %1 %2 %3 %4")
                           .arg(box.x()).arg(box.y()).arg(box.width()).arg(box.height())));
        QVERIFY(box.width() > 0.2 && box.height() > 0.05);
        QVERIFY(line.confidence > 0.5F && line.confidence <= 1.0F);
        // The text starts one text height in from the left edge.
        QVERIFY(std::abs(box.left() - 40.0 / 640.0) < 0.03);
    }
    // Origin at the bottom: the first line drawn, higher up, has the larger y.
    QVERIFY(lines.at(0).boundingBox.y() > lines.at(1).boundingBox.y() + lines.at(1).boundingBox.height());
}

void tst_VeskVisionServices::unreadableLanguagesFail_data()
{
    QTest::addColumn<QStringList>("languages");

    QTest::newRow("unknown alone") << QStringList{QStringLiteral("tlh")};
    QTest::newRow("unknown after a known one") << QStringList{QStringLiteral("en-US"), QStringLiteral("qq-ZZ")};
}

void tst_VeskVisionServices::unreadableLanguagesFail()
{
    QFETCH(QStringList, languages);

    const auto result =
        VeskVisionServices::recognizeText(visionImage(textImage({QStringLiteral("Total")})), languages, true);
    QVERIFY(!result.ok());
    QCOMPARE(result.error().domain, VeskVisionEngineError::domain);
    QCOMPARE(result.error().code, VeskVisionEngineError::unsupportedLanguage);
}

void tst_VeskVisionServices::missingLanguageDataFails_data()
{
    QTest::addColumn<bool>("withEnglishData");
    QTest::addColumn<QStringList>("languages");
    QTest::addColumn<QString>("missing");

    QTest::newRow("no data at all") << false << QStringList{QStringLiteral("en-US")} << QStringLiteral("\"eng\"");
    QTest::newRow("first language present, second absent")
        << true << QStringList{QStringLiteral("en-US"), QStringLiteral("tr-TR")} << QStringLiteral("\"tur\"");
    QTest::newRow("first language absent, second present")
        << true << QStringList{QStringLiteral("tr-TR"), QStringLiteral("en-US")} << QStringLiteral("\"tur");
}

void tst_VeskVisionServices::missingLanguageDataFails()
{
    QFETCH(bool, withEnglishData);
    QFETCH(QStringList, languages);
    QFETCH(QString, missing);

    // A data folder of our own stands in for a system that lacks the data
    // for some language asked for.
    QTemporaryDir data;
    QVERIFY(data.isValid());
    if (withEnglishData) {
        QString english;
        for (const QString& folder : {qEnvironmentVariable("TESSDATA_PREFIX"),
                 QStringLiteral("/usr/share/tesseract-ocr/5/tessdata"),
                 QStringLiteral("/usr/share/tesseract-ocr/4.00/tessdata")}) {
            if (!folder.isEmpty() && QFileInfo::exists(folder + QStringLiteral("/eng.traineddata"))) {
                english = folder + QStringLiteral("/eng.traineddata");
                break;
            }
        }
        if (english.isEmpty())
            QSKIP("no English recognition data installed");
        QVERIFY(QFile::link(english, data.filePath(QStringLiteral("eng.traineddata"))));
    }
    const QByteArray previous = qgetenv("TESSDATA_PREFIX");
    const bool hadPrevious = qEnvironmentVariableIsSet("TESSDATA_PREFIX");
    qputenv("TESSDATA_PREFIX", data.path().toUtf8());
    // One pass is enough here: the retries are covered on their own.
    VeskTextRecognitionRequest request;
    request.recognitionLanguages = languages;
    const auto result = VeskTesseractTextRecognizer::recognize(visionImage(textImage({QStringLiteral("Total")})), request);
    if (hadPrevious)
        qputenv("TESSDATA_PREFIX", previous);
    else
        qunsetenv("TESSDATA_PREFIX");

    QVERIFY(!result.ok());
    QCOMPARE(result.error().domain, VeskVisionEngineError::domain);
    QCOMPARE(result.error().code, VeskVisionEngineError::missingLanguageData);
    QVERIFY2(result.error().localizedDescription.contains(missing), qPrintable(result.error().localizedDescription));
}

void tst_VeskVisionServices::invalidImagesFail()
{
    const VeskVisionImage empty;
    VeskVisionImage truncated = visionImage(blankImage(16, 16));
    truncated.pixels.chop(4);
    const VeskVisionImage valid = visionImage(sceneImage(64, 48));

    for (const VeskVisionImage& image : {empty, truncated}) {
        const auto text = VeskVisionServices::recognizeText(image, {}, true);
        QVERIFY(!text.ok());
        QCOMPARE(text.error().code, VeskVisionEngineError::invalidImage);
        const auto print = VeskVisionServices::featurePrint(image);
        QVERIFY(!print.ok());
        QCOMPARE(print.error().code, VeskVisionEngineError::invalidImage);
        for (const auto& offset :
            {VeskVisionServices::translationalOffset(image, valid), VeskVisionServices::translationalOffset(valid, image)}) {
            QVERIFY(!offset.ok());
            QCOMPARE(offset.error().domain, VeskVisionEngineError::domain);
            QCOMPARE(offset.error().code, VeskVisionEngineError::invalidImage);
        }
    }
}

void tst_VeskVisionServices::featurePrintsTellImagesApart()
{
    const auto printOf = [](const QImage& image) {
        const auto print = VeskVisionServices::featurePrint(visionImage(image));
        return print.ok() ? print.value() : VeskFeaturePrintObservation{};
    };
    const VeskFeaturePrintObservation scene = printOf(sceneImage(320, 240));
    QVERIFY(scene.elementCount() > 0);

    QImage dimmed = sceneImage(320, 240);
    for (int y = 0; y < dimmed.height(); ++y)
        for (int x = 0; x < dimmed.width(); ++x)
            dimmed.setPixelColor(x, y, dimmed.pixelColor(x, y).darker(130));
    QImage text = textImage({QStringLiteral("Invoice 2041"), QStringLiteral("Total 38.50")}, 320, 28);

    const float same = scene.computeDistance(printOf(sceneImage(320, 240))).value_or(-1.0F);
    const float larger = scene.computeDistance(printOf(sceneImage(960, 720))).value_or(-1.0F);
    const float darker = scene.computeDistance(printOf(dimmed)).value_or(-1.0F);
    const float other = scene.computeDistance(printOf(text)).value_or(-1.0F);

    QCOMPARE(same, 0.0F);
    QVERIFY2(larger > 0.0F && larger < 0.2F, qPrintable(QString::number(larger)));
    QVERIFY2(darker >= 0.0F && darker < 0.2F, qPrintable(QString::number(darker)));
    QVERIFY2(other > 3.0F * std::max(larger, darker), qPrintable(QString::number(other)));
    QVERIFY(other <= 2.0F);
}

void tst_VeskVisionServices::flatImageHasZeroPrint()
{
    const auto print = VeskVisionServices::featurePrint(visionImage(blankImage(40, 30, QColor(120, 130, 140))));
    QVERIFY(print.ok());
    QVERIFY(print.value().elementCount() > 0);
    for (const float v : print.value().data)
        QCOMPARE(v, 0.0F);
}

void tst_VeskVisionServices::printsOfDifferentLengthsHaveNoDistance()
{
    const VeskFeaturePrintObservation a{{0.6F, 0.8F}};
    const VeskFeaturePrintObservation b{{0.6F, 0.8F, 0.0F}};
    QVERIFY(!a.computeDistance(b).has_value());
    QCOMPARE(a.computeDistance(VeskFeaturePrintObservation{{0.0F, 0.8F}}).value_or(-1.0F), 0.6F);
}

void tst_VeskVisionServices::shiftedImagesAreAligned_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("shift"); // of the second image's content, x right, y down
    QTest::addColumn<double>("tolerance");

    QTest::newRow("same image") << QSize(320, 240) << QPoint(0, 0) << 0.5;
    QTest::newRow("right") << QSize(320, 240) << QPoint(10, 0) << 0.5;
    QTest::newRow("up") << QSize(320, 240) << QPoint(0, -14) << 0.5;
    QTest::newRow("left and down") << QSize(320, 240) << QPoint(-23, 17) << 0.5;
    QTest::newRow("size not a power of two") << QSize(301, 177) << QPoint(6, -9) << 0.5;
    // Compared at a third of the size: as fine as that reduction.
    QTest::newRow("large image") << QSize(1200, 900) << QPoint(45, -30) << 3.0;
}

void tst_VeskVisionServices::shiftedImagesAreAligned()
{
    QFETCH(QSize, size);
    QFETCH(QPoint, shift);
    QFETCH(double, tolerance);

    const QImage from = sceneImage(size.width(), size.height());
    const QImage to = sceneImage(size.width(), size.height(), shift);
    const auto result = VeskVisionServices::translationalOffset(visionImage(from), visionImage(to));
    QVERIFY(result.ok());
    // Moving the second image's content back onto the first, y pointing up.
    const QPointF expected(-shift.x(), shift.y());
    QVERIFY2(std::abs(result.value().x() - expected.x()) <= tolerance
            && std::abs(result.value().y() - expected.y()) <= tolerance,
        qPrintable(QStringLiteral("got (%1, %2), expected (%3, %4)")
                       .arg(result.value().x()).arg(result.value().y()).arg(expected.x()).arg(expected.y())));
}

void tst_VeskVisionServices::flatImagesGiveZeroOffset()
{
    const VeskVisionImage flat = visionImage(blankImage(64, 64, Qt::gray));
    const VeskVisionImage scene = visionImage(sceneImage(64, 64));
    for (const auto& [from, to] : {std::pair{flat, scene}, std::pair{scene, flat}, std::pair{flat, flat}}) {
        const auto result = VeskVisionServices::translationalOffset(from, to);
        QVERIFY(result.ok());
        QCOMPARE(result.value(), QPointF(0, 0));
    }
}

void tst_VeskVisionServices::callsMayRunAtOnce()
{
    const VeskVisionImage text = visionImage(textImage({QStringLiteral("Budget 2027")}));
    const VeskVisionImage from = visionImage(sceneImage(160, 120));
    const VeskVisionImage to = visionImage(sceneImage(160, 120, QPoint(5, 3)));

    QString texts[2];
    QPointF offsets[2];
    std::thread workers[2];
    for (int i = 0; i < 2; ++i) {
        workers[i] = std::thread([&, i] {
            const auto read = VeskVisionServices::recognizeText(text, {QStringLiteral("en-US")}, i == 0);
            texts[i] = read.ok() ? read.value().fullText() : read.error().localizedDescription;
            const auto offset = VeskVisionServices::translationalOffset(from, to);
            offsets[i] = offset.ok() ? offset.value() : QPointF(-1000, -1000);
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(texts[i], QStringLiteral("Budget 2027"));
        QVERIFY(std::abs(offsets[i].x() + 5) <= 0.5 && std::abs(offsets[i].y() - 3) <= 0.5);
    }
}

QTEST_MAIN(tst_VeskVisionServices)
#include "tst_veskvisionservices.moc"
