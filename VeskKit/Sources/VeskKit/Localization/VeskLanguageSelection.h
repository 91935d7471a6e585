#pragma once

#include "VeskKit/Localization/VeskLanguage.h"

#include <optional>

// What a language picker binds to: an explicit language, or following the system.
class VeskLanguageSelection {
public:
    static VeskLanguageSelection system() { return VeskLanguageSelection(); }
    static VeskLanguageSelection explicitLanguage(VeskLanguage language)
    {
        return VeskLanguageSelection(language);
    }

    bool isSystem() const { return !m_language.has_value(); }
    // The language of an explicit selection; nullopt for `system`.
    std::optional<VeskLanguage> language() const { return m_language; }

    // `system` while the stored preference is "system", else the current language.
    static VeskLanguageSelection current();
    VeskLanguage resolvedLanguage() const;

    friend bool operator==(const VeskLanguageSelection &, const VeskLanguageSelection &) = default;

private:
    VeskLanguageSelection() = default;
    explicit VeskLanguageSelection(VeskLanguage language) : m_language(language) {}

    std::optional<VeskLanguage> m_language;
};

size_t qHash(const VeskLanguageSelection &selection, size_t seed = 0) noexcept;
