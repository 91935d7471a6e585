#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Why a secret could not be stored, as the store reported it: the error
// domain it came from, its code there and its message.
struct SecretStoreError {
    QString domain;
    int code = 0;
    QString message;

    bool operator==(const SecretStoreError &) const = default;
};

// A place for short secrets, one per (service, account) pair. The real one
// is the desktop's keyring; tests use a store in memory behind the same
// interface so they never reach the user's keyring.
class SecretStore
{
public:
    virtual ~SecretStore() = default;

    // Stores the secret, replacing any earlier one for the pair in the same
    // step: when storing fails, the earlier secret is still there.
    virtual std::optional<SecretStoreError> store(const QString &service, const QString &account,
                                                  const QByteArray &secret) = 0;

    // The stored bytes, or nothing when there are none or the store could not
    // be asked.
    virtual std::optional<QByteArray> lookup(const QString &service, const QString &account) = 0;

    // Forgets the pair's secret; a pair with none, or a store that cannot be
    // reached, is not an error.
    virtual void remove(const QString &service, const QString &account) = 0;
};
