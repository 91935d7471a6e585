#pragma once

#include "Models/CompactNoteEvaluation.h"
#include "Models/NoteEvaluationSummary.h"

#include "VeskKit/Design/VeskAccessibleControl.h"
#include "VeskKit/Localization/VeskLanguage.h"

#include <QColor>
#include <QList>
#include <QPointer>
#include <QRectF>
#include <QRegion>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class EditorLayoutMetrics;

// The column right of the text that shows, level with each evaluated line,
// a badge with its result (a click copies it) or, for a task line, a
// Todo/Done toggle. Rows are placed from the published line tops minus the
// scroll offset; only the rows within 40 of the visible height are laid out
// and painted. A screen reader meets every result, on screen or not, as an
// object of its own in line order.
//
// From the keyboard the column is one stop: it starts at the result of the
// caret's line (or the next one below it), Up, Down, Home and End move
// among the lines that have results, Space or Enter does what a click does,
// and Escape goes back into the text at that line.
class ZulResultGutter : public QWidget, public VeskAccessibleParts
{
    Q_OBJECT

public:
    static constexpr qreal trailingPadding = 8;
    static constexpr qreal cullMargin = 40;

    // One row as laid out: the full-width frame level with its line and the
    // clickable chip inside it.
    struct Row
    {
        EvaluatedLine line;
        QRectF frame;
        QRectF chip;
        QString shownText; // the result as drawn, elided to the column
    };

    explicit ZulResultGutter(EditorLayoutMetrics *metrics, QWidget *parent = nullptr);

    NoteEvaluationSummary summary() const { return m_evaluation.summary(); }
    void setSummary(const NoteEvaluationSummary &summary);
    // The evaluation as the view model keeps it: only the rows on screen
    // are ever read out of it.
    void setEvaluation(const CompactNoteEvaluation &evaluation);
    bool compactMode() const { return m_compactMode; }
    void setCompactMode(bool compact);
    VeskLanguage language() const { return m_language; }
    void setLanguage(VeskLanguage language);

    // The rows built for the current geometry, in the summary's order.
    QList<Row> visibleRows() const;
    // The row whose chip is under a point, if any.
    std::optional<Row> rowAt(const QPointF &point) const;
    // The help text shown over a row's chip.
    QString helpText(const EvaluatedLine &line) const;

    // Where the keyboard starts when it arrives: the caret's line.
    void setEntryLine(std::function<qint64()> entryLine) { m_entryLine = std::move(entryLine); }
    // The line whose result the keyboard is on, while the column has it.
    std::optional<qint64> keyboardLine() const;

    // Filled behind the rows; transparent by default.
    void setBackgroundColor(const QColor &colour);

    int accessiblePartCount() const override;
    VeskAccessiblePart accessiblePart(int index) const override;
    void pressAccessiblePart(int index) override;

signals:
    // A result badge was clicked: copy this text.
    void copyRequested(const QString &formattedResult);
    // A task toggle was clicked for this record.
    void taskToggleRequested(const EvaluatedLine &line);
    // Escape: back into the text, at this line.
    void textRequested(qint64 lineIndex);
    // The keyboard moved to a line scrolled out of the column.
    void revealRequested(qint64 lineIndex);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    // The record the keyboard is on: the one for its line, else the next
    // below, else the last; none without results.
    std::optional<qsizetype> keyboardRecord() const;
    // Puts the keyboard on a record, its row scrolled into view; moving
    // tells the reader too.
    void placeKeyboard(qsizetype record);
    void moveKeyboardTo(qsizetype record);
    // What a click on the row's chip does.
    void activate(const EvaluatedLine &line);
    Row layoutRow(const EvaluatedLine &line, qreal y) const;
    // The area to repaint when the rows change from one list to the other.
    QRegion changedArea(const QList<Row> &before, const QList<Row> &after) const;
    void paintPlaceholder(QPainter &painter) const;
    void paintTask(QPainter &painter, const Row &row) const;
    void paintBadge(QPainter &painter, const Row &row) const;
    const QFont &resultFont(bool aggregate) const;
    QString taskText(bool checked) const;

    QPointer<EditorLayoutMetrics> m_metrics;
    QColor m_background = Qt::transparent;
    CompactNoteEvaluation m_evaluation;
    bool m_compactMode = false;
    VeskLanguage m_language = VeskLanguage::en;
    std::optional<qint64> m_pressedLine;
    std::function<qint64()> m_entryLine;
    qint64 m_keyboardLine = 0;
    struct Fonts
    {
        bool compact = false;
        QFont result;
        QFont aggregate;
        QFont task;
    };
    mutable std::optional<Fonts> m_fonts;
};
