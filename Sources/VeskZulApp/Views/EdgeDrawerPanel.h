#pragma once

#include <QRect>
#include <QWidget>

#include <functional>
#include <optional>

// The window of the sliding drawer: frameless, above other windows, and
// able to take the keyboard, since the editor inside it takes typing.
// Escape is the drawer's own: it goes to onEscapePressed and no further.
//
// The drawer slides in from beyond the screen's edge, yet its window never
// leaves the screen: window managers that refuse a window off the screen
// (KWin, mutter) pull one there back in before it can slide. So the window
// covers only the part of the drawer on the stage (the screen's width), and
// the drawer's sheet moves within it.
class EdgeDrawerPanel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QRect slideFrame READ slideFrame WRITE setSlideFrame)

public:
    explicit EdgeDrawerPanel(QWidget *parent = nullptr);

    std::function<void()> onEscapePressed;

    // Holds the drawer's content at the drawer's full size.
    QWidget *sheet() const { return m_sheet; }

    // The horizontal room the window may take (Qt coordinates); none for a
    // drawer that is an ordinary window, whose sheet fills it.
    std::optional<QRect> stage() const { return m_stage; }
    void setStage(const std::optional<QRect> &stage);

    // Where the whole drawer stands (Qt coordinates), on the stage or beyond
    // its edge. The window takes the part of it on the stage, at least one
    // pixel at the stage's edge.
    QRect slideFrame() const { return m_slideFrame; }
    void setSlideFrame(const QRect &frame);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void placeSheet();

    QWidget *m_sheet = nullptr;
    std::optional<QRect> m_stage;
    QRect m_slideFrame;
    QPoint m_sheetOffset;
};
