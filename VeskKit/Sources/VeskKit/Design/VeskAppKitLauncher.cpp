#include "VeskKit/Design/VeskAppKitLauncher.h"

#include <QApplication>
#include <QPointer>

namespace {

// Held for the life of the process.
QPointer<QObject> strongDelegate;
VeskAppMenuController *strongMenuController = nullptr;

} // namespace

namespace VeskAppKitLauncher {

int run(const QString &appName, QObject *delegate, std::function<VeskLanguage()> language,
        std::function<QString()> settingsTitle, std::function<void()> onOpenSettings,
        QList<VeskMenuElement> fileMenuItems, std::optional<VeskEditMenuOverrides> editOverrides,
        QList<VeskCustomMenu> customMenus, const QString &closeWindowKeyEquivalent,
        Qt::KeyboardModifiers closeWindowModifiers)
{
    strongDelegate = delegate;
    delete strongMenuController;
    strongMenuController = new VeskAppMenuController(
        appName, std::move(language), std::move(settingsTitle), std::move(onOpenSettings), std::move(fileMenuItems),
        std::move(editOverrides), std::move(customMenus), closeWindowKeyEquivalent, closeWindowModifiers, qApp);
    return QApplication::exec();
}

QObject *delegate()
{
    return strongDelegate;
}

VeskAppMenuController *menuController()
{
    return strongMenuController;
}

} // namespace VeskAppKitLauncher
