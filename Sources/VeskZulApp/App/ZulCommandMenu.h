#pragma once

#include "VeskKit/Design/VeskGlassMenu.h"
#include "ViewModels/ZulCommand.h"

#include <array>

class QAction;
class ZulStudioViewModel;

// The application's command menu "VeskZul": one item per command, the
// command's keys shown beside it; the titles follow the interface language.
// The keys work in every window of the application while one of them has
// the keyboard, as a menu bar's do, each window being given the items when
// it first shows; a text field keeps the keys it edits with.
class ZulCommandMenu : public VeskGlassMenu {
    Q_OBJECT
public:
    explicit ZulCommandMenu(ZulStudioViewModel &viewModel, QWidget *parent = nullptr);
    ~ZulCommandMenu() override;

    QAction *action(ZulCommandID command) const { return m_actions.at(std::size_t(command)); }
    // The items in menu order, without the dividers.
    QList<QAction *> commandActions() const;

    // The studio, the drawer, a sticky and the tray popover.
    static bool isApplicationWindow(const QObject *object);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void retranslate();

    ZulStudioViewModel &m_viewModel;
    std::array<QAction *, ZulCommand::count> m_actions{};
};
