#include "VeskKit/Vision/VeskFeaturePrintObservation.h"

#include <cmath>

std::optional<float> VeskFeaturePrintObservation::computeDistance(const VeskFeaturePrintObservation& other) const
{
    if (data.size() != other.data.size())
        return std::nullopt;
    double sum = 0.0;
    for (qsizetype i = 0; i < data.size(); ++i) {
        const double difference = double(data.at(i)) - double(other.data.at(i));
        sum += difference * difference;
    }
    return float(std::sqrt(sum));
}
