#include "VeskKit/Design/VeskLanguageEnvironment.h"
#include "VeskKit/Design/VeskLanguageMenuButton.h"
#include "VeskKit/Design/VeskLanguagePicker.h"
#include "VeskKit/Design/VeskLanguagePickerState.h"
#include "VeskKit/Localization/VeskLanguageNotifier.h"
#include "VeskKit/Localization/VeskUserDefaults.h"

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void setSystemLanguages(const QMap<QString, QString> &variables)
{
    for (const char *name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
        qunsetenv(name);
    for (auto it = variables.cbegin(); it != variables.cend(); ++it)
        qputenv(it.key().toLatin1().constData(), it.value().toUtf8());
}

void storePreference(const QVariant &value)
{
    QSettings settings(VeskUserDefaults::filePath(), QSettings::IniFormat);
    if (value.isValid())
        settings.setValue(VeskLanguage::defaultsKey, value);
    else
        settings.remove(VeskLanguage::defaultsKey);
    settings.sync();
}

QString stored()
{
    return VeskUserDefaults::string(VeskLanguage::defaultsKey).value_or(QStringLiteral("<missing>"));
}

QAction *menuAction(QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

} // namespace

class TestVeskLanguagePicker : public QObject {
    Q_OBJECT
private slots:
    void init();

    void followsSystemWhenStoredSaysSo_data();
    void followsSystemWhenStoredSaysSo();
    void choosingSystemReportsResolvedWithoutStoring_data();
    void choosingSystemReportsResolvedWithoutStoring();
    void choosingLanguageStoresAndReports();
    void itemsAndTexts();
    void narrowPickerWithoutTitle();
    void showingPicksUpPreferenceChangedElsewhere();
    void layoutDirections_data();
    void layoutDirections();
    void menuButtonTicksAndRepeats();

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

void TestVeskLanguagePicker::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    qputenv("HOME", m_home->path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (m_home->path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (m_home->path() + "/data").toUtf8());
    setSystemLanguages({{"LANG", "de_DE.UTF-8"}});
}

void TestVeskLanguagePicker::followsSystemWhenStoredSaysSo_data()
{
    QTest::addColumn<QVariant>("storedValue");
    QTest::addColumn<bool>("following");
    QTest::newRow("system") << QVariant("system") << true;
    QTest::newRow("capitals") << QVariant("SYSTEM") << true;
    QTest::newRow("mixed case") << QVariant("SyStEm") << true;
    QTest::newRow("missing") << QVariant() << true;
    QTest::newRow("blank") << QVariant("   ") << true;
    QTest::newRow("a language") << QVariant("tr") << false;
    QTest::newRow("unknown code") << QVariant("xx") << false;
}

void TestVeskLanguagePicker::followsSystemWhenStoredSaysSo()
{
    QFETCH(QVariant, storedValue);
    QFETCH(bool, following);
    storePreference(storedValue);
    VeskLanguagePickerState state;
    QCOMPARE(state.isFollowingSystem(), following);
    VeskLanguagePicker picker(std::nullopt, VeskLanguage::en, false, {});
    QCOMPARE(picker.selection().isSystem(), following);
}

void TestVeskLanguagePicker::choosingSystemReportsResolvedWithoutStoring_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("expected");
    QTest::newRow("supported system language") << "de_DE.UTF-8" << "de";
    QTest::newRow("unsupported system language") << "xx_YY.UTF-8" << "en";
}

void TestVeskLanguagePicker::choosingSystemReportsResolvedWithoutStoring()
{
    QFETCH(QString, lang);
    QFETCH(QString, expected);
    setSystemLanguages({{"LANG", lang}});
    storePreference("tr");

    QStringList reported;
    // The owner applies what it is given, as the settings page does.
    VeskLanguagePicker picker(std::nullopt, VeskLanguage::tr, false, [&](VeskLanguage language) {
        reported.append(language.rawValue());
        VeskLanguage::setCurrent(language);
    });
    QSignalSpy announced(VeskLanguageNotifier::shared(), &VeskLanguageNotifier::veskLanguageDidChange);
    QVERIFY(!picker.selection().isSystem());

    const int systemIndex = picker.comboBox()->findData(QStringLiteral("system"));
    QCOMPARE(systemIndex, 0);
    emit picker.comboBox()->activated(systemIndex);

    QCOMPARE(reported, QStringList{expected});
    QCOMPARE(stored(), QStringLiteral("system"));
    QVERIFY(announced.size() >= 1);
    QCOMPARE(announced.last().at(0).value<VeskLanguage>().rawValue(), expected);
    // The system item is shown as chosen, not the resolved language's own item.
    QVERIFY(picker.selection().isSystem());
    QCOMPARE(picker.comboBox()->currentIndex(), 0);
    // Storing works again afterwards.
    VeskLanguage::setCurrent(VeskLanguage::fr);
    QCOMPARE(stored(), QStringLiteral("fr"));
}

void TestVeskLanguagePicker::choosingLanguageStoresAndReports()
{
    storePreference("system");
    QList<VeskLanguage> reported;
    VeskLanguagePicker picker(std::nullopt, VeskLanguage::en, false,
                              [&](VeskLanguage language) { reported.append(language); });
    QVERIFY(picker.selection().isSystem());
    const int index = picker.comboBox()->findData(QStringLiteral("pt-PT"));
    QVERIFY(index > 1);
    emit picker.comboBox()->activated(index);
    QCOMPARE(reported.size(), 1);
    QCOMPARE(reported.first(), VeskLanguage(VeskLanguage::ptPT));
    QCOMPARE(stored(), QStringLiteral("pt-PT"));
    QVERIFY(!picker.uiState()->isFollowingSystem());
    // The owner passes the new language back; the combo then shows it.
    picker.setLanguage(VeskLanguage::ptPT);
    QCOMPARE(picker.comboBox()->currentData().toString(), QStringLiteral("pt-PT"));
}

void TestVeskLanguagePicker::itemsAndTexts()
{
    VeskLanguagePicker turkish(std::nullopt, VeskLanguage::tr, true, {});
    QCOMPARE(turkish.title(), QStringLiteral("Dil"));
    QCOMPARE(turkish.titleLabel()->text(), QStringLiteral("Dil"));
    const QString systemItem = turkish.comboBox()->itemText(0);
    QVERIFY2(systemItem.startsWith(QStringLiteral("Sistem Dili")), qPrintable(systemItem));
    QVERIFY2(systemItem.endsWith(QStringLiteral(" (Deutsch)")), qPrintable(systemItem));

    // System item, divider, then every language by English name.
    QComboBox *combo = turkish.comboBox();
    QCOMPARE(combo->count(), 2 + VeskLanguage::caseCount);
    const QList<VeskLanguage> sorted = VeskLanguage::sortedCases();
    for (int i = 0; i < sorted.size(); ++i) {
        QCOMPARE(combo->itemData(i + 2).toString(), sorted[i].rawValue());
        QCOMPARE(combo->itemText(i + 2), sorted[i].displayName());
    }

    // The owner's language switch relabels in place.
    turkish.setLanguage(VeskLanguage::en);
    QCOMPARE(turkish.title(), QStringLiteral("Language"));
    QVERIFY(combo->itemText(0).startsWith(QStringLiteral("System Language (")));

    VeskLanguagePicker titled(QStringLiteral("Sprache"), VeskLanguage::en, true, {});
    QCOMPARE(titled.title(), QStringLiteral("Sprache"));
}

void TestVeskLanguagePicker::narrowPickerWithoutTitle()
{
    VeskLanguagePicker picker(std::nullopt, VeskLanguage::en, false, {});
    picker.resize(900, 40);
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    QVERIFY(!picker.titleLabel()->isVisible());
    QVERIFY(picker.comboBox()->width() <= VeskLanguagePicker::maximumPickerWidth);
    QVERIFY(picker.comboBox()->width() >= VeskLanguagePicker::minimumPickerWidth);
    picker.resize(120, 40);
    QCoreApplication::processEvents();
    QVERIFY(picker.comboBox()->width() >= VeskLanguagePicker::minimumPickerWidth);
}

void TestVeskLanguagePicker::showingPicksUpPreferenceChangedElsewhere()
{
    storePreference("de");
    VeskLanguagePicker picker(std::nullopt, VeskLanguage::de, false, {});
    QVERIFY(!picker.selection().isSystem());
    storePreference("System");
    QVERIFY(!picker.selection().isSystem()); // not until it comes on screen
    picker.show();
    QVERIFY(picker.selection().isSystem());
    QCOMPARE(picker.comboBox()->currentIndex(), 0);
}

void TestVeskLanguagePicker::layoutDirections_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("rightToLeft");
    QTest::newRow("Arabic") << "ar" << true;
    QTest::newRow("Persian") << "fa" << true;
    QTest::newRow("Hebrew") << "he" << true;
    QTest::newRow("Turkish") << "tr" << false;
    QTest::newRow("English") << "en" << false;
    QTest::newRow("Chinese (Traditional)") << "zh-Hant" << false;
}

