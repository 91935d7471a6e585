#pragma once

#include "Engine/ComputationalNoteEngine.h"

#include <QColor>
#include <QList>
#include <QPointer>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextEdit>
#include <QTimer>

#include <optional>
#include <tuple>
#include <utility>

#include "Views/EditorLayoutMetrics.h"
#include "Views/ZulNoteUndoHistory.h"

#include "VeskKit/Localization/VeskLanguage.h"

#include <memory>

class EditorRowLayout;

// The editable text of one note: a monospaced text view with a fixed row
// height that keeps the note text and the view in step in both directions
// and publishes where every logical line begins (EditorLayoutMetrics), so
// the side columns can stand level with the lines.
//
// The note text is kept here exactly as the note holds it. The document
// shown is a display form of it with one paragraph per logical line (the
// note engine's lines), because a text document folds several line ends
// into one kind and would rewrite a note merely by showing it. Edits in the
// document are mapped back onto the kept text, so a CR LF, a vertical tab,
// a line separator or a no-break space the user did not touch stays as it
// was.
//
// A note of many lines, or with a very long line, is shown in rows of a
// fixed height by EditorRowLayout. A note of many lines wraps no line, and
// only what is on screen is ever laid out, so a key costs the same in a note
// of a million lines as in one of ten; a line wider than the view runs on to
// the right. A note with a very long line wraps it at the view's width, a
// piece at a time, so a key shapes again only the piece it changed; the
// caret, the keys that move by rows and the scrolling to the caret then go
// by that layout, never through a layout of the whole line. A very long note
// is put into the view a part at a time, the first at once and the rest over
// the next turns of the event loop.
class SynchronizedComputationalTextView : public QTextEdit
{
    Q_OBJECT

public:
    // Text insets inside the view; the gutter's fallback row placement uses
    // the same top inset.
    static constexpr qreal horizontalInset = 15;
    static constexpr qreal verticalInset = 14;

    explicit SynchronizedComputationalTextView(QWidget *parent = nullptr);

    // The fixed row height for a font size: ceil(1.68 × size).
    static qreal lineHeightFor(qreal fontSize);
    // The document form of a note text: its logical lines joined by "\n",
    // with the two characters a text document would take for frame marks
    // shown as U+FFFD.
    static QString displayForm(QStringView text);

    // The note text as it stands, character for character.
    const QString &noteText() const { return m_text; }
    // The same note changed elsewhere (a task toggled, typing in another
    // surface): the smallest span that differs is replaced, and the change
    // joins the note's history, so Undo goes back through it and never
    // around it onto a text the note no longer has. The caret keeps its
    // place in the text around the change; the scroll position stays. Does
    // nothing when the text is unchanged.
    void setNoteText(const QString &text);
    // Shows another note's text with that note's history (a new one when
    // none is given), so Undo never applies one note's edits to another; the
    // selection is kept where it still lies inside the new text and the
    // scroll position stays.
    void loadNoteText(const QString &text, std::shared_ptr<ZulNoteUndoHistory> history = {});
    const std::shared_ptr<ZulNoteUndoHistory> &history() const { return m_history; }
    bool canUndo() const;
    bool canRedo() const;

    // The language of the text's own menu.
    void setLanguage(VeskLanguage language) { m_language = language; }

    qreal fontSize() const { return m_fontSize; }
    // Restyles the whole text when the size differs by more than 0.1.
    void setFontSize(qreal size);
    QColor accentColor() const { return m_accent; }
    // Colours the caret and, at 0.32 opacity, the selection.
    void setAccentColor(const QColor &accent);

    EditorLayoutMetrics *metrics() const { return m_metrics; }
    void setMetrics(EditorLayoutMetrics *metrics);

    // Measures every line's top and publishes what changed. Runs at once
    // after a user edit and a resize, one event-loop turn after the text is
    // replaced, the font changes or the document's size changes.
    void publishLayoutMetrics();
    // Scrolling publishes the offset alone.
    void publishScrollOffsetOnly();

    // The note text position of a document position and back.
    qsizetype textPosition(int documentPosition) const;
    int documentPosition(qsizetype textPosition) const;

