#pragma once

#include "VeskKit/Vision/VeskTextRecognitionRequest.h"

#include <optional>

// The text recognizer on Linux: the Tesseract OCR library with the language
// data installed on the system.
namespace VeskTesseractTextRecognizer {

// One recognition pass. Language identifiers are mapped to Tesseract's data
// names ("en-US" -> "eng"); every requested language is loaded together,
// which is how the engine chooses between them word by word. An empty list
// reads English.
VeskResult<QList<VeskRecognizedTextObservation>, VeskVisionError> recognize(
    const VeskVisionImage& image, const VeskTextRecognitionRequest& request);

// Tesseract's data name for a language identifier (BCP 47, "-" or "_"
// between subtags, any case), or nothing when there is no such data name.
std::optional<QString> dataName(const QString& languageIdentifier);

} // namespace VeskTesseractTextRecognizer
