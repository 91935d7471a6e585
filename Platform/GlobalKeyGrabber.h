#pragma once

#include <QObject>
#include <optional>

// A source of system-wide key chords: while a chord is grabbed, pressing it
// anywhere on the desktop reports the grab, whichever application is in front.
// Keys are named by X keysym (the numbering xkbcommon and X11 share), so a
// caller never deals with the keyboard's own key codes.
class GlobalKeyGrabber : public QObject
{
    Q_OBJECT
public:
    enum Modifier : quint32 {
        Shift = 0x1,
        Control = 0x2,
        Alt = 0x4,
        Super = 0x8,
    };

    using QObject::QObject;

    // True while the grabber can reach a desktop that supports key grabs.
    virtual bool isAvailable() const = 0;

    // Grabs keysym with exactly the given modifiers (an OR of Modifier).
    // Returns a grab id unique within this grabber, or nothing when the chord
    // cannot be grabbed (no desktop, no key for the keysym, or another client
    // owns the chord). Grabbing a chord this grabber already holds succeeds and
    // both grab ids are reported when it is pressed.
    virtual std::optional<quint64> grab(quint32 keysym, quint32 modifiers) = 0;

    // Releases one grab id; unknown ids are ignored.
    virtual void ungrab(quint64 grabId) = 0;

signals:
    // Emitted on the grabber's thread, once per grab id of the pressed chord,
    // in the order the grabs were made.
    void activated(quint64 grabId);
};
