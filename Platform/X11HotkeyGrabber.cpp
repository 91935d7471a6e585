#include "X11HotkeyGrabber.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>

#include <xcb/xcb.h>
#include <xcb/xproto.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr quint32 keysymNumLock = 0xff7f;
constexpr quint32 keysymAltL = 0xffe9;
constexpr quint32 keysymAltR = 0xffea;
constexpr quint32 keysymSuperL = 0xffeb;
constexpr quint32 keysymSuperR = 0xffec;

// The modifier bits a chord is matched on; lock keys and mouse buttons held
// while the chord is pressed must not change which chord it is.
constexpr quint16 chordModifierBits = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1
    | XCB_MOD_MASK_2 | XCB_MOD_MASK_3 | XCB_MOD_MASK_4 | XCB_MOD_MASK_5;

struct FreeDeleter
{
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

QPointer<X11HotkeyGrabber> sharedGrabber;

} // namespace

X11HotkeyGrabber::X11HotkeyGrabber(const QByteArray& displayName, QObject* parent)
    : GlobalKeyGrabber(parent)
{
    int screenNumber = 0;
    m_connection = xcb_connect(displayName.isEmpty() ? nullptr : displayName.constData(), &screenNumber);
    if (xcb_connection_has_error(m_connection)) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        return;
    }

    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem == 0) {
        disconnectFromDisplay();
        return;
    }
    m_root = screens.data->root;

    loadKeyboardMapping();
    loadModifierMapping();

    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11HotkeyGrabber::readEvents);
}

X11HotkeyGrabber::~X11HotkeyGrabber()
{
    if (m_connection) {
        for (const Chord& chord : std::as_const(m_chords))
            ungrabKeys(chord);
        xcb_flush(m_connection);
    }
    disconnectFromDisplay();
}

X11HotkeyGrabber* X11HotkeyGrabber::shared()
{
    if (!sharedGrabber) {
        QCoreApplication* app = QCoreApplication::instance();
        Q_ASSERT_X(!app || app->thread() == QThread::currentThread(), "X11HotkeyGrabber::shared",
                   "key grabs are delivered on the GUI thread");
        sharedGrabber = new X11HotkeyGrabber({}, app);
    }
    return sharedGrabber;
}

bool X11HotkeyGrabber::isAvailable() const
{
    return m_connection != nullptr;
}

std::optional<quint64> X11HotkeyGrabber::grab(quint32 keysym, quint32 modifiers)
{
    if (!m_connection)
        return std::nullopt;
    const quint16 xModifiers = xModifiersFor(modifiers);
    const QVector<quint8> keycodes = keycodesFor(keysym);
    if (keycodes.isEmpty())
        return std::nullopt;
    // Alt or Super with no modifier bit on this keyboard cannot be pressed.
    if (((modifiers & Alt) && !m_altMask) || ((modifiers & Super) && !m_superMask))
        return std::nullopt;

    for (Chord& chord : m_chords) {
        if (chord.xModifiers == xModifiers && chord.keycodes == keycodes) {
            const quint64 id = m_nextGrabId++;
            chord.grabIds.append(id);
            return id;
        }
    }

    Chord chord;
    chord.keycodes = keycodes;
    chord.xModifiers = xModifiers;
    if (!grabKeys(chord))
        return std::nullopt;
    const quint64 id = m_nextGrabId++;
    chord.grabIds.append(id);
    m_chords.append(chord);
    return id;
}

void X11HotkeyGrabber::ungrab(quint64 grabId)
{
    for (qsizetype i = 0; i < m_chords.size(); ++i) {
        Chord& chord = m_chords[i];
        if (!chord.grabIds.removeOne(grabId))
            continue;
        if (chord.grabIds.isEmpty()) {
            if (m_connection) {
                ungrabKeys(chord);
                xcb_flush(m_connection);
            }
            m_chords.removeAt(i);
        }
        return;
    }
}

void X11HotkeyGrabber::loadKeyboardMapping()
{
    const xcb_setup_t* setup = xcb_get_setup(m_connection);
    m_minKeycode = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    XcbReply<xcb_get_keyboard_mapping_reply_t> reply(xcb_get_keyboard_mapping_reply(
        m_connection, xcb_get_keyboard_mapping(m_connection, setup->min_keycode, quint8(count)), nullptr));
    m_keysyms.clear();
    m_keysymsPerKeycode = 0;
    if (!reply)
        return;
    m_keysymsPerKeycode = reply->keysyms_per_keycode;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply.get());
    const int length = xcb_get_keyboard_mapping_keysyms_length(reply.get());
    m_keysyms = QVector<quint32>(syms, syms + length);
}

void X11HotkeyGrabber::loadModifierMapping()
{
    XcbReply<xcb_get_modifier_mapping_reply_t> reply(xcb_get_modifier_mapping_reply(
        m_connection, xcb_get_modifier_mapping(m_connection), nullptr));
    // The usual layout, for a server that does not answer.
    m_altMask = XCB_MOD_MASK_1;
    m_numLockMask = XCB_MOD_MASK_2;
    m_superMask = XCB_MOD_MASK_4;
    if (!reply)
        return;

    const QVector<quint8> numLock = keycodesFor(keysymNumLock);
    const QVector<quint8> alt = keycodesFor(keysymAltL) + keycodesFor(keysymAltR);
    const QVector<quint8> super = keycodesFor(keysymSuperL) + keycodesFor(keysymSuperR);

    const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(reply.get());
    const int perModifier = reply->keycodes_per_modifier;
    quint16 altMask = 0, superMask = 0, numLockMask = 0;
    // Only Mod1..Mod5 (indices 3 to 7) are free for Alt, Super and NumLock.
    for (int modIndex = 3; modIndex < 8; ++modIndex) {
        const quint16 bit = quint16(1u << modIndex);
        for (int k = 0; k < perModifier; ++k) {
            const quint8 code = keycodes[modIndex * perModifier + k];
            if (code == 0)
                continue;
            if (!altMask && alt.contains(code))
                altMask = bit;
            if (!superMask && super.contains(code))
                superMask = bit;
            if (!numLockMask && numLock.contains(code))
                numLockMask = bit;
        }
    }
    m_altMask = altMask;
    m_superMask = superMask;
    m_numLockMask = numLockMask;
}

