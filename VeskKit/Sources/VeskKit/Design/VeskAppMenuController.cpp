#include "VeskKit/Design/VeskAppMenuController.h"

#include "VeskKit/Cloud/VeskFeedbackService.h"
#include "VeskKit/Localization/VeskText.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

const char *slotFor(int standard)
{
    static const char *names[] = {"undo", "redo", "cut", "copy", "paste", "selectAll"};
    return standard >= 0 && standard < 6 ? names[standard] : nullptr;
}

QList<QWidget *> applicationWindows()
{
    QList<QWidget *> windows;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isWindow() && !w->isHidden() && w->windowType() != Qt::Desktop && !qobject_cast<QMenu *>(w))
            windows.append(w);
    }
    return windows;
}

} // namespace

VeskAppMenuController::VeskAppMenuController(const QString &appName, std::function<VeskLanguage()> language,
                                             std::function<QString()> settingsTitle,
                                             std::function<void()> onOpenSettings,
                                             QList<VeskMenuElement> fileMenuItems,
                                             std::optional<VeskEditMenuOverrides> editOverrides,
                                             QList<VeskCustomMenu> customMenus,
                                             const QString &closeWindowKeyEquivalent,
                                             Qt::KeyboardModifiers closeWindowModifiers, QObject *parent)
    : QObject(parent), m_appName(appName), m_language(std::move(language))
{
    m_mainMenu = new QMenuBar;
    auto windowTitle = [this] { return text(QStringLiteral("Window"), QStringLiteral("Pencere")); };
    m_windowsMenu = new QMenu(windowTitle(), m_mainMenu);

    // Application menu.
    QMenu *app = newMenu([appName] { return appName; }, m_mainMenu);
    if (onOpenSettings) {
        auto title = settingsTitle ? settingsTitle
                                   : std::function<QString()>([this] {
                                         return text(QStringLiteral("Settings…"), QStringLiteral("Ayarlar…"));
                                     });
        addBoundItem(app, title, QStringLiteral(","), Qt::ControlModifier, {title, {}, {}, false, onOpenSettings});
        app->addSeparator();
    }
    {
        auto title = [this] {
            return text(QStringLiteral("Send Feedback & Ideas…"), QStringLiteral("Geri Bildirim & Fikir Gönder…"));
        };
        auto action = [this] {
            VeskFeedbackService::openInBrowser(
                m_appName, VeskAppVersion::current(VeskBundle::main(), QStringLiteral("1.0.0"), QStringLiteral("100")),
                VeskFeedbackKind::feature, m_language ? m_language() : VeskLanguage(VeskLanguage::en), std::nullopt,
                m_urlOpener);
        };
        addBoundItem(app, title, QString(), Qt::NoModifier, {title, {}, {}, false, action});
    }
    app->addSeparator();
    addStandardItem(
        app,
        [this] { return text(QStringLiteral("Hide ") + m_appName, m_appName + QStringLiteral(" Uygulamasını Gizle")); },
        QStringLiteral("h"), Qt::ControlModifier, Standard::hide);
    addStandardItem(
        app, [this] { return text(QStringLiteral("Hide Others"), QStringLiteral("Diğerlerini Gizle")); },
        QStringLiteral("h"), Qt::ControlModifier | Qt::AltModifier, Standard::hideOthers);
    addStandardItem(
        app, [this] { return text(QStringLiteral("Show All"), QStringLiteral("Tümünü Göster")); }, QString(),
        Qt::NoModifier, Standard::unhideAll);
    app->addSeparator();
    addStandardItem(
        app,
        [this] { return text(QStringLiteral("Quit ") + m_appName, m_appName + QStringLiteral(" Uygulamasından Çık")); },
        QStringLiteral("q"), Qt::ControlModifier, Standard::terminate);

    if (!fileMenuItems.isEmpty()) {
        QMenu *file = newMenu([this] { return text(QStringLiteral("File"), QStringLiteral("Dosya")); }, m_mainMenu);
        appendElements(file, fileMenuItems);
    }

    QMenu *edit = newMenu([this] { return text(QStringLiteral("Edit"), QStringLiteral("Düzen")); }, m_mainMenu);
    populateEditMenu(edit, editOverrides);

    for (const VeskCustomMenu &custom : customMenus) {
        QMenu *menu = newMenu(custom.title, m_mainMenu);
        appendElements(menu, custom.elements);
    }

    m_windowsMenu->setTitle(windowTitle());
    m_menuTitleUpdaters.insert(m_windowsMenu, windowTitle);
    connect(m_windowsMenu, &QMenu::aboutToShow, this, [this] { menuNeedsUpdate(m_windowsMenu); });
    connect(m_windowsMenu, &QMenu::aboutToHide, this, [this] { restoreShortcutReach(m_windowsMenu); });
    addStandardItem(
        m_windowsMenu, [this] { return text(QStringLiteral("Minimize"), QStringLiteral("Küçült")); },
        QStringLiteral("m"), Qt::ControlModifier, Standard::miniaturize);
    addStandardItem(
        m_windowsMenu, [this] { return text(QStringLiteral("Close Window"), QStringLiteral("Pencereyi Kapat")); },
        closeWindowKeyEquivalent, closeWindowKeyEquivalent.isEmpty() ? Qt::NoModifier : closeWindowModifiers,
        Standard::close);
    m_windowsMenu->addSeparator();
    addStandardItem(
        m_windowsMenu,
        [this] { return text(QStringLiteral("Bring All to Front"), QStringLiteral("Tümünü Öne Getir")); }, QString(),
        Qt::NoModifier, Standard::arrangeInFront);
    m_mainMenu->addMenu(m_windowsMenu);
}

