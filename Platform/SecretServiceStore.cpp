#include "SecretServiceStore.h"

// GLib's D-Bus headers use "signals" as a field name, which Qt's keyword
// macro would rewrite.
#pragma push_macro("signals")
#undef signals
#include <libsecret/secret.h>
#pragma pop_macro("signals")

#include <memory>

namespace {

const SecretSchema &schema()
{
    static const SecretSchema genericPassword = {
        SecretServiceStore::schemaName(),
        SECRET_SCHEMA_NONE,
        {
            {"service", SECRET_SCHEMA_ATTRIBUTE_STRING},
            {"account", SECRET_SCHEMA_ATTRIBUTE_STRING},
            {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING},
        },
        0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    };
    return genericPassword;
}

struct ErrorFree {
    void operator()(GError *error) const { g_error_free(error); }
};
using ErrorPtr = std::unique_ptr<GError, ErrorFree>;

struct ValueUnref {
    void operator()(SecretValue *value) const { secret_value_unref(value); }
};
using ValuePtr = std::unique_ptr<SecretValue, ValueUnref>;

SecretStoreError storeError(const GError *error)
{
    if (!error)
        return {QStringLiteral("SecretService"), -1, QStringLiteral("the keyring refused the secret")};
    return {QString::fromUtf8(g_quark_to_string(error->domain)), error->code, QString::fromUtf8(error->message)};
}

} // namespace

const char *SecretServiceStore::schemaName()
{
    return "com.quarnell.VeskKit.GenericPassword";
}

std::optional<SecretStoreError> SecretServiceStore::store(const QString &service, const QString &account,
                                                          const QByteArray &secret)
{
    const QByteArray serviceUtf8 = service.toUtf8();
    const QByteArray accountUtf8 = account.toUtf8();
    // The keyring shows the label in its own interface; the service names
    // what the secret is for.
    const QByteArray label = serviceUtf8;
    ValuePtr value(secret_value_new(secret.constData(), secret.size(), "text/plain"));
    GError *rawError = nullptr;
    // Storing under the same attributes replaces the item inside the
    // keyring in one step, so a refused write leaves the earlier secret.
    const gboolean stored = secret_password_store_binary_sync(
        &schema(), SECRET_COLLECTION_DEFAULT, label.constData(), value.get(), nullptr, &rawError,
        "service", serviceUtf8.constData(), "account", accountUtf8.constData(), nullptr);
    const ErrorPtr error(rawError);
    if (stored && !error)
        return std::nullopt;
    return storeError(error.get());
}

std::optional<QByteArray> SecretServiceStore::lookup(const QString &service, const QString &account)
{
    const QByteArray serviceUtf8 = service.toUtf8();
    const QByteArray accountUtf8 = account.toUtf8();
    GError *rawError = nullptr;
    const ValuePtr value(secret_password_lookup_binary_sync(&schema(), nullptr, &rawError, "service",
                                                            serviceUtf8.constData(), "account",
                                                            accountUtf8.constData(), nullptr));
    const ErrorPtr error(rawError);
    if (error || !value)
        return std::nullopt;
    gsize length = 0;
    const gchar *data = secret_value_get(value.get(), &length);
    return QByteArray(data, qsizetype(length));
}

void SecretServiceStore::remove(const QString &service, const QString &account)
{
    const QByteArray serviceUtf8 = service.toUtf8();
    const QByteArray accountUtf8 = account.toUtf8();
    GError *rawError = nullptr;
    secret_password_clear_sync(&schema(), nullptr, &rawError, "service", serviceUtf8.constData(), "account",
                               accountUtf8.constData(), nullptr);
    const ErrorPtr error(rawError);
}