void TestVeskLanguagePicker::layoutDirections()
{
    QFETCH(QString, code);
    QFETCH(bool, rightToLeft);
    const VeskLanguage language = *VeskLanguage::fromRawValue(code);
    QCOMPARE(veskLayoutDirection(language) == Qt::RightToLeft, rightToLeft);
    QWidget widget;
    veskContentLayoutDirection(&widget, language);
    QCOMPARE(widget.layoutDirection() == Qt::RightToLeft, rightToLeft);
    veskLocaleEnvironment(&widget, language);
    QCOMPARE(widget.locale(), language.locale());
}

void TestVeskLanguagePicker::menuButtonTicksAndRepeats()
{
    storePreference("tr");
    QList<VeskLanguage> reported;
    VeskLanguageMenuButton button(VeskLanguage::tr, [&](VeskLanguage language) { reported.append(language); });
    QCOMPARE(button.toolTip(), QStringLiteral("Dil"));
    button.rebuildMenu();
    QMenu *menu = button.menu();
    QAction *turkish = menuAction(menu, VeskLanguage(VeskLanguage::tr).displayName());
    QAction *system = menu->actions().first();
    QVERIFY(turkish && turkish->isChecked());
    QVERIFY(!system->isChecked());
    QVERIFY(menu->actions().at(1)->isSeparator());

    // The ticked language again: stored, announced and reported once more.
    storePreference("system");
    QSignalSpy announced(VeskLanguageNotifier::shared(), &VeskLanguageNotifier::veskLanguageDidChange);
    turkish->trigger();
    QCOMPARE(reported.size(), 1);
    QCOMPARE(announced.size(), 1);
    QCOMPARE(stored(), QStringLiteral("tr"));

    button.rebuildMenu();
    menu->actions().first()->trigger();
    QCOMPARE(reported.size(), 2);
    QCOMPARE(reported.last().rawValue(), QStringLiteral("de"));
    QCOMPARE(stored(), QStringLiteral("system"));
    button.rebuildMenu();
    QVERIFY(menu->actions().first()->isChecked());
    QVERIFY(!menuAction(menu, VeskLanguage(VeskLanguage::tr).displayName())->isChecked());
}

QTEST_MAIN(TestVeskLanguagePicker)
#include "tst_vesklanguagepicker.moc"
