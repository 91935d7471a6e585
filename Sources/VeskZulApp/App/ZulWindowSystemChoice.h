#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// Which Qt platform the application asks for, decided before the
// application object exists. A Wayland session lets no client place its
// windows, keep them above others or grab keys for the whole desktop, and
// the drawer, the stickies and the hotkeys need all three; XWayland, where
// the session offers it, serves them as any X11 desktop does. The user's own
// choice (QT_QPA_PLATFORM or Qt's -platform argument) always stands.
namespace ZulWindowSystemChoice {

struct Choice
{
    // Empty: leave the choice to Qt.
    QByteArray platform;
    // Why, for the log; empty when nothing was chosen.
    QString reason;
};

using EnvironmentLookup = std::function<QByteArray(const char *name)>;

// arguments: the command line, program name first. xServerAnswers is asked
// only in a Wayland session the user left to us.
Choice choose(const QStringList &arguments, const EnvironmentLookup &environment,
              const std::function<bool()> &xServerAnswers);

} // namespace ZulWindowSystemChoice
