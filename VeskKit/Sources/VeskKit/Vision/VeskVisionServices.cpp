#include "VeskKit/Vision/VeskVisionServices.h"

#include "VeskKit/Vision/VeskTesseractTextRecognizer.h"

#include <algorithm>

namespace {

using OCRResult = VeskResult<VeskOCRResult, VeskVisionError>;

OCRResult attempt(const VeskVisionImage& image, const QStringList& languages, VeskRecognitionLevel level,
    bool cpuOnly, const VeskTextRecognizer& recognizer)
{
    VeskTextRecognitionRequest request;
    request.recognitionLevel = level;
    request.usesLanguageCorrection = true;
    request.automaticallyDetectsLanguage = true;
    request.recognitionLanguages = languages;
    if (cpuOnly) {
        const QList<VeskComputeDevice> devices = allComputeDevices();
        const auto cpu = std::find(devices.cbegin(), devices.cend(), VeskComputeDevice::cpu);
        if (cpu != devices.cend())
            request.computeDevice = *cpu;
    }

    auto observations = recognizer(image, request);
    if (!observations)
        return OCRResult::failure(observations.error());
    QList<VeskOCRLine> lines;
    for (const VeskRecognizedTextObservation& observation : observations.value()) {
        if (!observation.topCandidate)
            continue;
        lines.append(VeskOCRLine(observation.topCandidate->string, observation.boundingBox,
            observation.topCandidate->confidence));
    }
    return OCRResult::success(VeskOCRResult(lines));
}

} // namespace

namespace VeskVisionServices {

VeskResult<VeskOCRResult, VeskVisionError> recognizeText(
    const VeskVisionImage& image, const QStringList& languages, bool accurate)
{
    return recognizeText(image, languages, accurate, &VeskTesseractTextRecognizer::recognize);
}

VeskResult<VeskOCRResult, VeskVisionError> recognizeText(const VeskVisionImage& image,
    const QStringList& languages, bool accurate, const VeskTextRecognizer& recognizer)
{
    const VeskRecognitionLevel requested = accurate ? VeskRecognitionLevel::accurate : VeskRecognitionLevel::fast;
    if (OCRResult result = attempt(image, languages, requested, false, recognizer))
        return result;
    if (OCRResult result = attempt(image, languages, requested, true, recognizer))
        return result;
    return attempt(image, languages, VeskRecognitionLevel::fast, true, recognizer);
}

VeskResult<VeskFeaturePrintObservation, VeskVisionError> featurePrint(const VeskVisionImage& image)
{
    return featurePrint(image, &VeskFeaturePrintGenerator::generate);
}

VeskResult<VeskFeaturePrintObservation, VeskVisionError> featurePrint(
    const VeskVisionImage& image, const VeskFeaturePrintRequest& request)
{
    using Result = VeskResult<VeskFeaturePrintObservation, VeskVisionError>;
    auto observations = request(image);
    if (!observations)
        return Result::failure(observations.error());
    if (observations.value().isEmpty())
        return Result::failure(VeskVisionError{
            errorDomain, featurePrintUnavailable, QStringLiteral("Could not compute image feature print.")});
    return Result::success(observations.value().first());
}

VeskResult<QPointF, VeskVisionError> translationalOffset(const VeskVisionImage& from, const VeskVisionImage& to)
{
    return translationalOffset(from, to, &VeskTranslationalRegistration::align);
}

VeskResult<QPointF, VeskVisionError> translationalOffset(
    const VeskVisionImage& from, const VeskVisionImage& to, const VeskTranslationalRegistrationRequest& request)
{
    using Result = VeskResult<QPointF, VeskVisionError>;
    auto alignments = request(from, to);
    if (!alignments)
        return Result::failure(alignments.error());
    if (alignments.value().isEmpty())
        return Result::success(QPointF(0.0, 0.0));
    return Result::success(alignments.value().first());
}

} // namespace VeskVisionServices
