#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskFeedbackButton.h"
#include "VeskKit/Design/VeskVersionAndLogsView.h"
#include "VeskKit/Design/VeskVersionBadge.h"
#include "VeskKit/Design/VeskVersionBadgeButton.h"
#include "VeskKit/Utilities/VeskAppLogger.h"
#include "helper_recordingurlopener.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

#include <memory>

namespace {

const VeskAppVersion kVersion(QStringLiteral("3.1.4"), QStringLiteral("159"));

} // namespace

class TestVeskVersionBadgeButton : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void badgeAndHelpText_data();
    void badgeAndHelpText();
    void feedbackButtonFollowsOnlyWhenAsked_data();
    void feedbackButtonFollowsOnlyWhenAsked();
    void withoutLoggerReadsTheSharedLog();
    void sheetOpensAndCloses_data();
    void sheetOpensAndCloses();
    void everyOpeningStartsAFreshPanel();

private:
    QTemporaryDir m_home;
    std::unique_ptr<QWidget> m_window;
};

void TestVeskVersionBadgeButton::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("data"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
}

void TestVeskVersionBadgeButton::cleanup()
{
    m_window.reset();
}

void TestVeskVersionBadgeButton::badgeAndHelpText_data()
{
    QTest::addColumn<bool>("showBuild");
    QTest::addColumn<VeskLanguage>("language");
    QTest::addColumn<QString>("badge");
    QTest::addColumn<QString>("help");

    QTest::newRow("with build, English") << true << VeskLanguage(VeskLanguage::en) << "v3.1.4 (159)"
                                         << "Version v3.1.4 (159) — Click to view Release History & Logs";
    QTest::newRow("without build, help still names it")
        << false << VeskLanguage(VeskLanguage::en) << "v3.1.4"
        << "Version v3.1.4 (159) — Click to view Release History & Logs";
    QTest::newRow("Turkish") << false << VeskLanguage(VeskLanguage::tr) << "v3.1.4"
                             << "Sürüm v3.1.4 (159) — Sürüm Geçmişi ve Logları görmek için tıklayın";
}

void TestVeskVersionBadgeButton::badgeAndHelpText()
{
    QFETCH(bool, showBuild);
    QFETCH(VeskLanguage, language);
    QFETCH(QString, badge);
    QFETCH(QString, help);

    VeskVersionBadgeButton button(QStringLiteral("VeskZul"), kVersion, nullptr, VeskProductPalette::deepIndigo,
                                  language, showBuild, false);
    const QList<VeskVersionBadge *> badges = button.findChildren<VeskVersionBadge *>();
    QCOMPARE(badges.size(), 1);
    QCOMPARE(badges.constFirst()->text(), badge);
    QCOMPARE(button.badgeButton()->toolTip(), help);
}

void TestVeskVersionBadgeButton::feedbackButtonFollowsOnlyWhenAsked_data()
{
    QTest::addColumn<bool>("showFeedback");
    QTest::newRow("badge alone") << false;
    QTest::newRow("badge and feedback") << true;
}

void TestVeskVersionBadgeButton::feedbackButtonFollowsOnlyWhenAsked()
{
    QFETCH(bool, showFeedback);

    VeskVersionBadgeButton button(QStringLiteral("VeskZul"), kVersion, nullptr, VeskProductPalette::deepIndigo,
                                  VeskLanguage::en, true, showFeedback);
    auto opener = std::make_shared<RecordingUrlOpener>();
    button.setUrlOpener(opener);
    button.show();
    QCOMPARE(button.findChildren<VeskFeedbackButton *>().size(), showFeedback ? 1 : 0);
    if (!showFeedback) {
        QVERIFY(!button.feedbackButton());
        return;
    }
    VeskFeedbackButton *feedback = button.feedbackButton();
    QCOMPARE(feedback->buttonStyle(), VeskFeedbackButtonStyle::compactIcon);
    QVERIFY(!feedback->baseURL().has_value());
    QVERIFY(feedback->x() > button.badgeButton()->geometry().right());
    QTest::mouseClick(feedback->button(), Qt::LeftButton);
    QCOMPARE(opener->opened.size(), 1);
    QCOMPARE(QUrlQuery(opener->opened.constFirst()).queryItemValue(QStringLiteral("type")),
             QStringLiteral("feature"));
    QVERIFY(!button.isSheetPresented());
}

