#include "VeskKit/Vision/VeskTesseractTextRecognizer.h"

#include "VeskKit/Vision/VeskLuminancePlane.h"

#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include <omp.h>

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

VeskVisionError engineError(int code, const QString& description)
{
    return VeskVisionError{VeskVisionEngineError::domain, code, description};
}

// Primary language subtag -> Tesseract data name, for the languages Debian
// ships data for that people are most likely to ask for.
const QHash<QString, QString>& dataNames()
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("ar"), QStringLiteral("ara")}, {QStringLiteral("bg"), QStringLiteral("bul")},
        {QStringLiteral("ca"), QStringLiteral("cat")}, {QStringLiteral("cs"), QStringLiteral("ces")},
        {QStringLiteral("da"), QStringLiteral("dan")}, {QStringLiteral("de"), QStringLiteral("deu")},
        {QStringLiteral("el"), QStringLiteral("ell")}, {QStringLiteral("en"), QStringLiteral("eng")},
        {QStringLiteral("es"), QStringLiteral("spa")}, {QStringLiteral("et"), QStringLiteral("est")},
        {QStringLiteral("fa"), QStringLiteral("fas")}, {QStringLiteral("fi"), QStringLiteral("fin")},
        {QStringLiteral("fr"), QStringLiteral("fra")}, {QStringLiteral("he"), QStringLiteral("heb")},
        {QStringLiteral("hi"), QStringLiteral("hin")}, {QStringLiteral("hr"), QStringLiteral("hrv")},
        {QStringLiteral("hu"), QStringLiteral("hun")}, {QStringLiteral("id"), QStringLiteral("ind")},
        {QStringLiteral("it"), QStringLiteral("ita")}, {QStringLiteral("ja"), QStringLiteral("jpn")},
        {QStringLiteral("ko"), QStringLiteral("kor")}, {QStringLiteral("lt"), QStringLiteral("lit")},
        {QStringLiteral("lv"), QStringLiteral("lav")}, {QStringLiteral("ms"), QStringLiteral("msa")},
        {QStringLiteral("nb"), QStringLiteral("nor")}, {QStringLiteral("nl"), QStringLiteral("nld")},
        {QStringLiteral("no"), QStringLiteral("nor")}, {QStringLiteral("pl"), QStringLiteral("pol")},
        {QStringLiteral("pt"), QStringLiteral("por")}, {QStringLiteral("ro"), QStringLiteral("ron")},
        {QStringLiteral("ru"), QStringLiteral("rus")}, {QStringLiteral("sk"), QStringLiteral("slk")},
        {QStringLiteral("sl"), QStringLiteral("slv")}, {QStringLiteral("sr"), QStringLiteral("srp")},
        {QStringLiteral("sv"), QStringLiteral("swe")}, {QStringLiteral("th"), QStringLiteral("tha")},
        {QStringLiteral("tr"), QStringLiteral("tur")}, {QStringLiteral("uk"), QStringLiteral("ukr")},
        {QStringLiteral("vi"), QStringLiteral("vie")},
    };
    return names;
}

// Tesseract spreads each line over a team of OpenMP threads, one per core.
// With other work on the machine, or several recognitions at once, those
// teams fight over the cores and a pass takes many times longer than on one
// thread. Allowing no nested-or-outer parallel level keeps every region this
// thread starts to the thread itself, for the span of one pass.
class SingleThreadedPass
{
public:
    SingleThreadedPass() : m_previousLevels(omp_get_max_active_levels()) { omp_set_max_active_levels(0); }
    ~SingleThreadedPass() { omp_set_max_active_levels(m_previousLevels); }
    SingleThreadedPass(const SingleThreadedPass&) = delete;
    SingleThreadedPass& operator=(const SingleThreadedPass&) = delete;

private:
    int m_previousLevels;
};

std::string utf8(const QString& text)
{
    return text.toStdString();
}

} // namespace

