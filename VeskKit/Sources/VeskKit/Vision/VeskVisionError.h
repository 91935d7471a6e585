#pragma once

#include <QString>

// A failure of an image service: which part reported it (domain), its code
// there and a sentence for people.
struct VeskVisionError {
    QString domain;
    int code = 0;
    QString localizedDescription;

    bool operator==(const VeskVisionError&) const = default;
};

// Failures of the image engines themselves, in their own domain: an image
// they cannot read, a language they cannot read or have no data for, and a
// recognizer that gave up.
namespace VeskVisionEngineError {
inline const QString domain = QStringLiteral("VeskVisionEngine");
constexpr int invalidImage = 1;
constexpr int unsupportedLanguage = 2;
constexpr int missingLanguageData = 3;
constexpr int recognitionFailed = 4;
} // namespace VeskVisionEngineError
