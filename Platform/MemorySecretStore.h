#pragma once

#include "SecretStore.h"

#include <QHash>
#include <QPair>

#include <mutex>

// Secrets kept in this process only, forgotten at exit. Safe to share
// between threads. A store can be told to refuse writes, so callers can see
// how they behave when the keyring says no.
class MemorySecretStore : public SecretStore
{
public:
    std::optional<SecretStoreError> store(const QString &service, const QString &account,
                                          const QByteArray &secret) override;
    std::optional<QByteArray> lookup(const QString &service, const QString &account) override;
    void remove(const QString &service, const QString &account) override;

    // While set, every store() fails with this error and changes nothing.
    void setStoreFailure(const std::optional<SecretStoreError> &failure);

    // How many secrets are held, for checking that replacing keeps one.
    int count() const;

private:
    mutable std::mutex m_mutex;
    QHash<QPair<QString, QString>, QByteArray> m_secrets;
    std::optional<SecretStoreError> m_storeFailure;
};
