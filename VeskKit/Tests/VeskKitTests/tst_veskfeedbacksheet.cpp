#include "VeskKit/Cloud/VeskFeedbackError.h"
#include "VeskKit/Cloud/VeskFeedbackService.h"
#include "VeskKit/Design/VeskBrandMark.h"
#include "VeskKit/Design/VeskFeedbackSheet.h"
#include "VeskKit/Utilities/VeskAppLogger.h"
#include "helper_feedbackserver.h"
#include "helper_recordingurlopener.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QNetworkProxy>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

#include <memory>

namespace {

const VeskAppVersion kVersion(QStringLiteral("2.3.1"), QStringLiteral("77"));

// Runs pending deletions, so widgets taken out of the sheet are gone.
void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QByteArray pngBytes(int width = 40, int height = 30)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(200, 80, 40));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QStringList visibleTexts(const QWidget &root, const QString &name)
{
    QStringList texts;
    for (const QLabel *label : root.findChildren<QLabel *>(name)) {
        if (label->isVisibleTo(&root))
            texts.append(label->text());
    }
    return texts;
}

int visibleCount(const QWidget &root, const QString &name)
{
    int count = 0;
    for (const QWidget *widget : root.findChildren<QWidget *>(name))
        count += widget->isVisibleTo(&root) ? 1 : 0;
    return count;
}

} // namespace

class TestVeskFeedbackSheet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void refusedSendKeepsEveryInput();
    void deliveredReportShowsTheReceipt_data();
    void deliveredReportShowsTheReceipt();
    void sendAnotherNoteKeepsKindAndSender();
    void closeControlsOnlyWithCloseAction_data();
    void closeControlsOnlyWithCloseAction();
    void layoutDirectionFollowsLanguage_data();
    void layoutDirectionFollowsLanguage();
    void kindTileChoosesThePageKind();

    void pasting_data();
    void pasting();
    void choosingFiles_data();
    void choosingFiles();
    void removingTiles();

private:
    VeskFeedbackSheet *makeSheet(VeskLanguage language = VeskLanguage::en, std::function<void()> onClose = {},
                                 const QString &appName = QStringLiteral("VeskZul"));
    QString writeFile(const QString &name, const QByteArray &bytes);

    QTemporaryDir m_home;
    std::unique_ptr<FeedbackServer> m_server;
    std::unique_ptr<VeskFeedbackSheet> m_sheet;
    int m_fileCount = 0;
};

void TestVeskFeedbackSheet::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("data"))));
    qunsetenv("QUARNELL_FEEDBACK_BASE_URL");
    // A proxy named by the environment must never see the local server.
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    VeskLanguage::setCurrent(VeskLanguage::en);
}

void TestVeskFeedbackSheet::init()
{
    m_server = std::make_unique<FeedbackServer>();
    QVERIFY(m_server->listen());
    QGuiApplication::clipboard()->clear();
}

void TestVeskFeedbackSheet::cleanup()
{
    m_sheet.reset();
    settle();
}

VeskFeedbackSheet *TestVeskFeedbackSheet::makeSheet(VeskLanguage language, std::function<void()> onClose,
                                                    const QString &appName)
{
    m_sheet = std::make_unique<VeskFeedbackSheet>(appName, kVersion, VeskProductPalette::deepViolet, language,
                                                  m_server->baseURL(), std::move(onClose));
    m_sheet->resize(620, 760);
    m_sheet->show();
    return m_sheet.get();
}

QString TestVeskFeedbackSheet::writeFile(const QString &name, const QByteArray &bytes)
{
    const QString dir = m_home.filePath(QStringLiteral("files%1").arg(++m_fileCount));
    QDir().mkpath(dir);
    QFile file(dir + u'/' + name);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(bytes);
    return file.fileName();
}

