#pragma once

#include "VeskKit/Design/Emblems/VeskAppIdentity.h"

#include <optional>

// Which mark a brand mark shows: a given suite application's emblem, the
// running application's emblem (the suite mark when it cannot be told), or
// always the suite mark.
class VeskBrandMarkStyle {
public:
    enum class Kind { app, currentApp, briselSuite };

    static VeskBrandMarkStyle app(VeskAppIdentity identity) { return VeskBrandMarkStyle(Kind::app, identity); }
    static VeskBrandMarkStyle currentApp() { return VeskBrandMarkStyle(Kind::currentApp, std::nullopt); }
    static VeskBrandMarkStyle briselSuite() { return VeskBrandMarkStyle(Kind::briselSuite, std::nullopt); }

    Kind kind() const { return m_kind; }
    // The application of `app`; nothing for the other two.
    std::optional<VeskAppIdentity> identity() const { return m_identity; }

    bool operator==(const VeskBrandMarkStyle &) const = default;

private:
    VeskBrandMarkStyle(Kind kind, std::optional<VeskAppIdentity> identity) : m_kind(kind), m_identity(identity) {}

    Kind m_kind;
    std::optional<VeskAppIdentity> m_identity;
};
