#include "VeskKit/Design/VeskAppKitLauncher.h"
#include "VeskKit/Design/VeskAppMenuController.h"
#include "VeskKit/Localization/VeskText.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <QVBoxLayout>
#include <QtTest>

namespace {

QStringList entries(QMenu *menu)
{
    QStringList list;
    for (QAction *action : menu->actions())
        list << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return list;
}

QStringList shortcuts(QMenu *menu)
{
    QStringList list;
    for (QAction *action : menu->actions())
        if (!action->isSeparator())
            list << action->shortcut().toString(QKeySequence::PortableText);
    return list;
}

QMenu *topMenu(const VeskAppMenuController &controller, int index)
{
    return controller.mainMenu()->actions().at(index)->menu();
}

QAction *entry(QMenu *menu, const QString &title)
{
    for (QAction *action : menu->actions())
        if (action->text() == title)
            return action;
    return nullptr;
}

// Opening a menu: what the platform does before showing it.
void open(QMenu *menu)
{
    emit menu->aboutToShow();
}

VeskAppMenuController makeController(std::function<VeskLanguage()> language, bool withSettings,
                                     QList<VeskMenuElement> fileItems = {},
                                     std::optional<VeskEditMenuOverrides> overrides = std::nullopt,
                                     QList<VeskCustomMenu> custom = {}, const QString &closeKey = QStringLiteral("w"))
{
    return VeskAppMenuController(QStringLiteral("Trenik"), std::move(language), nullptr,
                                 withSettings ? std::function<void()>([] {}) : std::function<void()>(),
                                 std::move(fileItems), std::move(overrides), std::move(custom), closeKey,
                                 Qt::ControlModifier);
}

} // namespace

class TestVeskAppMenuController : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void applicationMenu_data();
    void applicationMenu();
    void topLevelMenus_data();
    void topLevelMenus();
    void closeWindowKey_data();
    void closeWindowKey();
    void editMenuEntries_data();
    void editMenuEntries();
    void titlesFollowTheLanguageAtNextOpening();
    void overridesYieldToFocusedTextField();
    void overridesRunWithoutTextFocus();
    void hiddenAndEditingChecks();
    void shortcutOfHiddenItemDoesNotRun();
    void languageSubmenuTicks();
    void reopeningDynamicSubmenuLeavesNoBindings();
    void feedbackEntryOpensThePage();

private:
    QTemporaryDir m_home;
};

void TestVeskAppMenuController::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("XDG_CONFIG_HOME", (m_home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (m_home.path() + QStringLiteral("/data")).toUtf8());
    // The system language the tests expect "follow the system" to resolve to.
    qunsetenv("LANGUAGE");
    qputenv("LC_ALL", "fr_FR.UTF-8");
}

void TestVeskAppMenuController::applicationMenu_data()
{
    QTest::addColumn<bool>("withSettings");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("with settings")
        << true
        << QStringList{"Settings…", "-", "Send Feedback & Ideas…", "-", "Hide Trenik", "Hide Others", "Show All",
                       "-", "Quit Trenik"};
    QTest::newRow("without settings: feedback first, no divider before it")
        << false
        << QStringList{"Send Feedback & Ideas…", "-", "Hide Trenik", "Hide Others", "Show All", "-", "Quit Trenik"};
}

void TestVeskAppMenuController::applicationMenu()
{
    QFETCH(bool, withSettings);
    QFETCH(QStringList, expected);
    VeskAppMenuController controller = makeController([] { return VeskLanguage::en; }, withSettings);
    QMenu *app = topMenu(controller, 0);
    QCOMPARE(app->title(), QStringLiteral("Trenik"));
    QCOMPARE(entries(app), expected);
    QStringList keys = shortcuts(app);
    QCOMPARE(keys.last(), QStringLiteral("Ctrl+Q"));
    QVERIFY(keys.contains(QStringLiteral("Ctrl+Alt+H")));
    QCOMPARE(keys.contains(QStringLiteral("Ctrl+,")), withSettings);
}

