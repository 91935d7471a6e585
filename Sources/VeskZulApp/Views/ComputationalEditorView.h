#pragma once

#include "Models/EvaluatedLine.h"
#include "ViewModels/ZulNoteField.h"

#include <QPointer>
#include <QString>
#include <QUuid>
#include <QWidget>

#include <optional>

class EditorLayoutMetrics;
class QStackedWidget;
class QLabel;
class QLayout;
class QVBoxLayout;
class SynchronizedComputationalTextView;
class VeskButton;
class VeskSymbolLabel;
class ZulEditorFindBar;
class ZulEditorNoteHeader;
class ZulEditorStatusBar;
class ZulLineNumberColumn;
class ZulResultGutter;
class ZulStudioViewModel;

// The note editor: one note's text with line numbers on its left, live
// results level with their lines on its right, an optional header and the
// status bar. It keeps no note of its own: it looks the note and its
// evaluation up in the view model by id whenever the view model changes,
// and every edit goes back through a view-model operation. What it owns is
// the line geometry shared by the text and the two columns.
//
// Used in three forms: the studio workspace (full, header shown), and the
// compact form without header in the edge drawer and the sticky panels.
class ComputationalEditorView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int gutterWidth = 168;
    static constexpr int compactGutterWidth = 116;

    ComputationalEditorView(ZulStudioViewModel *viewModel, const QUuid &noteID, bool compactMode,
                            bool showHeaderControls, QWidget *parent = nullptr);
    ~ComputationalEditorView() override;

    const QUuid &noteID() const { return m_noteID; }
    // Shows another note in the same editor (the studio reuses one editor
    // for the selected note).
    void setNoteID(const QUuid &id);
    bool compactMode() const { return m_compactMode; }
    bool showHeaderControls() const { return m_showHeaderControls; }

    // The text font size for a configured size: one smaller in compact
    // form, never below 12 there.
    static qreal textFontSize(double configured, bool compact);

    // The note text with the task marker of `line` flipped, when the line
    // at that index still reads as the record says; nothing otherwise (the
    // record may be older than the text). Only that line changes.
    static std::optional<QString> toggledTaskText(const QString &content, const EvaluatedLine &line);

    EditorLayoutMetrics *metrics() const { return m_metrics; }
    SynchronizedComputationalTextView *textView() const { return m_text; }
    ZulLineNumberColumn *lineNumberColumn() const { return m_lineNumbers; }
    ZulResultGutter *resultGutter() const { return m_gutter; }
    ZulEditorNoteHeader *header() const { return m_header; }
    ZulEditorStatusBar *statusBar() const { return m_statusBar; }
    // None until the first search.
    ZulEditorFindBar *findBar() const { return m_findBar; }
    // True while the note is missing and the empty state shows.
    bool isShowingEmptyState() const;
    // None until the empty state first shows.
    VeskButton *newNoteButton() const { return m_newNote; }
    // Where Tab stops, in reading order: the header's controls, the text,
    // the results, the status bar's buttons.
    QList<QWidget *> tabStops() const;

private:
    void buildEditor();
    void buildEmptyState();
    void showEmptyState();
    void refreshEmptyStateTexts();
    ZulEditorFindBar *ensureFindBar();
    // Everything, as after a change of settings or language.
    void refresh();
    // What depends on those parts of the note; with every part, what
    // depends on the settings and the evaluation too.
    void refreshNote(ZulNoteFields fields);
    void refreshEvaluation();
    void refreshTexts();
    void toggleTask(const EvaluatedLine &line);

    QPointer<ZulStudioViewModel> m_viewModel;
    QUuid m_noteID;
    // The note whose text (and history) the text view holds.
    QUuid m_textNoteID;
    bool m_compactMode;
    bool m_showHeaderControls;
    EditorLayoutMetrics *m_metrics = nullptr;

    QStackedWidget *m_pages = nullptr;
    QWidget *m_editorPage = nullptr;
    QWidget *m_emptyPage = nullptr;
    ZulEditorNoteHeader *m_header = nullptr;
    QWidget *m_headerDivider = nullptr;
    ZulLineNumberColumn *m_lineNumbers = nullptr;
    QWidget *m_lineNumberRule = nullptr;
    SynchronizedComputationalTextView *m_text = nullptr;
    QWidget *m_gutterRule = nullptr;
    ZulResultGutter *m_gutter = nullptr;
    ZulEditorStatusBar *m_statusBar = nullptr;
    ZulEditorFindBar *m_findBar = nullptr;
    QVBoxLayout *m_editorColumn = nullptr;
    QLayout *m_editorRow = nullptr;
    QLabel *m_emptyText = nullptr;
    VeskButton *m_newNote = nullptr;
};
