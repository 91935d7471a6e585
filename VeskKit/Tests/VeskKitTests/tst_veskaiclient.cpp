#include "VeskKit/Cloud/VeskAIClient.h"
#include "helper_feedbackserver.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <memory>

namespace {

// One request as the chat server saw it.
struct SeenRequest {
    QByteArray method;
    QByteArray path;
    QMap<QByteArray, QByteArray> headers; // names lower-cased, values as sent
    QByteArray body;
};

// A chat server on 127.0.0.1 that answers every request with the reply it
// was given, or hangs up without one, and keeps what it was sent.
class LocalChatServer : public QObject
{
public:
    LocalChatServer()
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                auto buffer = std::make_shared<QByteArray>();
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                    buffer->append(socket->readAll());
                    serve(socket, *buffer);
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
    }

    QString url(const QString &path = QStringLiteral("/v1/chat/completions")) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }

    void reply(int status, const QByteArray &body)
    {
        m_status = status;
        m_body = body;
        m_hangUp = false;
    }
    void hangUp() { m_hangUp = true; }

    const QList<SeenRequest> &requests() const { return m_requests; }
    QByteArray headers; // further header lines of every reply

private:
    void serve(QTcpSocket *socket, const QByteArray &buffer)
    {
        const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        SeenRequest request;
        const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
        const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
        request.method = requestLine.value(0);
        request.path = requestLine.value(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            QByteArray line = lines[i];
            if (line.endsWith('\r'))
                line.chop(1);
            const qsizetype colon = line.indexOf(':');
            if (colon <= 0)
                continue;
            QByteArray value = line.mid(colon + 1);
            if (value.startsWith(' '))
                value.remove(0, 1);
            request.headers.insert(line.left(colon).toLower(), value);
        }
        const qsizetype length = request.headers.value("content-length").toLongLong();
        if (buffer.size() < headerEnd + 4 + length)
            return;
        request.body = buffer.mid(headerEnd + 4, length);
        m_requests.append(request);
        if (m_hangUp) {
            socket->abort();
            return;
        }
        QByteArray answer = "HTTP/1.1 " + QByteArray::number(m_status) + " Status\r\n"
                            "Content-Type: application/json\r\n"
                            "Connection: close\r\n" + headers +
                            "Content-Length: " + QByteArray::number(m_body.size()) + "\r\n\r\n" + m_body;
        socket->write(answer);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QList<SeenRequest> m_requests;
    int m_status = 200;
    QByteArray m_body = R"({"response":"ok"})";
    bool m_hangUp = false;
};

// Runs one chat request to its end.
std::optional<VeskAIClient::Result> ask(const VeskAIConfig &config, const std::optional<QString> &apiKey,
                                        const QString &systemPrompt = QStringLiteral("You add numbers."),
                                        const QString &userPrompt = QStringLiteral("2+2?"),
                                        std::chrono::milliseconds timeout = VeskAIClient::requestTimeout)
{
    QNetworkAccessManager session;
    session.setProxy(QNetworkProxy::NoProxy); // a proxy from the environment must not see 127.0.0.1
    QObject context;
    std::optional<VeskAIClient::Result> result;
    VeskAIClient().complete(systemPrompt, userPrompt, config, apiKey, session, &context,
                            [&result](const VeskAIClient::Result &r) { result = r; }, timeout);
    (void)QTest::qWaitFor([&result] { return result.has_value(); }, 20'000);
    return result;
}

VeskAIConfig configFor(VeskAIProvider provider, const LocalChatServer &server)
{
    return VeskAIConfig(provider, server.url());
}

} // namespace

Q_DECLARE_METATYPE(VeskAIProvider)
Q_DECLARE_METATYPE(VeskAIClientError::Case)
Q_DECLARE_METATYPE(VeskAIClientError)
Q_DECLARE_METATYPE(std::optional<QString>)

class tst_VeskAIClient : public QObject
{
    Q_OBJECT

private slots:
    void providerFacts_data();
    void providerFacts();
    void providerRawValuesAreExact_data();
    void providerRawValuesAreExact();
    void configFillsOnlyMissingValues_data();
    void configFillsOnlyMissingValues();
    void storedConfigDecoding_data();
    void storedConfigDecoding();
    void configRoundTripsThroughJson();