void TestVeskAppMenuController::topLevelMenus_data()
{
    QTest::addColumn<bool>("withFile");
    QTest::addColumn<bool>("launched");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("no file items: no File menu") << false << false << QStringList{"Trenik", "Edit", "Tools", "Window"};
    QTest::newRow("file items") << true << false << QStringList{"Trenik", "File", "Edit", "Tools", "Window"};
    QTest::newRow("kept by the launcher for its run")
        << true << true << QStringList{"Trenik", "File", "Edit", "Tools", "Window"};
}

void TestVeskAppMenuController::topLevelMenus()
{
    QFETCH(bool, withFile);
    QFETCH(bool, launched);
    QFETCH(QStringList, expected);
    QList<VeskMenuElement> file;
    if (withFile)
        file << VeskMenuElement::item([] { return QStringLiteral("Open…"); }, QStringLiteral("o"),
                                      Qt::ControlModifier, {}, {}, false, [] {});
    QList<VeskCustomMenu> custom{VeskCustomMenu(
        QStringLiteral("Tools"),
        {VeskMenuElement::item([] { return QStringLiteral("Scan"); }, QString(), Qt::ControlModifier, {}, {}, false,
                               [] {})})};
    VeskAppMenuController made = makeController([] { return VeskLanguage::en; }, false, file, std::nullopt, custom);
    const VeskAppMenuController *kept = &made;
    if (launched) {
        QObject delegate;
        bool ran = false; // the event loop, until the exit
        QTimer::singleShot(0, qApp, [&ran] { ran = true; QCoreApplication::exit(3); });
        QCOMPARE(VeskAppKitLauncher::run(QStringLiteral("Trenik"), &delegate, [] { return VeskLanguage::en; }, nullptr,
                                         nullptr, file, std::nullopt, custom, QStringLiteral("w"), Qt::ControlModifier),
                 3);
        QVERIFY(ran);
        QCOMPARE(VeskAppKitLauncher::delegate(), &delegate);
        kept = VeskAppKitLauncher::menuController();
    }
    const VeskAppMenuController &controller = *kept;
    QStringList titles;
    for (QAction *action : controller.mainMenu()->actions())
        titles << action->menu()->title();
    QCOMPARE(titles, expected);
    QCOMPARE(controller.mainMenu()->actions().last()->menu(), controller.windowsMenu());
    // An item without a key equivalent gets no modifiers either.
    QMenu *tools = topMenu(controller, int(expected.indexOf(QStringLiteral("Tools"))));
    QVERIFY(tools->actions().first()->shortcut().isEmpty());
}

void TestVeskAppMenuController::closeWindowKey_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("shortcut");
    QTest::newRow("w") << "w" << "Ctrl+W";
    QTest::newRow("empty: no key, no modifiers") << "" << "";
}

void TestVeskAppMenuController::closeWindowKey()
{
    QFETCH(QString, key);
    QFETCH(QString, shortcut);
    VeskAppMenuController controller = makeController([] { return VeskLanguage::en; }, false, {}, std::nullopt, {},
                                                      key);
    QCOMPARE(entries(controller.windowsMenu()),
             (QStringList{"Minimize", "Close Window", "-", "Bring All to Front"}));
    QCOMPARE(shortcuts(controller.windowsMenu()), (QStringList{"Ctrl+M", shortcut, ""}));
}

void TestVeskAppMenuController::editMenuEntries_data()
{
    QTest::addColumn<bool>("withDuplicate");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("keys");
    QTest::newRow("standard seven") << false
                                    << QStringList{"Undo", "Redo", "-", "Cut", "Copy", "Paste", "Select All"}
                                    << QStringList{"Ctrl+Z", "Ctrl+Shift+Z", "Ctrl+X", "Ctrl+C", "Ctrl+V", "Ctrl+A"};
    QTest::newRow("with a duplicate override")
        << true << QStringList{"Undo", "Redo", "-", "Cut", "Copy", "Paste", "Duplicate", "Select All"}
        << QStringList{"Ctrl+Z", "Ctrl+Shift+Z", "Ctrl+X", "Ctrl+C", "Ctrl+V", "Ctrl+D", "Ctrl+A"};
}

