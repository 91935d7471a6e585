#include "SecretServiceStore.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QThread>
#include <QtTest>

#include <mutex>

// The secret of the Secret Service wire format: (oayays).
struct WireSecret {
    QDBusObjectPath session;
    QByteArray parameters;
    QByteArray value;
    QString contentType;
};
Q_DECLARE_METATYPE(WireSecret)

QDBusArgument &operator<<(QDBusArgument &argument, const WireSecret &secret)
{
    argument.beginStructure();
    argument << secret.session << secret.parameters << secret.value << secret.contentType;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, WireSecret &secret)
{
    argument.beginStructure();
    argument >> secret.session >> secret.parameters >> secret.value >> secret.contentType;
    argument.endStructure();
    return argument;
}

using SecretsByItem = QMap<QDBusObjectPath, WireSecret>;
using Attributes = QMap<QString, QString>;
Q_DECLARE_METATYPE(SecretsByItem)

namespace {

const QString servicePath = QStringLiteral("/org/freedesktop/secrets");
const QString collectionPath = QStringLiteral("/org/freedesktop/secrets/collection/test");
const QString noPrompt = QStringLiteral("/");

// A throwaway keyring speaking just enough of the Secret Service protocol
// for a client: plain sessions, one always-unlocked collection reachable
// as the default alias, items with attributes, search, secrets, deletion.
// It answers on the bus's own thread, so a client blocking the test's main
// thread still gets its replies.
class FakeSecretService : public QDBusVirtualObject
{
public:
    struct Item {
        QString label;
        Attributes attributes;
        QByteArray secret;
        QString contentType;
    };

    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        connection.send(answer(message));
        return true;
    }

    void setRefusesWrites(bool refuses)
    {
        const std::lock_guard lock(m_mutex);
        m_refusesWrites = refuses;
    }

    void addItem(const Item &item)
    {
        const std::lock_guard lock(m_mutex);
        m_items.insert(nextItemPath(), item);
    }

    QList<Item> items() const
    {
        const std::lock_guard lock(m_mutex);
        return m_items.values();
    }

    void clear()
    {
        const std::lock_guard lock(m_mutex);
        m_items.clear();
        m_refusesWrites = false;
    }

private:
    QString nextItemPath() { return collectionPath + QStringLiteral("/i") + QString::number(++m_lastItem); }

    static QDBusMessage reply(const QDBusMessage &message, const QVariantList &arguments)
    {
        return message.createReply(arguments);
    }

    static QVariant paths(const QStringList &list)
    {
        QList<QDBusObjectPath> result;
        for (const QString &path : list)
            result.append(QDBusObjectPath(path));
        return QVariant::fromValue(result);
    }

    static QStringList pathsIn(const QVariant &value)
    {
        QStringList result;
        for (const QDBusObjectPath &path : qdbus_cast<QList<QDBusObjectPath>>(value))
            result.append(path.path());
        return result;
    }

