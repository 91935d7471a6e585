#pragma once

#include "VeskKit/Localization/VeskLanguage.h"

#include <QList>
#include <QString>
#include <Qt>

#include <functional>
#include <variant>

// One entry of a menu described in code. Titles, visibility and enabled
// state are functions, asked again every time the menu is refreshed (so a
// language change shows the next time a menu opens); a submenu's items are
// rebuilt each time it is about to open. Key equivalents use Qt modifiers
// (the platform's Command is Ctrl here).
struct VeskMenuElement {
    struct Item {
        std::function<QString()> title;
        QString keyEquivalent;
        Qt::KeyboardModifiers modifiers;
        std::function<bool()> isEnabled; // empty: always enabled
        std::function<bool()> isHidden;  // empty: never hidden
        bool skipWhenEditingText = false;
        std::function<void()> action;
    };
    struct Divider {
        std::function<bool()> isHidden;
    };
    struct Submenu {
        std::function<QString()> title;
        std::function<QList<VeskMenuElement>()> items;
    };

    std::variant<Item, Divider, Submenu> value;

    static VeskMenuElement item(std::function<QString()> title, const QString &keyEquivalent,
                                Qt::KeyboardModifiers modifiers, std::function<bool()> isEnabled,
                                std::function<bool()> isHidden, bool skipWhenEditingText,
                                std::function<void()> action);
    static VeskMenuElement divider(std::function<bool()> isHidden = {});
    static VeskMenuElement submenu(std::function<QString()> title,
                                   std::function<QList<VeskMenuElement>()> items);

    // "Language" / "Dil": the system entry (ticked while following the
    // system), a divider, then every language by English name, the current
    // one ticked when not following the system. Choosing one stores it and
    // tells onSelect; choosing the system entry stores "system" and tells
    // onSelect the language the system resolves to, without storing it.
    static VeskMenuElement languageSubmenu(std::function<VeskLanguage()> current,
                                           std::function<void(VeskLanguage)> onSelect);
};

// A top-level menu of the caller's.
struct VeskCustomMenu {
    std::function<QString()> title;
    QList<VeskMenuElement> elements;

    VeskCustomMenu(std::function<QString()> title, QList<VeskMenuElement> elements);
    VeskCustomMenu(const QString &title, QList<VeskMenuElement> elements);
};

// Replacements for the Edit menu's standard entries; each may be absent.
struct VeskEditMenuOverrides {
    std::function<void()> undo;
    std::function<bool()> canUndo;
    std::function<void()> redo;
    std::function<bool()> canRedo;
    std::function<void()> cut;
    std::function<void()> copy;
    std::function<void()> paste;
    std::function<void()> duplicate;
    std::function<void()> selectAll;
};