void TestVeskAppMenuController::editMenuEntries()
{
    QFETCH(bool, withDuplicate);
    QFETCH(QStringList, titles);
    QFETCH(QStringList, keys);
    std::optional<VeskEditMenuOverrides> overrides;
    if (withDuplicate)
        overrides = VeskEditMenuOverrides{{}, {}, {}, {}, {}, {}, {}, [] {}, {}};
    VeskAppMenuController controller = makeController([] { return VeskLanguage::en; }, false, {}, overrides);
    QMenu *edit = topMenu(controller, 1);
    QCOMPARE(edit->title(), QStringLiteral("Edit"));
    QCOMPARE(entries(edit), titles);
    QCOMPARE(shortcuts(edit), keys);
}

void TestVeskAppMenuController::titlesFollowTheLanguageAtNextOpening()
{
    VeskLanguage language = VeskLanguage::en;
    VeskAppMenuController controller = makeController([&] { return language; }, true);
    QMenu *app = topMenu(controller, 0);
    QMenu *edit = topMenu(controller, 1);
    language = VeskLanguage::tr;
    QCOMPARE(edit->title(), QStringLiteral("Edit")); // nothing changes until a menu opens
    open(edit);
    QCOMPARE(edit->title(), QStringLiteral("Düzen"));
    QCOMPARE(entries(edit), (QStringList{"Geri Al", "Yinele", "-", "Kes", "Kopyala", "Yapıştır", "Tümünü Seç"}));
    open(app);
    QCOMPARE(entries(app), (QStringList{"Ayarlar…", "-", "Geri Bildirim & Fikir Gönder…", "-",
                                        "Trenik Uygulamasını Gizle", "Diğerlerini Gizle", "Tümünü Göster", "-",
                                        "Trenik Uygulamasından Çık"}));
    open(controller.windowsMenu());
    QCOMPARE(controller.windowsMenu()->title(), QStringLiteral("Pencere"));
    QCOMPARE(entries(controller.windowsMenu()),
             (QStringList{"Küçült", "Pencereyi Kapat", "-", "Tümünü Öne Getir"}));
}

void TestVeskAppMenuController::overridesYieldToFocusedTextField()
{
    int overrideUndos = 0;
    VeskEditMenuOverrides overrides;
    overrides.undo = [&] { ++overrideUndos; };
    overrides.canUndo = [] { return false; };
    VeskAppMenuController controller = makeController([] { return VeskLanguage::en; }, false, {}, overrides);

    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *field = new QLineEdit;
    layout->addWidget(field);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    field->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), field);
    QTest::keyClicks(field, QStringLiteral("abc"));
    QCOMPARE(field->text(), QStringLiteral("abc"));

    QMenu *edit = topMenu(controller, 1);
    open(edit);
    QAction *undo = entry(edit, QStringLiteral("Undo"));
    QVERIFY(undo->isEnabled()); // despite canUndo() being false
    undo->trigger();
    QCOMPARE(overrideUndos, 0);
    QCOMPARE(field->text(), QString());
}

void TestVeskAppMenuController::overridesRunWithoutTextFocus()
{
    int overrideUndos = 0, overrideCopies = 0;
    bool canUndo = false;
    VeskEditMenuOverrides overrides;
    overrides.undo = [&] { ++overrideUndos; };
    overrides.canUndo = [&] { return canUndo; };
    overrides.copy = [&] { ++overrideCopies; };
    VeskAppMenuController controller = makeController([] { return VeskLanguage::en; }, false, {}, overrides);

    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *button = new QPushButton(QStringLiteral("x"));
    layout->addWidget(button);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    button->setFocus();

    QMenu *edit = topMenu(controller, 1);
    open(edit);
    QAction *undo = entry(edit, QStringLiteral("Undo"));
    QVERIFY(!undo->isEnabled());
    emit edit->aboutToHide();
    undo->trigger(); // as a shortcut would: validated first, refused
    QCOMPARE(overrideUndos, 0);

    canUndo = true;
    open(edit);
    QVERIFY(undo->isEnabled());
    undo->trigger();
    QCOMPARE(overrideUndos, 1);
    entry(edit, QStringLiteral("Copy"))->trigger();
    QCOMPARE(overrideCopies, 1);
}

