#pragma once

#include <QWidget>

#include <functional>

// The window of the sliding drawer: frameless, above other windows, and
// able to take the keyboard, since the editor inside it takes typing.
// Escape is the drawer's own: it goes to onEscapePressed and no further.
class EdgeDrawerPanel : public QWidget
{
    Q_OBJECT

public:
    explicit EdgeDrawerPanel(QWidget *parent = nullptr);

    std::function<void()> onEscapePressed;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
