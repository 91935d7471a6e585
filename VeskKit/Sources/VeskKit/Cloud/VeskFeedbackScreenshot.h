#pragma once

#include <QByteArray>
#include <QString>
#include <QUuid>

// One image attached to a feedback report, as it is sent.
struct VeskFeedbackScreenshot {
    QUuid id;
    QString filename;
    QString mimeType;
    QByteArray data;

    // The size of the data in decimal units: "840 B", "1.3 MB".
    QString formattedSize() const;

    bool operator==(const VeskFeedbackScreenshot &) const = default;
};
