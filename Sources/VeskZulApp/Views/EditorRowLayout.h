#pragma once

#include <QAbstractTextDocumentLayout>
#include <QTextLayout>

#include <optional>

// The layout of a note too long to wrap: every paragraph is one row of a
// fixed height, so where a line stands follows from its number alone. Only
// the paragraphs drawn, hit or asked for are laid out, each the first time
// it is needed after it changed; nothing ever walks the whole document. A
// line wider than the view runs on to the right, where the view scrolls.
class EditorRowLayout : public QAbstractTextDocumentLayout
{
    Q_OBJECT

public:
    EditorRowLayout(QTextDocument *document, qreal rowHeight, qreal horizontalInset, qreal verticalInset);

    qreal rowHeight() const { return m_rowHeight; }
    void setRowHeight(qreal height);
    // The top of the row of paragraph `number`.
    qreal rowTop(int number) const { return m_verticalInset + m_rowHeight * number; }

    void draw(QPainter *painter, const PaintContext &context) override;
    int hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame *frame) const override;
    QRectF blockBoundingRect(const QTextBlock &block) const override;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    // Lays the paragraph out when it is not, and puts it in its row.
    void ensureLaidOut(const QTextBlock &block) const;
    void announceSize();
    void drawSeenPart(QPainter *painter, const QTextBlock &block, const QList<QTextLayout::FormatRange> &selections,
                      const QRectF &clip) const;

    qreal m_rowHeight;
    qreal m_horizontalInset;
    qreal m_verticalInset;
    // The widest paragraph laid out so far.
    mutable qreal m_widest = 0;
    std::optional<QSizeF> m_announcedSize;
};
