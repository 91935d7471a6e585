#pragma once

#include "Models/ZulNoteTint.h"
#include "Models/ZulResult.h"

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <optional>

// One user's note. A plain value: every part of the application reads and
// edits notes as copies of this record.
struct ZulNote {
    QUuid id;                           // fixed at creation
    QString title;                      // may be empty: displayTitle() then uses the text
    QString content;
    ZulNoteTint tint = ZulNoteTint::indigo;
    bool isPinned = false;
    bool isEphemeral = false;
    bool isFloatingSticky = false;
    std::optional<QRectF> stickyFrame;  // screen points; absent until the sticky has stood somewhere
    QStringList tags;
    QDateTime createdAt;                // fixed at creation
    QDateTime updatedAt;

    ZulNote() = default;
    ZulNote(const QUuid &id, const QString &title, const QString &content, ZulNoteTint tint,
            bool isPinned, bool isEphemeral, bool isFloatingSticky,
            const std::optional<QRectF> &stickyFrame, const QStringList &tags,
            const QDateTime &createdAt, const QDateTime &updatedAt);

    // The name shown wherever the note is listed, searched or exported.
    QString displayTitle() const;
    // The short preview under the title in note rows.
    QString previewSnippet() const;
    // Whether previewSnippet() has any text, found without building it.
    bool hasPreviewSnippet() const;

    // Dates are written in the storage form (ZulIsoDate); the caller checks
    // they are encodable. A sticky frame with a non-finite member is left out
    // rather than written as something no reader accepts.
    QJsonObject toJson() const;
    // Fails, naming the reason, on a missing required key, a wrong JSON type,
    // an unknown tint, an id that is not a UUID, a misshapen sticky frame or
    // a date not in the storage form.
    static ZulResult<ZulNote> fromJson(const QJsonValue &value);

    // Exact comparison of all eleven fields (a frame's numbers included:
    // QRectF's own == is fuzzy).
    bool operator==(const ZulNote &other) const;
    bool operator!=(const ZulNote &other) const { return !(*this == other); }
};
