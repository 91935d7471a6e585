#pragma once

#include "VeskKit/System/VeskHotkeyDescriptor.h"

#include <QHash>
#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

class GlobalKeyGrabber;

// System-wide shortcuts that fire while another application is in front.
// On Linux they are X11 key grabs on the root window; the platform's
// modifiers stand in for the descriptor's as Command -> Ctrl, Option -> Alt,
// Shift -> Shift, Control -> Super. Actions run later on the manager's
// thread (the GUI thread), never inside the key event itself.
class VeskGlobalHotkeyManager : public QObject
{
    Q_OBJECT
public:
    using Action = std::function<void()>;

    // The four-character code "VESK", first character in the high byte.
    static constexpr quint32 signature = (quint32('V') << 24) | (quint32('E') << 16)
        | (quint32('S') << 8) | quint32('K');

    // Uses the process-wide X11 key grabber.
    explicit VeskGlobalHotkeyManager(QObject* parent = nullptr);
    // Uses the given grabber, which must outlive the manager.
    explicit VeskGlobalHotkeyManager(GlobalKeyGrabber* grabber, QObject* parent = nullptr);
    // Releases every shortcut still registered: a grab without its action
    // would swallow the keys for the whole desktop.
    ~VeskGlobalHotkeyManager() override;

    // Returns the registration's identifier, or nothing when the shortcut
    // cannot be had (no X11 display, a key with no counterpart here, or a
    // chord another client owns). Identifiers are 1, 2, 3 ... and are used
    // up by failed registrations too; they are never handed out twice.
    std::optional<quint32> registerHotkey(const VeskHotkeyDescriptor& descriptor, Action action);
    void unregister(quint32 id);
    void unregisterAll();

    // Handles one hot-key event. Events of other signatures are not ours and
    // return false; ours return true at once, and the registration's action
    // runs afterwards from the event loop if it is still registered then.
    bool handleHotkeyEvent(quint32 eventSignature, quint32 id);

    // The X keysym and grabber modifiers standing in for a descriptor, or
    // nothing when it has no counterpart on this platform.
    static std::optional<quint32> keysymForKeyCode(quint32 keyCode);
    static std::optional<quint32> grabModifiersFor(quint32 carbonModifiers);
    // The descriptor of the chord `keys` as the application's own shortcuts
    // write it (Ctrl for Command, Alt for Option, Super for Control), or
    // nothing for a key without a virtual key code.
    static std::optional<VeskHotkeyDescriptor> descriptorFor(QKeyCombination keys);

private:
    void onGrabActivated(quint64 grabId);

    quint32 m_nextID = 1;
    bool m_exhausted = false;
    QHash<quint32, quint64> m_hotKeyRefs;
    QHash<quint32, Action> m_handlers;
    QHash<quint64, quint32> m_idsByGrab;
    QPointer<GlobalKeyGrabber> m_grabber;
};