void TestVeskAppMenuController::hiddenAndEditingChecks()
{
    bool hidden = true;
    int runs = 0;
    QList<VeskMenuElement> items{
        VeskMenuElement::item([] { return QStringLiteral("Secret"); }, QString(), Qt::NoModifier, {},
                              [&] { return hidden; }, false, [&] { ++runs; }),
        VeskMenuElement::divider([&] { return hidden; }),
        VeskMenuElement::item([] { return QStringLiteral("Rename"); }, QStringLiteral("r"), Qt::ControlModifier, {},
                              {}, true, [&] { ++runs; }),
    };
    VeskAppMenuController controller = makeController([] { return VeskLanguage::en; }, false, items);
    QMenu *file = topMenu(controller, 1);
    QAction *secret = file->actions().at(0);
    QAction *divider = file->actions().at(1);
    QAction *rename = file->actions().at(2);
    QVERIFY(!secret->isVisible()); // hidden from the start
    QVERIFY(!controller.validateMenuItem(secret));
    open(file);
    QVERIFY(!secret->isVisible());
    QVERIFY(!divider->isVisible());
    QVERIFY(rename->isEnabled());

    hidden = false;
    open(file);
    QVERIFY(secret->isVisible());
    QVERIFY(divider->isVisible());
    QVERIFY(controller.validateMenuItem(secret));

    QWidget window;
    auto *field = new QLineEdit(&window);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    field->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), field);
    QVERIFY(!controller.validateMenuItem(rename));
    open(file);
    QVERIFY(!rename->isEnabled());
    QCOMPARE(runs, 0);
}

void TestVeskAppMenuController::shortcutOfHiddenItemDoesNotRun()
{
    bool hidden = false;
    int runs = 0;
    QList<VeskMenuElement> items{VeskMenuElement::item([] { return QStringLiteral("Export"); }, QStringLiteral("e"),
                                                       Qt::ControlModifier, {}, [&] { return hidden; }, false,
                                                       [&] { ++runs; })};
    VeskAppMenuController controller = makeController([] { return VeskLanguage::en; }, false, items);
    QAction *exportItem = topMenu(controller, 1)->actions().at(0);
    exportItem->trigger();
    QCOMPARE(runs, 1);
    hidden = true;
    exportItem->trigger();
    QCOMPARE(runs, 1);
    QVERIFY(!exportItem->isVisible());
}

