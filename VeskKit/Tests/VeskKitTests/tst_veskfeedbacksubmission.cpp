#include "VeskKit/Cloud/VeskFeedbackService.h"
#include "helper_feedbackserver.h"

#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(VeskFeedbackError)
Q_DECLARE_METATYPE(VeskFeedbackReceipt)

namespace {

using Fields = QList<std::pair<QString, QString>>;

VeskFeedbackScreenshot shot(const QString &name, qsizetype bytes, const QString &mime = QStringLiteral("image/png"))
{
    return {QUuid::createUuid(), name, mime, QByteArray(bytes, 'x')};
}

struct Report {
    QString appName = QStringLiteral("My Notes");
    VeskFeedbackKind kind = VeskFeedbackKind::bug;
    QString email = QStringLiteral("user@example.org");
    QString senderName = QStringLiteral("Ada");
    QString subject = QStringLiteral("Gutter misaligned");
    QString message = QStringLiteral("The results drift after a font change.");
    QList<VeskFeedbackScreenshot> screenshots;
    VeskLanguage language = VeskLanguage::en;
    std::optional<QString> baseURL;
    std::chrono::milliseconds timeout = VeskFeedbackService::requestTimeout;
};

class Submitter
{
public:
    Submitter() { m_session.setProxy(QNetworkProxy::NoProxy); }

    std::optional<VeskFeedbackService::Result> run(const Report &report)
    {
        QObject context;
        std::optional<VeskFeedbackService::Result> outcome;
        bool returned = false;
        bool ranInsideCall = false;
        VeskFeedbackService::submit(report.appName, VeskAppVersion(QStringLiteral("2.3.1"), QStringLiteral("77")),
                                    report.kind, report.email, report.senderName, report.subject, report.message,
                                    report.screenshots, report.language, report.baseURL, m_session, &context,
                                    [&](const VeskFeedbackService::Result &result) {
                                        ranInsideCall = !returned;
                                        outcome = result;
                                    },
                                    report.timeout);
        returned = true;
        if (!QTest::qWaitFor([&] { return outcome.has_value(); }, 10'000))
            return std::nullopt;
        if (ranInsideCall)
            return std::nullopt;
        return outcome;
    }

private:
    QNetworkAccessManager m_session;
};

} // namespace

class TestVeskFeedbackSubmission : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void multipartBody();
    void multipartBodyWithoutScreenshotsEndsAfterTheLastField();
    void refusedBeforeSending_data();
    void refusedBeforeSending();
    void requestCarriesTheReport_data();
    void requestCarriesTheReport();
    void replyBecomesReceiptOrError_data();
    void replyBecomesReceiptOrError();
    void unreachableServerIsANetworkFailure();
    void contextGoneMeansNoCompletion();
    void clipboardImageBecomesScreenshot_data();
    void clipboardImageBecomesScreenshot();

private:
    QTemporaryDir m_home;
    std::unique_ptr<FeedbackServer> m_server;
};

void TestVeskFeedbackSubmission::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("data"))));
    qunsetenv("QUARNELL_FEEDBACK_BASE_URL");
}

void TestVeskFeedbackSubmission::init()
{
    m_server = std::make_unique<FeedbackServer>();
    QVERIFY(m_server->listen());
}

void TestVeskFeedbackSubmission::multipartBody()
{
    VeskFeedbackScreenshot image = shot(QStringLiteral("my \"shot\"\r\n1.png"), 0);
    image.data = QByteArray("\x89PNG\r\n--B\x00\xff", 11);
    const QByteArray body = VeskFeedbackService::buildMultipartBody(
        QStringLiteral("B"), {{"type", "bug"}, {"empty", ""}, {"name", "Ağ \"x\""}}, {image});
    const QByteArray expected = QByteArray("--B\r\n"
                                           "Content-Disposition: form-data; name=\"type\"\r\n\r\n"
                                           "bug\r\n"
                                           "--B\r\n"
                                           "Content-Disposition: form-data; name=\"name\"\r\n\r\n") +
                                QString::fromUtf8("Ağ \"x\"").toUtf8() +
                                QByteArray("\r\n"
                                           "--B\r\n"
                                           "Content-Disposition: form-data; name=\"screenshots[]\"; "
                                           "filename=\"my shot1.png\"\r\n"
                                           "Content-Type: image/png\r\n\r\n") +
                                image.data + QByteArray("\r\n--B--\r\n");
    QCOMPARE(body, expected);
}

