#pragma once

#include "Models/ZulNote.h"
#include "Models/ZulResult.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QUuid>

// The text of the notes file, put together from one piece per note. Each
// piece is kept with the note it was written from until that note changes;
// a note is compared whole with the one its piece came from, so a change of
// any field, made by anyone, is seen, and a save after one edit writes one
// note afresh and copies the others' text. What comes out is byte for byte
// ZulJsonText::format of the array of every note's toJson(). One caller at
// a time.
class ZulNotesFileAssembler {
public:
    // Fails, writing nothing, on a note with a date the file cannot hold.
    ZulResult<QByteArray> assemble(const QList<ZulNote> &notes);

    // One note's object as it stands in the file's array, its indentation
    // included.
    static QByteArray piece(const ZulNote &note);

    // For a writer that makes pieces ahead of a save, outside any lock
    // around this object: whether `note`, as it is, has its piece kept, and
    // keeping a piece made with piece() for a note that has none under its
    // id (a kept piece is never replaced by one made earlier).
    bool hasPieceFor(const ZulNote &note) const;
    void keepPiece(const ZulNote &note, QByteArray text);

    // How many notes' pieces are kept (those of the last assembly).
    qsizetype keptPieceCount() const { return m_pieces.size(); }

private:
    struct Piece {
        ZulNote note;
        QByteArray text;
        quint64 generation = 0;
    };

    QHash<QUuid, Piece> m_pieces;
    quint64 m_generation = 0;
};