void TestVeskFeedbackSheet::refusedSendKeepsEveryInput()
{
    VeskFeedbackSheet *sheet = makeSheet();
    QTest::keyClicks(sheet->subjectField(), QStringLiteral("Gutter drifts"));
    QTest::keyClicks(sheet->messageEditor(), QStringLiteral("It drifts after a font change."));
    QTest::mouseClick(sheet->kindTile(VeskFeedbackKind::bug), Qt::LeftButton);

    QTest::mouseClick(sheet->sendButton(), Qt::LeftButton);
    // Busy at once: the button says so and cannot be pressed again.
    QVERIFY(sheet->isSubmitting());
    QVERIFY(!sheet->sendButton()->isEnabled());
    QCOMPARE(sheet->sendButton()->text(), QStringLiteral("Sending…"));
    QTest::mouseClick(sheet->sendButton(), Qt::LeftButton);

    QTRY_VERIFY(!sheet->isSubmitting());
    QCOMPARE(sheet->errorMessage(), std::optional<QString>(QStringLiteral("Please enter a valid email address.")));
    QCOMPARE(visibleTexts(*sheet, QStringLiteral("errorText")),
             QStringList{QStringLiteral("Please enter a valid email address.")});
    QVERIFY(sheet->sendButton()->isEnabled());
    QCOMPARE(sheet->sendButton()->text(), QStringLiteral("Send Feedback"));
    QCOMPARE(sheet->subject(), QStringLiteral("Gutter drifts"));
    QCOMPARE(sheet->messageEditor()->toPlainText(), QStringLiteral("It drifts after a font change."));
    QCOMPARE(sheet->kind(), VeskFeedbackKind::bug);
    QVERIFY(!sheet->receipt().has_value());
    QCOMPARE(m_server->requests.size(), 0);

    // The banner goes as soon as the next paste starts.
    QTest::mouseClick(sheet->pasteButton(), Qt::LeftButton);
    QVERIFY(!sheet->errorMessage().has_value());
    QCOMPARE(visibleCount(*sheet, QStringLiteral("errorBanner")), 0);
}

void TestVeskFeedbackSheet::deliveredReportShowsTheReceipt_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QStringList>("camera");
    QTest::addColumn<bool>("closedWhileSending");

    QTest::newRow("three attachments") << QByteArray(R"({"reference_code":"FB-9","attachments_count":3,"message":"<b>Thanks</b>"})")
                                       << "Reference: FB-9" << QStringList{QStringLiteral("📷 3")} << false;
    QTest::newRow("no attachments") << QByteArray(R"({"reference_code":"FB-10","attachments_count":0,"message":"<b>Thanks</b>"})")
                                    << "Reference: FB-10" << QStringList{} << false;
    QTest::newRow("sheet closed while sending") << QByteArray(R"({"reference_code":"FB-11"})") << "FB-11"
                                                << QStringList{} << true;
}

void TestVeskFeedbackSheet::deliveredReportShowsTheReceipt()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, reference);
    QFETCH(QStringList, camera);
    QFETCH(bool, closedWhileSending);

    m_server->body = reply;
    VeskFeedbackSheet *sheet = makeSheet(VeskLanguage::en, [] {});
    QTest::keyClicks(sheet->emailField(), QStringLiteral("ada@example.org"));
    QTest::keyClicks(sheet->messageEditor(), QStringLiteral("Results drift after a font change."));
    QTest::mouseClick(sheet->sendButton(), Qt::LeftButton);
    // Typed while the request runs: not part of it.
    QTest::keyClicks(sheet->messageEditor(), QStringLiteral(" And more."));
    if (closedWhileSending) {
        m_sheet.reset();
        // Still delivered, and what became of it is in the log.
        const std::shared_ptr<VeskAppLogger> log = VeskAppLogger::shared(QStringLiteral("VeskZul"));
        QTRY_VERIFY(log->recentEntries(1, VeskLogLevel::info).value(0).message.endsWith(reference));
        return;
    }

    QTRY_VERIFY(sheet->receipt().has_value());
    QCOMPARE(m_server->requests.size(), 1);
    QVERIFY(m_server->requests.constFirst().body.contains("\r\n\r\nResults drift after a font change.\r\n"));
    QVERIFY(!m_server->requests.constFirst().body.contains("And more."));

    QVERIFY(!sheet->isSubmitting());
    QCOMPARE(visibleCount(*sheet, QStringLiteral("sendButton")), 0);
    QCOMPARE(visibleTexts(*sheet, QStringLiteral("receiptMessage")), QStringList{QStringLiteral("<b>Thanks</b>")});
    QCOMPARE(visibleTexts(*sheet, QStringLiteral("receiptReference")), QStringList{reference});
    QCOMPARE(visibleTexts(*sheet, QStringLiteral("receiptAttachments")), camera);
    for (const QLabel *label : sheet->findChildren<QLabel *>())
        QVERIFY2(label->textFormat() == Qt::PlainText, qPrintable(label->objectName()));
    // The inputs stay as they were.
    QCOMPARE(sheet->email(), QStringLiteral("ada@example.org"));
}