void TestVeskVersionBadgeButton::withoutLoggerReadsTheSharedLog()
{
    const QString name = QStringLiteral("Badge Shared");
    VeskVersionBadgeButton implicit(name, kVersion, nullptr, VeskProductPalette::deepIndigo, VeskLanguage::en, true,
                                    false);
    VeskVersionBadgeButton explicitly(name, kVersion, VeskAppLogger::shared(name), VeskProductPalette::deepIndigo,
                                      VeskLanguage::en, true, false);
    QCOMPARE(implicit.logger().get(), explicitly.logger().get());
    QVERIFY(implicit.logger()->currentLogFileURL().startsWith(m_home.filePath(QStringLiteral("data"))));
}

void TestVeskVersionBadgeButton::sheetOpensAndCloses_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("close button") << "close";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("dismissed by the window system") << "system";
}

void TestVeskVersionBadgeButton::sheetOpensAndCloses()
{
    QFETCH(QString, how);

    m_window = std::make_unique<QWidget>();
    auto *button = new VeskVersionBadgeButton(QStringLiteral("VeskZul"), kVersion, nullptr,
                                              VeskProductPalette::deepCobalt, VeskLanguage::en, false, true,
                                              m_window.get());
    m_window->show();
    QSignalSpy presented(button, &VeskVersionBadgeButton::sheetPresentedChanged);
    QVERIFY(!button->isSheetPresented());

    QTest::mouseClick(button->badgeButton(), Qt::LeftButton);

    QVERIFY(button->isSheetPresented());
    QCOMPARE(presented.size(), 1);
    QDialog *sheet = button->sheet();
    QVERIFY(sheet->isVisible());
    QCOMPARE(sheet->minimumSize(), QSize(720, 560));
    VeskVersionAndLogsView *panel = button->sheetPanel();
    QVERIFY(panel);
    QCOMPARE(panel->appName(), QStringLiteral("VeskZul"));
    QCOMPARE(panel->version(), kVersion);
    QCOMPARE(panel->logger().get(), button->logger().get());
    QCOMPARE(panel->productPalette(), VeskProductPalette::deepCobalt);
    QVERIFY(panel->closeButton());

    if (how == u"close") {
        QTest::mouseClick(panel->closeButton(), Qt::LeftButton);
    } else if (how == u"escape") {
        QVERIFY(QTest::qWaitForWindowExposed(sheet));
        sheet->activateWindow();
        panel->refreshButton()->setFocus();
        QTest::keyClick(panel->refreshButton(), Qt::Key_Escape);
    } else {
        sheet->close();
    }
    QVERIFY(!button->isSheetPresented());
    QCOMPARE(presented.size(), 2);
    QCOMPARE(presented.at(1).at(0).toBool(), false);
}

void TestVeskVersionBadgeButton::everyOpeningStartsAFreshPanel()
{
    m_window = std::make_unique<QWidget>();
    auto *button = new VeskVersionBadgeButton(QStringLiteral("VeskZul"), kVersion, nullptr,
                                              VeskProductPalette::deepCobalt, VeskLanguage::en, true, false,
                                              m_window.get());
    m_window->show();

    QTest::mouseClick(button->badgeButton(), Qt::LeftButton);
    QPointer<VeskVersionAndLogsView> first = button->sheetPanel();
    QTest::mouseClick(first->filterButton(VeskLogLevel::error), Qt::LeftButton);
    QTest::mouseClick(first->copyButton(), Qt::LeftButton);
    QCOMPARE(first->selectedMinLevel(), VeskLogLevel::error);
    QTest::mouseClick(first->closeButton(), Qt::LeftButton);
    QTRY_VERIFY(first.isNull());

    QTest::mouseClick(button->badgeButton(), Qt::LeftButton);
    VeskVersionAndLogsView *second = button->sheetPanel();
    QVERIFY(second);
    QCOMPARE(second->selectedMinLevel(), VeskLogLevel::debug);
    QVERIFY(!second->copiedToast());
    QCOMPARE(second->copyButton()->text(), QStringLiteral("Copy"));
}

QTEST_MAIN(TestVeskVersionBadgeButton)
#include "tst_veskversionbadgebutton.moc"
