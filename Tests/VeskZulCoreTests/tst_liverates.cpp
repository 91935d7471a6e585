#include "Engine/ConversionCatalog.h"
#include "LocaleScope.h"
#include "Models/CurrencyRateTable.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <optional>

using namespace std::chrono_literals;

using RateMap = QHash<QString, double>;

namespace {

// How the local server answers every request.
enum class ServerMode {
    answer,     // status line, headers, body, then close
    silent,     // accept and never say anything
    hangUp,     // close the connection without a reply
    trickle,    // headers promising a body, then one byte every 50 ms
};

// A minimal HTTP/1.1 server on 127.0.0.1: records each request's head and
// answers it as told. Nothing in these tests leaves the machine.
class RateServer
{
public:
    RateServer()
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] { acceptAll(); });
    }

    bool listen() { return m_server.listen(QHostAddress::LocalHost, 0); }
    QUrl url() const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()));
    }

    ServerMode mode = ServerMode::answer;
    int status = 200;
    QByteArray body;
    QByteArray extraHeaders;
    QList<QByteArray> requests; // request line and headers, as received

private:
    void acceptAll()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            auto received = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, received] {
                received->append(socket->readAll());
                const qsizetype end = received->indexOf("\r\n\r\n");
                if (end < 0)
                    return;
                requests.append(received->left(end));
                received->clear();
                respond(socket);
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    void respond(QTcpSocket *socket)
    {
        switch (mode) {
        case ServerMode::silent:
            return;
        case ServerMode::hangUp:
            socket->disconnectFromHost();
            return;
        case ServerMode::trickle: {
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 100000\r\n\r\n");
            auto *timer = new QTimer(socket);
            QObject::connect(timer, &QTimer::timeout, socket, [socket] { socket->write(" "); });
            timer->start(50);
            return;
        }
        case ServerMode::answer:
            break;
        }
        QByteArray reply = "HTTP/1.1 " + QByteArray::number(status) + " Status\r\n";
        reply += "Content-Type: application/json\r\n";
        reply += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
        reply += "Connection: close\r\n";
        reply += extraHeaders;
        reply += "\r\n";
        reply += body;
        socket->write(reply);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
};

struct Fetch
{
    std::optional<ZulResult<CurrencyRateTable>> result;
    int calls = 0;
    std::chrono::steady_clock::time_point answeredAt;
};

// Starts a fetch and returns the shared record its handler fills in.
std::shared_ptr<Fetch> startFetch(QNetworkAccessManager &session, QObject *receiver, const QUrl &url,
                                  std::chrono::milliseconds timeout = 5s)
{
    auto fetch = std::make_shared<Fetch>();
    ConversionCatalog::fetchLiveRates(
        session, receiver,
        [fetch](ZulResult<CurrencyRateTable> result) {
            fetch->answeredAt = std::chrono::steady_clock::now();
            ++fetch->calls;
            fetch->result.emplace(std::move(result));
        },
        url, timeout);
    return fetch;
}

QHash<QString, double> offlineWith(std::initializer_list<std::pair<const char *, double>> changes)
{
    QHash<QString, double> rates = CurrencyRateTable::offlineDefaults().ratesPerUSD;
    for (const auto &[code, rate] : changes)
        rates.insert(QString::fromLatin1(code), rate);
    return rates;
}

} // namespace

Q_DECLARE_METATYPE(ServerMode)

class TestLiveRates : public QObject
{
    Q_OBJECT

private slots:
    void mergesReplyOverOfflineRates_data();
    void mergesReplyOverOfflineRates();
    void refusedReplies_data();
    void refusedReplies();
    void sendsOnePlainGet_data();
    void sendsOnePlainGet();
    void neverAnswersFromLocalCache();
    void lowerCaseCodesUnderTurkishLocale();
    void invalidServiceAddressReportsLater();
    void noHandlerAfterReceiverIsGone();
};

