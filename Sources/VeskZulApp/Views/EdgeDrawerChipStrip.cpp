#include "Views/EdgeDrawerChipStrip.h"

#include "Views/EdgeDrawerNoteChip.h"
#include "Views/ZulNoteListModel.h"
#include "ViewModels/ZulStudioViewModel.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace {

// Chips kept hidden for the rows that scroll in next.
constexpr qsizetype kSpareChips = 8;
// What a row not measured yet counts for while no row is.
constexpr int kTypicalChipWidth = 64;

} // namespace

EdgeDrawerChipStrip::EdgeDrawerChipStrip(ZulNoteListModel *notes, QWidget *parent)
    : QAbstractScrollArea(parent), m_notes(notes),
      m_metrics{QFontMetricsF(EdgeDrawerNoteChip::titleFont(false)), QFontMetricsF(EdgeDrawerNoteChip::titleFont(true))}
{
    m_chipHeight = EdgeDrawerNoteChip::heightFor(m_metrics[0]);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAttribute(Qt::WA_TranslucentBackground);
    // The drawer's glass shows through.
    viewport()->setAutoFillBackground(false);
    setFixedHeight(m_chipHeight + verticalPadding * 2);
    if (m_notes) {
        connect(m_notes, &QAbstractItemModel::modelReset, this, &EdgeDrawerChipStrip::reset);
        connect(m_notes, &QAbstractItemModel::rowsInserted, this,
                [this](const QModelIndex &, int first, int last) { rowsInserted(first, last); });
        connect(m_notes, &QAbstractItemModel::rowsRemoved, this,
                [this](const QModelIndex &, int first, int last) { rowsRemoved(first, last); });
        connect(m_notes, &QAbstractItemModel::rowsMoved, this,
                [this](const QModelIndex &, int first, int last, const QModelIndex &, int destination) {
                    rowsMoved(first, last, destination);
                });
        connect(m_notes, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex &top, const QModelIndex &bottom) {
                    remeasure(top.row(), bottom.row());
                    place();
                });
    }
    reset();
}

QList<EdgeDrawerNoteChip *> EdgeDrawerChipStrip::chips() const
{
    QList<EdgeDrawerNoteChip *> result;
    for (const QPointer<EdgeDrawerNoteChip> &chip : m_order) {
        if (chip)
            result.append(chip);
    }
    return result;
}

EdgeDrawerNoteChip *EdgeDrawerChipStrip::chipOf(const QUuid &noteID) const
{
    return m_made.value(noteID).data();
}

std::optional<QUuid> EdgeDrawerChipStrip::selectedID() const
{
    return m_notes ? m_notes->viewModel().selectedNoteID() : std::nullopt;
}

int EdgeDrawerChipStrip::measure(int row, const std::optional<QUuid> &selected)
{
    const bool isSelected = selected == m_notes->idAt(row);
    const QString title = EdgeDrawerNoteChip::shownTitle(m_notes->displayTitle(row));
    QHash<QString, int> &measured = m_measured[isSelected ? 1 : 0];
    auto found = measured.constFind(title);
    if (found == measured.cend() && measured.size() > 2 * qsizetype(m_widths.size()) + 1024) {
        // Titles typed letter by letter leave their old widths behind.
        measured.clear();
        found = measured.cend();
    }
    if (found == measured.cend())
        found = measured.insert(title, EdgeDrawerNoteChip::widthFor(m_metrics[isSelected ? 1 : 0], title));
    return *found;
}

void EdgeDrawerChipStrip::remeasure(int first, int last)
{
    const std::optional<QUuid> selected = selectedID();
    last = std::min(last, int(m_known) - 1);
    for (int row = std::max(first, 0); row <= last; ++row)
        m_widths[size_t(row)] = measure(row, selected);
    m_staleFrom = std::min(m_staleFrom, size_t(std::max(first, 0)));
}

void EdgeDrawerChipStrip::measureUpTo(size_t rows)
{
    rows = std::min(rows, m_widths.size());
    if (rows <= m_known)
        return;
    const std::optional<QUuid> selected = selectedID();
    for (size_t row = m_known; row < rows; ++row)
        m_widths[row] = measure(int(row), selected);
    m_staleFrom = std::min(m_staleFrom, m_known);
    m_known = rows;
}

void EdgeDrawerChipStrip::reset()
{
    // Rows are measured as the view reaches them: a new search costs the
    // chips on screen, not one measurement per listed note.
    m_widths.assign(size_t(m_notes ? m_notes->rowCount() : 0), 0);
    m_known = 0;
    m_staleFrom = 0;
    place();
}