void TestVeskFeedbackSheet::sendAnotherNoteKeepsKindAndSender()
{
    m_server->body = R"({"reference_code":"FB-1"})";
    VeskFeedbackSheet *sheet = makeSheet(VeskLanguage::tr);
    QTest::mouseClick(sheet->kindTile(VeskFeedbackKind::newApp), Qt::LeftButton);
    QTest::keyClicks(sheet->emailField(), QStringLiteral("ali@ornek.com"));
    QTest::keyClicks(sheet->nameField(), QStringLiteral("Ali"));
    QTest::keyClicks(sheet->subjectField(), QStringLiteral("Gelgit saati"));
    QTest::keyClicks(sheet->messageEditor(), QStringLiteral("Gelgit saatlerini gosteren bir program."));
    auto *mime = new QMimeData;
    mime->setData(QStringLiteral("image/png"), pngBytes());
    QGuiApplication::clipboard()->setMimeData(mime);
    QTest::mouseClick(sheet->pasteButton(), Qt::LeftButton);
    QCOMPARE(sheet->screenshots().size(), 1);
    QTest::mouseClick(sheet->sendButton(), Qt::LeftButton);
    QTRY_VERIFY(sheet->receipt().has_value());
    QCOMPARE(sheet->receipt()->attachmentsCount, 1);
    QCOMPARE(visibleTexts(*sheet, QStringLiteral("receiptReference")), QStringList{QStringLiteral("Takip Kodu: FB-1")});
    QVERIFY(!sheet->doneButton());

    QTest::mouseClick(sheet->sendAnotherButton(), Qt::LeftButton);
    settle();

    QVERIFY(!sheet->receipt().has_value());
    QCOMPARE(visibleCount(*sheet, QStringLiteral("receiptReference")), 0);
    QCOMPARE(visibleCount(*sheet, QStringLiteral("sendButton")), 1);
    QCOMPARE(sheet->subject(), QString());
    QCOMPARE(sheet->subjectField()->text(), QString());
    QCOMPARE(sheet->message(), QString());
    QVERIFY(sheet->screenshots().isEmpty());
    QCOMPARE(visibleCount(*sheet, QStringLiteral("thumbnailStrip")), 0);
    QCOMPARE(sheet->kind(), VeskFeedbackKind::newApp);
    QCOMPARE(sheet->email(), QStringLiteral("ali@ornek.com"));
    QCOMPARE(sheet->senderName(), QStringLiteral("Ali"));
    QCOMPARE(sheet->statusHint(), std::optional<QString>(QStringLiteral("Panodaki ekran görüntüsü eklendi.")));
}

void TestVeskFeedbackSheet::closeControlsOnlyWithCloseAction_data()
{
    QTest::addColumn<bool>("withClose");
    QTest::newRow("with close action") << true;
    QTest::newRow("without close action") << false;
}

void TestVeskFeedbackSheet::closeControlsOnlyWithCloseAction()
{
    QFETCH(bool, withClose);

    int closed = 0;
    std::function<void()> onClose;
    if (withClose)
        onClose = [&closed] { ++closed; };
    m_server->body = "{}";
    VeskFeedbackSheet *sheet = makeSheet(VeskLanguage::en, onClose);
    QVERIFY(QTest::qWaitForWindowExposed(sheet));
    QCOMPARE(sheet->closeButton() != nullptr, withClose);

    sheet->activateWindow();
    sheet->subjectField()->setFocus();
    QTest::keyClick(sheet->subjectField(), Qt::Key_Escape);
    QCOMPARE(closed, withClose ? 1 : 0);

    QTest::keyClicks(sheet->emailField(), QStringLiteral("a@b.co"));
    QTest::keyClicks(sheet->messageEditor(), QStringLiteral("Long enough message."));
    QTest::mouseClick(sheet->sendButton(), Qt::LeftButton);
    QTRY_VERIFY(sheet->receipt().has_value());
    QCOMPARE(sheet->doneButton() != nullptr, withClose);
    if (withClose) {
        QCOMPARE(sheet->doneButton()->text(), QStringLiteral("Done"));
        QTest::mouseClick(sheet->doneButton(), Qt::LeftButton);
        QTest::mouseClick(sheet->closeButton(), Qt::LeftButton);
        QCOMPARE(closed, 3);
    }
}

