#include "StudioTestSupport.h"

#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskLanguagePicker.h"
#include "VeskKit/Design/VeskWheelFocus.h"
#include "VeskKit/Localization/VeskUserDefaults.h"
#include "VeskKit/Utilities/VeskByteFormatter.h"
#include "Views/ZulChipButton.h"
#include "Views/ZulSettingsView.h"
#include "Views/ZulToggle.h"

#include <QComboBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>
#include <qpa/qwindowsysteminterface.h>

using namespace studiotest;

namespace {

QJsonObject configOnDisk(const Studio &studio)
{
    QFile file(studio.storage.configFileURL());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

void click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

} // namespace

class TestZulSettingsView : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void controlsReachTheConfigFile_data();
    void controlsReachTheConfigFile();
    void wheelScrollsThePageOverItsControls_data();
    void wheelScrollsThePageOverItsControls();
    void showingDoesNotWriteBack();
    void fontSizeLabelDropsFraction();
    void tidyStepperLabelAndBounds_data();
    void tidyStepperLabelAndBounds();
    void ratesStatusAndRefresh();
    void footprintIsFormatted();
    void languagePickerSetsLanguage();
    void everyLabelFollowsLanguage();
    void hotkeysSayWhereTheyWork_data();
    void hotkeysSayWhereTheyWork();

private:
    ZulStudioViewModel &viewModel() { return *m_studio->viewModel; }

    std::unique_ptr<PrivateHome> m_home;
    std::unique_ptr<Studio> m_studio;
    std::unique_ptr<ZulSettingsView> m_view;
};

void TestZulSettingsView::init()
{
    // As the application does before it shows anything.
    VeskWheelFocus::applyApplicationWide();
    qputenv("LANG", "en_US.UTF-8");
    m_home = std::make_unique<PrivateHome>();
    m_studio = std::make_unique<Studio>();
    m_studio->start().setLanguage(VeskLanguage::en);
    m_view = std::make_unique<ZulSettingsView>(viewModel(), QColor(0x7CA4FF));
    m_view->resize(900, 800);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
}

void TestZulSettingsView::cleanup()
{
    m_view.reset();
    m_studio.reset();
    m_home.reset();
}

void TestZulSettingsView::controlsReachTheConfigFile_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QJsonValue>("expected");

    QTest::newRow("pull handle off") << "drawer" << "edgeDrawerEnabled" << QJsonValue(false);
    QTest::newRow("left edge") << "left" << "edgeSide" << QJsonValue("left");
    QTest::newRow("default currency") << "currency EUR" << "defaultCurrency" << QJsonValue("EUR");
    QTest::newRow("font size") << "slider 18" << "fontSize" << QJsonValue(18);
    QTest::newRow("font size snaps to whole points") << "slider 16.4" << "fontSize" << QJsonValue(16);
    QTest::newRow("line numbers off") << "line numbers" << "showLineNumbers" << QJsonValue(false);
    QTest::newRow("result gutter off") << "gutter" << "showCalculationGutter" << QJsonValue(false);
    QTest::newRow("tidy one step up") << "stepper up" << "autoTidyEphemeralHours" << QJsonValue(30);
    QTest::newRow("tidy one step down") << "stepper down" << "autoTidyEphemeralHours" << QJsonValue(18);
}

void TestZulSettingsView::controlsReachTheConfigFile()
{
    QFETCH(QString, control);
    QFETCH(QString, key);
    QFETCH(QJsonValue, expected);

    if (control == "drawer")
        click(m_view->edgeDrawerToggle());
    else if (control == "left")
        click(m_view->leftEdgeButton());
    else if (control == "currency EUR") {
        QComboBox *combo = m_view->currencyPicker();
        emit combo->activated(combo->findData("EUR"));
    } else if (control.startsWith("slider ")) {
        const double points = control.mid(7).toDouble();
        m_view->fontSizeSlider()->setValue(int(points * ZulSettingsView::sliderScale));
    } else if (control == "line numbers")
        click(m_view->lineNumbersToggle());
    else if (control == "gutter")
        click(m_view->resultGutterToggle());
    else if (control == "stepper up")
        m_view->tidyStepper()->stepUp();
    else if (control == "stepper down")
        m_view->tidyStepper()->stepDown();

    const QJsonObject onDisk = configOnDisk(*m_studio);
    QVERIFY2(onDisk.contains(key), qPrintable(QJsonDocument(onDisk).toJson()));
    QCOMPARE(onDisk.value(key), expected);
    // The control shows what was stored, read back from the view model.
    const ZulConfig &config = viewModel().config();
    QCOMPARE(m_view->edgeDrawerToggle()->isChecked(), config.edgeDrawerEnabled);
    QCOMPARE(m_view->leftEdgeButton()->isSelected(), config.edgeSide == ZulEdgeSide::left);
    QCOMPARE(m_view->currencyPicker()->currentText(), config.defaultCurrency);
    QCOMPARE(m_view->fontSizeSlider()->value(), int(config.fontSize * ZulSettingsView::sliderScale));
    QCOMPARE(m_view->tidyStepper()->value(), int(config.autoTidyEphemeralHours));
}