void TestVeskFeedbackSubmission::multipartBodyWithoutScreenshotsEndsAfterTheLastField()
{
    const QByteArray body =
        VeskFeedbackService::buildMultipartBody(QStringLiteral("XY"), {{"a", "1"}, {"b", ""}}, {});
    QCOMPARE(body, QByteArray("--XY\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1\r\n--XY--\r\n"));
    QCOMPARE(VeskFeedbackService::buildMultipartBody(QStringLiteral("XY"), {{"b", ""}}, {}), QByteArray("--XY--\r\n"));
}

void TestVeskFeedbackSubmission::refusedBeforeSending_data()
{
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("screenshotCount");
    QTest::addColumn<int>("screenshotBytes");
    QTest::addColumn<QString>("base"); // "server": the local server
    QTest::addColumn<VeskFeedbackError>("error");
    QTest::addColumn<QString>("headerText");  // the application name, or with screenshots their type; "": usual

    const QString fine = QStringLiteral("Long enough message.");
    const VeskFeedbackError mail = VeskFeedbackError::invalidEmail(), brief = VeskFeedbackError::messageTooShort();
    const VeskFeedbackError url = VeskFeedbackError::invalidEndpoint(), header = VeskFeedbackError::invalidHeaderText();
    QTest::newRow("e-mail without dot") << "user@example" << fine << 0 << 0 << "server" << mail << "";
    QTest::newRow("e-mail without at sign") << "user.example.org" << fine << 0 << 0 << "server" << mail << "";
    QTest::newRow("e-mail of four characters") << "  a@b. " << fine << 0 << 0 << "server" << mail << "";
    QTest::newRow("empty e-mail") << "" << fine << 0 << 0 << "server" << mail << "";
    QTest::newRow("bad e-mail wins over short message") << "nope" << "short" << 0 << 0 << "server" << mail << "";
    QTest::newRow("nine characters inside blanks") << "a@b.co" << "   123456789  \n" << 0 << 0 << "server" << brief
                                                   << "";
    QTest::newRow("nine perceived characters") << "a@b.co" << QString::fromUtf8("e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301")
                                               << 0 << 0 << "server" << brief << "";
    QTest::newRow("six screenshots, before any size check") << "a@b.co" << fine << 6 << 6'000'000 << "server"
                                                            << VeskFeedbackError::tooManyScreenshots(5) << "";
    QTest::newRow("one byte over the size limit") << "a@b.co" << fine << 1 << 5'242'881 << "server"
                                                  << VeskFeedbackError::screenshotTooLarge(5) << "";
    QTest::newRow("endpoint that does not parse") << "a@b.co" << fine << 0 << 0 << "https://exa mple.test" << url << "";
    QTest::newRow("endpoint that is a file") << "a@b.co" << fine << 0 << 0 << "file:///tmp" << url << "";
    QTest::newRow("relative endpoint") << "a@b.co" << fine << 0 << 0 << "///" << url << "";
    QTest::newRow("line break in the application name") << "a@b.co" << fine << 0 << 0 << "server" << header
                                                        << "Notes\nX-Injected: yes";
    QTest::newRow("carriage return in an attachment type") << "a@b.co" << fine << 1 << 10 << "server" << header
                                                           << "image/png\rX-Injected: yes";
}

void TestVeskFeedbackSubmission::refusedBeforeSending()
{
    QFETCH(QString, email);
    QFETCH(QString, message);
    QFETCH(int, screenshotCount);
    QFETCH(int, screenshotBytes);
    QFETCH(QString, base);
    QFETCH(VeskFeedbackError, error);
    QFETCH(QString, headerText);

    Report report;
    if (!headerText.isEmpty() && screenshotCount == 0)
        report.appName = headerText;
    report.email = email;
    report.message = message;
    const QString type = headerText.isEmpty() ? QStringLiteral("image/png") : headerText;
    for (int i = 0; i < screenshotCount; ++i)
        report.screenshots.append(shot(QStringLiteral("s%1.png").arg(i), screenshotBytes, type));
    report.baseURL = base == u"server" ? m_server->baseURL() : base;
    Submitter submitter;
    const std::optional<VeskFeedbackService::Result> result = submitter.run(report);
    QVERIFY(result.has_value());
    QVERIFY(!result->ok());
    QCOMPARE(result->error(), error);
    QTest::qWait(50);
    QCOMPARE(m_server->received, QByteArray());
}