    void requestCarriesPromptsModelAndKey_data();
    void requestCarriesPromptsModelAndKey();
    void unusableKeysAreRefusedBeforeSending_data();
    void unusableKeysAreRefusedBeforeSending();
    void badEndpointsAreRefusedBeforeSending_data();
    void badEndpointsAreRefusedBeforeSending();
    void answerIsReadFromTheReply_data();
    void answerIsReadFromTheReply();
    void failedStatusCarriesTheBodyStart_data();
    void failedStatusCarriesTheBodyStart();
    void failedTransfersPassThePlatformErrorOn_data();
    void failedTransfersPassThePlatformErrorOn();
    void errorDescriptions_data();
    void errorDescriptions();
    void completionNeverRunsInsideTheCall();
    void completionIsDroppedWithItsContext();
};

void tst_VeskAIClient::providerFacts_data()
{
    QTest::addColumn<VeskAIProvider>("provider");
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("turkish");
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("model");

    QTest::newRow("local") << VeskAIProvider::ollamaLocal << "ollamaLocal" << "Local Ollama (100% Offline)"
                           << QStringLiteral(u"Yerel Ollama (%100 Çevrimdışı)") << "http" << 11434 << "/api/chat"
                           << "llama3.2";
    QTest::newRow("openai") << VeskAIProvider::openAI << "openAI" << "OpenAI-Compatible (BYO Key)"
                            << QStringLiteral(u"OpenAI Uyumlu (Kendi Anahtarın)") << "https" << -1
                            << "/v1/chat/completions" << "gpt-4o-mini";
    QTest::newRow("credits") << VeskAIProvider::quarnellCredits << "quarnellCredits"
                             << "Quarnell Credits (" + veskAccountSiteHost + ")"
                             << "Quarnell Kredisi (" + veskAccountSiteHost + ")" << "https" << -1 << "/v1/ai/chat"
                             << "quarnell-doc-fast";
}

void tst_VeskAIClient::providerFacts()
{
    QFETCH(VeskAIProvider, provider);
    QFETCH(QString, raw);
    QFETCH(QString, english);
    QFETCH(QString, turkish);
    QFETCH(QString, scheme);
    QFETCH(int, port);
    QFETCH(QString, path);
    QFETCH(QString, model);

    QCOMPARE(rawValue(provider), raw);
    QCOMPARE(VeskAIProviderFromRaw(raw), std::optional<VeskAIProvider>(provider));
    QCOMPARE(displayName(provider, VeskLanguage::en), english);
    QCOMPARE(displayName(provider, VeskLanguage::tr), turkish);
    const QUrl endpoint(defaultEndpoint(provider));
    QVERIFY(endpoint.isValid());
    QCOMPARE(endpoint.scheme(), scheme);
    QCOMPARE(endpoint.port(), port);
    QCOMPARE(endpoint.path(), path);
    QVERIFY(!endpoint.host().isEmpty());
    if (provider == VeskAIProvider::ollamaLocal)
        QCOMPARE(endpoint.host(), QStringLiteral("127.0.0.1"));
    QCOMPARE(defaultModel(provider), model);
    QCOMPARE(kVeskAIProviderAllCases[size_t(provider)], provider);
}

void tst_VeskAIClient::providerRawValuesAreExact_data()
{
    QTest::addColumn<QString>("raw");

    QTest::newRow("other case") << QStringLiteral("OpenAI");
    QTest::newRow("lower case") << QStringLiteral("ollamalocal");
    QTest::newRow("blank around") << QStringLiteral(" openAI");
    QTest::newRow("display name") << QStringLiteral("Local Ollama (100% Offline)");
    QTest::newRow("empty") << QString();
}

void tst_VeskAIClient::providerRawValuesAreExact()
{
    QFETCH(QString, raw);
    QCOMPARE(VeskAIProviderFromRaw(raw), std::nullopt);
    QCOMPARE(VeskAIProviderFromJson(QJsonValue(raw)), std::nullopt);
}

