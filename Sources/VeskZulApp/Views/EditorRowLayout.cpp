#include "Views/EditorRowLayout.h"

#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {

// No paragraph wraps, whatever its length.
constexpr qreal unbounded = 1e9;
// A paragraph longer than this is drawn only where it is seen.
constexpr int kDrawnInPartsFrom = 2000;
// Characters drawn either side of what is seen, for glyphs that reach over.
constexpr int kSliceMargin = 16;

} // namespace

EditorRowLayout::EditorRowLayout(QTextDocument *document, qreal rowHeight, qreal horizontalInset,
                                 qreal verticalInset)
    : QAbstractTextDocumentLayout(document)
    , m_rowHeight(rowHeight)
    , m_horizontalInset(horizontalInset)
    , m_verticalInset(verticalInset)
{
}

void EditorRowLayout::setRowHeight(qreal height)
{
    if (height == m_rowHeight)
        return;
    m_rowHeight = height;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (QTextLayout *layout = block.layout())
            layout->clearLayout();
    }
    announceSize();
    emit update();
}

void EditorRowLayout::ensureLaidOut(const QTextBlock &block) const
{
    QTextLayout *layout = block.layout();
    if (!layout)
        return;
    if (layout->lineCount() == 0) {
        QTextOption option = document()->defaultTextOption();
        option.setWrapMode(QTextOption::NoWrap);
        layout->setTextOption(option);
        layout->beginLayout();
        QTextLine line = layout->createLine();
        if (line.isValid()) {
            line.setLineWidth(unbounded);
            // The text stands in the middle of its row.
            line.setPosition(QPointF(m_horizontalInset, (m_rowHeight - line.height()) / 2));
        }
        layout->endLayout();
        if (line.isValid() && line.naturalTextWidth() > m_widest) {
            m_widest = line.naturalTextWidth();
            // The view learns of the wider text once it is done painting.
            QMetaObject::invokeMethod(const_cast<EditorRowLayout *>(this), &EditorRowLayout::announceSize,
                                      Qt::QueuedConnection);
        }
    }
    // Rows above it may have come or gone since.
    layout->setPosition(QPointF(0, rowTop(block.blockNumber())));
}

void EditorRowLayout::draw(QPainter *painter, const PaintContext &context)
{
    QTextDocument *doc = document();
    const QRectF clip = context.clip.isValid() ? context.clip : QRectF(QPointF(0, 0), documentSize());
    const int count = doc->blockCount();
    const int first = std::clamp(int(std::floor((clip.top() - m_verticalInset) / m_rowHeight)), 0, count - 1);
    const int last = std::clamp(int(std::ceil((clip.bottom() - m_verticalInset) / m_rowHeight)), 0, count - 1);
    QTextBlock block = doc->findBlockByNumber(first);
    for (int number = first; number <= last && block.isValid(); ++number, block = block.next()) {
        ensureLaidOut(block);
        QList<QTextLayout::FormatRange> selections;
        const int start = block.position();
        const int end = start + block.length();
        for (const Selection &selection : context.selections) {
            const int from = std::max(selection.cursor.selectionStart(), start);
            const int to = std::min(selection.cursor.selectionEnd(), end);
            if (from >= to)
                continue;
            QTextLayout::FormatRange range;
            range.start = from - start;
            range.length = to - from;
            range.format = selection.format;
            selections.append(range);
        }
        if (block.length() > kDrawnInPartsFrom)
            drawSeenPart(painter, block, selections, clip);
        else
            block.layout()->draw(painter, QPointF(0, 0), selections, clip);
    }
}

void EditorRowLayout::drawSeenPart(QPainter *painter, const QTextBlock &block,
                                   const QList<QTextLayout::FormatRange> &selections, const QRectF &clip) const
{
    // Drawing a line of a hundred thousand characters sets every glyph of
    // it, however few show: the part in view is drawn on its own, at the
    // place the whole line gives it.
    const QTextLayout *layout = block.layout();
    const QTextLine line = layout->lineAt(0);
    const qreal left = layout->position().x();
    const QString text = block.text();
    const int from = std::max(0, line.xToCursor(clip.left() - left) - kSliceMargin);
    const int to = std::min(int(text.size()), line.xToCursor(clip.right() - left) + kSliceMargin);
    if (from >= to)
        return;
    QTextLayout part(text.mid(from, to - from), block.begin().fragment().charFormat().font());
    part.setTextOption(layout->textOption());
    part.beginLayout();
    QTextLine partLine = part.createLine();
    partLine.setLineWidth(unbounded);
    partLine.setPosition(QPointF(0, line.y()));
    part.endLayout();
    QList<QTextLayout::FormatRange> shifted;
    for (QTextLayout::FormatRange range : selections) {
        const int start = std::max(range.start, from);
        const int end = std::min(range.start + range.length, to);
        if (start >= end)
            continue;
        range.start = start - from;
        range.length = end - start;
        shifted.append(range);
    }
    painter->save();
    painter->setPen(block.begin().fragment().charFormat().foreground().color());
    part.draw(painter, QPointF(left + line.cursorToX(from), layout->position().y()), shifted, clip);
    painter->restore();
}

int EditorRowLayout::hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const
{
    QTextDocument *doc = document();
    const int row = int(std::floor((point.y() - m_verticalInset) / m_rowHeight));
    if (accuracy == Qt::ExactHit && (row < 0 || row >= doc->blockCount()))
        return -1;
    const QTextBlock block = doc->findBlockByNumber(std::clamp(row, 0, doc->blockCount() - 1));
    ensureLaidOut(block);
    const QTextLayout *layout = block.layout();
    if (!layout || layout->lineCount() == 0)
        return block.position();
    const QTextLine line = layout->lineAt(0);
    if (accuracy == Qt::ExactHit
        && (point.x() < line.x() || point.x() > line.x() + line.naturalTextWidth()))
        return -1;
    return block.position() + line.xToCursor(point.x() - layout->position().x());
}

QSizeF EditorRowLayout::documentSize() const
{
    const qreal width = std::max<qreal>(document()->pageSize().width(), m_widest + 2 * m_horizontalInset);
    return QSizeF(width, 2 * m_verticalInset + m_rowHeight * document()->blockCount());
}

QRectF EditorRowLayout::frameBoundingRect(QTextFrame *) const
{
    return QRectF(QPointF(0, 0), documentSize());
}

QRectF EditorRowLayout::blockBoundingRect(const QTextBlock &block) const
{
    if (!block.isValid())
        return {};
    ensureLaidOut(block);
    return QRectF(0, rowTop(block.blockNumber()), documentSize().width(), m_rowHeight);
}

void EditorRowLayout::documentChanged(int from, int, int charsAdded)
{
    // The paragraphs changed keep their old lines until laid out anew; the
    // rows from the first of them down may have moved.
    const QTextBlock first = document()->findBlock(from);
    const qreal top = first.isValid() ? rowTop(first.blockNumber()) : 0;
    const QTextBlock lastChanged = document()->findBlock(from + charsAdded);
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        if (QTextLayout *layout = block.layout())
            layout->clearLayout();
        if (block == lastChanged)
            break;
    }
    const bool sameRows = lastChanged == first && m_announcedSize && m_announcedSize->height() == documentSize().height();
    announceSize();
    const qreal width = documentSize().width();
    emit update(sameRows ? QRectF(0, top, width, m_rowHeight) : QRectF(0, top, width, unbounded));
}

void EditorRowLayout::announceSize()
{
    const QSizeF size = documentSize();
    if (m_announcedSize == size)
        return;
    m_announcedSize = size;
    emit documentSizeChanged(size);
}
