#include "Views/EditorRowLayout.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// No unwrapped paragraph wraps, whatever its length.
constexpr qreal unbounded = 1e9;
// An unwrapped paragraph longer than this is drawn only where it is seen.
constexpr int kDrawnInPartsFrom = 2000;
// Characters drawn either side of what is seen, for glyphs that reach over.
constexpr int kSliceMargin = 16;

// A piece is shaped after this much of the text before it, so that its first
// row breaks, orders and joins its characters as inside the whole paragraph.
constexpr int kContextBefore = 32;
// How far back a change can move the end of a row: whether a line may break
// depends on the characters either side of the break.
constexpr int kReachBack = 16;
// Text shaped after a piece's last row, at first; more when rows are wider.
constexpr int kContextAfter = 512;
// Shaped pieces kept per paragraph; the others are shaped again when seen.
constexpr int kKeptLayouts = 32;
// The time the rest of a paragraph is laid out for at a time, between the
// event loop's other work, and how long after a change it begins: the
// change is drawn first, and a key typed meanwhile puts it off again.
constexpr qint64 kSliceMilliseconds = 4;
constexpr int kOnwardAfterMilliseconds = 20;
// Where a piece's lines that are not its rows are put, out of every view:
// the text before it above, the text after it below, as a layout draws its
// lines only while they go down.
constexpr qreal kHiddenAbove = -1e7;
constexpr qreal kHiddenBelow = 1e7;

constexpr char16_t kLineSeparator = 0x2028;
constexpr char16_t kLeftToRightMark = 0x200E;
constexpr char16_t kRightToLeftMark = 0x200F;
constexpr char16_t kArabicLetterMark = 0x061C;

char32_t codePointAt(const QString &text, qsizetype i)
{
    const char16_t c = text.at(i).unicode();
    if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text.at(i + 1).unicode()))
        return QChar::surrogateToUcs4(c, text.at(i + 1).unicode());
    return c;
}

int width(char32_t c)
{
    return c > 0xFFFF ? 2 : 1;
}

// The bidirectional class of a strong character (L, R, AL), or -1.
int strongClass(char32_t c)
{
    const QChar::Direction d = QChar::direction(c);
    return (d == QChar::DirL || d == QChar::DirR || d == QChar::DirAL) ? int(d) : -1;
}

// Whether a run of neutral characters before it takes its direction from it.
bool decides(char32_t c)
{
    const QChar::Direction d = QChar::direction(c);
    return d == QChar::DirL || d == QChar::DirR || d == QChar::DirAL || d == QChar::DirEN || d == QChar::DirAN;
}

// Whether a character brings a script of its own: the text shapes the
// characters common to all scripts (digits, spaces, punctuation) in the
// script of the last such character before them.
bool hasScript(char32_t c)
{
    if (QChar::script(c) <= QChar::Script_Common)
        return false;
    const QChar::Category category = QChar::category(c);
    return category != QChar::Mark_NonSpacing && category != QChar::Mark_SpacingCombining
           && category != QChar::Mark_Enclosing;
}

// The last character in [from, to) of the kind asked for, or 0.
char32_t lastOfKind(const QString &text, qsizetype from, qsizetype to, bool (*kind)(char32_t))
{
    for (qsizetype i = to - 1; i >= from; --i) {
        char32_t c = text.at(i).unicode();
        if (QChar::isLowSurrogate(c) && i > from && QChar::isHighSurrogate(text.at(i - 1).unicode())) {
            c = QChar::surrogateToUcs4(text.at(i - 1).unicode(), char16_t(c));
            --i;
        }
        if (kind(c))
            return c;
    }
    return 0;
}

bool isStrong(char32_t c)
{
    return strongClass(c) >= 0;
}

// The last character in [from, to) with a script of its own, or 0.
char32_t lastScriptIn(const QString &text, qsizetype from, qsizetype to)
{
    return lastOfKind(text, from, to, hasScript);
}

// The class of the last strong character in [from, to), or -1.
int lastStrongIn(const QString &text, qsizetype from, qsizetype to)
{
    const char32_t c = lastOfKind(text, from, to, isStrong);
    return c ? strongClass(c) : -1;
}

// Where the first strong character in [from, to) stands, or -1.
int firstStrongIn(const QString &text, qsizetype from, qsizetype to)
{
    for (qsizetype i = from; i < to;) {
        const char32_t c = codePointAt(text, i);
        if (strongClass(c) >= 0)
            return int(i);
        i += width(c);
    }
    return -1;
}

// A paragraph's direction follows its first strong character, as the text
// document decides it for every other paragraph.
Qt::LayoutDirection directionAt(const QString &text, int firstStrong)
{
    if (firstStrong < 0)
        return Qt::LeftToRight;
    return strongClass(codePointAt(text, firstStrong)) == QChar::DirL ? Qt::LeftToRight : Qt::RightToLeft;
}

// An invisible character of the same strong class: put before a piece, it
// gives the piece's numbers and neutral characters the direction the text
// before it would.
char16_t markFor(int strong)
{
    switch (strong) {
    case QChar::DirL:
        return kLeftToRightMark;
    case QChar::DirAL:
        return kArabicLetterMark;
    default:
        return kRightToLeftMark;
    }
}

QFont fontOf(const QTextBlock &block)
{
    const QTextBlock::iterator it = block.begin();
    return it.atEnd() ? block.charFormat().font() : it.fragment().charFormat().font();
}

QColor foregroundOf(const QTextBlock &block)
{
    const QTextBlock::iterator it = block.begin();
    return (it.atEnd() ? block.charFormat() : it.fragment().charFormat()).foreground().color();
}

QList<QTextLayout::FormatRange> selectionsIn(const QList<QAbstractTextDocumentLayout::Selection> &selections,
                                             int start, int end)
{
    QList<QTextLayout::FormatRange> ranges;
    for (const QAbstractTextDocumentLayout::Selection &selection : selections) {
        const int from = std::max(selection.cursor.selectionStart(), start);
        const int to = std::min(selection.cursor.selectionEnd(), end);
        if (from >= to)
            continue;
        QTextLayout::FormatRange range;
        range.start = from - start;
        range.length = to - from;
        range.format = selection.format;
        ranges.append(range);
    }
    return ranges;
}

} // namespace

