#pragma once

#include "Models/ZulNote.h"

#include <QList>
#include <QUuid>

// How the notes in memory and the notes another program (a sync tool, a
// second machine, an editor) wrote to the notes file come together, note by
// note, against the version both sides started from. A note only one side
// changed takes that side's version; a note one side deleted goes when the
// other left it as it was; a note both sides changed keeps ours, and theirs
// stays beside it as a copy with an id of its own, so that no note of either
// side is lost and nothing is decided for the user by the clock (the two
// machines' clocks need not agree).
struct ZulNotesMerge {
    // Notes of ours to be replaced by their version, matched by id.
    QList<ZulNote> changed;
    // Notes only they have: new ones, ones we deleted that they changed
    // since, and their side of a note changed on both.
    QList<ZulNote> added;
    // Notes of ours they deleted and we left as they were.
    QList<QUuid> removed;
    // Notes changed on both sides; each is among `added` as a copy.
    int conflictCount = 0;
    // Whether the merged notes differ from theirs, so the file must be
    // written again to hold what only we have.
    bool keepsOurs = false;

    bool isEmpty() const { return changed.isEmpty() && added.isEmpty() && removed.isEmpty(); }

    static ZulNotesMerge between(const QList<ZulNote> &base, const QList<ZulNote> &ours,
                                 const QList<ZulNote> &theirs);
    // `ours` with the merge done: changed notes in their places, removed
    // ones gone, added ones in front.
    QList<ZulNote> appliedTo(const QList<ZulNote> &ours) const;
};
