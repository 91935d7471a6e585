#include "VeskKit/System/VeskGlobalHotkeyManager.h"

#include "GlobalKeyGrabber.h"
#include "X11HotkeyGrabber.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

// The platform's virtual key codes (the physical key on a US layout) and the
// X keysym of the same key.
constexpr std::array<std::pair<quint32, quint32>, 68> keyCodeToKeysym{{
    {0x00, 'a'}, {0x01, 's'}, {0x02, 'd'}, {0x03, 'f'}, {0x04, 'h'}, {0x05, 'g'},
    {0x06, 'z'}, {0x07, 'x'}, {0x08, 'c'}, {0x09, 'v'}, {0x0B, 'b'}, {0x0C, 'q'},
    {0x0D, 'w'}, {0x0E, 'e'}, {0x0F, 'r'}, {0x10, 'y'}, {0x11, 't'}, {0x12, '1'},
    {0x13, '2'}, {0x14, '3'}, {0x15, '4'}, {0x16, '6'}, {0x17, '5'}, {0x18, '='},
    {0x19, '9'}, {0x1A, '7'}, {0x1B, '-'}, {0x1C, '8'}, {0x1D, '0'}, {0x1E, ']'},
    {0x1F, 'o'}, {0x20, 'u'}, {0x21, '['}, {0x22, 'i'}, {0x23, 'p'}, {0x25, 'l'},
    {0x26, 'j'}, {0x27, '\''}, {0x28, 'k'}, {0x29, ';'}, {0x2A, '\\'}, {0x2B, ','},
    {0x2C, '/'}, {0x2D, 'n'}, {0x2E, 'm'}, {0x2F, '.'}, {0x32, '`'},
    {0x24, 0xff0d}, // Return
    {0x30, 0xff09}, // Tab
    {0x31, 0x0020}, // Space
    {0x33, 0xff08}, // Delete (backspace)
    {0x35, 0xff1b}, // Escape
    {0x7A, 0xffbe}, {0x78, 0xffbf}, {0x63, 0xffc0}, {0x76, 0xffc1}, // F1-F4
    {0x60, 0xffc2}, {0x61, 0xffc3}, {0x62, 0xffc4}, {0x64, 0xffc5}, // F5-F8
    {0x65, 0xffc6}, {0x6D, 0xffc7}, {0x67, 0xffc8}, {0x6F, 0xffc9}, // F9-F12
    {0x7B, 0xff51}, {0x7C, 0xff53}, {0x7D, 0xff54}, {0x7E, 0xff52}, // arrows
}};

// The X keysym of a Qt key: Latin-1 keys are their lower-case character,
// the others as listed.
std::optional<quint32> keysymForQtKey(Qt::Key key)
{
    if (key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde)
        return key >= Qt::Key_A && key <= Qt::Key_Z ? quint32(key) - 'A' + 'a' : quint32(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return 0xffbeu + quint32(key - Qt::Key_F1);
    constexpr std::pair<Qt::Key, quint32> named[] = {
        {Qt::Key_Return, 0xff0d}, {Qt::Key_Tab, 0xff09},  {Qt::Key_Backspace, 0xff08}, {Qt::Key_Escape, 0xff1b},
        {Qt::Key_Left, 0xff51},   {Qt::Key_Up, 0xff52},   {Qt::Key_Right, 0xff53},     {Qt::Key_Down, 0xff54},
    };
    for (const auto &[qtKey, keysym] : named) {
        if (qtKey == key)
            return keysym;
    }
    return std::nullopt;
}

// Each modifier of a descriptor as the grab holds it and as a Qt shortcut
// writes it: Command is Ctrl, Option Alt, Shift Shift, Control Super.
struct ModifierCounterpart
{
    quint32 carbon;
    quint32 grab;
    Qt::KeyboardModifier qt;
};
constexpr std::array<ModifierCounterpart, 4> modifierCounterparts{{
    {VeskHotkeyDescriptor::cmdKey, GlobalKeyGrabber::Control, Qt::ControlModifier},
    {VeskHotkeyDescriptor::optionKey, GlobalKeyGrabber::Alt, Qt::AltModifier},
    {VeskHotkeyDescriptor::shiftKey, GlobalKeyGrabber::Shift, Qt::ShiftModifier},
    {VeskHotkeyDescriptor::controlKey, GlobalKeyGrabber::Super, Qt::MetaModifier},
}};

constexpr quint32 knownModifierBits = VeskHotkeyDescriptor::cmdKey | VeskHotkeyDescriptor::shiftKey
    | VeskHotkeyDescriptor::optionKey | VeskHotkeyDescriptor::controlKey;

} // namespace

