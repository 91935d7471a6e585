#pragma once

#include "VeskKit/Localization/VeskLanguage.h"
#include "VeskKit/System/VeskHotkeyDescriptor.h"

#include <QKeyCombination>
#include <QString>

#include <optional>
#include <span>

class QKeySequence;

// The application's commands, in the order of its command menu.
enum class ZulCommandID {
    newNote,
    toggleEdgeDrawer,
    newFloatingSticky,
    copyActiveNote,
    exportActiveNote,
    refreshLiveCurrencyRates,
};

// One command: its title, the keys that run it and whether those keys are
// also a global hotkey. Everything that names a command or its keys (the
// command menu, the hotkeys, the settings page, tooltips and captions)
// reads it from here, so a key changed here changes everywhere.
struct ZulCommand {
    ZulCommandID id;
    const char *english;
    const char *turkish;
    // Ctrl stands for Command, Alt for Option.
    QKeyCombination keys;
    bool isGlobalHotkey;
    // The menu draws a divider above it.
    bool startsGroup;

    QString title(VeskLanguage language) const;
    QKeySequence keySequence() const;
    // The keys as this desktop writes them, "Ctrl+Alt+N".
    QString keysText() const;
    // The global hotkey's descriptor; nothing for a command that is none.
    std::optional<VeskHotkeyDescriptor> hotkey() const;

    static constexpr std::size_t count = 6;
    // Every command, in menu order.
    static std::span<const ZulCommand> all();
    static const ZulCommand &of(ZulCommandID id);
};
