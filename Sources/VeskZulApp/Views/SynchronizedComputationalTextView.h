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
// A note of many lines, or with a very long line, is shown in rows: no line
// wraps, and only what is on screen is ever laid out (EditorRowLayout), so a
// key costs the same in a note of a million lines as in one of ten; a long
// line runs on to the right instead of being wrapped anew at every key. A
// very long note is put into the view a part at a time, the first at once
// and the rest over the next turns of the event loop.
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
    // surface): the smallest span that differs is replaced as one edit that
    // joins the history, so Undo goes back through it and never around it
    // onto a text the note no longer has. The caret keeps its place in the
    // text around the change; the scroll position stays. Does nothing when
    // the text is unchanged.
    void setNoteText(const QString &text);
    // Shows another note's text. The history is cleared, so Undo never
    // applies one note's edits to another; the selection is kept where it
    // still lies inside the new text and the scroll position stays.
    void loadNoteText(const QString &text);

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

    // From this many lines, or a line this long, a note is shown in rows.
    static constexpr qsizetype rowsFromLineCount = 3000;
    static constexpr qsizetype rowsFromLineLength = 1000;
    bool showsRows() const { return m_rowLayout != nullptr; }
    // True until every line of a very long note is in the view.
    bool isLoading() const { return m_loading; }

signals:
    // One user edit changed the note text; emitted once per change with the
    // whole new text. Never emitted for a text set through setNoteText or
    // loadNoteText.
    void textEdited(const QString &text);
    // The user asked to search the text (the platform's Find keys).
    void findRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
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

    void rebuildLines();
    // The text changed in [from, from + removed) to `inserted` characters:
    // the lines around the change are split afresh, those below move.
    void updateLines(qsizetype from, qsizetype removed, qsizetype inserted);
    qsizetype lineOfDocumentPosition(qsizetype position) const;
    qsizetype lineOfTextPosition(qsizetype position) const;
    // The document form of lines [first, end), joined by "\n".
    QString displayLines(qsizetype first, qsizetype end) const;
    bool wantsRows() const;
    void setRowsMode(bool rows);
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
    QTimer m_caretBlink;
    bool m_caretShown = false;
    QRect m_caretRect;
    // The caret's place as last found, with what it was found for: the
    // document's revision, the caret position, the scroll and the width.
    using CaretPlace = std::tuple<int, int, int, int, int>;
    mutable std::optional<std::pair<CaretPlace, QRect>> m_caretPlace;
};