void TestVeskFeedbackSubmission::requestCarriesTheReport_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("senderName");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<VeskLanguage>("language");
    QTest::addColumn<int>("screenshots");
    QTest::addColumn<Fields>("expected"); // before os_info, locale and source

    const QString message = QStringLiteral("The results drift after a font change.");
    auto fields = [&](const QString &type, const QString &slug, const QString &email, const QString &name,
                      const QString &subject) {
        return Fields{{"type", type},          {"program_slug", slug},   {"program_name", " My Notes "},
                      {"email", email},        {"sender_name", name},    {"subject", subject},
                      {"message", message},    {"app_version", "2.3.1"}};
    };
    QTest::newRow("trimmed, five-character e-mail")
        << int(VeskFeedbackKind::bug) << "  a@b.c\n" << " Ada " << " Gutter " << VeskLanguage(VeskLanguage::en) << 0
        << fields("bug", "mynotes", "a@b.c", "Ada", "Gutter");
    QTest::newRow("short subject replaced, English")
        << int(VeskFeedbackKind::feature) << "a@b.co" << "" << " ab " << VeskLanguage(VeskLanguage::en) << 2
        << fields("feature", "mynotes", "a@b.co", "", " My Notes  — Feature & Improvement");
    QTest::newRow("short subject replaced, Turkish")
        << int(VeskFeedbackKind::general) << "a@b.co" << "Ali" << "x" << VeskLanguage(VeskLanguage::tr) << 0
        << fields("general", "mynotes", "a@b.co", "Ali", " My Notes  — Genel Görüş");
    QTest::newRow("three-character subject stays")
        << int(VeskFeedbackKind::bug) << "a@b.co" << "Ali" << "  abc  " << VeskLanguage(VeskLanguage::de) << 0
        << fields("bug", "mynotes", "a@b.co", "Ali", "abc");
    QTest::newRow("new application idea")
        << int(VeskFeedbackKind::newApp) << "a@b.co" << "Ali" << "A tide clock" << VeskLanguage(VeskLanguage::en) << 5
        << fields("new_app", "new_app", "a@b.co", "Ali", "A tide clock");
}

void TestVeskFeedbackSubmission::requestCarriesTheReport()
{
    QFETCH(int, kind);
    QFETCH(QString, email);
    QFETCH(QString, senderName);
    QFETCH(QString, subject);
    QFETCH(VeskLanguage, language);
    QFETCH(int, screenshots);
    QFETCH(Fields, expected);

    Report report;
    report.appName = QStringLiteral(" My Notes ");
    report.kind = VeskFeedbackKind(kind);
    report.email = email;
    report.senderName = senderName;
    report.subject = subject;
    report.message = QStringLiteral("\n  The results drift after a font change.  ");
    report.language = language;
    report.baseURL = m_server->baseURL() + u'/';
    for (int i = 0; i < screenshots; ++i)
        report.screenshots.append(shot(QStringLiteral("s%1.jpg").arg(i), 100 + i, QStringLiteral("image/jpeg")));
    m_server->body = "{}";
    Submitter submitter;
    const std::optional<VeskFeedbackService::Result> result = submitter.run(report);
    QVERIFY(result.has_value());
    QVERIFY(result->ok());

    QCOMPARE(m_server->requests.size(), 1);
    const ReceivedRequest &request = m_server->requests.constFirst();
    QVERIFY2(request.head.startsWith("POST /api/v1/feedback HTTP/1.1\r\n"), request.head.constData());
    static const QRegularExpression contentType(QStringLiteral(
        "^multipart/form-data; boundary=(VeskFeedback-[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12})$"));
    const QRegularExpressionMatch match = contentType.match(QString::fromLatin1(request.header("Content-Type")));
    QVERIFY2(match.hasMatch(), request.header("Content-Type").constData());
    QCOMPARE(request.header("Accept"), QByteArray("application/json"));
    QCOMPARE(request.header("User-Agent"), QByteArray("Quarnell/ My Notes  VeskKit"));

    Fields all = expected;
    all.append({QStringLiteral("os_info"), VeskFeedbackService::currentOSDescription()});
    all.append({QStringLiteral("locale"), language.rawValue()});
    all.append({QStringLiteral("source"), QStringLiteral("desktop_app")});
    QCOMPARE(request.body, VeskFeedbackService::buildMultipartBody(match.captured(1), all, report.screenshots));
}