void TestLiveRates::mergesReplyOverOfflineRates_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<RateMap>("expected");

    QTest::newRow("extra keys around rates")
        << QByteArray(R"({"amount":1.0,"base":"USD","date":"2025-01-10","rates":{"EUR":0.95,"TRY":35.2}})")
        << offlineWith({{"EUR", 0.95}, {"TRY", 35.2}});
    QTest::newRow("lower-case code")
        << QByteArray(R"({"rates":{"eur":0.9}})") << offlineWith({{"EUR", 0.9}});
    QTest::newRow("new code is added")
        << QByteArray(R"({"rates":{"HUF":361.5}})") << offlineWith({{"HUF", 361.5}});
    QTest::newRow("zero and negative keep offline")
        << QByteArray(R"({"rates":{"EUR":0,"TRY":-1,"GBP":0.8}})") << offlineWith({{"GBP", 0.8}});
    QTest::newRow("keys that are no currency code are dropped")
        << QByteArray(R"({"rates":{"EURO":2,"E1":3,"":4,"ÇAY":5,"gbp":0.8}})") << offlineWith({{"GBP", 0.8}});
    QTest::newRow("integer rates") << QByteArray(R"({"rates":{"JPY":150}})") << offlineWith({{"JPY", 150}});
    QTest::newRow("dollar stays at one")
        << QByteArray(R"({"rates":{"USD":2,"usd":3,"CHF":0.9}})") << offlineWith({{"CHF", 0.9}});
}

void TestLiveRates::mergesReplyOverOfflineRates()
{
    QFETCH(QByteArray, body);
    QFETCH(RateMap, expected);

    RateServer server;
    QVERIFY(server.listen());
    server.body = body;
    QNetworkAccessManager session;
    session.setProxy(QNetworkProxy::NoProxy); // a proxy from the environment must not see 127.0.0.1
    QObject receiver;

    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
    const auto fetch = startFetch(session, &receiver, server.url());
    QTRY_VERIFY_WITH_TIMEOUT(fetch->result.has_value(), 5000);
    const QDateTime after = QDateTime::currentDateTimeUtc();

    QVERIFY2(fetch->result->ok(), qPrintable(fetch->result->error()));
    const CurrencyRateTable &table = fetch->result->value();
    QVERIFY(table.isLive);
    QCOMPARE(table.ratesPerUSD, expected);
    QVERIFY(table.updatedAt.has_value());
    QVERIFY(*table.updatedAt >= before && *table.updatedAt <= after);
    QCOMPARE(fetch->calls, 1);
}