void TestZulSettingsView::wheelScrollsThePageOverItsControls_data()
{
    QTest::addColumn<int>("control"); // currency, font size, auto-tidy, language
    QTest::addColumn<bool>("focused");
    QTest::newRow("currency picker") << 0 << false;
    QTest::newRow("font size slider") << 1 << false;
    QTest::newRow("auto-tidy stepper") << 2 << false;
    QTest::newRow("language picker") << 3 << false;
    QTest::newRow("a stepper with the keyboard takes the wheel") << 2 << true;
}

void TestZulSettingsView::wheelScrollsThePageOverItsControls()
{
    QFETCH(int, control);
    QFETCH(bool, focused);
    QWidget *target = QList<QWidget *>{m_view->currencyPicker(), m_view->fontSizeSlider(), m_view->tidyStepper(),
                                       m_view->languagePicker()->comboBox()}[control];
    const auto value = [target] { return target->property(qobject_cast<QComboBox *>(target) ? "currentIndex" : "value"); };
    m_view->resize(900, 320);
    m_view->ensureWidgetVisible(target, 0, 120);
    if (focused) {
        QVERIFY(QTest::qWaitForWindowActive(m_view.get()));
        target->setFocus();
    }
    const QJsonObject stored = configOnDisk(*m_studio);
    const QVariant before = value();
    const int scrolled = m_view->verticalScrollBar()->value();
    const QPoint at = target->mapTo(m_view.get(), target->rect().center());
    QWindow *window = m_view->windowHandle();
    QWindowSystemInterface::handleWheelEvent(window, at, window->mapToGlobal(at), QPoint(),
                                             QPoint(0, scrolled < m_view->verticalScrollBar()->maximum() ? -120 : 120));
    QWindowSystemInterface::flushWindowSystemEvents();
    QCOMPARE(value() != before, focused);
    QCOMPARE(m_view->verticalScrollBar()->value() != scrolled, !focused);
    QCOMPARE(configOnDisk(*m_studio) != stored, focused);
}

void TestZulSettingsView::showingDoesNotWriteBack()
{
    QSignalSpy configWrites(&viewModel(), &ZulStudioViewModel::configChanged);
    QSignalSpy loginWrites(&viewModel(), &ZulStudioViewModel::launchAtLoginChanged);
    viewModel().updateConfig([](ZulConfig &config) {
        config.edgeDrawerEnabled = false;
        config.edgeSide = ZulEdgeSide::left;
        config.defaultCurrency = "JPY";
        config.fontSize = 20;
        config.showLineNumbers = false;
        config.showCalculationGutter = false;
        config.autoTidyEphemeralHours = 48;
    });
    QCOMPARE(configWrites.size(), 1);
    QVERIFY(!m_view->edgeDrawerToggle()->isChecked());
    QVERIFY(m_view->leftEdgeButton()->isSelected());
    QCOMPARE(m_view->currencyPicker()->currentText(), QString("JPY"));
    QCOMPARE(m_view->fontSizeSlider()->value(), 200);
    QVERIFY(!m_view->lineNumbersToggle()->isChecked());
    QVERIFY(!m_view->resultGutterToggle()->isChecked());
    QCOMPARE(m_view->tidyStepper()->value(), 48);
    QCOMPARE(loginWrites.size(), 0);
}

void TestZulSettingsView::fontSizeLabelDropsFraction()
{
    viewModel().updateConfig([](ZulConfig &config) { config.fontSize = 13.5; });
    QCOMPARE(m_view->fontSizeLabel()->text(), QString("Editor Font Size: 13 pt"));
    QCOMPARE(m_view->fontSizeSlider()->value(), 135);
    QCOMPARE(viewModel().config().fontSize, 13.5);
    QCOMPARE(m_view->fontSizeSlider()->minimum(), 110);
    QCOMPARE(m_view->fontSizeSlider()->maximum(), 220);
}

void TestZulSettingsView::tidyStepperLabelAndBounds_data()
{
    QTest::addColumn<int>("hours");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("turkish");
    QTest::newRow("off") << 0 << "Off" << "Kapalı";
    QTest::newRow("six") << 6 << "6h" << "6h";
    QTest::newRow("a week") << 168 << "168h" << "168h";
}

void TestZulSettingsView::tidyStepperLabelAndBounds()
{
    QFETCH(int, hours);
    QFETCH(QString, english);
    QFETCH(QString, turkish);
    viewModel().updateConfig([hours](ZulConfig &config) { config.autoTidyEphemeralHours = hours; });
    QCOMPARE(m_view->tidyStepper()->text(), english);
    viewModel().setLanguage(VeskLanguage::tr);
    QCOMPARE(m_view->tidyStepper()->text(), turkish);
    // The ends hold.
    if (hours == 0)
        m_view->tidyStepper()->stepDown();
    if (hours == 168)
        m_view->tidyStepper()->stepUp();
    QCOMPARE(int(viewModel().config().autoTidyEphemeralHours), hours);
}

