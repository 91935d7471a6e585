#pragma once

#include <QString>

// How much of a web service's own text is shown to the user, in characters.
inline constexpr int veskShownServerCharacters = 300;

// A web service's text made fit to show: the bidirectional embedding,
// override and isolate controls go (they would reorder what is drawn around
// the text, and hide what it says), then at most maxCharacters characters as
// the reader counts them (grapheme clusters) are kept.
QString veskShownServerText(const QString &text, int maxCharacters = veskShownServerCharacters);
