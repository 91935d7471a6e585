#pragma once

#include "VeskKit/Design/VeskMenuElement.h"
#include "VeskKit/Cloud/VeskUrlOpener.h"
#include "VeskKit/Localization/VeskLanguage.h"
#include "VeskKit/Utilities/VeskAppVersion.h"

#include <QHash>
#include <QMenuBar>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QMenu;

// Builds a whole main menu in code: the application menu, File (only with
// items), Edit, the caller's menus and Window, every title in English or
// Turkish by the current language. Titles, visibility and enabled states are
// recomputed each time a menu opens and before a shortcut runs its action,
// so a language change shows at the next opening.
//
// Qt stands in for the platform's menu machinery: the main menu is a
// QMenuBar the application puts into its main window, a menu's "needs
// update" is QMenu::aboutToShow, and the platform's standard actions go to
// the widget with the keyboard focus (undo, redo, cut, copy, paste, select
// all) or to the application's windows (minimise, close, bring to front,
// hide = minimise all, show all = restore all, quit).
class VeskAppMenuController : public QObject {
    Q_OBJECT
public:
    VeskAppMenuController(const QString &appName, std::function<VeskLanguage()> language,
                          std::function<QString()> settingsTitle, std::function<void()> onOpenSettings,
                          QList<VeskMenuElement> fileMenuItems, std::optional<VeskEditMenuOverrides> editOverrides,
                          QList<VeskCustomMenu> customMenus, const QString &closeWindowKeyEquivalent,
                          Qt::KeyboardModifiers closeWindowModifiers, QObject *parent = nullptr);
    ~VeskAppMenuController() override;

    QMenuBar *mainMenu() const { return m_mainMenu; }
    QMenu *windowsMenu() const { return m_windowsMenu; }

    // Refreshes a bound item; false when it may not run now.
    bool validateMenuItem(QAction *item);
    void menuNeedsUpdate(QMenu *menu);
    void handleMenuAction(QAction *item);

    // Where the "Send Feedback & Ideas…" entry opens the feedback page; the
    // desktop's browser unless a test puts its own opener in.
    void setUrlOpener(std::shared_ptr<VeskUrlOpener> opener) { m_urlOpener = std::move(opener); }

    // How many items and menus the controller is keeping functions for.
    int bindingCount() const;

private:
    enum class Standard {
        undo, redo, cut, copy, paste, selectAll,
        hide, hideOthers, unhideAll, terminate,
        miniaturize, close, arrangeInFront,
    };

    struct ItemBinding {
        std::function<QString()> title;
        std::function<bool()> isEnabled;
        std::function<bool()> isHidden;
        bool skipWhenEditingText = false;
        std::function<void()> action;
    };

    QString text(const QString &en, const QString &tr) const;
    static bool isTextInputFocused();
    QMenu *newMenu(std::function<QString()> title, QWidget *parent);
    QAction *addBoundItem(QMenu *menu, std::function<QString()> title, const QString &key,
                          Qt::KeyboardModifiers modifiers, ItemBinding binding);
    QAction *addStandardItem(QMenu *menu, std::function<QString()> title, const QString &key,
                             Qt::KeyboardModifiers modifiers, Standard standard);
    void appendElements(QMenu *menu, const QList<VeskMenuElement> &elements);
    void populateEditMenu(QMenu *menu, const std::optional<VeskEditMenuOverrides> &overrides);
    void unregisterBindings(QMenu *menu);
    void restoreShortcutReach(QMenu *menu);
    static bool canPerform(Standard standard);
    static void perform(Standard standard);
    static void applyShortcut(QAction *action, const QString &key, Qt::KeyboardModifiers modifiers);

    QString m_appName;
    std::function<VeskLanguage()> m_language;
    std::shared_ptr<VeskUrlOpener> m_urlOpener = VeskUrlOpener::desktop();
    QPointer<QMenuBar> m_mainMenu;
    QMenu *m_windowsMenu = nullptr;
    QHash<QAction *, ItemBinding> m_itemBindings;
    QHash<QAction *, std::function<bool()>> m_hiddenChecks;
    QHash<QAction *, std::function<QString()>> m_titleUpdaters;
    QHash<QMenu *, std::function<QString()>> m_menuTitleUpdaters;
    QHash<QMenu *, std::function<QList<VeskMenuElement>()>> m_dynamicSubmenuBuilders;
    QHash<QAction *, Standard> m_standardItems;
};