void TestVeskFeedbackSheet::layoutDirectionFollowsLanguage_data()
{
    QTest::addColumn<VeskLanguage>("language");
    QTest::addColumn<bool>("rightToLeft");
    QTest::newRow("Arabic") << VeskLanguage(VeskLanguage::ar) << true;
    QTest::newRow("Persian") << VeskLanguage(VeskLanguage::fa) << true;
    QTest::newRow("Hebrew") << VeskLanguage(VeskLanguage::he) << true;
    QTest::newRow("Turkish") << VeskLanguage(VeskLanguage::tr) << false;
}

void TestVeskFeedbackSheet::layoutDirectionFollowsLanguage()
{
    QFETCH(VeskLanguage, language);
    QFETCH(bool, rightToLeft);

    VeskFeedbackSheet *sheet = makeSheet(language);
    const Qt::LayoutDirection expected = rightToLeft ? Qt::RightToLeft : Qt::LeftToRight;
    QCOMPARE(sheet->layoutDirection(), expected);
    QCOMPARE(sheet->sendButton()->layoutDirection(), expected);
    // The send button sits at the far end of its row in the reading direction.
    const QPoint send = sheet->sendButton()->mapTo(sheet, QPoint(0, 0));
    const QPoint browser = sheet->openInBrowserButton()->mapTo(sheet, QPoint(0, 0));
    QCOMPARE(send.x() < browser.x(), rightToLeft);
}

void TestVeskFeedbackSheet::kindTileChoosesThePageKind()
{
    VeskFeedbackSheet *sheet = makeSheet(VeskLanguage::en, {}, QStringLiteral("Some Tool"));
    auto opener = std::make_shared<RecordingUrlOpener>();
    sheet->setUrlOpener(opener);
    QCOMPARE(sheet->kind(), VeskFeedbackKind::feature);
    QTest::mouseClick(sheet->kindTile(VeskFeedbackKind::general), Qt::LeftButton);
    QCOMPARE(sheet->kind(), VeskFeedbackKind::general);
    for (VeskFeedbackKind kind : kVeskFeedbackKindAllCases)
        QCOMPARE(sheet->kindTile(kind)->isChecked(), kind == VeskFeedbackKind::general);

    QTest::keyClicks(sheet->messageEditor(), QStringLiteral("Not carried to the page"));
    QTest::mouseClick(sheet->openInBrowserButton(), Qt::LeftButton);
    QCOMPARE(opener->opened.size(), 1);
    const QUrl page = opener->opened.constFirst();
    QCOMPARE(page.adjusted(QUrl::RemoveQuery).toString(), m_server->baseURL() + QStringLiteral("/en/feedback"));
    QCOMPARE(QUrlQuery(page).queryItemValue(QStringLiteral("type")), QStringLiteral("general"));
    QCOMPARE(QUrlQuery(page).queryItemValue(QStringLiteral("app")), QStringLiteral("sometool"));
    QVERIFY(!page.toString().contains(QStringLiteral("carried")));
    // A name the suite does not know shows the running application's mark.
    const QList<VeskBrandMark *> marks = sheet->findChildren<VeskBrandMark *>();
    QCOMPARE(marks.size(), 1);
    QCOMPARE(marks.constFirst()->style(), VeskBrandMarkStyle::currentApp());
    QCOMPARE(marks.constFirst()->size(), QSize(28, 28));
}