void tst_VeskAIClient::configFillsOnlyMissingValues_data()
{
    QTest::addColumn<VeskAIProvider>("provider");
    QTest::addColumn<std::optional<QString>>("endpoint");
    QTest::addColumn<std::optional<QString>>("model");
    QTest::addColumn<QString>("expectedEndpoint");
    QTest::addColumn<QString>("expectedModel");

    const std::optional<QString> none;
    QTest::newRow("openai with neither") << VeskAIProvider::openAI << none << none
                                         << "https://api.openai.com/v1/chat/completions" << "gpt-4o-mini";
    QTest::newRow("empty model stays empty") << VeskAIProvider::openAI << none << std::optional<QString>(QString())
                                             << defaultEndpoint(VeskAIProvider::openAI) << "";
    QTest::newRow("empty endpoint stays empty") << VeskAIProvider::ollamaLocal << std::optional<QString>(QString())
                                                << none << "" << "llama3.2";
    QTest::newRow("both given") << VeskAIProvider::quarnellCredits << std::optional<QString>("https://x.test/ai")
                                << std::optional<QString>("m1") << "https://x.test/ai" << "m1";
}

void tst_VeskAIClient::configFillsOnlyMissingValues()
{
    QFETCH(VeskAIProvider, provider);
    QFETCH(std::optional<QString>, endpoint);
    QFETCH(std::optional<QString>, model);
    QFETCH(QString, expectedEndpoint);
    QFETCH(QString, expectedModel);

    const VeskAIConfig config(provider, endpoint, model);
    QCOMPARE(config.provider, provider);
    QCOMPARE(config.endpointURL, expectedEndpoint);
    QCOMPARE(config.model, expectedModel);
}

void tst_VeskAIClient::storedConfigDecoding_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("decodes");

    QTest::newRow("all three") << QByteArray(R"({"provider":"openAI","endpointURL":"https://a.test/x","model":"m"})") << true;
    QTest::newRow("empty texts kept") << QByteArray(R"({"provider":"ollamaLocal","endpointURL":"","model":""})") << true;
    QTest::newRow("unknown key ignored") << QByteArray(R"({"provider":"openAI","endpointURL":"e","model":"m","x":1})") << true;
    QTest::newRow("no model") << QByteArray(R"({"provider":"openAI","endpointURL":"https://a.test/x"})") << false;
    QTest::newRow("no endpoint") << QByteArray(R"({"provider":"openAI","model":"m"})") << false;
    QTest::newRow("no provider") << QByteArray(R"({"endpointURL":"e","model":"m"})") << false;
    QTest::newRow("unknown provider") << QByteArray(R"({"provider":"claude","endpointURL":"e","model":"m"})") << false;
    QTest::newRow("provider not text") << QByteArray(R"({"provider":1,"endpointURL":"e","model":"m"})") << false;
    QTest::newRow("model null") << QByteArray(R"({"provider":"openAI","endpointURL":"e","model":null})") << false;
    QTest::newRow("endpoint a number") << QByteArray(R"({"provider":"openAI","endpointURL":5,"model":"m"})") << false;
    QTest::newRow("not an object") << QByteArray(R"(["openAI","e","m"])") << false;
    QTest::newRow("not json") << QByteArray("provider=openAI") << false;
}

void tst_VeskAIClient::storedConfigDecoding()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, decodes);

    const std::optional<VeskAIConfig> config = VeskAIConfig::fromJsonText(json);
    QCOMPARE(config.has_value(), decodes);
    if (decodes) {
        const QJsonObject object = QJsonDocument::fromJson(json).object();
        QCOMPARE(rawValue(config->provider), object.value("provider").toString());
        QCOMPARE(config->endpointURL, object.value("endpointURL").toString());
        QCOMPARE(config->model, object.value("model").toString());
    }
}

void tst_VeskAIClient::configRoundTripsThroughJson()
{
    const VeskAIConfig config(VeskAIProvider::quarnellCredits, std::nullopt, QString());
    const QJsonObject object = config.toJson();
    QCOMPARE(object.keys(), (QStringList{"endpointURL", "model", "provider"}));
    QCOMPARE(object.value("provider"), QJsonValue("quarnellCredits"));
    QCOMPARE(object.value("model"), QJsonValue(""));
    QCOMPARE(VeskAIConfig::fromJsonText(config.toJsonText()), std::optional<VeskAIConfig>(config));
}