    // From this many lines a note is shown in rows that never wrap; with a
    // line this long, in rows wrapped at the view's width.
    static constexpr qsizetype rowsFromLineCount = 3000;
    static constexpr qsizetype rowsFromLineLength = 1000;
    bool showsRows() const { return m_rowLayout != nullptr; }
    bool wrapsRows() const;
    // The caret's rectangle before a document position, in the viewport's
    // coordinates, as the view draws it.
    QRect cursorRectAt(int documentPosition) const;

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    // True until every line of a very long note is in the view.
    bool isLoading() const { return m_loading; }

public slots:
    // Take back, or bring again, one step of the note's history: the caret
    // stands where it changed the text, and the view moves only to show it.
    // They stand in for the text edit's own, which the document's history
    // served.
    void undo();
    void redo();

private slots:
    // The text edit asks to show the caret, at the place its own layout
    // gives it; in rows the place comes from the rows' layout.
    void revealCaret(const QRectF &rect);

signals:
    // One user edit (an undo and a redo too) changed the note text; emitted once per change with the
    // whole new text. Never emitted for a text set through setNoteText or
    // loadNoteText.
    void textEdited(const QString &text);
    // The user asked to search the text (the platform's Find keys).
    void findRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    struct Line
    {
        qsizetype textStart = 0;
        qsizetype length = 0;
        qsizetype documentStart = 0;
    };

    // The text becomes `text`, whose [start, newEnd) replaced [start,
    // oldEnd) of the text shown: the document changes only around it.
    void showReplaced(const QString &text, qsizetype start, qsizetype oldEnd, qsizetype newEnd);
    void stepThroughHistory(bool back);
    void rebuildLines();
    // The text changed in [from, from + removed) to `inserted` characters:
    // the lines around the change are split afresh, those below move.
    void updateLines(qsizetype from, qsizetype removed, qsizetype inserted);
    qsizetype lineOfDocumentPosition(qsizetype position) const;
    qsizetype lineOfTextPosition(qsizetype position) const;
    // The document form of lines [first, end), joined by "\n".
    QString displayLines(qsizetype first, qsizetype end) const;
    enum class Rows
    {
        none,
        wrapped,
        unwrapped,
    };
    Rows rowsShown() const;
    Rows wantsRows() const;
    void setRowsMode(Rows rows);
    // The keys that move by visual rows (up, down, a page, the start and the
    // end of a row), in rows that wrap.
    bool moveByRows(QKeyEvent *event);
    // Scrolls just far enough to show a rectangle of the document.
    void reveal(const QRectF &rect);
    // Rows wrapped in pieces lay out at once only what is seen.
    void tellRowsWhatIsSeen();
    void loadMore();
    // The one style of every character: the monospaced font of the size.
    QTextCharFormat characterFormat() const;
    // Every paragraph's format: the fixed row height.
    QTextBlockFormat rowFormat() const;
    // Builds the document anew from the kept text; clears the history.
    void rebuildDocument();
    // Puts the caret and the anchor at these note text positions, as the
    // view's own doing.
    void restoreSelection(qsizetype anchor, qsizetype position);
    void documentContentsChange(int from, int charsRemoved, int charsAdded);
    void documentContentsChanged();
    void schedulePublish();
    void restartCaretBlink();
    QRect caretRect() const;
    // With the caret on the first row, scrolls to the very top.
    void revealTopInset();
    void applyPalette();

    QString m_text;
    // Shared with every other editor showing the note.
    std::shared_ptr<ZulNoteUndoHistory> m_history;
    VeskLanguage m_language = VeskLanguage::en;
    QList<Line> m_lines;
    EditorRowLayout *m_rowLayout = nullptr;
    // Lines in the document while a very long note is still being put in.
    qsizetype m_loadedLines = 0;
    bool m_loading = false;
    QPointer<EditorLayoutMetrics> m_metrics;
    qreal m_fontSize = 14;
    QColor m_accent;
    // True while the view changes its own document; edits then are not the
    // user's.
    bool m_isProgrammaticUpdate = false;
    // A paste computes the new text itself, so pasted line ends stay as
    // they came.
    std::optional<QString> m_ownEditText;
    bool m_textChangePending = false;
    bool m_publishQueued = false;
    bool m_resyncQueued = false;
    // Where vertical moves aim, kept while they follow one another.
    std::optional<qreal> m_rowMoveX;
    bool m_movingByRows = false;
    QTimer m_caretBlink;
    bool m_caretShown = false;
    QRect m_caretRect;
    // The caret's place as last found, with what it was found for: the
    // document's revision, the caret position, the scroll and the width.
    using CaretPlace = std::tuple<int, int, int, int, int>;
    mutable std::optional<std::pair<CaretPlace, QRect>> m_caretPlace;
};
