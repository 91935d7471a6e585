#pragma once

#include <QAbstractScrollArea>
#include <QFontMetricsF>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QUuid>

#include <optional>
#include <vector>

class EdgeDrawerNoteChip;
class ZulNoteListModel;

// The drawer's sideways row of note chips, one for each row of the note
// list. Only the chips on screen exist: the strip keeps the widths of the
// rows it has reached (measured once per title) and where each starts,
// makes the chips for what the viewport shows and hands chips that scroll
// out to the rows that scroll in. So a list of fifty thousand notes costs
// what a dozen chips do, and a change of the list costs the rows it changed
// and those on screen.
class EdgeDrawerChipStrip : public QAbstractScrollArea
{
    Q_OBJECT

public:
    static constexpr int horizontalPadding = 10;
    static constexpr int verticalPadding = 7;
    static constexpr int chipSpacing = 5;
    // A chip scrolled into view stands this far from the strip's ends.
    static constexpr int revealMargin = 10;

    explicit EdgeDrawerChipStrip(ZulNoteListModel *notes, QWidget *parent = nullptr);

    // The chips there are, in the list's order: those on screen, and the one
    // holding the keyboard wherever it stands.
    QList<EdgeDrawerNoteChip *> chips() const;
    const QList<QPointer<EdgeDrawerNoteChip>> &chipList() const { return m_order; }
    EdgeDrawerNoteChip *chipOf(const QUuid &noteID) const;
    // Scrolls the row's chip wholly into view and returns it.
    EdgeDrawerNoteChip *reveal(int row);
    // Where the row's chip starts and how wide it is, in the strip's content.
    int rowLeft(int row);
    int rowWidth(int row);
    // The content's whole width, rows not reached yet counted at the
    // average width of those that were.
    int contentWidth();

signals:
    void chipClicked(const QUuid &noteID);

protected:
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::optional<QUuid> selectedID() const;
    int measure(int row, const std::optional<QUuid> &selected);
    // Measures again the rows of [first, last] already reached.
    void remeasure(int first, int last);
    void measureUpTo(size_t rows);
    // Where the last row measured ends.
    int knownRight();
    void reset();
    void rowsInserted(int first, int last);
    void rowsRemoved(int first, int last);
    void rowsMoved(int first, int last, int destination);
    // The row whose chip reaches past x.
    int rowAt(int x);
    void updateOffsets();
    // Makes the chips of the rows on screen and places them.
    void place();
    EdgeDrawerNoteChip *takeChip(QHash<QUuid, QPointer<EdgeDrawerNoteChip>> &made);

    QPointer<ZulNoteListModel> m_notes;
    QFontMetricsF m_metrics[2];
    int m_chipHeight = 0;
    // Chip widths by title, for unselected and selected chips.
    QHash<QString, int> m_measured[2];
    // Every row's width, known for the first m_known rows.
    std::vector<int> m_widths;
    size_t m_known = 0;
    // Where each known row starts; right from m_staleFrom they wait to be
    // summed.
    std::vector<int> m_offsets;
    size_t m_staleFrom = 0;
    QHash<QUuid, QPointer<EdgeDrawerNoteChip>> m_made;
    QList<QPointer<EdgeDrawerNoteChip>> m_order;
    QList<EdgeDrawerNoteChip *> m_spare;
};