void tst_VeskAIClient::requestCarriesPromptsModelAndKey_data()
{
    QTest::addColumn<VeskAIProvider>("provider");
    QTest::addColumn<std::optional<QString>>("apiKey");
    QTest::addColumn<QString>("systemPrompt");
    QTest::addColumn<QString>("userPrompt");
    QTest::addColumn<std::optional<QString>>("authorization");

    using Key = std::optional<QString>;
    const Key none;
    const VeskAIProvider openAI = VeskAIProvider::openAI, credits = VeskAIProvider::quarnellCredits;
    QTest::newRow("local without key") << VeskAIProvider::ollamaLocal << none << "sys" << "user" << none;
    QTest::newRow("local ignores a key") << VeskAIProvider::ollamaLocal << Key("sk-local") << "sys" << "user" << none;
    QTest::newRow("local with blank key") << VeskAIProvider::ollamaLocal << Key("  ") << "s" << "u" << none;
    QTest::newRow("openai key") << openAI << Key("sk-test-1") << "sys" << "user" << Key("Bearer sk-test-1");
    QTest::newRow("pasted key trimmed") << openAI << Key(" sk-2\r\n") << "s" << "u" << Key("Bearer sk-2");
    QTest::newRow("credit token") << credits << Key("qc_123") << "s" << "u" << Key("Bearer qc_123");
    QTest::newRow("empty prompts still sent") << openAI << Key("k") << "" << "" << Key("Bearer k");
    QTest::newRow("prompts with quotes and lines")
        << VeskAIProvider::ollamaLocal << none << "say \"hi\"\nthen stop" << QStringLiteral(u"çarp: 3×4 ✓") << none;
}

void tst_VeskAIClient::requestCarriesPromptsModelAndKey()
{
    QFETCH(VeskAIProvider, provider);
    QFETCH(std::optional<QString>, apiKey);
    QFETCH(QString, systemPrompt);
    QFETCH(QString, userPrompt);
    QFETCH(std::optional<QString>, authorization);

    LocalChatServer server;
    const VeskAIConfig config(provider, server.url(QStringLiteral("/api/chat")), QStringLiteral("model-x"));
    const std::optional<VeskAIClient::Result> result = ask(config, apiKey, systemPrompt, userPrompt);
    QVERIFY(result.has_value());
    QVERIFY(result->ok());
    QCOMPARE(server.requests().size(), 1);

    const SeenRequest &request = server.requests().first();
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.path, QByteArray("/api/chat"));
    QCOMPARE(request.headers.value("content-type"), QByteArray("application/json"));
    QCOMPARE(request.headers.contains("authorization"), authorization.has_value());
    if (authorization)
        QCOMPARE(QString::fromUtf8(request.headers.value("authorization")), *authorization);

    QJsonParseError error;
    const QJsonObject body = QJsonDocument::fromJson(request.body, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonArray expectedMessages{
        QJsonObject{{"role", "system"}, {"content", systemPrompt}},
        QJsonObject{{"role", "user"}, {"content", userPrompt}},
    };
    QCOMPARE(body.value("model"), QJsonValue("model-x"));
    QCOMPARE(body.value("messages"), QJsonValue(expectedMessages));
    if (provider == VeskAIProvider::ollamaLocal) {
        QCOMPARE(body.keys(), (QStringList{"messages", "model", "stream"}));
        QCOMPARE(body.value("stream"), QJsonValue(false));
    } else {
        QCOMPARE(body.keys(), (QStringList{"messages", "model"}));
    }
}

void tst_VeskAIClient::unusableKeysAreRefusedBeforeSending_data()
{
    QTest::addColumn<VeskAIProvider>("provider");
    QTest::addColumn<std::optional<QString>>("apiKey");

    using Key = std::optional<QString>;
    QTest::newRow("openai without key") << VeskAIProvider::openAI << Key();
    QTest::newRow("openai empty key") << VeskAIProvider::openAI << Key(QString());
    QTest::newRow("openai key of blanks") << VeskAIProvider::openAI << Key(" \t\n ");
    QTest::newRow("credits without token") << VeskAIProvider::quarnellCredits << Key();
    QTest::newRow("line break would add a header") << VeskAIProvider::openAI << Key("sk-1\r\nX-Injected: yes\n");
    QTest::newRow("zero character") << VeskAIProvider::openAI << Key(QStringLiteral("sk") + QChar(0));
}

void tst_VeskAIClient::unusableKeysAreRefusedBeforeSending()
{
    QFETCH(VeskAIProvider, provider);
    QFETCH(std::optional<QString>, apiKey);

    LocalChatServer server;
    const std::optional<VeskAIClient::Result> result = ask(configFor(provider, server), apiKey);
    QVERIFY(result.has_value());
    QVERIFY(!result->ok());
    // A key that holds more than blanks is unusable rather than missing.
    using enum VeskAIClientError::Case;
    QCOMPARE(result->error().errorCase(), apiKey && !apiKey->trimmed().isEmpty() ? unusableAPIKey : missingAPIKey);
    QCOMPARE(server.requests().size(), 0);
}

