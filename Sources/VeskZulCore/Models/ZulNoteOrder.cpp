#include "Models/ZulNoteOrder.h"

#include <QLocale>
#include <QSet>

#include <algorithm>
#include <functional>

namespace ZulNoteOrder {

Key keyOf(const ZulNote &note)
{
    return Key{note.isPinned, note.updatedAt.toMSecsSinceEpoch()};
}

QList<ZulNote> sorted(const QList<ZulNote> &notes)
{
    QList<ZulNote> ordered = notes;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const ZulNote &a, const ZulNote &b) { return comesBefore(a, b); });
    return ordered;
}

TagOrder::TagOrder() : m_collator(QLocale())
{
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

QStringList distinctTags(const QList<ZulNote> &notes)
{
    QStringList tags;
    QSet<QString> seen;
    for (const ZulNote &note : notes) {
        for (const QString &tag : note.tags) {
            if (!seen.contains(tag)) {
                seen.insert(tag);
                tags.append(tag);
            }
        }
    }
    const TagOrder order;
    std::stable_sort(tags.begin(), tags.end(), std::cref(order));
    return tags;
}

} // namespace ZulNoteOrder