    QDBusMessage answer(const QDBusMessage &message)
    {
        const std::lock_guard lock(m_mutex);
        const QString member = message.member();
        const QString path = message.path();
        const QVariantList arguments = message.arguments();
        const bool isCollection = path == collectionPath || path == QStringLiteral("/org/freedesktop/secrets/aliases/default");

        if (member == QLatin1String("Introspect"))
            return reply(message, {QStringLiteral("<node/>")});
        if (member == QLatin1String("GetAll"))
            return reply(message, {QVariant::fromValue(properties(path))});
        if (member == QLatin1String("Get") && arguments.size() == 2)
            return reply(message, {QVariant::fromValue(QDBusVariant(properties(path).value(arguments[1].toString())))});
        if (member == QLatin1String("OpenSession") && arguments.size() == 2) {
            if (arguments[0].toString() != QLatin1String("plain"))
                return message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.NotSupported"),
                                                QStringLiteral("only plain sessions"));
            return reply(message, {QVariant::fromValue(QDBusVariant(QString())),
                                   QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/freedesktop/secrets/session/s1")))});
        }
        if (member == QLatin1String("ReadAlias"))
            return reply(message, {QVariant::fromValue(QDBusObjectPath(collectionPath))});
        if ((member == QLatin1String("SearchItems")) && arguments.size() == 1) {
            const Attributes wanted = qdbus_cast<Attributes>(arguments[0]);
            QStringList found;
            for (auto it = m_items.cbegin(); it != m_items.cend(); ++it) {
                bool matches = true;
                for (auto w = wanted.cbegin(); w != wanted.cend(); ++w)
                    matches = matches && it->attributes.value(w.key()) == w.value() && it->attributes.contains(w.key());
                if (matches)
                    found.append(it.key());
            }
            if (path == servicePath)
                return reply(message, {paths(found), paths({})});
            return reply(message, {paths(found)});
        }
        if (member == QLatin1String("Unlock") && arguments.size() == 1)
            return reply(message, {paths(pathsIn(arguments[0])), QVariant::fromValue(QDBusObjectPath(noPrompt))});
        if (member == QLatin1String("GetSecrets") && arguments.size() == 2) {
            const QDBusObjectPath session = qdbus_cast<QDBusObjectPath>(arguments[1]);
            SecretsByItem secrets;
            for (const QString &item : pathsIn(arguments[0])) {
                if (m_items.contains(item))
                    secrets.insert(QDBusObjectPath(item),
                                   {session, {}, m_items[item].secret, m_items[item].contentType});
            }
            return reply(message, {QVariant::fromValue(secrets)});
        }
        if (member == QLatin1String("GetSecret") && arguments.size() == 1 && m_items.contains(path)) {
            const WireSecret secret{qdbus_cast<QDBusObjectPath>(arguments[0]), {}, m_items[path].secret,
                                    m_items[path].contentType};
            return reply(message, {QVariant::fromValue(secret)});
        }
        if (member == QLatin1String("CreateItem") && isCollection && arguments.size() == 3) {
            if (m_refusesWrites)
                return message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"),
                                                QStringLiteral("this keyring takes no new secrets"));
            const QVariantMap itemProperties = qdbus_cast<QVariantMap>(arguments[0]);
            const WireSecret secret = qdbus_cast<WireSecret>(arguments[1]);
            const bool replace = arguments[2].toBool();
            Item item;
            item.label = itemProperties.value(QStringLiteral("org.freedesktop.Secret.Item.Label")).toString();
            item.attributes = qdbus_cast<Attributes>(itemProperties.value(QStringLiteral("org.freedesktop.Secret.Item.Attributes")));
            item.secret = secret.value;
            item.contentType = secret.contentType;
            QString itemPath;
            for (auto it = m_items.cbegin(); replace && it != m_items.cend(); ++it) {
                if (it->attributes == item.attributes)
                    itemPath = it.key();
            }
            if (itemPath.isEmpty())
                itemPath = nextItemPath();
            m_items.insert(itemPath, item);
            return reply(message, {QVariant::fromValue(QDBusObjectPath(itemPath)),
                                   QVariant::fromValue(QDBusObjectPath(noPrompt))});
        }
        if (member == QLatin1String("Delete") && m_items.contains(path)) {
            m_items.remove(path);
            return reply(message, {QVariant::fromValue(QDBusObjectPath(noPrompt))});
        }
        return message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"),
                                        QStringLiteral("%1 is not known at %2").arg(member, path));
    }

    QVariantMap properties(const QString &path) const
    {
        if (path == servicePath)
            return {{QStringLiteral("Collections"), paths({collectionPath})}};
        if (path == collectionPath) {
            return {{QStringLiteral("Items"), paths(m_items.keys())},
                    {QStringLiteral("Label"), QStringLiteral("Test")},
                    {QStringLiteral("Locked"), false},
                    {QStringLiteral("Created"), quint64(0)},
                    {QStringLiteral("Modified"), quint64(0)}};
        }
        if (m_items.contains(path)) {
            const Item &item = m_items[path];
            return {{QStringLiteral("Label"), item.label},
                    {QStringLiteral("Attributes"), QVariant::fromValue(item.attributes)},
                    {QStringLiteral("Locked"), false},
                    {QStringLiteral("Created"), quint64(0)},
                    {QStringLiteral("Modified"), quint64(0)}};
        }
        return {};
    }

    mutable std::mutex m_mutex;
    QMap<QString, Item> m_items;
    bool m_refusesWrites = false;
    int m_lastItem = 0;
};

QByteArray text(const char *utf8)
{
    return QByteArray(utf8);
}

} // namespace

namespace QTest {
template <>
char *toString(const std::optional<SecretStoreError> &error)
{
    if (!error)
        return qstrdup("no error");
    return qstrdup(qPrintable(QStringLiteral("%1 %2: %3").arg(error->domain).arg(error->code).arg(error->message)));
}
} // namespace QTest