void TestVeskFeedbackSheet::pasting_data()
{
    QTest::addColumn<int>("attached");      // screenshots already there
    QTest::addColumn<QString>("clipboard"); // png, large, nothing
    QTest::addColumn<int>("afterwards");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("hint");

    const QString pasted = QStringLiteral("Screenshot pasted from clipboard.");
    const QString none = QStringLiteral("No image found on the clipboard right now. Take a screenshot first, then "
                                        "click Paste.");
    QTest::newRow("image pasted") << 0 << "png" << 1 << "" << pasted;
    QTest::newRow("empty clipboard") << 2 << "nothing" << 2 << "" << none;
    QTest::newRow("five already") << 5 << "png" << 5 << "You can attach up to 5 screenshots." << "";
    QTest::newRow("image over the limit") << 0 << "large" << 0 << "Each screenshot must be smaller than 5 MB." << "";
}

void TestVeskFeedbackSheet::pasting()
{
    QFETCH(int, attached);
    QFETCH(QString, clipboard);
    QFETCH(int, afterwards);
    QFETCH(QString, error);
    QFETCH(QString, hint);

    VeskFeedbackSheet *sheet = makeSheet();
    QStringList files;
    for (int i = 0; i < attached; ++i)
        files.append(writeFile(QStringLiteral("a%1.png").arg(i), pngBytes()));
    sheet->setScreenshotChooser([files] { return files; });
    if (attached > 0)
        QTest::mouseClick(sheet->chooseButton(), Qt::LeftButton);
    QCOMPARE(sheet->screenshots().size(), attached);

    if (clipboard == u"png") {
        auto *mime = new QMimeData;
        mime->setData(QStringLiteral("image/png"), pngBytes());
        QGuiApplication::clipboard()->setMimeData(mime);
    } else if (clipboard == u"large") {
        auto *mime = new QMimeData;
        mime->setData(QStringLiteral("image/png"), QByteArray(VeskFeedbackService::maxScreenshotBytes + 1, 'p'));
        QGuiApplication::clipboard()->setMimeData(mime);
    }
    QTest::mouseClick(sheet->pasteButton(), Qt::LeftButton);
    settle();

    QCOMPARE(sheet->screenshots().size(), afterwards);
    QCOMPARE(sheet->errorMessage().value_or(QString()), error);
    QCOMPARE(sheet->statusHint().value_or(QString()), hint);
    QCOMPARE(visibleTexts(*sheet, QStringLiteral("statusHint")), hint.isEmpty() ? QStringList{} : QStringList{hint});
    QCOMPARE(visibleCount(*sheet, QStringLiteral("screenshotTile")), afterwards);
    if (clipboard == u"png" && afterwards > attached) {
        QCOMPARE(sheet->screenshots().constLast().mimeType, QStringLiteral("image/png"));
        QCOMPARE(visibleCount(*sheet, QStringLiteral("screenshotPreview")), afterwards);
    }
}

void TestVeskFeedbackSheet::choosingFiles_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<int>>("sizes"); // -1: a valid PNG; -2: no file at all
    QTest::addColumn<QStringList>("attachedNames");
    QTest::addColumn<QStringList>("mimeTypes");
    QTest::addColumn<QString>("error");

    const QString tooMany = QStringLiteral("You can attach up to 5 screenshots.");
    const QString tooLarge = QStringLiteral("Each screenshot must be smaller than 5 MB.");
    QStringList seven;
    for (int i = 1; i <= 7; ++i)
        seven.append(QStringLiteral("s%1.png").arg(i));
    QTest::newRow("seven files: five taken")
        << seven << QList<int>{-1, -1, -1, -1, -1, -1, -1} << seven.mid(0, 5)
        << QStringList(5, QStringLiteral("image/png")) << tooMany;
    QTest::newRow("exactly the limit, then one byte over, then more")
        << QStringList{"exact.png", "over.png", "after.gif"} << QList<int>{5'242'880, 5'242'881, 10}
        << QStringList{"exact.png", "after.gif"} << QStringList{"image/png", "image/gif"} << tooLarge;
    QTest::newRow("types by extension")
        << QStringList{"A.JPG", "b.jpeg", "c.WebP", "d.tiff", "e"} << QList<int>{-1, 5, 5, 5, 5}
        << QStringList{"A.JPG", "b.jpeg", "c.WebP", "d.tiff", "e"}
        << QStringList{"image/jpeg", "image/jpeg", "image/webp", "image/png", "image/png"} << "";
    QTest::newRow("missing and empty files skipped silently")
        << QStringList{"gone.png", "empty.png", "ok.png"} << QList<int>{-2, 0, -1} << QStringList{"ok.png"}
        << QStringList{"image/png"} << "";
    QTest::newRow("cancelled") << QStringList{} << QList<int>{} << QStringList{} << QStringList{} << "";
}