void TestZulSettingsView::ratesStatusAndRefresh()
{
    QCOMPARE(m_view->ratesStatusLabel()->text(), QString("Built-in offline FX rates active"));
    QVERIFY(!m_view->lastSyncedLabel()->isVisible());
    QCOMPARE(m_view->refreshRatesButton()->text(), QString("Refresh Live Rates"));

    click(m_view->refreshRatesButton());
    QCOMPARE(m_studio->rates->requests, 1);
    QCOMPARE(m_view->refreshRatesButton()->text(), QString("Refreshing..."));
    QVERIFY(!m_view->refreshRatesButton()->isEnabled());
    click(m_view->refreshRatesButton());
    QCOMPARE(m_studio->rates->requests, 1);

    CurrencyRateTable live = CurrencyRateTable::offlineDefaults();
    live.isLive = true;
    live.updatedAt = QDateTime(QDate(2026, 3, 2), QTime(10, 30), QTimeZone::utc());
    m_studio->rates->answer(live);
    QCOMPARE(m_view->ratesStatusLabel()->text(), QString("Live ECB / Frankfurter FX rates active"));
    QVERIFY(m_view->lastSyncedLabel()->isVisible());
    QVERIFY(m_view->lastSyncedLabel()->text().startsWith("Last synced: "));
    QVERIFY(m_view->refreshRatesButton()->isEnabled());
    QCOMPARE(m_view->refreshRatesButton()->text(), QString("Refresh Live Rates"));
}

void TestZulSettingsView::footprintIsFormatted()
{
    QCOMPARE(m_view->footprintLabel()->text(), VeskByteFormatter::format(viewModel().storageFootprintBytes()));
    viewModel().updateConfig([](ZulConfig &config) { config.defaultCurrency = "GBP"; });
    QTRY_COMPARE(m_view->footprintLabel()->text(), VeskByteFormatter::format(viewModel().storageFootprintBytes()));
    QVERIFY(viewModel().storageFootprintBytes() > 0);
}

void TestZulSettingsView::languagePickerSetsLanguage()
{
    VeskLanguagePicker *picker = m_view->languagePicker();
    QComboBox *combo = picker->comboBox();
    emit combo->activated(combo->findData("tr"));
    QCOMPARE(viewModel().language(), VeskLanguage(VeskLanguage::tr));
    QCOMPARE(VeskUserDefaults::string(VeskLanguage::defaultsKey), std::optional<QString>("tr"));
    QCOMPARE(picker->language(), VeskLanguage(VeskLanguage::tr));
    QCOMPARE(combo->currentData().toString(), QString("tr"));

    // Following the system: the system's language, the preference stays "system".
    emit combo->activated(0);
    QCOMPARE(viewModel().language(), VeskLanguage(VeskLanguage::en));
    QCOMPARE(VeskUserDefaults::string(VeskLanguage::defaultsKey), std::optional<QString>("system"));
    QCOMPARE(combo->currentIndex(), 0);
}

void TestZulSettingsView::everyLabelFollowsLanguage()
{
    QStringList english;
    for (QLabel *label : m_view->textLabels())
        english.append(label->text());
    viewModel().setLanguage(VeskLanguage::tr);
    QStringList unchanged;
    const QList<QLabel *> labels = m_view->textLabels();
    for (qsizetype i = 0; i < labels.size(); ++i)
        if (!english[i].isEmpty() && labels[i]->text() == english[i])
            unchanged.append(english[i]);
    // Only the byte count carries no words.
    QCOMPARE(unchanged, QStringList{m_view->footprintLabel()->text()});
    QCOMPARE(m_view->leftEdgeButton()->text(), QString("Sol Kenar"));
    QCOMPARE(m_view->launchAtLoginToggle()->text(), QString("Açılışta VeskZul'i Başlat"));
    QCOMPARE(m_view->tidyNowButton()->text(), QString("Şimdi Temizle"));
}

void TestZulSettingsView::hotkeysSayWhereTheyWork_data()
{
    QTest::addColumn<bool>("nativeWayland"); // the Turkish is checked with every label's
    QTest::newRow("X11: nothing to say") << false;
    QTest::newRow("native Wayland") << true;
}

void TestZulSettingsView::hotkeysSayWhereTheyWork()
{
    QFETCH(bool, nativeWayland);
    m_view.reset();
    m_studio->nativeWayland = nativeWayland;
    m_view = std::make_unique<ZulSettingsView>(m_studio->start(), QColor(0x7CA4FF));
    m_view->show();
    QCOMPARE(m_view->hotkeysScopeLabel()->isVisible() ? m_view->hotkeysScopeLabel()->text() : "",
             nativeWayland ? "In this session the shortcuts work only inside VeskZul: Wayland passes keys only to the "
                             "window in front." : "");
}

QTEST_MAIN(TestZulSettingsView)
#include "tst_zulsettingsview.moc"
