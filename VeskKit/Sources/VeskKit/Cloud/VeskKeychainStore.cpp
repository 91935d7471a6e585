#include "VeskKit/Cloud/VeskKeychainStore.h"

#include "SecretServiceStore.h"

#include <QStringDecoder>

namespace VeskKeychainStore {

SecretStore &systemStore()
{
    static SecretServiceStore keyring;
    return keyring;
}

VeskResult<void, SecretStoreError> save(const QString &secret, const QString &service, const QString &account,
                                        SecretStore &store)
{
    using Result = VeskResult<void, SecretStoreError>;
    // No removal first: the store replaces in one step, so a refused write
    // cannot cost the user the secret that was there.
    if (const std::optional<SecretStoreError> error = store.store(service, account, secret.toUtf8()))
        return Result::failure(*error);
    return Result::success();
}

std::optional<QString> load(const QString &service, const QString &account, SecretStore &store)
{
    const std::optional<QByteArray> bytes = store.lookup(service, account);
    if (!bytes)
        return std::nullopt;
    // The secret comes back exactly as saved: a leading byte-order mark is
    // part of it, and a sequence cut short at the end is not text.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(*bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

void deleteItem(const QString &service, const QString &account, SecretStore &store)
{
    store.remove(service, account);
}

} // namespace VeskKeychainStore
