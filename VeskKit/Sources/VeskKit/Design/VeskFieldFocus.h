#pragma once

// A text field reached by Tab or a shortcut selects its whole text, as
// always, but only once the focus has been told. Qt selects it as the field
// takes the keyboard, before it tells a screen reader of the focus; the
// reader, finding the selection's news from a field that by then holds the
// keyboard, takes the field as known and the focus news that follows as
// nothing new, and the move goes unspoken.
namespace VeskFieldFocus {

// Once at start, for every window of the application.
void applyApplicationWide();

} // namespace VeskFieldFocus