QVector<quint8> X11HotkeyGrabber::keycodesFor(quint32 keysym) const
{
    QVector<quint8> result;
    if (m_keysymsPerKeycode == 0)
        return result;
    const int count = int(m_keysyms.size()) / m_keysymsPerKeycode;
    // The first two columns are the unshifted and shifted symbols of the
    // primary group; the N key carries 'n' and 'N' there.
    const int columns = qMin<int>(m_keysymsPerKeycode, 2);
    for (int i = 0; i < count; ++i) {
        for (int c = 0; c < columns; ++c) {
            if (m_keysyms[i * m_keysymsPerKeycode + c] == keysym) {
                result.append(quint8(m_minKeycode + i));
                break;
            }
        }
    }
    return result;
}

quint16 X11HotkeyGrabber::xModifiersFor(quint32 modifiers) const
{
    quint16 mask = 0;
    if (modifiers & Shift)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & Control)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & Alt)
        mask |= m_altMask;
    if (modifiers & Super)
        mask |= m_superMask;
    return mask;
}

QVector<quint16> X11HotkeyGrabber::lockVariants(quint16 xModifiers) const
{
    // A passive grab matches the modifier state exactly, so a chord pressed
    // with NumLock or CapsLock on needs grabs of its own.
    QVector<quint16> variants{xModifiers, quint16(xModifiers | XCB_MOD_MASK_LOCK)};
    if (m_numLockMask) {
        variants.append(xModifiers | m_numLockMask);
        variants.append(xModifiers | m_numLockMask | XCB_MOD_MASK_LOCK);
    }
    return variants;
}

bool X11HotkeyGrabber::grabKeys(const Chord& chord)
{
    QVector<xcb_void_cookie_t> cookies;
    for (quint8 keycode : chord.keycodes) {
        for (quint16 variant : lockVariants(chord.xModifiers)) {
            cookies.append(xcb_grab_key_checked(m_connection, 1, m_root, variant, keycode,
                                                XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        }
    }
    bool refused = false;
    for (const xcb_void_cookie_t& cookie : std::as_const(cookies)) {
        // Another client holding any variant answers BadAccess.
        XcbReply<xcb_generic_error_t> error(xcb_request_check(m_connection, cookie));
        if (error)
            refused = true;
    }
    // Waiting for the answers may have read events off the socket that the
    // notifier will not announce again.
    scheduleRead();
    if (refused) {
        // Releasing only drops grabs this client holds, never the other's.
        ungrabKeys(chord);
        xcb_flush(m_connection);
        return false;
    }
    return true;
}

void X11HotkeyGrabber::ungrabKeys(const Chord& chord)
{
    for (quint8 keycode : chord.keycodes) {
        for (quint16 variant : lockVariants(chord.xModifiers))
            xcb_ungrab_key(m_connection, keycode, m_root, variant);
    }
}

void X11HotkeyGrabber::scheduleRead()
{
    if (m_readScheduled)
        return;
    m_readScheduled = true;
    QMetaObject::invokeMethod(this, &X11HotkeyGrabber::readEvents, Qt::QueuedConnection);
}

void X11HotkeyGrabber::readEvents()
{
    m_readScheduled = false;
    if (!m_connection)
        return;

    std::vector<XcbReply<xcb_generic_event_t>> events;
    while (xcb_generic_event_t* raw = xcb_poll_for_event(m_connection))
        events.emplace_back(raw);

    QList<quint64> fired;
    for (size_t i = 0; i < events.size(); ++i) {
        const xcb_generic_event_t* event = events[i].get();
        const quint8 type = event->response_type & 0x7f;
        if (type == XCB_KEY_RELEASE && i + 1 < events.size()
            && (events[i + 1]->response_type & 0x7f) == XCB_KEY_PRESS) {
            // The server repeats a held key as a release and a press with
            // the same time stamp; a held chord fires once.
            const auto* release = reinterpret_cast<const xcb_key_release_event_t*>(event);
            const auto* press = reinterpret_cast<const xcb_key_press_event_t*>(events[i + 1].get());
            if (release->detail == press->detail && release->time == press->time)
                ++i;
        } else if (type == XCB_KEY_PRESS) {
            const auto* press = reinterpret_cast<const xcb_key_press_event_t*>(event);
            const quint16 state = press->state & chordModifierBits & ~m_numLockMask;
            for (const Chord& chord : std::as_const(m_chords)) {
                if (chord.xModifiers == state && chord.keycodes.contains(press->detail))
                    fired += chord.grabIds;
            }
        } else if (type == XCB_MAPPING_NOTIFY) {
            // New grabs follow a changed layout; grabs already made keep
            // their key codes.
            loadKeyboardMapping();
            loadModifierMapping();
        }
    }
    if (xcb_connection_has_error(m_connection)) {
        // The display went away; every later grab reports failure.
        m_chords.clear();
        disconnectFromDisplay();
    }

    // Handlers may grab or ungrab; the ids were collected first for that.
    for (quint64 id : std::as_const(fired))
        emit activated(id);
}

void X11HotkeyGrabber::disconnectFromDisplay()
{
    delete m_notifier;
    if (m_connection)
        xcb_disconnect(m_connection);
    m_connection = nullptr;
}