VeskGlobalHotkeyManager::VeskGlobalHotkeyManager(QObject* parent)
    : VeskGlobalHotkeyManager(X11HotkeyGrabber::shared(), parent)
{
}

VeskGlobalHotkeyManager::VeskGlobalHotkeyManager(GlobalKeyGrabber* grabber, QObject* parent)
    : QObject(parent)
    , m_grabber(grabber)
{
    if (m_grabber)
        connect(m_grabber, &GlobalKeyGrabber::activated, this, &VeskGlobalHotkeyManager::onGrabActivated);
}

VeskGlobalHotkeyManager::~VeskGlobalHotkeyManager()
{
    unregisterAll();
}

std::optional<quint32> VeskGlobalHotkeyManager::registerHotkey(const VeskHotkeyDescriptor& descriptor,
                                                               Action action)
{
    // Identifiers never wrap around: once the last one is given out, every
    // later registration is refused.
    if (m_exhausted)
        return std::nullopt;
    const quint32 id = m_nextID;
    if (m_nextID == 0xFFFFFFFFu)
        m_exhausted = true;
    else
        ++m_nextID;

    const auto keysym = keysymForKeyCode(descriptor.keyCode);
    const auto modifiers = grabModifiersFor(descriptor.carbonModifiers);
    if (!keysym || !modifiers || !m_grabber)
        return std::nullopt;
    const auto grabId = m_grabber->grab(*keysym, *modifiers);
    if (!grabId)
        return std::nullopt;

    m_hotKeyRefs.insert(id, *grabId);
    m_idsByGrab.insert(*grabId, id);
    m_handlers.insert(id, std::move(action));
    return id;
}

void VeskGlobalHotkeyManager::unregister(quint32 id)
{
    const auto ref = m_hotKeyRefs.constFind(id);
    if (ref != m_hotKeyRefs.cend()) {
        const quint64 grabId = *ref;
        m_hotKeyRefs.erase(ref);
        m_idsByGrab.remove(grabId);
        if (m_grabber)
            m_grabber->ungrab(grabId);
    }
    m_handlers.remove(id);
}

void VeskGlobalHotkeyManager::unregisterAll()
{
    if (m_grabber) {
        for (quint64 grabId : std::as_const(m_hotKeyRefs))
            m_grabber->ungrab(grabId);
    }
    m_hotKeyRefs.clear();
    m_idsByGrab.clear();
    m_handlers.clear();
}

bool VeskGlobalHotkeyManager::handleHotkeyEvent(quint32 eventSignature, quint32 id)
{
    if (eventSignature != signature)
        return false;
    // Looked up when the action runs, so an unregister in between wins.
    QMetaObject::invokeMethod(
        this,
        [this, id] {
            const auto handler = m_handlers.constFind(id);
            if (handler == m_handlers.cend() || !*handler)
                return;
            // A copy: the action may unregister itself.
            const Action action = *handler;
            action();
        },
        Qt::QueuedConnection);
    return true;
}

std::optional<quint32> VeskGlobalHotkeyManager::keysymForKeyCode(quint32 keyCode)
{
    for (const auto& [code, keysym] : keyCodeToKeysym) {
        if (code == keyCode)
            return keysym;
    }
    return std::nullopt;
}

std::optional<quint32> VeskGlobalHotkeyManager::grabModifiersFor(quint32 carbonModifiers)
{
    // Bits such as caps lock or the right-hand variants have no grab here.
    if (carbonModifiers & ~knownModifierBits)
        return std::nullopt;
    quint32 modifiers = 0;
    for (const ModifierCounterpart &counterpart : modifierCounterparts) {
        if (carbonModifiers & counterpart.carbon)
            modifiers |= counterpart.grab;
    }
    return modifiers;
}

std::optional<VeskHotkeyDescriptor> VeskGlobalHotkeyManager::descriptorFor(QKeyCombination keys)
{
    const std::optional<quint32> keysym = keysymForQtKey(keys.key());
    const auto code = std::find_if(keyCodeToKeysym.cbegin(), keyCodeToKeysym.cend(),
                                   [&keysym](const auto &entry) { return keysym && entry.second == *keysym; });
    if (code == keyCodeToKeysym.cend())
        return std::nullopt;
    quint32 modifiers = 0;
    for (const ModifierCounterpart &counterpart : modifierCounterparts) {
        if (keys.keyboardModifiers() & counterpart.qt)
            modifiers |= counterpart.carbon;
    }
    return VeskHotkeyDescriptor{code->first, modifiers};
}

void VeskGlobalHotkeyManager::onGrabActivated(quint64 grabId)
{
    // The shared grabber reports every manager's grabs; only ours are handled.
    const auto id = m_idsByGrab.constFind(grabId);
    if (id != m_idsByGrab.cend())
        handleHotkeyEvent(signature, *id);
}