void EdgeDrawerChipStrip::rowsInserted(int first, int last)
{
    const size_t count = size_t(last - first + 1);
    m_widths.insert(m_widths.begin() + first, count, 0);
    if (size_t(first) < m_known) {
        m_known += count;
        remeasure(first, last);
    }
    m_staleFrom = std::min(m_staleFrom, size_t(first));
    place();
}

void EdgeDrawerChipStrip::rowsRemoved(int first, int last)
{
    m_widths.erase(m_widths.begin() + first, m_widths.begin() + last + 1);
    if (size_t(first) < m_known)
        m_known -= std::min(size_t(last + 1), m_known) - size_t(first);
    m_staleFrom = std::min(m_staleFrom, size_t(first));
    place();
}

void EdgeDrawerChipStrip::rowsMoved(int first, int last, int destination)
{
    // `destination` counts the rows as they stood before the move.
    const auto begin = m_widths.begin();
    if (destination < first)
        std::rotate(begin + destination, begin + first, begin + last + 1);
    else
        std::rotate(begin + first, begin + last + 1, begin + destination);
    // What follows the first row moved is measured again when reached.
    const size_t from = size_t(std::min(first, destination));
    m_known = std::min(m_known, from);
    m_staleFrom = std::min(m_staleFrom, from);
    place();
}

void EdgeDrawerChipStrip::updateOffsets()
{
    m_offsets.resize(m_widths.size());
    for (size_t row = m_staleFrom; row < m_known; ++row)
        m_offsets[row] = row == 0 ? horizontalPadding : m_offsets[row - 1] + m_widths[row - 1] + chipSpacing;
    m_staleFrom = m_known;
}

int EdgeDrawerChipStrip::rowLeft(int row)
{
    measureUpTo(size_t(row) + 1);
    updateOffsets();
    return m_offsets[size_t(row)];
}

int EdgeDrawerChipStrip::rowWidth(int row)
{
    measureUpTo(size_t(row) + 1);
    return m_widths[size_t(row)];
}

int EdgeDrawerChipStrip::knownRight()
{
    updateOffsets();
    return m_known == 0 ? horizontalPadding - chipSpacing : m_offsets[m_known - 1] + m_widths[m_known - 1];
}

int EdgeDrawerChipStrip::contentWidth()
{
    if (m_widths.empty())
        return horizontalPadding * 2;
    // Rows not reached yet count as wide as those measured, on average.
    const int right = knownRight();
    const size_t unknown = m_widths.size() - m_known;
    const int average =
        m_known == 0 ? kTypicalChipWidth : (right - horizontalPadding + chipSpacing) / int(m_known) - chipSpacing;
    return right + int(unknown) * (average + chipSpacing) + horizontalPadding;
}