namespace VeskTesseractTextRecognizer {

std::optional<QString> dataName(const QString& languageIdentifier)
{
    static const QRegularExpression separator(QStringLiteral("[-_]"));
    const QStringList subtags = languageIdentifier.toLower().split(separator);
    const QString primary = subtags.value(0);
    if (primary == QLatin1String("zh")) {
        // Traditional script by its own subtag, or by the regions that write it.
        const bool traditional = subtags.contains(QLatin1String("hant")) || subtags.contains(QLatin1String("tw"))
            || subtags.contains(QLatin1String("hk")) || subtags.contains(QLatin1String("mo"));
        return traditional ? QStringLiteral("chi_tra") : QStringLiteral("chi_sim");
    }
    const auto found = dataNames().constFind(primary);
    if (found == dataNames().cend())
        return std::nullopt;
    return *found;
}

VeskResult<QList<VeskRecognizedTextObservation>, VeskVisionError> recognize(
    const VeskVisionImage& image, const VeskTextRecognitionRequest& request)
{
    using Result = VeskResult<QList<VeskRecognizedTextObservation>, VeskVisionError>;
    if (!image.isValid())
        return Result::failure(engineError(VeskVisionEngineError::invalidImage,
            QStringLiteral("The image has no pixels to read.")));

    QStringList names;
    for (const QString& identifier : request.recognitionLanguages) {
        const std::optional<QString> name = dataName(identifier);
        if (!name)
            return Result::failure(engineError(VeskVisionEngineError::unsupportedLanguage,
                QStringLiteral("Text in the language \"%1\" cannot be recognised.").arg(identifier)));
        if (!names.contains(*name))
            names.append(*name);
    }
    if (names.isEmpty())
        names.append(QStringLiteral("eng"));

    // Tesseract writes its chatter to stderr unless told otherwise; set at
    // start-up so nothing leaks while the data loads either.
    std::vector<std::string> variables = {"debug_file"};
    std::vector<std::string> values = {"/dev/null"};
    // The language data Debian installs holds only the neural line
    // recognizer, so both levels use it; the fast one skips the second
    // reading of every line as light text on a dark ground, which costs
    // about as much again and is only needed for such text.
    if (request.recognitionLevel == VeskRecognitionLevel::fast) {
        variables.emplace_back("tessedit_do_invert");
        values.emplace_back("0");
    }
    if (!request.usesLanguageCorrection) {
        variables.insert(variables.end(), {"load_system_dawg", "load_freq_dawg"});
        values.insert(values.end(), {"0", "0"});
    }

    const auto missingData = [](const QStringList& missing) {
        return Result::failure(engineError(VeskVisionEngineError::missingLanguageData,
            QStringLiteral("No text recognition data is installed for \"%1\".").arg(missing.join(QLatin1Char('+')))));
    };
    auto api = std::make_unique<tesseract::TessBaseAPI>();
    if (api->Init(nullptr, utf8(names.join(QLatin1Char('+'))).c_str(), tesseract::OEM_LSTM_ONLY, nullptr, 0,
            &variables, &values, false)
        != 0)
        return missingData(names);
    // Tesseract carries on without the data it could not find for any but
    // the first language; reading on would quietly misread those languages.
    std::vector<std::string> loaded;
    api->GetLoadedLanguagesAsVector(&loaded);
    QStringList missing = names;
    for (const std::string& name : loaded)
        missing.removeAll(QString::fromStdString(name));
    if (!missing.isEmpty()) {
        api->End();
        return missingData(missing);
    }
    api->SetPageSegMode(tesseract::PSM_AUTO);

    const VeskLuminancePlane plane = VeskLuminancePlane::fromImage(image);
    std::vector<unsigned char> gray(plane.values.size());
    std::transform(plane.values.cbegin(), plane.values.cend(), gray.begin(),
        [](float v) { return static_cast<unsigned char>(std::lround(std::clamp(v, 0.0F, 1.0F) * 255.0F)); });
    api->SetImage(gray.data(), plane.width, plane.height, 1, plane.width);
    // Screen images carry no resolution; without one Tesseract guesses from
    // the glyph sizes and says so on stderr.
    api->SetSourceResolution(96);
    const SingleThreadedPass singleThreaded;
    if (api->Recognize(nullptr) != 0) {
        api->End();
        return Result::failure(engineError(VeskVisionEngineError::recognitionFailed,
            QStringLiteral("The text recognizer could not read the image.")));
    }

    QList<VeskRecognizedTextObservation> observations;
    // The iterator reads the engine's page results, so it must be gone
    // before the engine lets go of them.
    if (const std::unique_ptr<tesseract::ResultIterator> line(api->GetIterator()); line) {
        const auto level = tesseract::RIL_TEXTLINE;
        do {
            if (line->Empty(level))
                continue;
            int left = 0, top = 0, right = 0, bottom = 0;
            if (!line->BoundingBox(level, &left, &top, &right, &bottom))
                continue;
            const double width = plane.width;
            const double height = plane.height;
            VeskRecognizedTextObservation observation;
            observation.boundingBox = QRectF(left / width, 1.0 - bottom / height, (right - left) / width,
                (bottom - top) / height);
            const std::unique_ptr<char[]> text(line->GetUTF8Text(level));
            const QString string = text ? QString::fromUtf8(text.get()).trimmed() : QString();
            if (!string.isEmpty())
                observation.topCandidate = VeskRecognizedText{string,
                    std::clamp(line->Confidence(level) / 100.0F, 0.0F, 1.0F)};
            observations.append(observation);
        } while (line->Next(level));
    }
    api->End();
    return Result::success(observations);
}

} // namespace VeskTesseractTextRecognizer