VeskAppMenuController::~VeskAppMenuController()
{
    delete m_mainMenu.data();
}

QString VeskAppMenuController::text(const QString &en, const QString &tr) const
{
    return veskText(en, tr, m_language ? m_language() : VeskLanguage(VeskLanguage::en));
}

bool VeskAppMenuController::isTextInputFocused()
{
    QWidget *focus = QApplication::focusWidget();
    return qobject_cast<QLineEdit *>(focus) || qobject_cast<QTextEdit *>(focus) ||
           qobject_cast<QPlainTextEdit *>(focus);
}

QMenu *VeskAppMenuController::newMenu(std::function<QString()> title, QWidget *parent)
{
    auto *menu = new QMenu(title(), parent);
    m_menuTitleUpdaters.insert(menu, title);
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { menuNeedsUpdate(menu); });
    connect(menu, &QMenu::aboutToHide, this, [this, menu] { restoreShortcutReach(menu); });
    if (auto *bar = qobject_cast<QMenuBar *>(parent))
        bar->addMenu(menu);
    return menu;
}

void VeskAppMenuController::applyShortcut(QAction *action, const QString &key, Qt::KeyboardModifiers modifiers)
{
    if (key.isEmpty())
        return;
    const QKeySequence keyOnly(key);
    if (keyOnly.isEmpty())
        return;
    action->setShortcut(QKeySequence(QKeyCombination(modifiers, keyOnly[0].key())));
}

QAction *VeskAppMenuController::addBoundItem(QMenu *menu, std::function<QString()> title, const QString &key,
                                             Qt::KeyboardModifiers modifiers, ItemBinding binding)
{
    auto *action = new QAction(title(), menu);
    applyShortcut(action, key, modifiers);
    if (binding.isHidden)
        action->setVisible(!binding.isHidden());
    connect(action, &QAction::triggered, this, [this, action] {
        // A shortcut runs without the menu opening: validate it first, as
        // opening the menu would have.
        if (validateMenuItem(action))
            handleMenuAction(action);
    });
    m_itemBindings.insert(action, std::move(binding));
    menu->addAction(action);
    return action;
}

QAction *VeskAppMenuController::addStandardItem(QMenu *menu, std::function<QString()> title, const QString &key,
                                                Qt::KeyboardModifiers modifiers, Standard standard)
{
    auto *action = new QAction(title(), menu);
    applyShortcut(action, key, modifiers);
    connect(action, &QAction::triggered, this, [standard] {
        if (canPerform(standard))
            perform(standard);
    });
    m_titleUpdaters.insert(action, std::move(title));
    m_standardItems.insert(action, standard);
    menu->addAction(action);
    return action;
}

