#pragma once

#include "VeskKit/Design/VeskGlassMenu.h"

#include <array>

class QAction;
class ZulStudioViewModel;

// The application's command menu "VeskZul": its items call the view model's
// commands and carry their keyboard shortcuts; the titles follow the
// interface language. Copy and export act on the selected note and do
// nothing while none is selected.
class ZulCommandMenu : public VeskGlassMenu {
    Q_OBJECT
public:
    enum class Command {
        newNote,
        toggleEdgeDrawer,
        newFloatingSticky,
        copyActiveNote,
        exportActiveNote,
        refreshRates,
    };
    static constexpr std::size_t commandCount = 6;

    explicit ZulCommandMenu(ZulStudioViewModel &viewModel, QWidget *parent = nullptr);

    QAction *action(Command command) const { return m_actions[std::size_t(command)]; }
    // The six actions in menu order, for windows that take their shortcuts.
    QList<QAction *> commandActions() const;

    static QKeySequence shortcut(Command command);

private:
    void retranslate();
    void run(Command command);

    ZulStudioViewModel &m_viewModel;
    std::array<QAction *, commandCount> m_actions{};
};
