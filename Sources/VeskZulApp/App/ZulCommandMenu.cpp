#include "App/ZulCommandMenu.h"

#include "ViewModels/ZulStudioViewModel.h"
#include "Views/EdgeDrawerPanel.h"
#include "Views/MainZulStudioView.h"
#include "Views/StickyNotePanel.h"
#include "Views/ZulTrayPopoverWindow.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>

ZulCommandMenu::ZulCommandMenu(ZulStudioViewModel &viewModel, QWidget *parent)
    : VeskGlassMenu(parent), m_viewModel(viewModel)
{
    setTitle(QStringLiteral("VeskZul"));
    for (const ZulCommand &command : ZulCommand::all()) {
        if (command.startsGroup)
            addSeparator();
        QAction *action = addAction(QString());
        action->setShortcut(command.keySequence());
        // Whichever of the application's windows has the keyboard.
        action->setShortcutContext(Qt::ApplicationShortcut);
        // Shown beside the item however the desktop shows other pop-up menus.
        action->setShortcutVisibleInContextMenu(true);
        connect(action, &QAction::triggered, this, [this, id = command.id] { m_viewModel.performCommand(id); });
        m_actions.at(std::size_t(command.id)) = action;
    }
    connect(&viewModel, &ZulStudioViewModel::languageChanged, this, &ZulCommandMenu::retranslate);
    retranslate();
    qApp->installEventFilter(this);
}

ZulCommandMenu::~ZulCommandMenu()
{
    qApp->removeEventFilter(this);
}

QList<QAction *> ZulCommandMenu::commandActions() const
{
    return QList<QAction *>(m_actions.begin(), m_actions.end());
}

bool ZulCommandMenu::isApplicationWindow(const QObject *object)
{
    return qobject_cast<const MainZulStudioView *>(object) || qobject_cast<const EdgeDrawerPanel *>(object)
        || qobject_cast<const StickyNotePanel *>(object) || qobject_cast<const ZulTrayPopoverWindow *>(object);
}

bool ZulCommandMenu::eventFilter(QObject *watched, QEvent *event)
{
    // An application shortcut acts while a widget holding it shows; every
    // window of ours holds the items, so they act with the studio closed
    // too. Qt's own windows (a save dialog, a menu) are left out: the
    // commands are not theirs to run.
    if (event->type() == QEvent::Show && isApplicationWindow(watched)) {
        auto *window = static_cast<QWidget *>(watched);
        if (!window->actions().contains(m_actions.front()))
            window->addActions(commandActions());
    }
    return VeskGlassMenu::eventFilter(watched, event);
}

void ZulCommandMenu::retranslate()
{
    const VeskLanguage language = m_viewModel.language();
    for (const ZulCommand &command : ZulCommand::all())
        action(command.id)->setText(command.title(language));
}