void VeskAppMenuController::appendElements(QMenu *menu, const QList<VeskMenuElement> &elements)
{
    for (const VeskMenuElement &element : elements) {
        if (const auto *item = std::get_if<VeskMenuElement::Item>(&element.value)) {
            addBoundItem(menu, item->title, item->keyEquivalent, item->keyEquivalent.isEmpty() ? Qt::NoModifier
                                                                                               : item->modifiers,
                         {item->title, item->isEnabled, item->isHidden, item->skipWhenEditingText, item->action});
        } else if (const auto *sub = std::get_if<VeskMenuElement::Submenu>(&element.value)) {
            auto *child = new QMenu(sub->title(), menu);
            m_menuTitleUpdaters.insert(child, sub->title);
            m_dynamicSubmenuBuilders.insert(child, sub->items);
            connect(child, &QMenu::aboutToShow, this, [this, child] { menuNeedsUpdate(child); });
            connect(child, &QMenu::aboutToHide, this, [this, child] { restoreShortcutReach(child); });
            QAction *entry = menu->addMenu(child);
            m_titleUpdaters.insert(entry, sub->title);
            appendElements(child, sub->items ? sub->items() : QList<VeskMenuElement>());
        } else if (const auto *divider = std::get_if<VeskMenuElement::Divider>(&element.value)) {
            QAction *separator = menu->addSeparator();
            if (divider->isHidden) {
                separator->setVisible(!divider->isHidden());
                m_hiddenChecks.insert(separator, divider->isHidden);
            }
        }
    }
}

void VeskAppMenuController::populateEditMenu(QMenu *menu, const std::optional<VeskEditMenuOverrides> &overrides)
{
    struct Row {
        QString en, tr, key;
        Qt::KeyboardModifiers modifiers;
        Standard standard;
        std::function<void()> VeskEditMenuOverrides::*override;
        std::function<bool()> VeskEditMenuOverrides::*canRun;
    };
    const Qt::KeyboardModifiers cmd = Qt::ControlModifier;
    const Row rows[] = {
        {QStringLiteral("Undo"), QStringLiteral("Geri Al"), QStringLiteral("z"), cmd, Standard::undo,
         &VeskEditMenuOverrides::undo, &VeskEditMenuOverrides::canUndo},
        {QStringLiteral("Redo"), QStringLiteral("Yinele"), QStringLiteral("z"), cmd | Qt::ShiftModifier,
         Standard::redo, &VeskEditMenuOverrides::redo, &VeskEditMenuOverrides::canRedo},
        {QStringLiteral("Cut"), QStringLiteral("Kes"), QStringLiteral("x"), cmd, Standard::cut,
         &VeskEditMenuOverrides::cut, nullptr},
        {QStringLiteral("Copy"), QStringLiteral("Kopyala"), QStringLiteral("c"), cmd, Standard::copy,
         &VeskEditMenuOverrides::copy, nullptr},
        {QStringLiteral("Paste"), QStringLiteral("Yapıştır"), QStringLiteral("v"), cmd, Standard::paste,
         &VeskEditMenuOverrides::paste, nullptr},
    };
    auto addRow = [&](const Row &row) {
        auto title = [this, en = row.en, tr = row.tr] { return text(en, tr); };
        const std::function<void()> override = overrides ? (*overrides).*(row.override) : std::function<void()>();
        if (!override) {
            addStandardItem(menu, title, row.key, row.modifiers, row.standard);
            return;
        }
        const Standard standard = row.standard;
        auto action = [override, standard] {
            // With text being edited, the text widget's own command wins.
            if (isTextInputFocused())
                perform(standard);
            else
                override();
        };
        std::function<bool()> isEnabled;
        if (row.canRun) {
            const std::function<bool()> canRun = (*overrides).*(row.canRun);
            isEnabled = [canRun] { return isTextInputFocused() || !canRun || canRun(); };
        }
        addBoundItem(menu, title, row.key, row.modifiers, {title, isEnabled, {}, false, action});
    };
    addRow(rows[0]);
    addRow(rows[1]);
    menu->addSeparator();
    addRow(rows[2]);
    addRow(rows[3]);
    addRow(rows[4]);
    if (overrides && overrides->duplicate) {
        auto title = [this] { return text(QStringLiteral("Duplicate"), QStringLiteral("Çoğalt")); };
        addBoundItem(menu, title, QStringLiteral("d"), cmd, {title, {}, {}, false, overrides->duplicate});
    }
    addRow({QStringLiteral("Select All"), QStringLiteral("Tümünü Seç"), QStringLiteral("a"), cmd,
            Standard::selectAll, &VeskEditMenuOverrides::selectAll, nullptr});
}

bool VeskAppMenuController::validateMenuItem(QAction *item)
{
    const auto found = m_itemBindings.constFind(item);
    if (found == m_itemBindings.constEnd())
        return true;
    const ItemBinding &binding = *found;
    if (binding.title)
        item->setText(binding.title());
    if (binding.isHidden) {
        const bool hidden = binding.isHidden();
        item->setVisible(!hidden);
        if (hidden)
            return false;
    }
    if (binding.skipWhenEditingText && isTextInputFocused())
        return false;
    return binding.isEnabled ? binding.isEnabled() : true;
}