void TestVeskFeedbackSheet::choosingFiles()
{
    QFETCH(QStringList, names);
    QFETCH(QList<int>, sizes);
    QFETCH(QStringList, attachedNames);
    QFETCH(QStringList, mimeTypes);
    QFETCH(QString, error);

    QStringList paths;
    for (int i = 0; i < names.size(); ++i) {
        const int size = sizes.at(i);
        if (size == -2)
            paths.append(m_home.filePath(QStringLiteral("no-such-dir/") + names.at(i)));
        else
            paths.append(writeFile(names.at(i), size == -1 ? pngBytes() : QByteArray(size, 'z')));
    }
    VeskFeedbackSheet *sheet = makeSheet();
    sheet->setScreenshotChooser([paths] { return paths; });
    // An earlier banner is cleared by choosing.
    QTest::mouseClick(sheet->sendButton(), Qt::LeftButton);
    QTRY_VERIFY(sheet->errorMessage().has_value());

    QTest::mouseClick(sheet->chooseButton(), Qt::LeftButton);
    settle();

    QStringList attached;
    QStringList types;
    for (const VeskFeedbackScreenshot &screenshot : sheet->screenshots()) {
        attached.append(screenshot.filename);
        types.append(screenshot.mimeType);
    }
    QCOMPARE(attached, attachedNames);
    QCOMPARE(types, mimeTypes);
    QCOMPARE(sheet->errorMessage().value_or(QString()), error);
    QVERIFY(!sheet->statusHint().has_value());
    QCOMPARE(visibleCount(*sheet, QStringLiteral("thumbnailStrip")), attachedNames.isEmpty() ? 0 : 1);
    QCOMPARE(visibleCount(*sheet, QStringLiteral("screenshotTile")), int(attachedNames.size()));
}

void TestVeskFeedbackSheet::removingTiles()
{
    VeskFeedbackSheet *sheet = makeSheet();
    const QStringList paths = {writeFile(QStringLiteral("one.png"), pngBytes()),
                               writeFile(QStringLiteral("broken.png"), QByteArray("not an image")),
                               writeFile(QStringLiteral("three.png"), pngBytes(10, 10))};
    sheet->setScreenshotChooser([paths] { return paths; });
    QTest::mouseClick(sheet->chooseButton(), Qt::LeftButton);
    settle();
    QCOMPARE(visibleCount(*sheet, QStringLiteral("screenshotTile")), 3);
    // Undecodable bytes: the tile shows only its size row.
    QCOMPARE(visibleCount(*sheet, QStringLiteral("screenshotPreview")), 2);
    QCOMPARE(visibleTexts(*sheet, QStringLiteral("screenshotSize")).at(1), QStringLiteral("12 B"));

    auto removeAt = [&](int index) {
        QList<QAbstractButton *> buttons;
        for (QAbstractButton *button : sheet->findChildren<QAbstractButton *>(QStringLiteral("screenshotRemove")))
            if (button->isVisibleTo(sheet))
                buttons.append(button);
        std::sort(buttons.begin(), buttons.end(), [sheet](QAbstractButton *a, QAbstractButton *b) {
            return a->mapTo(sheet, QPoint()).x() < b->mapTo(sheet, QPoint()).x();
        });
        QTest::mouseClick(buttons.at(index), Qt::LeftButton);
        settle();
    };
    removeAt(1);
    QStringList left;
    for (const VeskFeedbackScreenshot &screenshot : sheet->screenshots())
        left.append(screenshot.filename);
    QCOMPARE(left, (QStringList{"one.png", "three.png"}));
    QCOMPARE(visibleCount(*sheet, QStringLiteral("screenshotTile")), 2);

    removeAt(0);
    removeAt(0);
    QVERIFY(sheet->screenshots().isEmpty());
    QCOMPARE(visibleCount(*sheet, QStringLiteral("thumbnailStrip")), 0);
}

QTEST_MAIN(TestVeskFeedbackSheet)
#include "tst_veskfeedbacksheet.moc"
