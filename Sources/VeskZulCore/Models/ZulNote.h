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
    // The fields toJson() holds, in ascending key order, each handed to the
    // visitor as it is written: visitor.text(key, QString),
    // visitor.flag(key, bool), visitor.texts(key, QStringList) and, for the
    // sticky frame, visitor.value(key, QJsonValue). toJson() is built this
    // way too, so a writer that follows it writes the same record.
    template <typename Visitor>
    void visitJsonFields(Visitor &visitor) const;
    // Fails, naming the reason, on a missing required key, a wrong JSON type,
    // an unknown tint, an id that is not a UUID, a misshapen sticky frame or
    // a date not in the storage form.
    static ZulResult<ZulNote> fromJson(const QJsonValue &value);

    // Exact comparison of all eleven fields (a frame's numbers included:
    // QRectF's own == is fuzzy).
    bool operator==(const ZulNote &other) const;
    bool operator!=(const ZulNote &other) const { return !(*this == other); }

private:
    QString idText() const;
    std::optional<QJsonValue> stickyFrameJson() const;
    QString createdAtText() const;
    QString updatedAtText() const;
};

template <typename Visitor>
void ZulNote::visitJsonFields(Visitor &visitor) const
{
    visitor.text(QLatin1StringView("content"), content);
    visitor.text(QLatin1StringView("createdAt"), createdAtText());
    visitor.text(QLatin1StringView("id"), idText());
    visitor.flag(QLatin1StringView("isEphemeral"), isEphemeral);
    visitor.flag(QLatin1StringView("isFloatingSticky"), isFloatingSticky);
    visitor.flag(QLatin1StringView("isPinned"), isPinned);
    if (const std::optional<QJsonValue> frame = stickyFrameJson())
        visitor.value(QLatin1StringView("stickyFrame"), *frame);
    visitor.texts(QLatin1StringView("tags"), tags);
    visitor.text(QLatin1StringView("tint"), rawValue(tint));
    visitor.text(QLatin1StringView("title"), title);
    visitor.text(QLatin1StringView("updatedAt"), updatedAtText());
}
