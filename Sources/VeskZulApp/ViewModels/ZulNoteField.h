#pragma once

#include <QFlags>
#include <QMetaType>

// Which parts of one note an edit changed, so that a view showing the note
// (its row, its editor, its chip) redoes only what depends on them.
enum class ZulNoteField : unsigned {
    content = 0x01,
    title = 0x02,
    tint = 0x04,
    tags = 0x08,
    // Pinned, ephemeral, floating sticky.
    flags = 0x10,
    stickyFrame = 0x20,
    // The last-change time, which places the note in the list.
    updatedAt = 0x40,
};
Q_DECLARE_FLAGS(ZulNoteFields, ZulNoteField)
Q_DECLARE_OPERATORS_FOR_FLAGS(ZulNoteFields)
Q_DECLARE_METATYPE(ZulNoteFields)