void TestVeskFeedbackSubmission::replyBecomesReceiptOrError_data()
{
    QTest::addColumn<int>("status"); // 0: the answer trickles in, a byte every 100 ms
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<VeskLanguage>("language");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<VeskFeedbackReceipt>("receipt");
    QTest::addColumn<QString>("rejection"); // or with status 0 the network failure's detail

    const VeskLanguage en = VeskLanguage::en;
    const QString thanks = QStringLiteral("Thank you! Your feedback has been received.");
    const VeskFeedbackReceipt none;
    QTest::newRow("full answer") << 201 << QByteArray(R"({"reference_code":"R-17","attachments_count":1,"message":"Got it"})")
                                 << en << true << VeskFeedbackReceipt{"R-17", 1, "Got it"} << "";
    QTest::newRow("empty body, English") << 200 << QByteArray() << en << true
                                         << VeskFeedbackReceipt{"VESK-FB-OK", 2, thanks} << "";
    QTest::newRow("empty body, Turkish") << 204 << QByteArray() << VeskLanguage(VeskLanguage::tr) << true
                                         << VeskFeedbackReceipt{"VESK-FB-OK", 2,
                                                                "Teşekkürler! Geri bildiriminiz bize ulaştı."}
                                         << "";
    QTest::newRow("empty message kept") << 200 << QByteArray(R"({"message":""})") << en << true
                                        << VeskFeedbackReceipt{"VESK-FB-OK", 2, ""} << "";
    QTest::newRow("fields of the wrong type") << 200
                                              << QByteArray(R"({"reference_code":7,"attachments_count":"3","message":null})")
                                              << en << true << VeskFeedbackReceipt{"VESK-FB-OK", 2, thanks} << "";
    QTest::newRow("fractional count") << 200 << QByteArray(R"({"attachments_count":2.5})") << en << true
                                                 << VeskFeedbackReceipt{"VESK-FB-OK", 2, thanks} << "";
    QTest::newRow("count of zero") << 200 << QByteArray(R"({"attachments_count":0})") << en << true
                                   << VeskFeedbackReceipt{"VESK-FB-OK", 0, thanks} << "";
    QTest::newRow("array body") << 200 << QByteArray("[1,2]") << en << true
                                << VeskFeedbackReceipt{"VESK-FB-OK", 2, thanks} << "";
    QTest::newRow("rejection with message") << 422 << QByteArray(R"({"message":"Spam detected"})") << en << false
                                            << none << "Spam detected";
    QTest::newRow("rejection with empty message") << 400 << QByteArray(R"({"message":""})") << en << false << none
                                                  << "HTTP 400";
    QTest::newRow("server error without JSON") << 503 << QByteArray("<html>busy</html>") << en << false << none
                                               << "HTTP 503";
    const QByteArray y(100'000, 'y');
    QTest::newRow("long texts shown trimmed") << 200 << R"({"reference_code":"R","message":")" + y + "\"}" << en << true
                                              << VeskFeedbackReceipt{"R", 2, y.left(300)} << "";
    QTest::newRow("rejection without bidi controls, trimmed") << 422 << R"({"message":"\u202eSpam\u2069 )" + y + "\"}"
                                                              << en << false << none << QString("Spam " + y.left(295));
    QTest::newRow("reply over 1 MiB not read") << 422 << R"({"message":"Spam","x":")" + QByteArray(1 << 21, 'x') + "\"}"
                                               << en << false << none << "HTTP 422";
    QTest::newRow("answer trickling past the deadline") << 0 << QByteArray() << en << false << none
                                                        << "no complete answer within 1.5 seconds";
    // Every reply names a second server, which must never be reached.
    QTest::newRow("307 to another origin") << 307 << QByteArray() << en << false << none << "HTTP 307";
}

void TestVeskFeedbackSubmission::replyBecomesReceiptOrError()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(VeskLanguage, language);
    QFETCH(bool, ok);
    QFETCH(VeskFeedbackReceipt, receipt);
    QFETCH(QString, rejection);

    FeedbackServer elsewhere;
    QVERIFY(elsewhere.listen());
    m_server->status = status;
    m_server->body = body;
    m_server->trickle = status == 0;
    m_server->extraHeaders = "Location: " + elsewhere.baseURL().toUtf8() + "/api/v1/feedback\r\n";
    Report report;
    report.language = language;
    report.baseURL = m_server->baseURL();
    report.screenshots = {shot("a.png", 10), shot("b.png", 20)};
    report.timeout = status ? report.timeout : std::chrono::milliseconds(1500);
    Submitter submitter;
    const std::optional<VeskFeedbackService::Result> result = submitter.run(report);
    QVERIFY(result.has_value());
    QCOMPARE(elsewhere.received, QByteArray());
    QCOMPARE(result->ok(), ok);
    if (ok)
        QCOMPARE(result->value(), receipt);
    else
        QCOMPARE(result->error(), status ? VeskFeedbackError::serverRejected(rejection)
                                         : VeskFeedbackError::networkFailure(rejection));
}

