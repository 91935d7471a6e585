#pragma once

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QTextLayout>
#include <QTimer>

#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

// The layout of a note too large for the text document's own, in rows of a
// fixed height. Two forms:
//
// - Unwrapped, for a note of very many lines: every paragraph is one row,
//   so where a line stands follows from its number alone. Only the
//   paragraphs drawn, hit or asked for are laid out, each the first time it
//   is needed after it changed; nothing ever walks the whole document. A
//   line wider than the view runs on to the right, where the view scrolls.
//
// - Wrapped at the view's width, for a note with a very long line: a
//   paragraph takes as many rows as its text needs, as in the document's own
//   layout. A long paragraph is shaped in pieces of whole rows, so that a key
//   lays out again only the piece it changed and the next ones, until rows
//   begin where a piece began before, and those only down to what the view
//   shows; the rest follows over the next turns of the event loop. The
//   caret, a click and a drawn row each need only their own piece. A piece
//   is shaped with the text around it and marks standing for what lies
//   further off (the last strong character and script before it, the first
//   character after it that neutral ones take their direction from), so its
//   rows break, order and join as inside the whole paragraph.
class EditorRowLayout : public QAbstractTextDocumentLayout
{
    Q_OBJECT

public:
    // Characters shaped together in one piece of a long paragraph.
    static constexpr int defaultPieceLength = 1024;

    // `pieceLength` is how much of a paragraph is shaped at once; a
    // paragraph no longer than twice that is shaped whole.
    EditorRowLayout(QTextDocument *document, qreal rowHeight, qreal horizontalInset, qreal verticalInset,
                    bool wraps = false, int pieceLength = defaultPieceLength);
    ~EditorRowLayout() override;

    bool wraps() const { return m_wraps; }
    qreal rowHeight() const { return m_rowHeight; }
    void setRowHeight(qreal height);
    // The top of the first row of paragraph `number`.
    qreal rowTop(int number) const;

    // The caret before the character at a document position, one unit wide,
    // in document coordinates.
    QRectF caretRect(int position) const;
    // The visual row holding a document position.
    struct Row
    {
        int start = 0; // document position of its first character
        int length = 0; // characters in it, trailing spaces included
        bool lastOfParagraph = true;
    };
    Row rowAt(int position) const;

    // Wrapped: the bottom of what the view shows, in document coordinates.
    // A change lays out rows at once only down to there (and around the
    // change); the rest follows over the next turns of the event loop.
    void setSeenBottom(qreal bottom);
    // True while some rows are still to be laid out that way.
    bool isLayingOut() const;

    void draw(QPainter *painter, const PaintContext &context) override;
    int hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame *frame) const override;
    QRectF blockBoundingRect(const QTextBlock &block) const override;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    struct Piece;
    struct Paragraph;
    struct Block;
    class Deciders;

    // Unwrapped: lays the paragraph out when it is not, and puts it in its row.
    void ensureLaidOut(const QTextBlock &block) const;
    void announceSize();
    void drawSeenPart(QPainter *painter, const QTextBlock &block, const QList<QTextLayout::FormatRange> &selections,
                      const QRectF &clip) const;

    // Wrapped.
    qreal wrapWidth() const;
    QTextOption rowOption(Qt::LayoutDirection direction) const;
    void layOutAll();
    // Lays out one paragraph anew, whole or in pieces; its first row is row
    // `topRow` of the document.
    void layOutBlock(const QTextBlock &block, Block &info, int topRow) const;
    int layOutWhole(const QTextBlock &block) const;
    // Whether a paragraph whose first row is `topRow` is laid out past `from`
    // and below what is seen.
    std::function<bool(const Paragraph &)> beyondSeen(int topRow, int from) const;
    // Lays out pieces after those laid out until the paragraph is done or
    // `enough` says so.
    void layOnward(Paragraph &paragraph, const std::function<bool(const Paragraph &)> &enough) const;
    // The paragraph's text changed at `at`: `removed` characters gave way to
    // `added`; the pieces around it are laid out again.
    void editParagraph(const QTextBlock &block, Paragraph &paragraph, int at, int removed, int added,
                       int topRow) const;
    // Paragraph `number`, laid out past `offset` and down to its row `row`
    // (either -1 for no such need).
    const Paragraph &covered(int number, int offset, int row) const;
    // Lays out all of every paragraph above paragraph `number`.
    void completeAbove(int number) const;
    // Counts the paragraph's rows again after more of it was laid out.
    void settle(int number) const;
    void layOnwardLater();
    // Lays out the rows from `start`, given what the text before leaves
    // (as `before` holds it), up to where a piece ends: the first row at a
    // piece's length, or one `resyncAt` takes, or the paragraph's end.
    Piece layPiece(Paragraph &paragraph, int start, const Piece &before, Deciders &deciders,
                   const std::function<bool(int)> &resyncAt, int *end) const;
    // Shapes a piece's text with what stands around it; sets where its rows
    // are in the layout.
    std::unique_ptr<QTextLayout> shapePiece(const Paragraph &paragraph, const Piece &piece,
                                            bool separated = false) const;
    // The piece's layout, shaped again if it was let go.
    QTextLayout &pieceLayout(const Paragraph &paragraph, int index) const;
    // Lets go of the shapes of the pieces seen longest ago, beyond a few.
    void letGo(const Paragraph &paragraph) const;
    void recountFrom(int number) const;
    // Which paragraph and row of it a row of the document is.
    std::pair<int, int> paragraphOfRow(int row) const;
    int pieceOf(const Paragraph &paragraph, int offset) const;
    void drawParagraph(QPainter *painter, const QTextBlock &block, const Paragraph &paragraph,
                       const QList<QTextLayout::FormatRange> &selections, const QRectF &clip) const;
    qsizetype totalRows() const;

    qreal m_rowHeight;
    qreal m_horizontalInset;
    qreal m_verticalInset;
    bool m_wraps;
    int m_pieceLength;
    // The widest paragraph laid out so far (unwrapped).
    mutable qreal m_widest = 0;
    std::optional<QSizeF> m_announcedSize;

    // One entry per paragraph (wrapped); laid out further where asked.
    mutable std::vector<Block> m_blocks;
    // Rows above each paragraph, and the total at the end.
    mutable std::vector<int> m_rowsBefore;
    qreal m_seenBottom = std::numeric_limits<qreal>::infinity();
    mutable QTimer m_onward;
    mutable bool m_rowsMoved = false;
    bool m_drawing = false;
    // What the rows were laid out for: a change of any of it lays them out anew.
    struct Basis
    {
        qreal width = -1;
        QFont font;
        QTextOption::WrapMode wrapMode = QTextOption::NoWrap;
        qreal tabStop = 0;
        bool operator==(const Basis &other) const = default;
    };
    Basis m_basis;
    mutable quint64 m_clock = 0;
};
