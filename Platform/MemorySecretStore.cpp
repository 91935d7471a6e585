#include "MemorySecretStore.h"

std::optional<SecretStoreError> MemorySecretStore::store(const QString &service, const QString &account,
                                                         const QByteArray &secret)
{
    const std::lock_guard lock(m_mutex);
    if (m_storeFailure)
        return m_storeFailure;
    m_secrets.insert(qMakePair(service, account), secret);
    return std::nullopt;
}

std::optional<QByteArray> MemorySecretStore::lookup(const QString &service, const QString &account)
{
    const std::lock_guard lock(m_mutex);
    const auto it = m_secrets.constFind(qMakePair(service, account));
    if (it == m_secrets.constEnd())
        return std::nullopt;
    return *it;
}

void MemorySecretStore::remove(const QString &service, const QString &account)
{
    const std::lock_guard lock(m_mutex);
    m_secrets.remove(qMakePair(service, account));
}

void MemorySecretStore::setStoreFailure(const std::optional<SecretStoreError> &failure)
{
    const std::lock_guard lock(m_mutex);
    m_storeFailure = failure;
}

int MemorySecretStore::count() const
{
    const std::lock_guard lock(m_mutex);
    return int(m_secrets.size());
}