struct EditorRowLayout::Piece
{
    // Paragraph offsets: where its first row begins and its last ends, and
    // the end of the text it was shaped with.
    int start = 0;
    int end = 0;
    int rows = 0;
    int windowEnd = 0;
    // What the text before the piece leaves its numbers and neutral
    // characters: the class of the last strong character, and the last
    // character with a script of its own (0 when none).
    int strongBefore = -1;
    char32_t scriptBefore = 0;
    // The same, of the piece's own text.
    int lastStrong = -1;
    char32_t lastScript = 0;
    // The character after the window that neutral characters at the window's
    // end take their direction from (the paragraph's length when none), and
    // the mark standing for it.
    int decider = 0;
    char16_t rightMark = 0;
    // For a piece with no script before its end: the first character after
    // it with one, which its characters then take their script from, and
    // where that stands (-1 when the piece needs none).
    char32_t scriptAfter = 0;
    int scriptAt = -1;
    // The shaped piece, when kept: its rows are lines firstLine on, and the
    // piece's first character is character `offset` of its text.
    mutable std::unique_ptr<QTextLayout> layout;
    mutable int offset = 0;
    mutable int firstLine = 0;
    mutable quint64 used = 0;
};

struct EditorRowLayout::Paragraph
{
    QString text;
    QFont font;
    Qt::LayoutDirection direction = Qt::LeftToRight;
    int firstStrong = -1;
    int contextAfter = kContextAfter;
    // The pieces laid out, from the start of the paragraph to `laidTo`; the
    // rest is laid out over the next turns of the event loop, or at once
    // where it is asked for.
    std::vector<Piece> pieces;
    // Rows above each piece, and those of all laid out at the end.
    std::vector<int> rowsBefore{0};
    int laidTo = 0;
    // Pieces of an earlier layout of the text further on, which no change
    // since has touched: where rows come to begin at one of them again, the
    // rest of the paragraph is taken from them.
    std::vector<Piece> ahead;
    // The rows the rest is taken to have until it is laid out.
    int restRows = 0;

    bool complete() const { return laidTo >= text.size(); }
    int rows() const { return std::max(rowsBefore.back() + restRows, 1); }
};

struct EditorRowLayout::Block
{
    int rows = 1;
    // Only for a paragraph shaped in pieces.
    std::unique_ptr<Paragraph> paragraph;
};

namespace {

// Finds, for windows further and further along one text, the first
// character after each of a kind; a search already done answers again while
// its answer still lies ahead.
class Finder
{
public:
    Finder(const QString &text, bool (*kind)(char32_t))
        : m_text(text)
        , m_kind(kind)
    {
    }

    // Where it stands, or the text's length when there is none.
    int from(int position)
    {
        if (m_found >= position && m_searchedFrom <= position)
            return m_found;
        qsizetype i = position;
        while (i < m_text.size()) {
            const char32_t c = codePointAt(m_text, i);
            if (m_kind(c))
                break;
            i += width(c);
        }
        m_searchedFrom = position;
        m_found = int(std::min(i, m_text.size()));
        return m_found;
    }

private:
    const QString &m_text;
    bool (*m_kind)(char32_t);
    int m_searchedFrom = INT_MAX;
    int m_found = -1;
};

} // namespace

class EditorRowLayout::Deciders
{
public:
    explicit Deciders(const QString &text)
        : m_text(text)
        , m_deciders(text, decides)
        , m_scripts(text, hasScript)
    {
    }

    // The mark for what follows a window ending at `end` (given the class of
    // the last strong character before the end), and where the character it
    // stands for was found.
    std::pair<char16_t, int> after(int end, int strongBefore, Qt::LayoutDirection direction)
    {
        const int at = m_deciders.from(end);
        if (at >= m_text.size())
            return {0, int(m_text.size())};
        switch (QChar::direction(codePointAt(m_text, at))) {
        case QChar::DirL:
            return {kLeftToRightMark, at};
        case QChar::DirEN: {
            // A European number reads left to right after a left-to-right
            // letter (or none, in a left-to-right paragraph), else as a
            // right-to-left one does for the neutral characters before it.
            const bool leftToRight =
                strongBefore == QChar::DirL || (strongBefore < 0 && direction == Qt::LeftToRight);
            return {leftToRight ? kLeftToRightMark : kRightToLeftMark, at};
        }
        default:
            return {kRightToLeftMark, at};
        }
    }

    // The first character with a script of its own at or after `end`, and
    // where it stands (0 and the length when there is none).
    std::pair<char32_t, int> scriptAfter(int end)
    {
        const int at = m_scripts.from(end);
        return {at < m_text.size() ? codePointAt(m_text, at) : 0, at};
    }

private:
    const QString &m_text;
    Finder m_deciders;
    Finder m_scripts;
};

EditorRowLayout::EditorRowLayout(QTextDocument *document, qreal rowHeight, qreal horizontalInset,
                                 qreal verticalInset, bool wraps, int pieceLength)
    : QAbstractTextDocumentLayout(document)
    , m_rowHeight(rowHeight)
    , m_horizontalInset(horizontalInset)
    , m_verticalInset(verticalInset)
    , m_wraps(wraps)
    , m_pieceLength(std::max(pieceLength, 16))
{
    m_onward.setSingleShot(true);
    connect(&m_onward, &QTimer::timeout, this, &EditorRowLayout::layOnwardLater);
}

EditorRowLayout::~EditorRowLayout() = default;

void EditorRowLayout::setRowHeight(qreal height)
{
    if (height == m_rowHeight)
        return;
    m_rowHeight = height;
    if (m_wraps) {
        layOutAll();
    } else {
        for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
            if (QTextLayout *layout = block.layout())
                layout->clearLayout();
        }
    }
    announceSize();
    emit update();
}

qreal EditorRowLayout::rowTop(int number) const
{
    if (!m_wraps)
        return m_verticalInset + m_rowHeight * number;
    if (m_rowsBefore.empty())
        return m_verticalInset;
    const int row = m_rowsBefore[std::clamp<size_t>(size_t(std::max(number, 0)), 0, m_rowsBefore.size() - 1)];
    return m_verticalInset + m_rowHeight * row;
}

