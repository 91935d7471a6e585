#include "Services/ZulNotesMerge.h"

#include <QHash>
#include <QSet>

namespace {

QHash<QUuid, const ZulNote *> byID(const QList<ZulNote> &notes)
{
    QHash<QUuid, const ZulNote *> index;
    index.reserve(notes.size());
    for (const ZulNote &note : notes)
        index.insert(note.id, &note);
    return index;
}

// Equal as the file holds them: it keeps whole seconds, so a note read
// back is the note written even when its times had a fraction in memory.
bool sameAsStored(const ZulNote &a, const ZulNote &b)
{
    if (a.createdAt.toSecsSinceEpoch() != b.createdAt.toSecsSinceEpoch()
        || a.updatedAt.toSecsSinceEpoch() != b.updatedAt.toSecsSinceEpoch())
        return false;
    ZulNote other = a;
    other.createdAt = b.createdAt;
    other.updatedAt = b.updatedAt;
    return other == b;
}

} // namespace

ZulNotesMerge ZulNotesMerge::between(const QList<ZulNote> &base, const QList<ZulNote> &ours,
                                     const QList<ZulNote> &theirs)
{
    ZulNotesMerge merge;
    const QHash<QUuid, const ZulNote *> baseByID = byID(base);
    const QHash<QUuid, const ZulNote *> oursByID = byID(ours);
    QSet<QUuid> taken;
    taken.reserve(ours.size() + theirs.size());
    for (const ZulNote &note : ours)
        taken.insert(note.id);

    for (const ZulNote &their : theirs) {
        taken.insert(their.id);
        const ZulNote *was = baseByID.value(their.id);
        const ZulNote *our = oursByID.value(their.id);
        if (!our) {
            // Deleted here and left alone there stays deleted; anything else
            // of theirs comes in.
            if (was && sameAsStored(*was, their))
                merge.keepsOurs = true;
            else
                merge.added.append(their);
            continue;
        }
        if (sameAsStored(*our, their))
            continue;
        if (was && sameAsStored(*was, *our)) {
            merge.changed.append(their);
        } else if (was && sameAsStored(*was, their)) {
            merge.keepsOurs = true;
        } else {
            ZulNote copy = their;
            do
                copy.id = QUuid::createUuid();
            while (taken.contains(copy.id));
            taken.insert(copy.id);
            merge.added.append(std::move(copy));
            ++merge.conflictCount;
            merge.keepsOurs = true;
        }
    }

    const QHash<QUuid, const ZulNote *> theirsByID = byID(theirs);
    for (const ZulNote &our : ours) {
        if (theirsByID.contains(our.id))
            continue;
        const ZulNote *was = baseByID.value(our.id);
        if (was && sameAsStored(*was, our))
            merge.removed.append(our.id);
        else
            merge.keepsOurs = true;  // made here, or changed here after they deleted it
    }
    return merge;
}

QList<ZulNote> ZulNotesMerge::appliedTo(const QList<ZulNote> &ours) const
{
    QHash<QUuid, const ZulNote *> replacement;
    for (const ZulNote &note : changed)
        replacement.insert(note.id, &note);
    const QSet<QUuid> gone(removed.cbegin(), removed.cend());
    QList<ZulNote> result = added;
    result.reserve(added.size() + ours.size());
    for (const ZulNote &note : ours) {
        if (gone.contains(note.id))
            continue;
        const ZulNote *their = replacement.value(note.id);
        result.append(their ? *their : note);
    }
    return result;
}
