#pragma once

#include "VeskKit/Utilities/VeskResult.h"

#include "SecretStore.h"

#include <QString>

#include <optional>

// One short text secret per (service, account) pair in the user's keyring.
// Keeps no state: the desktop keyring is used unless a store is passed.
namespace VeskKeychainStore {

// The desktop keyring (Secret Service).
SecretStore &systemStore();

// Stores the secret as UTF-8, replacing any earlier one for the pair. A
// refused write is passed on as the keyring reported it, and leaves the
// earlier secret in place.
VeskResult<void, SecretStoreError> save(const QString &secret, const QString &service, const QString &account,
                                        SecretStore &store = systemStore());

// The stored secret; nothing when there is none, when the keyring cannot be
// asked, or when the stored bytes are not UTF-8 text.
std::optional<QString> load(const QString &service, const QString &account, SecretStore &store = systemStore());

// Removes the pair's secret; a missing one is not an error.
void deleteItem(const QString &service, const QString &account, SecretStore &store = systemStore());

} // namespace VeskKeychainStore
