#include "VeskKit/Cloud/VeskKeychainStore.h"

#include "MemorySecretStore.h"

#include <QtTest>

// Every test works on a store in memory: the user's keyring is never touched.
class tst_VeskKeychainStore : public QObject
{
    Q_OBJECT

private slots:
    void savedSecretLoadsBack_data();
    void savedSecretLoadsBack();
    void savingTwiceKeepsOneItemWithTheSecondSecret();
    void pairsAreIndependent_data();
    void pairsAreIndependent();
    void absentPairsGiveNothing_data();
    void absentPairsGiveNothing();
    void refusedSaveKeepsTheEarlierSecret();
    void storedBytesThatAreNotUtf8LoadAsNothing_data();
    void storedBytesThatAreNotUtf8LoadAsNothing();
};

void tst_VeskKeychainStore::savedSecretLoadsBack_data()
{
    QTest::addColumn<QString>("secret");
    QTest::addColumn<QByteArray>("storedBytes");

    QTest::newRow("api key") << QStringLiteral("sk-proj-AbC123") << QByteArray("sk-proj-AbC123");
    QTest::newRow("turkish letters") << QStringLiteral(u"şifre-İğ") << QByteArray("\xc5\x9f" "ifre-\xc4\xb0\xc4\x9f");
    QTest::newRow("emoji outside the basic plane") << QStringLiteral(u"key-🔑") << QByteArray("key-\xf0\x9f\x94\x91");
    QTest::newRow("empty secret") << QString() << QByteArray();
    QTest::newRow("surrounding blanks kept") << QStringLiteral("  key \n") << QByteArray("  key \n");
    QTest::newRow("leading byte-order mark kept") << QStringLiteral(u"\uFEFFkey") << QByteArray("\xef\xbb\xbfkey");
    QTest::newRow("zero character inside") << QString(QStringLiteral("a") + QChar(0) + QStringLiteral("b"))
                                           << QByteArray("a\0b", 3);
}

void tst_VeskKeychainStore::savedSecretLoadsBack()
{
    QFETCH(QString, secret);
    QFETCH(QByteArray, storedBytes);
    MemorySecretStore store;
    QVERIFY(VeskKeychainStore::save(secret, "com.quarnell.ai", "openAI", store).ok());
    QCOMPARE(store.lookup("com.quarnell.ai", "openAI"), std::optional<QByteArray>(storedBytes));
    const std::optional<QString> loaded = VeskKeychainStore::load("com.quarnell.ai", "openAI", store);
    QVERIFY(loaded.has_value());
    QCOMPARE(*loaded, secret);
}

void tst_VeskKeychainStore::savingTwiceKeepsOneItemWithTheSecondSecret()
{
    MemorySecretStore store;
    QVERIFY(VeskKeychainStore::save("first", "svc", "acct", store).ok());
    QVERIFY(VeskKeychainStore::save("second", "svc", "acct", store).ok());
    QCOMPARE(store.count(), 1);
    QCOMPARE(VeskKeychainStore::load("svc", "acct", store), std::optional<QString>("second"));
}

void tst_VeskKeychainStore::pairsAreIndependent_data()
{
    QTest::addColumn<QString>("service");
    QTest::addColumn<QString>("account");

    QTest::newRow("account differs") << QStringLiteral("svc") << QStringLiteral("other");
    QTest::newRow("service differs") << QStringLiteral("other") << QStringLiteral("acct");
    QTest::newRow("fields swapped") << QStringLiteral("acct") << QStringLiteral("svc");
    QTest::newRow("account differs in case") << QStringLiteral("svc") << QStringLiteral("ACCT");
    QTest::newRow("empty account") << QStringLiteral("svc") << QString();
}

void tst_VeskKeychainStore::pairsAreIndependent()
{
    QFETCH(QString, service);
    QFETCH(QString, account);
    MemorySecretStore store;
    QVERIFY(VeskKeychainStore::save("mine", "svc", "acct", store).ok());
    QVERIFY(VeskKeychainStore::save("theirs", service, account, store).ok());
    QCOMPARE(store.count(), 2);
    QCOMPARE(VeskKeychainStore::load("svc", "acct", store), std::optional<QString>("mine"));
    QCOMPARE(VeskKeychainStore::load(service, account, store), std::optional<QString>("theirs"));
    VeskKeychainStore::deleteItem(service, account, store);
    QCOMPARE(VeskKeychainStore::load(service, account, store), std::nullopt);
    QCOMPARE(VeskKeychainStore::load("svc", "acct", store), std::optional<QString>("mine"));
}

void tst_VeskKeychainStore::absentPairsGiveNothing_data()
{
    QTest::addColumn<bool>("savedThenDeleted");

    QTest::newRow("never saved") << false;
    QTest::newRow("saved then deleted") << true;
}

void tst_VeskKeychainStore::absentPairsGiveNothing()
{
    QFETCH(bool, savedThenDeleted);
    MemorySecretStore store;
    if (savedThenDeleted) {
        QVERIFY(VeskKeychainStore::save("gone", "svc", "acct", store).ok());
        VeskKeychainStore::deleteItem("svc", "acct", store);
    }
    QCOMPARE(VeskKeychainStore::load("svc", "acct", store), std::nullopt);
    VeskKeychainStore::deleteItem("svc", "acct", store);
    QCOMPARE(store.count(), 0);
}

void tst_VeskKeychainStore::refusedSaveKeepsTheEarlierSecret()
{
    MemorySecretStore store;
    QVERIFY(VeskKeychainStore::save("earlier", "svc", "acct", store).ok());
    const SecretStoreError refusal{QStringLiteral("org.freedesktop.Secret.Error"), 3, QStringLiteral("locked")};
    store.setStoreFailure(refusal);
    const VeskResult<void, SecretStoreError> result = VeskKeychainStore::save("later", "svc", "acct", store);
    QVERIFY(!result.ok());
    QCOMPARE(result.error(), refusal);
    store.setStoreFailure(std::nullopt);
    QCOMPARE(VeskKeychainStore::load("svc", "acct", store), std::optional<QString>("earlier"));
}

void tst_VeskKeychainStore::storedBytesThatAreNotUtf8LoadAsNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("stray continuation byte") << QByteArray("key\x80");
    QTest::newRow("byte never in utf-8") << QByteArray("\xff");
    QTest::newRow("truncated sequence at the end") << QByteArray("key\xe2\x82");
    QTest::newRow("overlong slash") << QByteArray("\xc0\xaf");
    QTest::newRow("encoded surrogate") << QByteArray("\xed\xa0\x80");
    QTest::newRow("latin-1 text") << QByteArray("\xfe\xe7");
}

void tst_VeskKeychainStore::storedBytesThatAreNotUtf8LoadAsNothing()
{
    QFETCH(QByteArray, bytes);
    MemorySecretStore store;
    QCOMPARE(store.store("svc", "acct", bytes), std::nullopt);
    QCOMPARE(VeskKeychainStore::load("svc", "acct", store), std::nullopt);
}

QTEST_MAIN(tst_VeskKeychainStore)
#include "tst_veskkeychainstore.moc"
