#pragma once

#include <QComboBox>
#include <QSpinBox>

// A pop-up menu and a stepper that draw their arrows as our own chevron
// glyphs. Once a style sheet gives these controls a border of their own, the
// platform style stops drawing their arrows, which left the controls with no
// sign that they open or step; these paint the chevrons themselves, in the
// text's secondary colour (muted when disabled). The pop-up menu's list of
// choices takes the glass look of the kit's menus.
class VeskComboBox : public QComboBox {
    // Its own class name, by which its accessible interface is found.
    Q_OBJECT
public:
    explicit VeskComboBox(QWidget *parent = nullptr);

    // Opens the list of choices and tells a screen reader the one it opens
    // on: the list takes the keyboard with that choice already current, of
    // which the platform then says nothing but how many there are.
    void showPopup() override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

class VeskStepper : public QSpinBox {
public:
    using QSpinBox::QSpinBox;

protected:
    void paintEvent(QPaintEvent *event) override;
};
