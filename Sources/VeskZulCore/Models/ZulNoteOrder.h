#pragma once

#include "Models/ZulNote.h"

#include <QCollator>
#include <QList>
#include <QString>
#include <QStringList>

// The one order of notes everywhere (the sidebar, the drawer, the selection
// at start and after a note goes): pinned notes first, then the latest
// change first. Notes that tie keep the order they are stored in.
namespace ZulNoteOrder {

// Where a note stands, without the note: all the order looks at.
struct Key {
    bool pinned = false;
    qint64 updatedMs = 0;
};
Key keyOf(const ZulNote &note);

inline bool comesBefore(const Key &a, const Key &b)
{
    if (a.pinned != b.pinned)
        return a.pinned;
    return a.updatedMs > b.updatedMs;
}
inline bool comesBefore(const ZulNote &a, const ZulNote &b)
{
    return comesBefore(keyOf(a), keyOf(b));
}

// The notes in display order (a stable sort).
QList<ZulNote> sorted(const QList<ZulNote> &notes);

// Tags are offered in the user's locale, letter case aside; tags that
// compare equal keep the order they were first seen in.
class TagOrder
{
public:
    TagOrder();
    bool operator()(const QString &a, const QString &b) const { return m_collator.compare(a, b) < 0; }

private:
    QCollator m_collator;
};

// The distinct tags of the notes, each once, in tag order.
QStringList distinctTags(const QList<ZulNote> &notes);

} // namespace ZulNoteOrder
