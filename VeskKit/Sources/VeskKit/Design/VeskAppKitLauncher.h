#pragma once

#include "VeskKit/Design/VeskAppMenuController.h"

#include <QObject>

// Starts an application that builds its main menu in code: keeps its
// delegate and menu controller for the life of the process and runs the
// event loop. A QApplication must exist. Linux has no application-wide menu
// bar, so the application puts menuController()->mainMenu() into its main
// window (QMainWindow::setMenuBar).
namespace VeskAppKitLauncher {

int run(const QString &appName, QObject *delegate, std::function<VeskLanguage()> language,
        std::function<QString()> settingsTitle, std::function<void()> onOpenSettings,
        QList<VeskMenuElement> fileMenuItems, std::optional<VeskEditMenuOverrides> editOverrides,
        QList<VeskCustomMenu> customMenus, const QString &closeWindowKeyEquivalent,
        Qt::KeyboardModifiers closeWindowModifiers);

QObject *delegate();
VeskAppMenuController *menuController();

} // namespace VeskAppKitLauncher
