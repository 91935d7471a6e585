#pragma once

#include <QColor>
#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <utility>

class EditorLayoutMetrics;

// The column left of the text that numbers its logical lines, each number
// level with its line's first row. It does not scroll by itself: every row
// is placed from the published line tops minus the scroll offset.
class ZulLineNumberColumn : public QWidget
{
    Q_OBJECT

public:
    // The least width; a note whose widest number needs more gets it.
    static constexpr int columnWidth = 36;
    static constexpr qreal numberWidth = 30;
    static constexpr qreal trailingShift = 4;

    explicit ZulLineNumberColumn(EditorLayoutMetrics *metrics, QWidget *parent = nullptr);

    // Where the number of line `index` stands, in the column's coordinates.
    QRectF rowRect(qsizetype index) const;
    // The lines whose rows intersect the column, first and one past last.
    std::pair<qsizetype, qsizetype> visibleLines() const;

    // Room for the widest number the note has, never less than numberWidth.
    qreal numberRoom() const { return m_numberRoom; }

    QSize sizeHint() const override;
    // Filled behind the rows; transparent by default.
    void setBackgroundColor(const QColor &colour);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void fitWidestNumber();

    QPointer<EditorLayoutMetrics> m_metrics;
    qreal m_numberRoom = numberWidth;
    QColor m_background = Qt::transparent;
};
