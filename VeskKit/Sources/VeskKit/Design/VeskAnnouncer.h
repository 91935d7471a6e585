#pragma once

#include <QString>

class QWidget;

// News a screen reader speaks that no control holds as its own text: how
// many matches a search found, what a command made. It reaches the reader
// as a toast does, as a notification that starts showing, from a mute
// object of the window the news belongs to. It is raised once what caused
// it has been told (the focus moved, the text changed), so the reader
// speaks it after the move it follows; news that comes before the last was
// raised replaces it, so a burst of changes speaks once.
namespace VeskAnnouncer {

// Typing on in a field waits this long before its outcome is spoken, so
// the reader echoes the keys undisturbed.
inline constexpr int pauseMs = 450;

// For the window of `where`, or the one holding the keyboard when null.
void announce(const QString &message, QWidget *where = nullptr);
// The same once the user has paused.
void announceAfterPause(const QString &message, QWidget *where = nullptr);

} // namespace VeskAnnouncer
