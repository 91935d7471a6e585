#include "VeskKit/Design/VeskMenuElement.h"

#include "VeskKit/Localization/VeskText.h"

namespace {

const QString kTick = QStringLiteral("\u2713 ");

} // namespace

VeskMenuElement VeskMenuElement::item(std::function<QString()> title, const QString &keyEquivalent,
                                      Qt::KeyboardModifiers modifiers, std::function<bool()> isEnabled,
                                      std::function<bool()> isHidden, bool skipWhenEditingText,
                                      std::function<void()> action)
{
    return {Item{std::move(title), keyEquivalent, modifiers, std::move(isEnabled), std::move(isHidden),
                 skipWhenEditingText, std::move(action)}};
}

VeskMenuElement VeskMenuElement::divider(std::function<bool()> isHidden)
{
    return {Divider{std::move(isHidden)}};
}

VeskMenuElement VeskMenuElement::submenu(std::function<QString()> title,
                                         std::function<QList<VeskMenuElement>()> items)
{
    return {Submenu{std::move(title), std::move(items)}};
}

VeskMenuElement VeskMenuElement::languageSubmenu(std::function<VeskLanguage()> current,
                                                 std::function<void(VeskLanguage)> onSelect)
{
    auto title = [current] { return veskText(QStringLiteral("Language"), QStringLiteral("Dil"), current()); };
    auto items = [current, onSelect] {
        const VeskLanguage cur = current();
        const VeskLanguage resolvedSystem = VeskLanguage::systemResolved();
        const bool followsSystem =
            VeskLanguage::storedPreferenceCode().compare(VeskLanguage::systemPreferenceCode, Qt::CaseInsensitive) ==
            0;
        QList<VeskMenuElement> entries;

        const QString systemTitle = (followsSystem ? kTick : QString()) +
                                    veskText(QStringLiteral("System Language"), QStringLiteral("Sistem Dili"), cur) +
                                    QStringLiteral(" (") + resolvedSystem.nativeName() + QStringLiteral(")");
        entries.append(item([systemTitle] { return systemTitle; }, QString(), Qt::NoModifier, {}, {}, false,
                            [onSelect] {
                                // Stores "system"; the language handed on is
                                // applied without being stored over it.
                                VeskLanguage::applyFollowSystem([onSelect] {
                                    if (onSelect)
                                        onSelect(VeskLanguage::systemResolved());
                                });
                            }));
        entries.append(divider());
        for (const VeskLanguage language : VeskLanguage::sortedCases()) {
            const QString entryTitle =
                (language == cur && !followsSystem ? kTick : QString()) + language.displayName();
            entries.append(item([entryTitle] { return entryTitle; }, QString(), Qt::NoModifier, {}, {}, false,
                                [language, onSelect] {
                                    VeskLanguage::setCurrent(language);
                                    if (onSelect)
                                        onSelect(language);
                                }));
        }
        return entries;
    };
    return submenu(std::move(title), std::move(items));
}

VeskCustomMenu::VeskCustomMenu(std::function<QString()> title, QList<VeskMenuElement> elements)
    : title(std::move(title)), elements(std::move(elements))
{
}

VeskCustomMenu::VeskCustomMenu(const QString &title, QList<VeskMenuElement> elements)
    : title([title] { return title; }), elements(std::move(elements))
{
}