void tst_VeskAIClient::badEndpointsAreRefusedBeforeSending_data()
{
    QTest::addColumn<VeskAIProvider>("provider");
    QTest::addColumn<QString>("endpoint");
    QTest::addColumn<std::optional<QString>>("apiKey");

    const std::optional<QString> key("sk-1");
    QTest::newRow("empty") << VeskAIProvider::openAI << "" << key;
    QTest::newRow("a bare word") << VeskAIProvider::openAI << "endpoint" << key;
    QTest::newRow("relative path") << VeskAIProvider::ollamaLocal << "/api/chat" << std::optional<QString>();
    QTest::newRow("no host") << VeskAIProvider::openAI << "https://" << key;
    QTest::newRow("space in host") << VeskAIProvider::openAI << "https://exa mple.com/v1" << key;
    QTest::newRow("file scheme") << VeskAIProvider::openAI << "file:///etc/passwd" << key;
    QTest::newRow("ftp scheme") << VeskAIProvider::ollamaLocal << "ftp://127.0.0.1/chat" << std::optional<QString>();
    QTest::newRow("checked before the key") << VeskAIProvider::openAI << "not a url" << std::optional<QString>();
}

void tst_VeskAIClient::badEndpointsAreRefusedBeforeSending()
{
    QFETCH(VeskAIProvider, provider);
    QFETCH(QString, endpoint);
    QFETCH(std::optional<QString>, apiKey);

    const std::optional<VeskAIClient::Result> result = ask(VeskAIConfig(provider, endpoint), apiKey);
    QVERIFY(result.has_value());
    QVERIFY(!result->ok());
    QCOMPARE(result->error().errorCase(), VeskAIClientError::Case::invalidEndpoint);
}

void tst_VeskAIClient::answerIsReadFromTheReply_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("answer"); // when the reply holds one
    QTest::addColumn<VeskAIClientError::Case>("failure");

    const auto none = VeskAIClientError::Case::emptyResponse;
    QTest::newRow("openai first choice") << 200
        << QByteArray(R"({"choices":[{"message":{"role":"assistant","content":"  Four.\n"}},{"message":{"content":"x"}}]})")
        << "Four." << none;
    QTest::newRow("local top-level message") << 200
        << QByteArray(R"({"model":"llama3.2","message":{"role":"assistant","content":"Dört"},"done":true})") << QStringLiteral(u"Dört") << none;
    QTest::newRow("only response") << 200 << QByteArray(R"({"response":"4"})") << "4" << none;
    QTest::newRow("empty choices fall to message") << 200
        << QByteArray(R"({"choices":[],"message":{"content":"from message"}})") << "from message" << none;
    QTest::newRow("choice without content falls through") << 200
        << QByteArray(R"({"choices":[{"message":{"content":null}}],"response":"from response"})") << "from response" << none;
    QTest::newRow("choices not all objects") << 200
        << QByteArray(R"({"choices":[{"message":{"content":"a"}},7],"response":"r"})") << "r" << none;
    QTest::newRow("first choice wins over message") << 200
        << QByteArray(R"({"choices":[{"message":{"content":"choice"}}],"message":{"content":"message"},"response":"r"})")
        << "choice" << none;
    QTest::newRow("answer of blanks is empty") << 200 << QByteArray(R"({"response":" \n\t "})") << "" << none;
    QTest::newRow("any 2xx status") << 201 << QByteArray(R"({"response":"created"})") << "created" << none;
    QTest::newRow("answer of wrong type") << 200 << QByteArray(R"({"response":42,"message":"text"})") << QString() << none;
    QTest::newRow("empty object") << 200 << QByteArray("{}") << QString() << none;
    QTest::newRow("array instead of object") << 200 << QByteArray(R"([{"response":"x"}])") << QString() << none;
    QTest::newRow("not json") << 200 << QByteArray("Four.") << QString() << VeskAIClientError::Case::platformError;
    QTest::newRow("empty body") << 200 << QByteArray() << QString() << VeskAIClientError::Case::platformError;
    QTest::newRow("cut-off json") << 200 << QByteArray(R"({"response":"fo)") << QString()
                                  << VeskAIClientError::Case::platformError;
}

