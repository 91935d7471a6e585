#pragma once

#include "VeskKit/Design/VeskBackdropCache.h"

#include <QColor>
#include <QList>
#include <QPointer>
#include <QUuid>
#include <QWidget>

#include <functional>

class ComputationalEditorView;
class EdgeDrawerChipStrip;
class EdgeDrawerNoteChip;
class QLabel;
class QPainter;
class QStackedWidget;
class VeskButton;
class ZulMinimalIconButton;
class ZulNoteListModel;
class ZulStudioViewModel;

// The drawer itself: a header with the brand mark and four icon buttons, a
// strip of chips for the notes the studio's list shows, and the compact
// editor of the selected note (or a button that makes a quick note). It
// keeps no note of its own; everything is read from the view model.
class EdgeDrawerContentView : public QWidget
{
    Q_OBJECT

public:
    static constexpr qreal cornerRadius = 16;

    EdgeDrawerContentView(ZulStudioViewModel *viewModel, std::function<void()> onClose, const QColor &accent,
                          QWidget *parent = nullptr);

    // What the tests and the header read. The chips are those the strip
    // shows now.
    QList<EdgeDrawerNoteChip *> chips() const;
    ZulMinimalIconButton *newQuickNoteButton() const { return m_plus; }
    ZulMinimalIconButton *popOutButton() const { return m_popOut; }
    ZulMinimalIconButton *openInStudioButton() const { return m_openStudio; }
    ZulMinimalIconButton *closeButton() const { return m_close; }
    VeskButton *createQuickNoteButton() const { return m_createQuickNote; }
    ComputationalEditorView *editor() const { return m_editor; }
    EdgeDrawerChipStrip *chipStrip() const { return m_strip; }
    // Header, the chip strip as one stop, then the note's own stops.
    QList<QWidget *> tabStops() const;
    // True while no note is selected and the quick-note button shows.
    bool isShowingEmptyState() const;
    QString title() const;
    QString caption() const;
    // The drawer's glass: its tint, wash, sheen and edge.
    static void paintBackdrop(QPainter &painter, const QRectF &bounds, const QColor &accent);

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void createQuickNote();
    // Scrolls the strip to the selected note's chip once the strip is laid out.
    void revealSelectedChip();
    void refreshBody();
    void refreshWindowTitle();
    void refreshTexts();

    QPointer<ZulStudioViewModel> m_viewModel;
    std::function<void()> m_onClose;
    QColor m_accent;

    QLabel *m_title = nullptr;
    QLabel *m_caption = nullptr;
    ZulMinimalIconButton *m_plus = nullptr;
    ZulMinimalIconButton *m_popOut = nullptr;
    ZulMinimalIconButton *m_openStudio = nullptr;
    ZulMinimalIconButton *m_close = nullptr;
    EdgeDrawerChipStrip *m_strip = nullptr;
    // The view model's, which may go before the drawer does.
    QPointer<ZulNoteListModel> m_notes;
    QStackedWidget *m_body = nullptr;
    ComputationalEditorView *m_editor = nullptr;
    QWidget *m_emptyPage = nullptr;
    VeskButton *m_createQuickNote = nullptr;
    VeskBackdropCache m_backdrop;
};
