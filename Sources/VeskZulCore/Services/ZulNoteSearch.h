#pragma once

#include "Models/ZulNote.h"

#include <QString>

#include <memory>

// Case-insensitive containment by the user's locale, as the note list's
// search field asks for it: a collator at secondary strength tells accents
// apart but not letter case, including non-ASCII letters ("ÇAY" finds "çay";
// in Turkish "I" pairs with "ı"). Made once per query under the locale of
// the moment, then asked of every note.
class ZulNoteSearch
{
public:
    explicit ZulNoteSearch(const QString &needle);
    ~ZulNoteSearch();

    bool foundIn(const QString &haystack);
    // In the note's display title, its text or any one of its tags.
    bool matches(const ZulNote &note);

private:
    class Matcher;
    std::unique_ptr<Matcher> m_matcher;
};