void TestVeskAppMenuController::languageSubmenuTicks()
{
    VeskLanguage::setFollowSystem();
    QCOMPARE(VeskLanguage::storedPreferenceCode(), QStringLiteral("system"));
    VeskLanguage shown = VeskLanguage::en;
    QList<VeskLanguage> selected;
    QList<VeskCustomMenu> custom{VeskCustomMenu(
        QStringLiteral("View"),
        {VeskMenuElement::languageSubmenu([&] { return shown; }, [&](VeskLanguage l) {
            selected << l;
            shown = l;
        })})};
    VeskAppMenuController controller = makeController([&] { return shown; }, false, {}, std::nullopt, custom);
    QMenu *view = topMenu(controller, 2);
    QMenu *languages = view->actions().at(0)->menu();
    QVERIFY(languages);
    QCOMPARE(languages->title(), QStringLiteral("Language"));

    open(languages);
    QStringList titles = entries(languages);
    QCOMPARE(titles.size(), 2 + VeskLanguage::caseCount);
    QCOMPARE(titles.at(0), QStringLiteral("✓ System Language (") + VeskLanguage(VeskLanguage::fr).nativeName() +
                               QStringLiteral(")"));
    QCOMPARE(titles.at(1), QStringLiteral("-"));
    QCOMPARE(titles.filter(QStringLiteral("✓ ")).size(), 1);

    QAction *german = entry(languages, VeskLanguage(VeskLanguage::de).displayName());
    QVERIFY(german);
    german->trigger();
    QCOMPARE(selected, QList<VeskLanguage>{VeskLanguage::de});
    QCOMPARE(VeskLanguage::storedPreferenceCode(), QStringLiteral("de"));

    open(languages);
    titles = entries(languages);
    QVERIFY(!titles.at(0).startsWith(QStringLiteral("✓ ")));
    QCOMPARE(titles.filter(QStringLiteral("✓ ")),
             QStringList{QStringLiteral("✓ ") + VeskLanguage(VeskLanguage::de).displayName()});
    QCOMPARE(languages->title(), veskText(QStringLiteral("Language"), QStringLiteral("Dil"), VeskLanguage::de));

    // Back to the system: "system" is stored, the resolved language is handed on.
    languages->actions().at(0)->trigger();
    QCOMPARE(selected.last(), VeskLanguage(VeskLanguage::fr));
    QCOMPARE(VeskLanguage::storedPreferenceCode(), QStringLiteral("system"));
}

void TestVeskAppMenuController::reopeningDynamicSubmenuLeavesNoBindings()
{
    int generation = 0;
    QList<VeskCustomMenu> custom{VeskCustomMenu(
        QStringLiteral("Recent"),
        {VeskMenuElement::submenu([] { return QStringLiteral("Open Recent"); }, [&] {
            ++generation;
            QList<VeskMenuElement> items;
            for (int i = 0; i < 3; ++i)
                items << VeskMenuElement::item([i] { return QStringLiteral("File %1").arg(i); }, QString(),
                                               Qt::NoModifier, {}, {}, false, [] {})
                      << VeskMenuElement::divider([] { return false; });
            items << VeskMenuElement::submenu([] { return QStringLiteral("More"); }, [] {
                return QList<VeskMenuElement>{VeskMenuElement::item([] { return QStringLiteral("Older"); }, QString(),
                                                                    Qt::NoModifier, {}, {}, false, [] {})};
            });
            return items;
        })})};
    VeskAppMenuController controller = makeController([] { return VeskLanguage::en; }, false, {}, std::nullopt, custom);
    QMenu *recent = topMenu(controller, 2)->actions().at(0)->menu();
    const int bindings = controller.bindingCount();
    for (int i = 0; i < 5; ++i) {
        open(recent);
        QCOMPARE(controller.bindingCount(), bindings);
        QCOMPARE(entries(recent).size(), 7);
    }
    QCOMPARE(generation, 6); // once when built, once per opening
}

void TestVeskAppMenuController::feedbackEntryOpensThePage()
{
    struct Recorder : VeskUrlOpener {
        QList<QUrl> opened;
        bool openUrl(const QUrl &url) override
        {
            opened << url;
            return true;
        }
    };
    auto recorder = std::make_shared<Recorder>();
    VeskAppMenuController controller = makeController([] { return VeskLanguage::tr; }, false);
    controller.setUrlOpener(recorder);
    entry(topMenu(controller, 0), QStringLiteral("Geri Bildirim & Fikir Gönder…"))->trigger();
    QCOMPARE(recorder->opened.size(), 1);
    const QUrl page = recorder->opened.first();
    QCOMPARE(page.path(), QStringLiteral("/tr/geri-bildirim")); // the current language's page
    const QUrlQuery query(page);
    QCOMPARE(query.queryItemValue(QStringLiteral("type")), QStringLiteral("feature"));
    QCOMPARE(query.queryItemValue(QStringLiteral("app")), QStringLiteral("trenik"));
    QVERIFY(!query.queryItemValue(QStringLiteral("version")).isEmpty());
}

QTEST_MAIN(TestVeskAppMenuController)
#include "tst_veskappmenucontroller.moc"
