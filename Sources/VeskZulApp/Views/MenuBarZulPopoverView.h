#pragma once

#include <QColor>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>

class QAbstractButton;
class QHBoxLayout;
class QLabel;
class QPlainTextEdit;
class QVBoxLayout;
class VeskButton;
class VeskFeedbackButton;
class VeskTextLine;
class ZulStudioViewModel;

// The tray popover: a scratch calculator (its text and results live in the
// view model) with the first results and their total, and the ways to the
// drawer, a new sticky, the studio window and quitting. It keeps nothing of
// its own.
class MenuBarZulPopoverView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int contentWidth = 316;
    static constexpr int listedResults = 5;
    static constexpr qreal cornerRadius = 12;

    MenuBarZulPopoverView(ZulStudioViewModel *viewModel, std::function<void()> onOpenStudio, const QColor &accent,
                          QWidget *parent = nullptr);

    // Ends the application; the platform's quit unless replaced.
    std::function<void()> terminateAction;

    // What the tests read.
    QPlainTextEdit *scratchEditor() const { return m_editor; }
    // Absent while the summary has no total.
    QAbstractButton *totalChip() const;
    QWidget *resultList() const { return m_resultList; }
    // Raw-line labels and result buttons of the listed rows, in order.
    QList<VeskTextLine *> resultLines() const { return m_rowLines; }
    QList<QAbstractButton *> resultButtons() const { return m_rowResults; }
    VeskButton *saveNoteButton() const { return m_saveNote; }
    VeskButton *edgeDrawerButton() const { return m_edgeDrawer; }
    VeskButton *stickyButton() const { return m_sticky; }
    VeskButton *openStudioButton() const { return m_openStudio; }
    VeskButton *quitButton() const { return m_quit; }
    QString noteCountText() const;
    QString titleText() const;

    // A raw line as the list shows it: spaces and tabs trimmed at both ends.
    static QString displayedRawLine(const QString &rawLine);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void refreshSummary();
    void refreshNoteCount();
    void refreshTexts();
    void takeScratchText();
    QWidget *makeFeedbackButton();

    QPointer<ZulStudioViewModel> m_viewModel;
    std::function<void()> m_onOpenStudio;
    QColor m_accent;

    QHBoxLayout *m_header = nullptr;
    VeskFeedbackButton *m_feedback = nullptr;
    QAbstractButton *m_totalChip = nullptr;
    QLabel *m_title = nullptr;
    QPlainTextEdit *m_editor = nullptr;
    QWidget *m_resultList = nullptr;
    QVBoxLayout *m_resultLayout = nullptr;
    QList<VeskTextLine *> m_rowLines;
    QList<QAbstractButton *> m_rowResults;
    VeskButton *m_saveNote = nullptr;
    VeskButton *m_edgeDrawer = nullptr;
    VeskButton *m_sticky = nullptr;
    VeskButton *m_openStudio = nullptr;
    VeskButton *m_quit = nullptr;
    QLabel *m_noteCount = nullptr;
    bool m_writingScratch = false;
};