void tst_VeskAIClient::answerIsReadFromTheReply()
{
    QFETCH(int, status);
    QFETCH(QByteArray, reply);
    QFETCH(QString, answer);
    QFETCH(VeskAIClientError::Case, failure);

    LocalChatServer server;
    server.reply(status, reply);
    const std::optional<VeskAIClient::Result> result = ask(configFor(VeskAIProvider::openAI, server), QString("sk"));
    QVERIFY(result.has_value());
    if (!answer.isNull()) {
        QVERIFY2(result->ok(), qPrintable(result->ok() ? QString() : result->error().errorDescription(VeskLanguage::en)));
        QCOMPARE(result->value(), answer);
    } else {
        QVERIFY(!result->ok());
        QCOMPARE(result->error().errorCase(), failure);
        if (failure == VeskAIClientError::Case::platformError) {
            QCOMPARE(result->error().domain(), QStringLiteral("QJsonParseError"));
            QVERIFY(!result->error().message().isEmpty());
        }
    }
}

void tst_VeskAIClient::failedStatusCarriesTheBodyStart_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("description");

    const QByteArray longBody = QByteArray("E") + QByteArray(999, 'x');
    QTest::newRow("500 with a long body") << 500 << longBody
                                          << QString("HTTP 500: E" + QString(299, QLatin1Char('x')));
    QTest::newRow("short body whole") << 404 << QByteArray("no such model") << "HTTP 404: no such model";
    QTest::newRow("unauthorized") << 401 << QByteArray(R"({"error":"bad key"})") << R"(HTTP 401: {"error":"bad key"})";
    QTest::newRow("rate limited, empty body") << 429 << QByteArray() << "HTTP 429: ";
    QTest::newRow("bad request") << 400 << QByteArray("model required") << "HTTP 400: model required";
    QTest::newRow("teapot") << 418 << QByteArray("short and stout") << "HTTP 418: short and stout";
    QTest::newRow("unprocessable") << 422 << QByteArray("bad messages") << "HTTP 422: bad messages";
    QTest::newRow("body not utf-8") << 502 << QByteArray("\xff\xfe bad gateway") << "HTTP 502: ";
    // 300 characters as the reader sees them: e + combining accent is one.
    QByteArray accented;
    for (int i = 0; i < 400; ++i)
        accented += "e\xcc\x81";
    QString expectedAccented = QStringLiteral("HTTP 503: ");
    for (int i = 0; i < 300; ++i)
        expectedAccented += QStringLiteral(u"e\u0301");
    QTest::newRow("combining marks count with their letter") << 503 << accented << expectedAccented;
    // Every reply names a second server, which must never be reached.
    QTest::newRow("307 to another origin") << 307 << QByteArray("moved") << "HTTP 307: moved";
}

void tst_VeskAIClient::failedStatusCarriesTheBodyStart()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, description);

    LocalChatServer server, elsewhere;
    server.reply(status, body);
    server.headers = "Location: " + elsewhere.url().toUtf8() + "\r\n";
    const std::optional<VeskAIClient::Result> result = ask(configFor(VeskAIProvider::quarnellCredits, server), QString("t"));
    QCOMPARE(elsewhere.requests().size(), 0);
    QVERIFY(result.has_value());
    QVERIFY(!result->ok());
    QVERIFY2(result->error().errorCase() == VeskAIClientError::Case::httpError,
             qPrintable(result->error().domain() + QString::number(result->error().code()) + result->error().message()));
    QCOMPARE(result->error().code(), status);
    QCOMPARE(result->error().errorDescription(VeskLanguage::en), description);
    QCOMPARE(result->error().errorDescription(VeskLanguage::tr), description);
}

void tst_VeskAIClient::failedTransfersPassThePlatformErrorOn_data()
{
    QTest::addColumn<bool>("serverRuns");
    QTest::addColumn<QString>("description"); // "": the platform's own message

    QTest::newRow("server hangs up") << true << "";
    QTest::newRow("nobody listens") << false << "";
    QTest::newRow("2 MiB trickling past the deadline") << true << "The provider gave no complete answer within 1.5 seconds.";
    QTest::newRow("2 MiB of undeclared length, ended by the connection") << true << "The provider's answer is larger than 1 MiB.";
}

