#pragma once

#include <QWidget>

#include <functional>

// The borderless floating window the floating-panel controller shows its
// content in: stays above normal windows, has a clear background, takes the
// keyboard when shown, and hands Escape to its owner.
class VeskFloatingNSPanel : public QWidget {
    Q_OBJECT
public:
    explicit VeskFloatingNSPanel(QWidget *parent = nullptr);

    std::function<void()> onEscapePressed;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
