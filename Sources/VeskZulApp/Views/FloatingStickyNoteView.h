#pragma once

#include "VeskKit/Design/VeskBackdropCache.h"

#include <QPointer>
#include <QUuid>
#include <QWidget>

#include <functional>

class ComputationalEditorView;
class QGraphicsOpacityEffect;
class QLabel;
class QLineEdit;
class QVariantAnimation;
class StickyWindowState;
class ZulMinimalIconButton;
class ZulStudioViewModel;
class ZulTintDotPicker;

// The content of one sticky panel: a rounded glass card in the note's tint
// with a one-line title bar (tint dot, editable title, the note's total
// while collapsed, and buttons that show only while the pointer is over the
// panel) above the compact editor, which collapsing hides. It keeps no note
// of its own: it reads the note from the view model at every change.
class FloatingStickyNoteView : public QWidget
{
    Q_OBJECT

public:
    static constexpr qreal cornerRadius = 15;
    static constexpr qreal titleBarHeight = 44;
    static constexpr int hoverAnimationMs = 180;

    FloatingStickyNoteView(ZulStudioViewModel *viewModel, const QUuid &noteID, StickyWindowState *windowState,
                           std::function<void()> onToggleCollapse, std::function<void()> onToggleAlwaysOnTop,
                           std::function<void()> onClose, QWidget *parent = nullptr);
    ~FloatingStickyNoteView() override;

    const QUuid &noteID() const { return m_noteID; }
    // False while the view model has no note for the id: nothing is drawn.
    bool hasNote() const { return m_hasNote; }

    QLineEdit *titleField() const { return m_title; }
    QLabel *totalBadge() const { return m_total; }
    QWidget *buttonGroup() const { return m_buttons; }
    ZulTintDotPicker *tintPicker() const { return m_tints; }
    ZulMinimalIconButton *pinButton() const { return m_pin; }
    ZulMinimalIconButton *collapseButton() const { return m_collapse; }
    ZulMinimalIconButton *closeButton() const { return m_close; }
    ComputationalEditorView *editor() const { return m_editor; }
    // Whether the buttons take clicks now (only while the pointer is over
    // the panel).
    bool buttonsAcceptClicks() const;
    // The colours of the moment, for the tests and the painter.
    QColor accent() const;
    QColor ruleColour() const;

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void refresh();
    // The total shows while the panel is collapsed.
    void refreshTotal();
    void refreshTexts();
    void followHover();
    bool keyboardInButtons() const;
    void applyHover(qreal amount);

    QPointer<ZulStudioViewModel> m_viewModel;
    QUuid m_noteID;
    QPointer<StickyWindowState> m_state;
    QMetaObject::Connection m_focusWatch;
    std::function<void()> m_onToggleCollapse;
    std::function<void()> m_onToggleAlwaysOnTop;
    std::function<void()> m_onClose;
    bool m_hasNote = false;
    qreal m_hoverAmount = 0;
    VeskBackdropCache m_backdrop;

    QWidget *m_card = nullptr;
    QWidget *m_titleBar = nullptr;
    QWidget *m_dot = nullptr;
    QLineEdit *m_title = nullptr;
    QLabel *m_total = nullptr;
    QWidget *m_buttons = nullptr;
    QGraphicsOpacityEffect *m_buttonsOpacity = nullptr;
    ZulTintDotPicker *m_tints = nullptr;
    ZulMinimalIconButton *m_pin = nullptr;
    ZulMinimalIconButton *m_collapse = nullptr;
    ZulMinimalIconButton *m_close = nullptr;
    QWidget *m_rule = nullptr;
    ComputationalEditorView *m_editor = nullptr;
    QVariantAnimation *m_hoverAnimation = nullptr;
};