void TestVeskFeedbackSubmission::unreachableServerIsANetworkFailure()
{
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 port = closed.serverPort();
    closed.close();

    Report report;
    report.baseURL = QStringLiteral("http://127.0.0.1:%1").arg(port);
    Submitter submitter;
    const std::optional<VeskFeedbackService::Result> result = submitter.run(report);
    QVERIFY(result.has_value());
    QVERIFY(!result->ok());
    QCOMPARE(result->error().errorCase(), VeskFeedbackError::Case::networkFailure);
    QVERIFY(!result->error().text().isEmpty());
    QCOMPARE(result->error().errorDescription(VeskLanguage::en),
             QStringLiteral("Could not reach quarnell.com (") + result->error().text() +
                 QStringLiteral("). You can open the feedback page in your browser instead."));
}

void TestVeskFeedbackSubmission::contextGoneMeansNoCompletion()
{
    QNetworkAccessManager session;
    session.setProxy(QNetworkProxy::NoProxy);
    int completions = 0;
    {
        QObject context;
        VeskFeedbackService::submit(QStringLiteral("VeskZul"), VeskAppVersion(), VeskFeedbackKind::bug,
                                    QStringLiteral("a@b.co"), {}, {}, QStringLiteral("Long enough message."), {},
                                    VeskLanguage::en, m_server->baseURL(), session, &context,
                                    [&](const VeskFeedbackService::Result &) { ++completions; });
        VeskFeedbackService::submit(QStringLiteral("VeskZul"), VeskAppVersion(), VeskFeedbackKind::bug,
                                    QStringLiteral("bad"), {}, {}, {}, {}, VeskLanguage::en, m_server->baseURL(),
                                    session, &context, [&](const VeskFeedbackService::Result &) { ++completions; });
    }
    QTest::qWait(300);
    QCOMPARE(completions, 0);
}

void TestVeskFeedbackSubmission::clipboardImageBecomesScreenshot_data()
{
    QTest::addColumn<QString>("offer"); // png bytes, image, text or nothing
    QTest::newRow("PNG data") << "png";
    QTest::newRow("an image in another form") << "image";
    QTest::newRow("text only") << "text";
    QTest::newRow("empty PNG data and no image") << "empty";
}

void TestVeskFeedbackSubmission::clipboardImageBecomesScreenshot()
{
    QFETCH(QString, offer);

    QImage image(7, 5, QImage::Format_ARGB32);
    image.fill(QColor(10, 200, 30));
    QByteArray png;
    QBuffer buffer(&png);
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QVERIFY(image.save(&buffer, "PNG"));

    auto *mime = new QMimeData;
    if (offer == u"png")
        mime->setData(QStringLiteral("image/png"), png);
    else if (offer == u"image")
        mime->setImageData(image);
    else if (offer == u"text")
        mime->setText(QStringLiteral("not a picture"));
    else
        mime->setData(QStringLiteral("image/png"), QByteArray());
    QGuiApplication::clipboard()->setMimeData(mime);

    const qint64 before = QDateTime::currentSecsSinceEpoch();
    const std::optional<VeskFeedbackScreenshot> found = VeskFeedbackService::readScreenshotFromPasteboard();
    const qint64 after = QDateTime::currentSecsSinceEpoch();
    if (offer == u"text" || offer == u"empty") {
        QVERIFY(!found.has_value());
        return;
    }
    QVERIFY(found.has_value());
    QCOMPARE(found->mimeType, QStringLiteral("image/png"));
    static const QRegularExpression name(QStringLiteral("^clipboard-(\\d+)\\.png$"));
    const QRegularExpressionMatch match = name.match(found->filename);
    QVERIFY2(match.hasMatch(), qPrintable(found->filename));
    QVERIFY(match.captured(1).toLongLong() >= before && match.captured(1).toLongLong() <= after);
    QVERIFY(!found->id.isNull());
    if (offer == u"png")
        QCOMPARE(found->data, png);
    const QImage decoded = QImage::fromData(found->data, "PNG");
    QCOMPARE(decoded.size(), image.size());
    QCOMPARE(decoded.pixelColor(3, 2), QColor(10, 200, 30));
}

QTEST_MAIN(TestVeskFeedbackSubmission)
#include "tst_veskfeedbacksubmission.moc"
