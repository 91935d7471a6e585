#pragma once

#include <QWidget>

// The window of the drawer's pull handle: frameless, above other windows,
// and never given the keyboard, so clicking it leaves the focus with
// whatever application the user is typing in.
class EdgeHandlePanel : public QWidget
{
    Q_OBJECT

public:
    explicit EdgeHandlePanel(QWidget *parent = nullptr);
};
