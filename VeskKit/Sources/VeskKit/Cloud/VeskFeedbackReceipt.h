#pragma once

#include <QString>

// The feedback service's answer to a delivered report.
struct VeskFeedbackReceipt {
    QString referenceCode;
    int attachmentsCount = 0;
    QString message;

    bool operator==(const VeskFeedbackReceipt &) const = default;
};