int EdgeDrawerChipStrip::rowAt(int x)
{
    // Measure on until a row reaches past x.
    while (m_known < m_widths.size() && knownRight() <= x)
        measureUpTo(m_known + 1);
    updateOffsets();
    // The first row whose right edge lies beyond x.
    int low = 0;
    int high = int(m_known);
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (m_offsets[size_t(middle)] + m_widths[size_t(middle)] <= x)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

EdgeDrawerNoteChip *EdgeDrawerChipStrip::takeChip(QHash<QUuid, QPointer<EdgeDrawerNoteChip>> &made)
{
    if (!m_spare.isEmpty())
        return m_spare.takeLast();
    // A chip that scrolled out serves a row that scrolled in.
    for (auto it = made.begin(); it != made.end(); ++it) {
        if (*it && !(*it)->hasFocus()) {
            EdgeDrawerNoteChip *chip = it->data();
            made.erase(it);
            return chip;
        }
    }
    auto *chip = new EdgeDrawerNoteChip(QUuid(), QString(), ZulNoteTint::indigo, false, viewport());
    chip->installEventFilter(this);
    connect(chip, &QAbstractButton::clicked, this, [this, chip] { emit chipClicked(chip->noteID()); });
    return chip;
}

void EdgeDrawerChipStrip::place()
{
    const int visibleWidth = viewport()->width();
    QScrollBar *bar = horizontalScrollBar();
    // The rows on screen (and the next) first, so the range below knows them.
    rowAt(bar->value() + visibleWidth);
    measureUpTo(m_known + 1);
    const int total = contentWidth();
    {
        // Setting the range moves the view back inside it; that lands here
        // again, so the chips are placed once, below.
        const QSignalBlocker quiet(bar);
        bar->setRange(0, std::max(0, total - visibleWidth));
        bar->setPageStep(visibleWidth);
        bar->setSingleStep(20);
    }
    const int scroll = bar->value();

    QHash<QUuid, QPointer<EdgeDrawerNoteChip>> leaving = std::move(m_made);
    m_made.clear();
    m_order.clear();
    if (!m_notes) {
        for (const QPointer<EdgeDrawerNoteChip> &chip : std::as_const(leaving))
            delete chip.data();
        return;
    }
    const std::optional<QUuid> selected = selectedID();
    const int top = (viewport()->height() - m_chipHeight) / 2;
    const int rows = int(m_widths.size());
    // First the chips whose notes stay on screen keep them; then the rest.
    const int first = rowAt(scroll);
    int last = first;
    while (last < rows && rowLeft(last) < scroll + visibleWidth)
        ++last;
    const auto show = [&](int row, EdgeDrawerNoteChip *chip) {
        const ZulNote &note = m_notes->noteAt(row);
        chip->setNote(note.id, m_notes->displayTitle(row), note.tint, selected == note.id);
        chip->setGeometry(rowLeft(row) - scroll, top, rowWidth(row), m_chipHeight);
        chip->show();
    };
    QList<int> unmade;
    for (int row = first; row < last; ++row) {
        const QUuid id = m_notes->idAt(row);
        if (const QPointer<EdgeDrawerNoteChip> chip = leaving.take(id)) {
            show(row, chip);
            m_made.insert(id, chip);
        } else {
            unmade.append(row);
        }
    }
    // The keyboard stays on its chip while the view scrolls away from it.
    for (auto it = leaving.begin(); it != leaving.end();) {
        const int row = *it && (*it)->hasFocus() ? m_notes->rowOf(it.key()) : -1;
        if (row >= 0) {
            show(row, *it);
            m_made.insert(it.key(), *it);
            it = leaving.erase(it);
        } else {
            ++it;
        }
    }
    for (const int row : std::as_const(unmade)) {
        EdgeDrawerNoteChip *chip = takeChip(leaving);
        show(row, chip);
        m_made.insert(m_notes->idAt(row), chip);
    }
    for (const QPointer<EdgeDrawerNoteChip> &chip : std::as_const(leaving)) {
        if (!chip)
            continue;
        if (m_spare.size() < kSpareChips) {
            chip->hide();
            m_spare.append(chip);
        } else {
            delete chip.data();
        }
    }
    for (const QPointer<EdgeDrawerNoteChip> &chip : std::as_const(m_made))
        m_order.append(chip);
    std::sort(m_order.begin(), m_order.end(),
              [](const QPointer<EdgeDrawerNoteChip> &a, const QPointer<EdgeDrawerNoteChip> &b) {
                  return a->x() < b->x();
              });
}

EdgeDrawerNoteChip *EdgeDrawerChipStrip::reveal(int row)
{
    if (!m_notes || row < 0 || row >= int(m_widths.size()))
        return nullptr;
    const int left = rowLeft(row) - revealMargin;
    const int right = left + rowWidth(row) + revealMargin * 2;
    QScrollBar *bar = horizontalScrollBar();
    const int before = bar->value();
    if (left < bar->value())
        bar->setValue(left);
    else if (right > bar->value() + viewport()->width())
        bar->setValue(right - viewport()->width());
    if (bar->value() == before)
        place();
    return chipOf(m_notes->idAt(row));
}

void EdgeDrawerChipStrip::scrollContentsBy(int, int)
{
    place();
}

void EdgeDrawerChipStrip::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    place();
}

bool EdgeDrawerChipStrip::viewportEvent(QEvent *event)
{
    // A plain wheel turns the strip sideways: it has no other direction.
    if (event->type() == QEvent::Wheel) {
        const QPoint delta = static_cast<QWheelEvent *>(event)->angleDelta();
        const int step = delta.x() != 0 ? delta.x() : delta.y();
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - step / 4);
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

bool EdgeDrawerChipStrip::eventFilter(QObject *watched, QEvent *event)
{
    auto *chip = qobject_cast<EdgeDrawerNoteChip *>(watched);
    if (!chip || !m_notes)
        return QAbstractScrollArea::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn)
        reveal(m_notes->rowOf(chip->noteID()));
    // The strip is one chip group: Left and Right move the keyboard along
    // the rows, at either end it stays.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Left || key == Qt::Key_Right) {
            const int row = m_notes->rowOf(chip->noteID()) + (key == Qt::Key_Left ? -1 : 1);
            if (row >= 0 && row < m_notes->rowCount()) {
                if (EdgeDrawerNoteChip *next = reveal(row))
                    next->setFocus(Qt::TabFocusReason);
            }
            return true;
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}