void TestLiveRates::refusedReplies_data()
{
    QTest::addColumn<ServerMode>("mode");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("reason");

    const QByteArray valid(R"({"rates":{"EUR":0.95}})");
    const ServerMode answer = ServerMode::answer;

    QTest::newRow("no rates key") << answer << 200 << QByteArray(R"({"base":"USD"})") << "no \"rates\"";
    QTest::newRow("rates is a list") << answer << 200 << QByteArray(R"({"rates":[0.95]})") << "not an object";
    QTest::newRow("rates is null") << answer << 200 << QByteArray(R"({"rates":null})") << "not an object";
    QTest::newRow("rate as text") << answer << 200 << QByteArray(R"({"rates":{"EUR":"0.95"}})") << "not a number";
    QTest::newRow("rate is null") << answer << 200 << QByteArray(R"({"rates":{"EUR":null}})") << "not a number";
    QTest::newRow("one bad rate spoils all")
        << answer << 200 << QByteArray(R"({"rates":{"EUR":0.9,"TRY":true}})") << "not a number";
    QTest::newRow("empty rates object") << answer << 200 << QByteArray(R"({"rates":{}})") << "no usable rate";
    QTest::newRow("no usable rate")
        << answer << 200 << QByteArray(R"({"rates":{"EUR":0,"TRY":-1,"EURO":2,"USD":1}})") << "no usable rate";
    QTest::newRow("top level is a list") << answer << 200 << QByteArray(R"([{"rates":{}}])") << "not a JSON object";
    QTest::newRow("not JSON") << answer << 200 << QByteArray("<html>busy</html>") << "not JSON";
    QTest::newRow("truncated JSON") << answer << 200 << QByteArray(R"({"rates":{"EUR":0.9)") << "not JSON";
    QTest::newRow("empty body") << answer << 200 << QByteArray() << "not JSON";
    QTest::newRow("out-of-range number") << answer << 200 << QByteArray(R"({"rates":{"EUR":1e400}})") << "not JSON";
    QTest::newRow("status 304") << answer << 304 << valid << "HTTP status 304";
    QTest::newRow("status 404") << answer << 404 << valid << "HTTP status 404";
    QTest::newRow("status 500") << answer << 500 << valid << "HTTP status 500";
    QTest::newRow("status 199 is no success") << answer << 199 << valid << "";
    QTest::newRow("too large") << answer << 200 << QByteArray(2 * 1024 * 1024, ' ') << "larger than";
    QTest::newRow("server hangs up") << ServerMode::hangUp << 0 << QByteArray() << "";
    QTest::newRow("server never answers") << ServerMode::silent << 0 << QByteArray() << "no answer within 300 ms";
    QTest::newRow("server trickles past the deadline")
        << ServerMode::trickle << 0 << QByteArray() << "no answer within 300 ms";
    QTest::newRow("redirect to another origin") << answer << 307 << QByteArray() << "HTTP status 307";
}

void TestLiveRates::refusedReplies()
{
    QFETCH(ServerMode, mode);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, reason);

    RateServer server, elsewhere;
    QVERIFY(server.listen() && elsewhere.listen());
    server.mode = mode;
    server.status = status;
    server.body = body;
    server.extraHeaders = "Location: " + elsewhere.url().toEncoded() + "/v1/latest?base=USD\r\n";
    QNetworkAccessManager session;
    session.setProxy(QNetworkProxy::NoProxy);
    QObject receiver;

    // Only the rows about silence need the short deadline; the others get room
    // enough that a loaded machine cannot turn them into time-outs.
    const bool aboutTheDeadline = reason.startsWith(QLatin1String("no answer"));
    // Never less than the deadline: a coarse 300 ms timer started 20-30 ms past a tenth of a second fires 15 ms early.
    using namespace std::chrono;
    auto started = steady_clock::now();
    while (aboutTheDeadline && duration_cast<milliseconds>(started.time_since_epoch()).count() % 100 / 10 != 2)
        started = steady_clock::now();
    const auto fetch = startFetch(session, &receiver, server.url(), aboutTheDeadline ? 300ms : 4000ms);
    QTRY_VERIFY_WITH_TIMEOUT(fetch->result.has_value(), 10000);
    QVERIFY(!fetch->result->ok());
    QVERIFY2(fetch->result->error().contains(reason), qPrintable(fetch->result->error()));
    QCOMPARE(fetch->calls, 1);
    QCOMPARE(elsewhere.requests.size(), 0);
    const qint64 waited = duration_cast<milliseconds>(fetch->answeredAt - started).count();
    QVERIFY2(!aboutTheDeadline || waited >= 300, qPrintable(QString::number(waited)));
}

void TestLiveRates::sendsOnePlainGet_data()
{
    QTest::addColumn<QString>("serviceSuffix");

    QTest::newRow("service without slash") << "";
    QTest::newRow("service with slash") << "/";
}