class tst_SecretServiceStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void keyringAbsentFailsQuietly();
    void storedSecretReadsBack_data();
    void storedSecretReadsBack();
    void itemCarriesSchemaAttributesAndLabel();
    void storingTwiceKeepsOneItem();
    void pairsAreIndependent_data();
    void pairsAreIndependent();
    void missingPairsGiveNothing();
    void refusedWriteKeepsEarlierSecret();
    void otherProgramsItemsAreNotOurs();

private:
    FakeSecretService *m_service = nullptr;
    QThread m_thread;
    SecretServiceStore m_store;
};

void tst_SecretServiceStore::initTestCase()
{
    if (qEnvironmentVariable("VESK_TEST_PRIVATE_SESSION_BUS") != QLatin1String("1"))
        QSKIP("needs a session bus of its own; ctest runs this again under dbus-run-session "
              "(tst_secretservicestore_privatebus), never on the user's bus");
    qDBusRegisterMetaType<WireSecret>();
    qDBusRegisterMetaType<SecretsByItem>();
    qDBusRegisterMetaType<Attributes>();
    QDBusConnection bus = QDBusConnection::sessionBus();
    QVERIFY2(bus.isConnected(), qPrintable(bus.lastError().message()));
    // Qt holds incoming calls back until the main event loop has run once;
    // later the main thread is blocked inside the client's calls.
    QCoreApplication::processEvents();
    // Another secret service on this bus would mean it is not ours alone.
    QVERIFY(!bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.secrets")).value());

    m_service = new FakeSecretService;
    m_thread.start();
    m_service->moveToThread(&m_thread);
}

void tst_SecretServiceStore::init()
{
    if (m_service)
        m_service->clear();
}

void tst_SecretServiceStore::cleanupTestCase()
{
    if (!m_service)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(servicePath, QDBusConnection::UnregisterTree);
    bus.unregisterService(QStringLiteral("org.freedesktop.secrets"));
    m_thread.quit();
    m_thread.wait();
    delete m_service;
    m_service = nullptr;
}

// Runs first, while the bus has no keyring at all; the keyring is put on
// the bus at its end for the tests that follow.
void tst_SecretServiceStore::keyringAbsentFailsQuietly()
{
    const std::optional<SecretStoreError> error = m_store.store("vesk.test", "nobody", text("secret"));
    QVERIFY(error.has_value());
    QVERIFY(!error->domain.isEmpty());
    QVERIFY(!error->message.isEmpty());
    QCOMPARE(m_store.lookup("vesk.test", "nobody"), std::nullopt);
    m_store.remove("vesk.test", "nobody");

    // Registered from the service's own thread, where its calls are answered.
    bool registered = false;
    QMetaObject::invokeMethod(
        m_service,
        [this, &registered] {
            registered = QDBusConnection::sessionBus().registerVirtualObject(servicePath, m_service,
                                                                             QDBusConnection::SubPath);
        },
        Qt::BlockingQueuedConnection);
    QVERIFY(registered);
    QVERIFY(QDBusConnection::sessionBus().registerService(QStringLiteral("org.freedesktop.secrets")));
}

void tst_SecretServiceStore::storedSecretReadsBack_data()
{
    QTest::addColumn<QByteArray>("secret");

    QTest::newRow("ascii key") << text("sk-test-0123456789");
    QTest::newRow("turkish letters") << text("gizli-\xc5\x9f\xc4\x9f\xc4\xb1\xc3\xbc\xc3\xb6\xc3\xa7");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("zero byte inside") << QByteArray("before\0after", 12);
    QTest::newRow("not utf-8") << QByteArray("\xff\xfe\x80", 3);
    QTest::newRow("long") << QByteArray(8192, 'k');
}

void tst_SecretServiceStore::storedSecretReadsBack()
{
    QFETCH(QByteArray, secret);
    QCOMPARE(m_store.store("vesk.test", "alice", secret), std::nullopt);
    const std::optional<QByteArray> loaded = m_store.lookup("vesk.test", "alice");
    QVERIFY(loaded.has_value());
    QCOMPARE(*loaded, secret);
    m_store.remove("vesk.test", "alice");
    QCOMPARE(m_store.lookup("vesk.test", "alice"), std::nullopt);
    QCOMPARE(m_service->items().size(), 0);
}

void tst_SecretServiceStore::itemCarriesSchemaAttributesAndLabel()
{
    QCOMPARE(m_store.store("com.quarnell.ai.openai", "default", text("k")), std::nullopt);
    const QList<FakeSecretService::Item> items = m_service->items();
    QCOMPARE(items.size(), 1);
    const Attributes expected{{"service", "com.quarnell.ai.openai"},
                              {"account", "default"},
                              {"xdg:schema", QString::fromLatin1(SecretServiceStore::schemaName())}};
    QCOMPARE(items[0].attributes, expected);
    QCOMPARE(items[0].label, QStringLiteral("com.quarnell.ai.openai"));
    QCOMPARE(items[0].contentType, QStringLiteral("text/plain"));
}

void tst_SecretServiceStore::storingTwiceKeepsOneItem()
{
    QCOMPARE(m_store.store("vesk.test", "alice", text("first")), std::nullopt);
    QCOMPARE(m_store.store("vesk.test", "alice", text("second")), std::nullopt);
    QCOMPARE(m_service->items().size(), 1);
    QCOMPARE(m_store.lookup("vesk.test", "alice"), std::optional<QByteArray>(text("second")));
}

void tst_SecretServiceStore::pairsAreIndependent_data()
{
    QTest::addColumn<QString>("otherService");
    QTest::addColumn<QString>("otherAccount");

    QTest::newRow("account differs") << QStringLiteral("vesk.test") << QStringLiteral("bob");
    QTest::newRow("service differs") << QStringLiteral("vesk.other") << QStringLiteral("alice");
    QTest::newRow("fields swapped") << QStringLiteral("alice") << QStringLiteral("vesk.test");
    QTest::newRow("account differs in case") << QStringLiteral("vesk.test") << QStringLiteral("Alice");
}

void tst_SecretServiceStore::pairsAreIndependent()
{
    QFETCH(QString, otherService);
    QFETCH(QString, otherAccount);
    QCOMPARE(m_store.store("vesk.test", "alice", text("mine")), std::nullopt);
    QCOMPARE(m_store.store(otherService, otherAccount, text("theirs")), std::nullopt);
    QCOMPARE(m_service->items().size(), 2);
    QCOMPARE(m_store.lookup("vesk.test", "alice"), std::optional<QByteArray>(text("mine")));
    m_store.remove(otherService, otherAccount);
    QCOMPARE(m_store.lookup(otherService, otherAccount), std::nullopt);
    QCOMPARE(m_store.lookup("vesk.test", "alice"), std::optional<QByteArray>(text("mine")));
}

void tst_SecretServiceStore::missingPairsGiveNothing()
{
    QCOMPARE(m_store.lookup("vesk.test", "never"), std::nullopt);
    m_store.remove("vesk.test", "never");
    QCOMPARE(m_store.store("vesk.test", "once", text("x")), std::nullopt);
    m_store.remove("vesk.test", "once");
    m_store.remove("vesk.test", "once");
    QCOMPARE(m_store.lookup("vesk.test", "once"), std::nullopt);
}

void tst_SecretServiceStore::refusedWriteKeepsEarlierSecret()
{
    QCOMPARE(m_store.store("vesk.test", "alice", text("earlier")), std::nullopt);
    m_service->setRefusesWrites(true);
    const std::optional<SecretStoreError> error = m_store.store("vesk.test", "alice", text("later"));
    QVERIFY(error.has_value());
    QVERIFY2(error->message.contains(QLatin1String("takes no new secrets")), qPrintable(error->message));
    m_service->setRefusesWrites(false);
    QCOMPARE(m_store.lookup("vesk.test", "alice"), std::optional<QByteArray>(text("earlier")));
}

void tst_SecretServiceStore::otherProgramsItemsAreNotOurs()
{
    m_service->addItem({QStringLiteral("someone else"),
                        {{"service", "vesk.test"}, {"account", "alice"}, {"xdg:schema", "org.example.Other"}},
                        text("not ours"),
                        QStringLiteral("text/plain")});
    QCOMPARE(m_store.lookup("vesk.test", "alice"), std::nullopt);
    m_store.remove("vesk.test", "alice");
    QCOMPARE(m_service->items().size(), 1);
}

QTEST_GUILESS_MAIN(tst_SecretServiceStore)
#include "tst_secretservicestore.moc"
