#pragma once

class QWidget;

// Shift+F10, the desktop's context-menu key on keyboards without a Menu
// key, opens the context menu of the control that has the keyboard, as the
// Menu key does: at its caret or its current item, wherever the control has
// a menu.
namespace VeskContextMenuKey {

// Once at start, for every window of the application.
void applyApplicationWide();

// Asks `widget` (and, if it has none, what holds it) for its context menu
// as the Menu key would; whether one took the request.
bool open(QWidget *widget);

} // namespace VeskContextMenuKey
