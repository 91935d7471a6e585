#pragma once

#include "GlobalKeyGrabber.h"

#include <QList>
#include <QPointer>
#include <QVector>

class QSocketNotifier;
struct xcb_connection_t;

// Key grabs on the X11 root window through an xcb connection of our own,
// watched by a QSocketNotifier. Owning the connection keeps grabs independent
// of the Qt platform plugin in use (offscreen, xcb, or XWayland under a
// Wayland session), and each instance is a separate X client, so two
// instances contend for a chord exactly as two programs would.
class X11HotkeyGrabber : public GlobalKeyGrabber
{
    Q_OBJECT
public:
    // Connects to the display named by $DISPLAY (or displayName when given).
    explicit X11HotkeyGrabber(const QByteArray& displayName = {}, QObject* parent = nullptr);
    ~X11HotkeyGrabber() override;

    X11HotkeyGrabber(const X11HotkeyGrabber&) = delete;
    X11HotkeyGrabber& operator=(const X11HotkeyGrabber&) = delete;

    // The process-wide grabber, created on first use as a child of the
    // application object; call it from the GUI thread, where its events arrive.
    static X11HotkeyGrabber* shared();

    bool isAvailable() const override;
    std::optional<quint64> grab(quint32 keysym, quint32 modifiers) override;
    void ungrab(quint64 grabId) override;

private:
    struct Chord
    {
        QVector<quint8> keycodes;
        quint16 xModifiers = 0;
        QList<quint64> grabIds;
    };

    void loadKeyboardMapping();
    void loadModifierMapping();
    QVector<quint8> keycodesFor(quint32 keysym) const;
    quint16 xModifiersFor(quint32 modifiers) const;
    QVector<quint16> lockVariants(quint16 xModifiers) const;
    bool grabKeys(const Chord& chord);
    void ungrabKeys(const Chord& chord);
    void readEvents();
    void scheduleRead();
    void disconnectFromDisplay();

    xcb_connection_t* m_connection = nullptr;
    quint32 m_root = 0;
    QPointer<QSocketNotifier> m_notifier;
    quint8 m_minKeycode = 0;
    quint8 m_keysymsPerKeycode = 0;
    QVector<quint32> m_keysyms;
    quint16 m_altMask = 0;
    quint16 m_superMask = 0;
    quint16 m_numLockMask = 0;
    quint64 m_nextGrabId = 1;
    QList<Chord> m_chords;
    bool m_readScheduled = false;
};
