#pragma once

#include <QList>

#include <optional>

// A compact description of what an image looks like, for telling similar
// images from different ones: the closer two prints, the more alike the
// images. Prints are unit vectors, so distances run from 0 (same look) to 2.
struct VeskFeaturePrintObservation {
    QList<float> data;

    qsizetype elementCount() const { return data.size(); }

    // The Euclidean distance between two prints, or nothing when they were
    // not made the same way (their lengths differ).
    std::optional<float> computeDistance(const VeskFeaturePrintObservation& other) const;

    bool operator==(const VeskFeaturePrintObservation&) const = default;
};
