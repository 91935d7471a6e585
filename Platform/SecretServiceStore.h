#pragma once

#include "SecretStore.h"

// The desktop keyring reached through the freedesktop Secret Service on the
// session bus (libsecret). Each secret is one item in the default collection
// with the attributes "service" and "account". Calls block until the keyring
// answers; the object holds no state, so any thread may use it.
class SecretServiceStore : public SecretStore
{
public:
    // The schema name the items carry, so our items never match another
    // program's items that use the same attribute names.
    static const char *schemaName();

    std::optional<SecretStoreError> store(const QString &service, const QString &account,
                                          const QByteArray &secret) override;
    std::optional<QByteArray> lookup(const QString &service, const QString &account) override;
    void remove(const QString &service, const QString &account) override;
};
