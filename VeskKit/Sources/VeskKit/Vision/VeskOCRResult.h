#pragma once

#include "VeskKit/Vision/VeskOCRLine.h"

#include <QList>
#include <QString>

#include <utility>

// The text lines found in one image, in the order the recognizer reported
// them.
struct VeskOCRResult {
    QList<VeskOCRLine> lines;

    VeskOCRResult() = default;
    explicit VeskOCRResult(QList<VeskOCRLine> lines) : lines(std::move(lines)) {}

    // The lines' texts joined by line feeds, none after the last.
    QString fullText() const;

    bool operator==(const VeskOCRResult& other) const { return lines == other.lines; }
};