void VeskAppMenuController::menuNeedsUpdate(QMenu *menu)
{
    if (const auto title = m_menuTitleUpdaters.constFind(menu); title != m_menuTitleUpdaters.constEnd())
        menu->setTitle((*title)());
    if (const auto builder = m_dynamicSubmenuBuilders.constFind(menu); builder != m_dynamicSubmenuBuilders.constEnd()) {
        const auto build = *builder;
        unregisterBindings(menu);
        const QList<QAction *> old = menu->actions();
        for (QAction *action : old) {
            menu->removeAction(action);
            if (QMenu *sub = action->menu())
                sub->deleteLater();
            if (action->parent() == menu)
                action->deleteLater();
        }
        appendElements(menu, build ? build() : QList<VeskMenuElement>());
        for (QAction *action : menu->actions())
            if (m_itemBindings.contains(action))
                action->setEnabled(validateMenuItem(action));
        return;
    }
    for (QAction *action : menu->actions()) {
        if (m_itemBindings.contains(action)) {
            action->setEnabled(validateMenuItem(action));
            continue;
        }
        if (const auto title = m_titleUpdaters.constFind(action); title != m_titleUpdaters.constEnd())
            action->setText((*title)());
        if (const auto hidden = m_hiddenChecks.constFind(action); hidden != m_hiddenChecks.constEnd())
            action->setVisible(!(*hidden)());
        if (const auto standard = m_standardItems.constFind(action); standard != m_standardItems.constEnd())
            action->setEnabled(canPerform(*standard));
    }
}

void VeskAppMenuController::restoreShortcutReach(QMenu *menu)
{
    // Qt ignores the shortcut of a disabled or hidden action; the validation
    // that runs before every triggered action does that job instead, so
    // states shown while the menu was open must not linger.
    for (QAction *action : menu->actions()) {
        if (m_itemBindings.contains(action) || m_standardItems.contains(action)) {
            action->setEnabled(true);
            action->setVisible(true);
        }
    }
}

void VeskAppMenuController::unregisterBindings(QMenu *menu)
{
    for (QAction *action : menu->actions()) {
        m_itemBindings.remove(action);
        m_hiddenChecks.remove(action);
        m_titleUpdaters.remove(action);
        m_standardItems.remove(action);
        if (QMenu *sub = action->menu()) {
            unregisterBindings(sub);
            m_menuTitleUpdaters.remove(sub);
            m_dynamicSubmenuBuilders.remove(sub);
        }
    }
}

void VeskAppMenuController::handleMenuAction(QAction *item)
{
    const auto found = m_itemBindings.constFind(item);
    if (found == m_itemBindings.constEnd())
        return;
    // Copied: the action may rebuild the menu that holds this binding.
    const std::function<void()> action = found->action;
    if (action)
        action();
}

bool VeskAppMenuController::canPerform(Standard standard)
{
    if (const char *slot = slotFor(int(standard))) {
        QWidget *focus = QApplication::focusWidget();
        if (!focus)
            return false;
        const QByteArray signature = QByteArray(slot) + "()";
        return focus->metaObject()->indexOfMethod(signature.constData()) >= 0;
    }
    switch (standard) {
    case Standard::hideOthers:
        return false; // other programs' windows are not ours to hide
    case Standard::miniaturize:
    case Standard::close:
        return QApplication::activeWindow() != nullptr;
    default:
        return true;
    }
}

void VeskAppMenuController::perform(Standard standard)
{
    if (const char *slot = slotFor(int(standard))) {
        if (QWidget *focus = QApplication::focusWidget())
            QMetaObject::invokeMethod(focus, slot);
        return;
    }
    switch (standard) {
    case Standard::hide:
        for (QWidget *w : applicationWindows())
            w->showMinimized();
        break;
    case Standard::unhideAll:
        for (QWidget *w : applicationWindows())
            if (w->isMinimized())
                w->showNormal();
        break;
    case Standard::terminate:
        QCoreApplication::quit();
        break;
    case Standard::miniaturize:
        if (QWidget *w = QApplication::activeWindow())
            w->showMinimized();
        break;
    case Standard::close:
        if (QWidget *w = QApplication::activeWindow())
            w->close();
        break;
    case Standard::arrangeInFront:
        for (QWidget *w : applicationWindows())
            w->raise();
        break;
    default:
        break;
    }
}

int VeskAppMenuController::bindingCount() const
{
    return int(m_itemBindings.size() + m_hiddenChecks.size() + m_titleUpdaters.size() + m_menuTitleUpdaters.size() +
               m_dynamicSubmenuBuilders.size() + m_standardItems.size());
}