void TestLiveRates::sendsOnePlainGet()
{
    QFETCH(QString, serviceSuffix);

    RateServer server;
    QVERIFY(server.listen());
    server.body = R"({"rates":{"EUR":0.9}})";
    QNetworkAccessManager session;
    session.setProxy(QNetworkProxy::NoProxy);
    QObject receiver;

    const auto fetch = startFetch(session, &receiver, QUrl(server.url().toString() + serviceSuffix));
    QTRY_VERIFY_WITH_TIMEOUT(fetch->result.has_value(), 5000);
    QVERIFY(fetch->result->ok());

    QCOMPARE(server.requests.size(), 1);
    const QList<QByteArray> head = server.requests.first().split('\n');
    QCOMPARE(head.first().trimmed(), QByteArray("GET /v1/latest?base=USD HTTP/1.1"));
    for (const QByteArray &line : head)
        QVERIFY2(!line.toLower().startsWith("content-length:") || line.trimmed().endsWith(" 0"), line.constData());
}

void TestLiveRates::neverAnswersFromLocalCache()
{
    RateServer server;
    QVERIFY(server.listen());
    server.extraHeaders = "Cache-Control: public, max-age=3600\r\n";
    QTemporaryDir cacheDir;
    QVERIFY(cacheDir.isValid());
    QNetworkAccessManager session;
    session.setProxy(QNetworkProxy::NoProxy);
    auto *cache = new QNetworkDiskCache(&session);
    cache->setCacheDirectory(cacheDir.path());
    session.setCache(cache);
    QObject receiver;

    server.body = R"({"rates":{"EUR":0.5}})";
    const auto first = startFetch(session, &receiver, server.url());
    QTRY_VERIFY_WITH_TIMEOUT(first->result.has_value(), 5000);
    QVERIFY(first->result->ok());

    server.body = R"({"rates":{"EUR":0.6}})";
    const auto second = startFetch(session, &receiver, server.url());
    QTRY_VERIFY_WITH_TIMEOUT(second->result.has_value(), 5000);
    QVERIFY(second->result->ok());

    QCOMPARE(server.requests.size(), 2);
    QCOMPARE(second->result->value().ratesPerUSD.value(QStringLiteral("EUR")), 0.6);
}

void TestLiveRates::lowerCaseCodesUnderTurkishLocale()
{
    LocaleScope turkish("tr_TR.UTF-8");
    QVERIFY(turkish.active());

    RateServer server;
    QVERIFY(server.listen());
    server.body = R"({"rates":{"try":34.5,"inr":83.1}})";
    QNetworkAccessManager session;
    session.setProxy(QNetworkProxy::NoProxy);
    QObject receiver;

    const auto fetch = startFetch(session, &receiver, server.url());
    QTRY_VERIFY_WITH_TIMEOUT(fetch->result.has_value(), 5000);
    QVERIFY(fetch->result->ok());
    QCOMPARE(fetch->result->value().ratesPerUSD, offlineWith({{"TRY", 34.5}, {"INR", 83.1}}));
}

void TestLiveRates::invalidServiceAddressReportsLater()
{
    QNetworkAccessManager session;
    session.setProxy(QNetworkProxy::NoProxy);
    QObject receiver;

    const auto fetch = startFetch(session, &receiver, QUrl(QStringLiteral("not a service")));
    QCOMPARE(fetch->calls, 0);
    QTRY_VERIFY_WITH_TIMEOUT(fetch->result.has_value(), 5000);
    QVERIFY(!fetch->result->ok());
    QVERIFY2(fetch->result->error().contains(QStringLiteral("invalid address")), qPrintable(fetch->result->error()));
}

void TestLiveRates::noHandlerAfterReceiverIsGone()
{
    RateServer server;
    QVERIFY(server.listen());
    server.body = R"({"rates":{}})";
    QNetworkAccessManager session;
    session.setProxy(QNetworkProxy::NoProxy);
    auto receiver = std::make_unique<QObject>();

    const auto fetch = startFetch(session, receiver.get(), server.url());
    receiver.reset();
    QTRY_COMPARE_WITH_TIMEOUT(server.requests.size(), 1, 5000);
    QTest::qWait(200);
    QCOMPARE(fetch->calls, 0);
}

QTEST_GUILESS_MAIN(TestLiveRates)
#include "tst_liverates.moc"