void tst_VeskAIClient::failedTransfersPassThePlatformErrorOn()
{
    QFETCH(bool, serverRuns);
    QFETCH(QString, description);

    QString endpoint;
    std::unique_ptr<LocalChatServer> server;
    FeedbackServer large;
    if (!description.isEmpty()) {
        QVERIFY(large.listen());
        large.body = QByteArray(2 * 1024 * 1024, 'x');
        large.declareLength = false;
        large.trickle = description.contains(u"seconds");
        endpoint = large.baseURL() + "/api/chat";
    } else if (serverRuns) {
        server = std::make_unique<LocalChatServer>();
        server->hangUp();
        endpoint = server->url();
    } else {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        endpoint = QStringLiteral("http://127.0.0.1:%1/api/chat").arg(closed.serverPort());
    }
    const std::optional<VeskAIClient::Result> result =
        ask(VeskAIConfig(VeskAIProvider::ollamaLocal, endpoint), {}, "s", "u", std::chrono::milliseconds(1500));
    QVERIFY(result.has_value());
    QVERIFY(!result->ok());
    QCOMPARE(result->error().errorDescription(VeskLanguage::en), description.isEmpty() ? result->error().message() : description);
    if (!description.isEmpty())
        return;
    QCOMPARE(result->error().errorCase(), VeskAIClientError::Case::platformError);
    QCOMPARE(result->error().domain(), QStringLiteral("QNetworkReply"));
    QVERIFY(result->error().code() != 0);
    QCOMPARE(result->error().errorDescription(VeskLanguage::tr), result->error().message());
}

void tst_VeskAIClient::errorDescriptions_data()
{
    QTest::addColumn<VeskAIClientError>("error");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("turkish");

    QTest::newRow("invalid endpoint") << VeskAIClientError::invalidEndpoint() << "Invalid AI endpoint URL."
                                      << QStringLiteral(u"Geçersiz AI uç noktası adresi.");
    QTest::newRow("missing key") << VeskAIClientError::missingAPIKey()
                                 << "API key or Quarnell credit token is required for this provider."
                                 << QStringLiteral(u"Bu sağlayıcı için API anahtarı veya Quarnell kredi jetonu gereklidir.");
    QTest::newRow("empty response") << VeskAIClientError::emptyResponse() << "Provider returned an empty response."
                                    << QStringLiteral(u"Sağlayıcı boş yanıt döndürdü.");
    QTest::newRow("http error") << VeskAIClientError::httpError(418, "teapot") << "HTTP 418: teapot"
                                << "HTTP 418: teapot";
    QTest::newRow("platform error") << VeskAIClientError::platformError("QNetworkReply", 1, "Connection refused")
                                    << "Connection refused" << "Connection refused";
}

void tst_VeskAIClient::errorDescriptions()
{
    QFETCH(VeskAIClientError, error);
    QFETCH(QString, english);
    QFETCH(QString, turkish);

    QCOMPARE(error.errorDescription(VeskLanguage::en), english);
    QCOMPARE(error.errorDescription(VeskLanguage::tr), turkish);
}

void tst_VeskAIClient::completionNeverRunsInsideTheCall()
{
    QNetworkAccessManager session;
    bool called = false;
    VeskAIClient().complete("s", "u", VeskAIConfig(VeskAIProvider::openAI, QString()), QString("k"), session, nullptr,
                            [&called](const VeskAIClient::Result &) { called = true; });
    QVERIFY(!called);
    QTRY_VERIFY(called);
}

void tst_VeskAIClient::completionIsDroppedWithItsContext()
{
    LocalChatServer server;
    QNetworkAccessManager session;
    session.setProxy(QNetworkProxy::NoProxy);
    auto context = std::make_unique<QObject>();
    bool dropped = true;
    bool sentinel = false;
    const VeskAIConfig config = configFor(VeskAIProvider::ollamaLocal, server);
    VeskAIClient().complete("s", "u", config, {}, session, context.get(),
                            [&dropped](const VeskAIClient::Result &) { dropped = false; });
    context.reset();
    // A second request on the same session finishes after the server has
    // answered both, by which time the first would have been reported.
    VeskAIClient().complete("s", "u", config, {}, session, nullptr,
                            [&sentinel](const VeskAIClient::Result &) { sentinel = true; });
    QTRY_VERIFY(sentinel && server.requests().size() == 2);
    QTest::qWait(100);
    QVERIFY(dropped);
}

QTEST_MAIN(tst_VeskAIClient)
#include "tst_veskaiclient.moc"