qsizetype EditorRowLayout::totalRows() const
{
    if (!m_wraps)
        return document()->blockCount();
    return m_rowsBefore.empty() ? 1 : std::max(m_rowsBefore.back(), 1);
}

// -- unwrapped ---------------------------------------------------------------

void EditorRowLayout::ensureLaidOut(const QTextBlock &block) const
{
    QTextLayout *layout = block.layout();
    if (!layout)
        return;
    if (m_wraps) {
        layout->setPosition(QPointF(0, rowTop(block.blockNumber())));
        return;
    }
    if (layout->lineCount() == 0) {
        // The direction is found once here; left to the layout, every caret
        // position asked of the line would look for it again.
        layout->setTextOption(rowOption(block.textDirection()));
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
    QTextLayout part(text.mid(from, to - from), fontOf(block));
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
    painter->setPen(foregroundOf(block));
    part.draw(painter, QPointF(left + line.cursorToX(from), layout->position().y()), shifted, clip);
    painter->restore();
}

// -- wrapped -----------------------------------------------------------------

qreal EditorRowLayout::wrapWidth() const
{
    const qreal page = document()->pageSize().width();
    // A document not yet given a width wraps nothing, as the text
    // document's own layout does.
    if (page <= 0)
        return unbounded;
    return std::max<qreal>(page - 2 * m_horizontalInset, 1);
}

QTextOption EditorRowLayout::rowOption(Qt::LayoutDirection direction) const
{
    QTextOption option = document()->defaultTextOption();
    option.setTextDirection(direction);
    if (m_wraps) {
        // A right-to-left paragraph stands against the right edge, as in the
        // text document's own layout.
        option.setAlignment(direction == Qt::RightToLeft ? Qt::AlignRight : Qt::AlignLeft);
    } else {
        option.setWrapMode(QTextOption::NoWrap);
    }
    return option;
}

void EditorRowLayout::layOutAll()
{
    QTextDocument *doc = document();
    m_blocks.clear();
    m_blocks.resize(size_t(doc->blockCount()));
    QTextBlock block = doc->begin();
    int rows = 0;
    for (Block &info : m_blocks) {
        layOutBlock(block, info, rows);
        rows += info.rows;
        block = block.next();
    }
    recountFrom(0);
    if (isLayingOut())
        m_onward.start(kOnwardAfterMilliseconds);
}

void EditorRowLayout::layOutBlock(const QTextBlock &block, Block &info, int topRow) const
{
    if (block.length() - 1 <= 2 * m_pieceLength) {
        info.paragraph.reset();
        info.rows = layOutWhole(block);
        return;
    }
    // The paragraph's own layout stays empty: what would ask it for its
    // lines (the cursor's moves) then asks this layout instead, which never
    // lays the whole paragraph out.
    block.layout()->clearLayout();
    auto paragraph = std::make_unique<Paragraph>();
    paragraph->text = block.text();
    paragraph->font = fontOf(block);
    paragraph->firstStrong = firstStrongIn(paragraph->text, 0, paragraph->text.size());
    paragraph->direction = directionAt(paragraph->text, paragraph->firstStrong);
    layOnward(*paragraph, beyondSeen(topRow, 0));
    info.rows = paragraph->rows();
    info.paragraph = std::move(paragraph);
}

std::function<bool(const EditorRowLayout::Paragraph &)> EditorRowLayout::beyondSeen(int topRow, int from) const
{
    // A few rows more than are seen, for a small scroll.
    const qreal bottom = m_seenBottom + 8 * m_rowHeight;
    return [this, topRow, from, bottom](const Paragraph &paragraph) {
        return paragraph.laidTo > from
               && m_verticalInset + (topRow + paragraph.rowsBefore.back()) * m_rowHeight > bottom;
    };
}

void EditorRowLayout::layOnward(Paragraph &paragraph, const std::function<bool(const Paragraph &)> &enough) const
{
    const int length = int(paragraph.text.size());
    const auto aheadAt = [&paragraph](int start) {
        const auto it = std::lower_bound(paragraph.ahead.begin(), paragraph.ahead.end(), start,
                                         [](const Piece &piece, int value) { return piece.start < value; });
        return (it != paragraph.ahead.end() && it->start == start) ? size_t(it - paragraph.ahead.begin())
                                                                    : paragraph.ahead.size();
    };
    const auto resyncAt = [&](int start) { return aheadAt(start) < paragraph.ahead.size(); };
    Deciders deciders(paragraph.text);
    Piece before;
    if (!paragraph.pieces.empty()) {
        const Piece &last = paragraph.pieces.back();
        before.strongBefore = last.lastStrong >= 0 ? last.lastStrong : last.strongBefore;
        before.scriptBefore = last.lastScript ? last.lastScript : last.scriptBefore;
    }
    while (!paragraph.complete()) {
        int end = length;
        Piece piece = layPiece(paragraph, paragraph.laidTo, before, deciders, resyncAt, &end);
        before.strongBefore = piece.lastStrong >= 0 ? piece.lastStrong : piece.strongBefore;
        before.scriptBefore = piece.lastScript ? piece.lastScript : piece.scriptBefore;
        paragraph.rowsBefore.push_back(paragraph.rowsBefore.back() + piece.rows);
        paragraph.pieces.push_back(std::move(piece));
        paragraph.laidTo = end;
        // Rows begin where a piece of the earlier layout began, after the
        // same strong character and script: it holds as it is, and so do the
        // pieces that followed it.
        size_t k = aheadAt(end);
        const size_t taken = k;
        while (k < paragraph.ahead.size() && paragraph.ahead[k].start == paragraph.laidTo
               && paragraph.ahead[k].strongBefore == before.strongBefore
               && paragraph.ahead[k].scriptBefore == before.scriptBefore) {
            Piece &next = paragraph.ahead[k++];
            before.strongBefore = next.lastStrong >= 0 ? next.lastStrong : next.strongBefore;
            before.scriptBefore = next.lastScript ? next.lastScript : next.scriptBefore;
            paragraph.laidTo = next.end;
            paragraph.rowsBefore.push_back(paragraph.rowsBefore.back() + next.rows);
            paragraph.pieces.push_back(std::move(next));
        }
        if (k > taken)
            paragraph.ahead.erase(paragraph.ahead.begin(), paragraph.ahead.begin() + qsizetype(k));
        // Only the pieces laid out last are kept shaped while the rest goes on.
        if (paragraph.pieces.size() > size_t(kKeptLayouts))
            paragraph.pieces[paragraph.pieces.size() - kKeptLayouts - 1].layout.reset();
        if (enough && enough(paragraph))
            break;
    }
    // What the rows have gone past can no longer be taken.
    const auto passed = std::find_if(paragraph.ahead.begin(), paragraph.ahead.end(),
                                     [&paragraph](const Piece &piece) { return piece.start > paragraph.laidTo; });
    paragraph.ahead.erase(paragraph.ahead.begin(), paragraph.complete() ? paragraph.ahead.end() : passed);
    paragraph.restRows = 0;
    if (!paragraph.complete()) {
        // The rest as many rows as the pieces ahead, and the text before
        // them as many as the same length took so far.
        const int aheadFrom = paragraph.ahead.empty() ? length : paragraph.ahead.front().start;
        for (const Piece &piece : paragraph.ahead)
            paragraph.restRows += piece.rows;
        const double rowsPerCharacter = double(paragraph.rowsBefore.back()) / std::max(paragraph.laidTo, 1);
        paragraph.restRows += int(std::ceil((aheadFrom - paragraph.laidTo) * rowsPerCharacter));
    }
    letGo(paragraph);
}

void EditorRowLayout::editParagraph(const QTextBlock &block, Paragraph &paragraph, int at, int removed, int added,
                                    int topRow) const
{
    paragraph.text = block.text();
    const QString &text = paragraph.text;
    const int length = int(text.size());
    const int delta = added - removed;
    const auto enough = beyondSeen(topRow, at + added);

    // The direction changes only with the first strong character.
    if (paragraph.firstStrong >= 0 && at > paragraph.firstStrong) {
        // before the change: it stays
    } else if (paragraph.firstStrong < 0) {
        paragraph.firstStrong = firstStrongIn(text, at, at + added);
    } else {
        paragraph.firstStrong = firstStrongIn(text, 0, length);
    }
    const Qt::LayoutDirection direction = directionAt(text, paragraph.firstStrong);
    if (direction != paragraph.direction) {
        paragraph.direction = direction;
        paragraph.pieces.clear();
        paragraph.rowsBefore = {0};
        paragraph.laidTo = 0;
        paragraph.ahead.clear();
        layOnward(paragraph, enough);
        return;
    }

    std::vector<Piece> &laid = paragraph.pieces;
    // The first piece whose text reaches the change.
    const int reach = at - kReachBack;
    size_t first = size_t(std::partition_point(laid.begin(), laid.end(),
                                               [reach](const Piece &piece) { return piece.windowEnd <= reach; })
                          - laid.begin());
    // Pieces before it whose end took its direction, or its script, from a
    // character at or after the change: no text between them and the change
    // has any, so the first one after the change is the new one for all.
    const auto reachesChange = [at](const Piece &piece) {
        return piece.decider >= at || (piece.scriptAt >= 0 && piece.scriptAt >= at);
    };
    if (first > 0 && reachesChange(laid[first - 1])) {
        const Piece &before = laid[first - 1];
        const int inWindow = lastStrongIn(text, before.start, before.windowEnd);
        Deciders deciders(text);
        const auto [mark, decider] =
            deciders.after(at, inWindow >= 0 ? inWindow : before.strongBefore, paragraph.direction);
        const auto [script, scriptAt] = deciders.scriptAfter(at);
        for (size_t j = first; j-- > 0 && reachesChange(laid[j]);) {
            Piece &piece = laid[j];
            if (piece.decider >= at) {
                if (piece.rightMark != mark)
                    first = j;
                piece.decider = decider;
            }
            if (piece.scriptAt >= 0 && piece.scriptAt >= at) {
                if (piece.scriptAfter != script)
                    first = j;
                piece.scriptAt = scriptAt;
            }
        }
    }

    // What lies ahead of the pieces kept: those laid out after them and
    // those ahead already, as far as the change leaves all they were shaped
    // with as it was, moved along with the text.
    std::vector<Piece> ahead;
    const auto keep = [&](Piece &piece) {
        const int from = piece.start - kContextBefore - kReachBack;
        const int to = std::max({piece.windowEnd, piece.decider, piece.scriptAt});
        if (at - kReachBack > to) {
            ahead.push_back(std::move(piece));
        } else if (at + removed < from) {
            piece.start += delta;
            piece.end += delta;
            piece.windowEnd += delta;
            piece.decider += delta;
            if (piece.scriptAt >= 0)
                piece.scriptAt += delta;
            ahead.push_back(std::move(piece));
        }
    };
    const bool relay = first < laid.size();
    if (relay) {
        paragraph.laidTo = laid[first].start;
        for (size_t j = first + 1; j < laid.size(); ++j)
            keep(laid[j]);
        laid.resize(first);
        paragraph.rowsBefore.resize(first + 1);
    }
    for (Piece &piece : paragraph.ahead)
        keep(piece);
    paragraph.ahead = std::move(ahead);
    if (!relay) {
        // The change lies in what is not laid out yet: its length changed.
        layOnward(paragraph, [](const Paragraph &) { return true; });
        return;
    }
    layOnward(paragraph, enough);
}

int EditorRowLayout::layOutWhole(const QTextBlock &block) const
{
    QTextLayout *layout = block.layout();
    layout->setTextOption(rowOption(block.textDirection()));
    const qreal lineWidth = wrapWidth();
    int rows = 0;
    layout->beginLayout();
    for (;;) {
        QTextLine line = layout->createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(lineWidth);
        line.setPosition(QPointF(m_horizontalInset, rows * m_rowHeight + (m_rowHeight - line.height()) / 2));
        ++rows;
    }
    layout->endLayout();
    return std::max(rows, 1);
}

EditorRowLayout::Piece EditorRowLayout::layPiece(Paragraph &paragraph, int start, const Piece &before,
                                                 Deciders &deciders, const std::function<bool(int)> &resyncAt,
                                                 int *end) const
{
    const QString &text = paragraph.text;
    const int length = int(text.size());
    for (;;) {
        Piece piece;
        piece.start = start;
        piece.strongBefore = before.strongBefore;
        piece.scriptBefore = before.scriptBefore;
        int windowEnd = start + m_pieceLength + paragraph.contextAfter;
        // The last piece takes all that is left rather than leave a sliver.
        if (windowEnd + m_pieceLength / 2 >= length)
            windowEnd = length;
        else if (QChar::isLowSurrogate(text.at(windowEnd).unicode()))
            ++windowEnd;
        piece.windowEnd = windowEnd;
        piece.decider = length;
        if (windowEnd < length) {
            const int inWindow = lastStrongIn(text, start, windowEnd);
            const auto [mark, decider] =
                deciders.after(windowEnd, inWindow >= 0 ? inWindow : before.strongBefore, paragraph.direction);
            piece.rightMark = mark;
            piece.decider = decider;
            if (!before.scriptBefore && !lastScriptIn(text, start, windowEnd)) {
                const auto [script, at] = deciders.scriptAfter(windowEnd);
                piece.scriptAfter = script;
                piece.scriptAt = at;
            }
        }
        std::unique_ptr<QTextLayout> layout = shapePiece(paragraph, piece);
        const int lines = layout->lineCount();
        const int firstLine = piece.firstLine;
        const int offset = piece.offset;
        const auto startOf = [&](int line) { return layout->lineAt(line).textStart() - offset + start; };
        int cut = lines;
        if (windowEnd < length) {
            const int half = start + m_pieceLength / 2;
            const int full = start + m_pieceLength;
            int fullCut = -1;
            int resync = -1;
            // A row is kept only when two whole rows and the one the
            // window's end cuts short follow it: where it ends then depends
            // on nothing the window leaves out. A row where an old piece
            // began is preferred, so that the rest of the paragraph keeps
            // its pieces.
            for (int line = firstLine + 1; line + 3 <= lines; ++line) {
                const int rowStart = startOf(line);
                if (rowStart >= half && resyncAt && resyncAt(rowStart)) {
                    resync = line;
                    break;
                }
                if (rowStart >= full && fullCut < 0)
                    fullCut = line;
                if (fullCut >= 0 && line >= fullCut + 2)
                    break;
            }
            cut = resync >= 0 ? resync : fullCut;
            if (cut < 0) {
                paragraph.contextAfter *= 2;
                continue;
            }
        }
        for (int line = firstLine; line < cut; ++line) {
            QTextLine row = layout->lineAt(line);
            row.setPosition(
                QPointF(m_horizontalInset, (line - firstLine) * m_rowHeight + (m_rowHeight - row.height()) / 2));
        }
        *end = cut < lines ? startOf(cut) : length;
        piece.end = *end;
        piece.rows = std::max(cut - firstLine, 1);
        piece.lastStrong = lastStrongIn(text, start, *end);
        piece.lastScript = lastScriptIn(text, start, *end);
        piece.layout = std::move(layout);
        piece.used = ++m_clock;
        return piece;
    }
}

std::unique_ptr<QTextLayout> EditorRowLayout::shapePiece(const Paragraph &paragraph, const Piece &piece,
                                                         bool separated) const
{
    const QString &text = paragraph.text;
    QString window;
    if (piece.start > 0) {
        // The text before the piece is shaped with it, in lines of its own;
        // before it stand the last character with a script and an
        // invisible mark for the last strong one, which the text further
        // back would have given the piece's numbers and neutral characters.
        qsizetype from = std::max(0, piece.start - kContextBefore);
        if (from > 0 && QChar::isLowSurrogate(text.at(from).unicode()))
            --from;
        window.reserve(piece.windowEnd - from + 6);
        if (piece.scriptBefore)
            window.append(QChar::fromUcs4(piece.scriptBefore));
        if (piece.strongBefore >= 0)
            window.append(QChar(markFor(piece.strongBefore)));
        window.append(QStringView(text).mid(from, piece.start - from));
        if (separated)
            window.append(QChar(kLineSeparator));
    }
    const int offset = int(window.size());
    window.append(QStringView(text).mid(piece.start, piece.windowEnd - piece.start));
    // After a line separator, where looking for a place to break stops: a
    // line is as tall as the tallest character it looks at.
    if (piece.rightMark || piece.scriptAfter)
        window.append(QChar(kLineSeparator));
    if (piece.rightMark)
        window.append(QChar(piece.rightMark));
    if (piece.scriptAfter)
        window.append(QChar::fromUcs4(piece.scriptAfter));

    auto layout = std::make_unique<QTextLayout>(window, paragraph.font);
    const QTextOption option = rowOption(paragraph.direction);
    // Drawn again at every repaint: shaped once.
    layout->setCacheEnabled(true);
    // The direction must be there before the text is split into runs.
    layout->setTextOption(option);
    layout->beginLayout();
    // The text before the piece goes one character to a line, so that the
    // piece's first row begins exactly where it does in the paragraph, next
    // to the very characters it follows there; a line separator ends it
    // instead where that cannot be (a space run the piece begins in).
    int firstLine = 0;
    if (!separated && offset > 0) {
        QTextOption before = option;
        before.setWrapMode(QTextOption::WrapAnywhere);
        layout->setTextOption(before);
        for (;;) {
            QTextLine line = layout->createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(0);
            line.setPosition(QPointF(m_horizontalInset, kHiddenAbove));
            ++firstLine;
            const int next = line.textStart() + line.textLength();
            if (next > offset) {
                layout->endLayout();
                return shapePiece(paragraph, piece, true);
            }
            if (next == offset)
                break;
        }
    }
    layout->setTextOption(option);
    const qreal lineWidth = wrapWidth();
    for (;;) {
        QTextLine line = layout->createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(lineWidth);
        const bool above = line.textStart() < offset;
        if (above)
            ++firstLine;
        line.setPosition(QPointF(m_horizontalInset, above ? kHiddenAbove : kHiddenBelow));
    }
    layout->endLayout();
    piece.offset = offset;
    piece.firstLine = firstLine;
    return layout;
}

QTextLayout &EditorRowLayout::pieceLayout(const Paragraph &paragraph, int index) const
{
    const Piece &piece = paragraph.pieces[size_t(index)];
    piece.used = ++m_clock;
    if (piece.layout)
        return *piece.layout;
    piece.layout = shapePiece(paragraph, piece);
    QTextLayout &layout = *piece.layout;
    const int firstLine = piece.firstLine;
    for (int line = firstLine; line < firstLine + piece.rows && line < layout.lineCount(); ++line) {
        QTextLine row = layout.lineAt(line);
        row.setPosition(
            QPointF(m_horizontalInset, (line - firstLine) * m_rowHeight + (m_rowHeight - row.height()) / 2));
    }
    letGo(paragraph);
    return layout;
}

void EditorRowLayout::letGo(const Paragraph &paragraph) const
{
    for (;;) {
        int live = 0;
        const Piece *oldest = nullptr;
        for (const std::vector<Piece> *pieces : {&paragraph.pieces, &paragraph.ahead}) {
            for (const Piece &piece : *pieces) {
                if (!piece.layout)
                    continue;
                ++live;
                if (!oldest || piece.used < oldest->used)
                    oldest = &piece;
            }
        }
        if (live <= kKeptLayouts || !oldest)
            return;
        oldest->layout.reset();
    }
}

void EditorRowLayout::recountFrom(int number) const
{
    m_rowsBefore.resize(m_blocks.size() + 1);
    m_rowsBefore[0] = 0;
    for (size_t i = size_t(std::max(number, 0)); i < m_blocks.size(); ++i)
        m_rowsBefore[i + 1] = m_rowsBefore[i] + m_blocks[i].rows;
}

std::pair<int, int> EditorRowLayout::paragraphOfRow(int row) const
{
    const auto it = std::upper_bound(m_rowsBefore.begin(), m_rowsBefore.end() - 1, row);
    const int number = std::clamp(int(it - m_rowsBefore.begin()) - 1, 0, int(m_blocks.size()) - 1);
    return {number, row - m_rowsBefore[size_t(number)]};
}

int EditorRowLayout::pieceOf(const Paragraph &paragraph, int offset) const
{
    const auto it = std::upper_bound(paragraph.pieces.begin(), paragraph.pieces.end(), offset,
                                     [](int value, const Piece &piece) { return value < piece.start; });
    return std::max(int(it - paragraph.pieces.begin()) - 1, 0);
}

const EditorRowLayout::Paragraph &EditorRowLayout::covered(int number, int offset, int row) const
{
    Block &info = m_blocks[size_t(number)];
    Paragraph &paragraph = *info.paragraph;
    const auto done = [offset, row](const Paragraph &laid) {
        return (offset < 0 || offset < laid.laidTo) && (row < 0 || row < laid.rowsBefore.back());
    };
    if (paragraph.complete() || done(paragraph))
        return paragraph;
    layOnward(paragraph, done);
    settle(number);
    return paragraph;
}

void EditorRowLayout::completeAbove(int number) const
{
    // Where a paragraph stands follows from the rows of all above it: none of
    // them may be taken to have rows it has not laid out.
    for (int above = 0; above < number && size_t(above) < m_blocks.size(); ++above) {
        Paragraph *paragraph = m_blocks[size_t(above)].paragraph.get();
        if (paragraph && !paragraph->complete()) {
            layOnward(*paragraph, {});
            settle(above);
        }
    }
}

void EditorRowLayout::settle(int number) const
{
    Block &info = m_blocks[size_t(number)];
    if (info.paragraph && info.paragraph->rows() != info.rows) {
        info.rows = info.paragraph->rows();
        recountFrom(number);
        m_rowsMoved = true;
    }
    // The rows below, moved by what was laid out, are announced at once, so
    // that the view scrolls by the rows as they are; while drawing, once
    // done.
    if (m_rowsMoved && !m_drawing) {
        m_rowsMoved = false;
        auto *self = const_cast<EditorRowLayout *>(this);
        self->announceSize();
        emit self->update();
    }
    if (m_rowsMoved || (info.paragraph && !info.paragraph->complete()))
        m_onward.start(kOnwardAfterMilliseconds);
}

void EditorRowLayout::layOnwardLater()
{
    QElapsedTimer spent;
    spent.start();
    const auto sliceOver = [&spent](const Paragraph &) { return spent.elapsed() >= kSliceMilliseconds; };
    bool more = false;
    for (size_t number = 0; number < m_blocks.size(); ++number) {
        Block &info = m_blocks[number];
        if (!info.paragraph || info.paragraph->complete())
            continue;
        if (!sliceOver(*info.paragraph))
            layOnward(*info.paragraph, sliceOver);
        if (info.paragraph->rows() != info.rows) {
            info.rows = info.paragraph->rows();
            recountFrom(int(number));
            m_rowsMoved = true;
        }
        more = more || !info.paragraph->complete();
    }
    if (m_rowsMoved) {
        m_rowsMoved = false;
        announceSize();
        emit update();
    }
    if (more)
        m_onward.start(0);
}

bool EditorRowLayout::isLayingOut() const
{
    return std::any_of(m_blocks.begin(), m_blocks.end(),
                       [](const Block &info) { return info.paragraph && !info.paragraph->complete(); });
}

void EditorRowLayout::setSeenBottom(qreal bottom)
{
    m_seenBottom = bottom;
}

void EditorRowLayout::drawParagraph(QPainter *painter, const QTextBlock &block, const Paragraph &paragraph,
                                    const QList<QTextLayout::FormatRange> &selections, const QRectF &clip) const
{
    const int number = block.blockNumber();
    const qreal top = rowTop(number);
    const int firstRow = std::max(0, int(std::floor((clip.top() - top) / m_rowHeight)));
    covered(number, -1, std::max(firstRow, int(std::ceil((clip.bottom() - top) / m_rowHeight))));
    const auto it = std::upper_bound(paragraph.rowsBefore.begin(), paragraph.rowsBefore.end() - 1, firstRow);
    const int count = int(paragraph.pieces.size());
    painter->save();
    // A piece is shaped from plain text, without the document's formats.
    painter->setPen(foregroundOf(block));
    for (int index = std::max(int(it - paragraph.rowsBefore.begin()) - 1, 0); index < count; ++index) {
        const qreal pieceTop = top + paragraph.rowsBefore[size_t(index)] * m_rowHeight;
        if (pieceTop > clip.bottom())
            break;
        const Piece &piece = paragraph.pieces[size_t(index)];
        QTextLayout &layout = pieceLayout(paragraph, index);
        const int end = piece.end == int(paragraph.text.size()) ? block.length() : piece.end;
        // A selection going on beyond the piece goes on over the text it was
        // shaped with, out of view, so that its rows are drawn as inside the
        // whole paragraph: a row a selection runs through is filled whole.
        const int shapedLength = int(layout.text().size());
        QList<QTextLayout::FormatRange> shifted;
        for (QTextLayout::FormatRange range : selections) {
            const int from = range.start;
            const int to = range.start + range.length;
            if (from >= end || to <= piece.start)
                continue;
            const int localFrom = from < piece.start ? 0 : from - piece.start + piece.offset;
            const int localTo = to > end ? shapedLength : to - piece.start + piece.offset;
            range.start = localFrom;
            range.length = localTo - localFrom;
            shifted.append(range);
        }
        layout.setPosition(QPointF(0, pieceTop));
        layout.draw(painter, QPointF(0, 0), shifted, clip);
    }
    painter->restore();
}

// -- both ----------------------------------------------------------------------

void EditorRowLayout::draw(QPainter *painter, const PaintContext &context)
{
    const QScopedValueRollback drawing(m_drawing, true);
    QTextDocument *doc = document();
    const QRectF clip = context.clip.isValid() ? context.clip : QRectF(QPointF(0, 0), documentSize());
    const int rows = int(totalRows());
    const int firstRow = std::clamp(int(std::floor((clip.top() - m_verticalInset) / m_rowHeight)), 0, rows - 1);
    const int lastRow = std::clamp(int(std::ceil((clip.bottom() - m_verticalInset) / m_rowHeight)), 0, rows - 1);
    if (m_wraps)
        completeAbove(paragraphOfRow(firstRow).first);
    int number = m_wraps ? paragraphOfRow(firstRow).first : firstRow;
    const int last = m_wraps ? paragraphOfRow(lastRow).first : lastRow;
    QTextBlock block = doc->findBlockByNumber(number);
    for (; number <= last && block.isValid(); ++number, block = block.next()) {
        const QList<QTextLayout::FormatRange> selections =
            selectionsIn(context.selections, block.position(), block.position() + block.length());
        if (m_wraps && size_t(number) < m_blocks.size() && m_blocks[size_t(number)].paragraph) {
            drawParagraph(painter, block, *m_blocks[size_t(number)].paragraph, selections, clip);
            continue;
        }
        ensureLaidOut(block);
        if (!m_wraps && block.length() > kDrawnInPartsFrom)
            drawSeenPart(painter, block, selections, clip);
        else
            block.layout()->draw(painter, QPointF(0, 0), selections, clip);
    }
}

QRectF EditorRowLayout::caretRect(int position) const
{
    const QTextBlock block = document()->findBlock(position);
    if (!block.isValid())
        return {};
    const int number = block.blockNumber();
    if (m_wraps)
        completeAbove(number);
    const qreal top = rowTop(number);
    const int offset = position - block.position();
    if (m_wraps && size_t(number) < m_blocks.size() && m_blocks[size_t(number)].paragraph) {
        const Paragraph &paragraph = covered(number, offset, -1);
        const int index = pieceOf(paragraph, offset);
        const Piece &piece = paragraph.pieces[size_t(index)];
        const QTextLayout &layout = pieceLayout(paragraph, index);
        const int local = offset - piece.start + piece.offset;
        const QTextLine line = layout.lineForTextPosition(local);
        if (!line.isValid())
            return QRectF(m_horizontalInset, top, 1, m_rowHeight);
        return QRectF(line.cursorToX(local), top + paragraph.rowsBefore[size_t(index)] * m_rowHeight + line.y(), 1,
                      line.height());
    }
    ensureLaidOut(block);
    const QTextLine line = block.layout()->lineForTextPosition(offset);
    if (!line.isValid())
        return QRectF(m_horizontalInset, top, 1, m_rowHeight);
    return QRectF(line.cursorToX(offset), top + line.y(), 1, line.height());
}

EditorRowLayout::Row EditorRowLayout::rowAt(int position) const
{
    const QTextBlock block = document()->findBlock(position);
    if (!block.isValid())
        return {};
    const int number = block.blockNumber();
    const int offset = position - block.position();
    if (!m_wraps)
        return {block.position(), block.length() - 1, true};
    if (size_t(number) < m_blocks.size() && m_blocks[size_t(number)].paragraph) {
        const Paragraph &paragraph = covered(number, offset, -1);
        const int index = pieceOf(paragraph, offset);
        const Piece &piece = paragraph.pieces[size_t(index)];
        const QTextLayout &layout = pieceLayout(paragraph, index);
        const QTextLine line = layout.lineForTextPosition(offset - piece.start + piece.offset);
        if (!line.isValid())
            return {block.position() + piece.start, 0, true};
        return {block.position() + piece.start + line.textStart() - piece.offset, line.textLength(),
                piece.end == int(paragraph.text.size()) && line.lineNumber() == piece.firstLine + piece.rows - 1};
    }
    const QTextLayout *layout = block.layout();
    const QTextLine line = layout->lineForTextPosition(offset);
    if (!line.isValid())
        return {block.position(), block.length() - 1, true};
    return {block.position() + line.textStart(), line.textLength(), line.lineNumber() == layout->lineCount() - 1};
}

int EditorRowLayout::hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const
{
    QTextDocument *doc = document();
    const int rows = int(totalRows());
    const int row = int(std::floor((point.y() - m_verticalInset) / m_rowHeight));
    if (accuracy == Qt::ExactHit && (row < 0 || row >= rows))
        return -1;
    const int clamped = std::clamp(row, 0, rows - 1);
    auto [number, rowInParagraph] = m_wraps ? paragraphOfRow(clamped) : std::pair(clamped, 0);
    if (m_wraps) {
        completeAbove(number);
        std::tie(number, rowInParagraph) = paragraphOfRow(std::clamp(row, 0, int(totalRows()) - 1));
    }
    if (m_wraps && size_t(number) < m_blocks.size() && m_blocks[size_t(number)].paragraph) {
        // Laying the rows out may find them more or fewer than taken.
        covered(number, -1, rowInParagraph);
        std::tie(number, rowInParagraph) = paragraphOfRow(std::clamp(row, 0, int(totalRows()) - 1));
    }
    const QTextBlock block = doc->findBlockByNumber(number);
    const QTextLayout *layout = nullptr;
    QTextLine line;
    int shift = 0;
    if (m_wraps && size_t(number) < m_blocks.size() && m_blocks[size_t(number)].paragraph) {
        const Paragraph &paragraph = covered(number, -1, rowInParagraph);
        const auto it =
            std::upper_bound(paragraph.rowsBefore.begin(), paragraph.rowsBefore.end() - 1, rowInParagraph);
        const int index = std::max(int(it - paragraph.rowsBefore.begin()) - 1, 0);
        const Piece &piece = paragraph.pieces[size_t(index)];
        layout = &pieceLayout(paragraph, index);
        line = layout->lineAt(piece.firstLine
                              + std::min(rowInParagraph - paragraph.rowsBefore[size_t(index)], piece.rows - 1));
        shift = piece.start - piece.offset;
    } else {
        ensureLaidOut(block);
        layout = block.layout();
        if (!layout || layout->lineCount() == 0)
            return block.position();
        line = layout->lineAt(std::min(rowInParagraph, layout->lineCount() - 1));
    }
    if (accuracy == Qt::ExactHit
        && (point.x() < line.x() || point.x() > line.x() + line.naturalTextWidth()))
        return -1;
    return block.position() + shift + line.xToCursor(point.x() - (m_wraps ? 0 : layout->position().x()));
}

QSizeF EditorRowLayout::documentSize() const
{
    if (m_wraps)
        return QSizeF(std::max<qreal>(document()->pageSize().width(), 0),
                      2 * m_verticalInset + m_rowHeight * totalRows());
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
    const int number = block.blockNumber();
    if (m_wraps) {
        const int rows = size_t(number) < m_blocks.size() ? m_blocks[size_t(number)].rows : 1;
        return QRectF(0, rowTop(number), documentSize().width(), rows * m_rowHeight);
    }
    ensureLaidOut(block);
    return QRectF(0, rowTop(number), documentSize().width(), m_rowHeight);
}

void EditorRowLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    QTextDocument *doc = document();
    if (!m_wraps) {
        // The paragraphs changed keep their old lines until laid out anew;
        // the rows from the first of them down may have moved.
        const QTextBlock first = doc->findBlock(from);
        const qreal top = first.isValid() ? rowTop(first.blockNumber()) : 0;
        const QTextBlock lastChanged = doc->findBlock(from + charsAdded);
        for (QTextBlock block = first; block.isValid(); block = block.next()) {
            if (QTextLayout *layout = block.layout())
                layout->clearLayout();
            if (block == lastChanged)
                break;
        }
        const bool sameRows =
            lastChanged == first && m_announcedSize && m_announcedSize->height() == documentSize().height();
        announceSize();
        const qreal width = documentSize().width();
        emit update(sameRows ? QRectF(0, top, width, m_rowHeight) : QRectF(0, top, width, unbounded));
        return;
    }

    const int count = doc->blockCount();
    const QTextOption option = doc->defaultTextOption();
    const Basis basis{wrapWidth(), doc->defaultFont(), option.wrapMode(), option.tabStopDistance()};
    // The document asks for the whole of it when its width or its defaults
    // change, and after every resize of the view, which may have kept them.
    const bool whole = from == 0 && charsRemoved == 0 && charsAdded == doc->characterCount();
    if (!(basis == m_basis) || (whole && m_blocks.size() != size_t(count))) {
        m_basis = basis;
        layOutAll();
        announceSize();
        emit update();
        return;
    }
    if (whole)
        return;

    const QTextBlock first = doc->findBlock(from);
    QTextBlock last = doc->findBlock(from + charsAdded);
    if (!last.isValid())
        last = doc->lastBlock();
    const int firstNumber = first.blockNumber();
    const int lastNumber = last.blockNumber();
    const int oldLast = lastNumber - (count - int(m_blocks.size()));
    if (!first.isValid() || oldLast < firstNumber - 1 || oldLast >= int(m_blocks.size())) {
        layOutAll();
        announceSize();
        emit update();
        return;
    }
    int oldRows = 0;
    for (int i = firstNumber; i <= oldLast; ++i)
        oldRows += m_blocks[size_t(i)].rows;

    Block &info = m_blocks[size_t(firstNumber)];
    const int at = from - first.position();
    const int length = first.length() - 1;
    if (firstNumber == lastNumber && oldLast == firstNumber && info.paragraph && length > 2 * m_pieceLength
        && at >= 0 && at + charsRemoved <= info.paragraph->text.size()
        && length == info.paragraph->text.size() - charsRemoved + charsAdded) {
        editParagraph(first, *info.paragraph, at, charsRemoved, charsAdded, m_rowsBefore[size_t(firstNumber)]);
        info.rows = info.paragraph->rows();
    } else {
        std::vector<Block> fresh(size_t(lastNumber - firstNumber + 1));
        QTextBlock block = first;
        int topRow = m_rowsBefore[size_t(firstNumber)];
        for (Block &each : fresh) {
            layOutBlock(block, each, topRow);
            topRow += each.rows;
            block = block.next();
        }
        m_blocks.erase(m_blocks.begin() + firstNumber, m_blocks.begin() + oldLast + 1);
        m_blocks.insert(m_blocks.begin() + firstNumber, std::make_move_iterator(fresh.begin()),
                        std::make_move_iterator(fresh.end()));
    }
    recountFrom(firstNumber);
    if (isLayingOut())
        m_onward.start(kOnwardAfterMilliseconds);
    const int newRows = m_rowsBefore[size_t(lastNumber) + 1] - m_rowsBefore[size_t(firstNumber)];
    const bool sameRows = oldLast == lastNumber && newRows == oldRows;
    announceSize();
    const qreal top = rowTop(firstNumber);
    const qreal width = documentSize().width();
    emit update(sameRows ? QRectF(0, top, width, newRows * m_rowHeight) : QRectF(0, top, width, unbounded));
}

void EditorRowLayout::announceSize()
{
    const QSizeF size = documentSize();
    if (m_announcedSize == size)
        return;
    m_announcedSize = size;
    emit documentSizeChanged(size);
}
