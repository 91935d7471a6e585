#include "Views/SynchronizedComputationalTextView.h"

#include "Views/EditorLayoutMetrics.h"
#include "Views/EditorRowLayout.h"

#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassMenu.h"
#include "VeskKit/Design/VeskGlassScrollBar.h"
#include "VeskKit/Localization/VeskText.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr char16_t paragraphSeparator = 0x2029;
constexpr qreal caretWidth = 2;
// A very long note goes into the view this many lines at a time.
constexpr qsizetype kLoadChunkLines = 20000;

// A text document takes these two for the start and end of a frame and
// would split the text there; shown as the replacement character instead.
char16_t displayCharacter(char16_t c)
{
    return (c == 0xFDD0 || c == 0xFDD1) ? char16_t(0xFFFD) : c;
}

QColor textColour()
{
    return QColor::fromRgbF(1, 1, 1, 0.95);
}

using ChangedSpan = ZulNoteUndoHistory::Span;

} // namespace

SynchronizedComputationalTextView::SynchronizedComputationalTextView(QWidget *parent)
    : QTextEdit(parent)
    , m_history(std::make_shared<ZulNoteUndoHistory>())
    , m_accent(QColor(0x7C, 0xA4, 0xFF))
{
    setAcceptRichText(false);
    setFrameShape(QFrame::NoFrame);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    VeskGlassScrollBar::apply(this);
    setTabChangesFocus(false);
    // The caret is drawn in the accent colour by paintEvent; the document
    // would draw it in the text's own colour.
    setCursorWidth(0);
    viewport()->setAutoFillBackground(false);
    setAutoFillBackground(false);

    QTextDocument *doc = document();
    // Undo goes through the note's own history (ZulNoteUndoHistory), which
    // outlives this document: a document is rebuilt for another note, a
    // new font size or a very long note, and its own history with it.
    doc->setUndoRedoEnabled(false);
    doc->setDocumentMargin(0);
    QTextFrameFormat frame = doc->rootFrame()->frameFormat();
    frame.setTopMargin(verticalInset);
    frame.setBottomMargin(verticalInset);
    frame.setLeftMargin(horizontalInset);
    frame.setRightMargin(horizontalInset);
    doc->rootFrame()->setFrameFormat(frame);

    applyPalette();
    rebuildLines();
    rebuildDocument();

    connect(doc, &QTextDocument::contentsChange, this,
            &SynchronizedComputationalTextView::documentContentsChange);
    connect(doc, &QTextDocument::contentsChanged, this,
            &SynchronizedComputationalTextView::documentContentsChanged);
    connect(doc->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            &SynchronizedComputationalTextView::schedulePublish);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
            &SynchronizedComputationalTextView::publishScrollOffsetOnly);

    const int flash = QApplication::cursorFlashTime();
    m_caretBlink.setInterval(flash > 0 ? flash / 2 : 500);
    connect(&m_caretBlink, &QTimer::timeout, this, [this] {
        m_caretShown = !m_caretShown;
        // Scrolling may have moved the caret since it was last drawn.
        viewport()->update(m_caretRect);
        m_caretRect = caretRect().adjusted(-2, 0, 2, 0);
        viewport()->update(m_caretRect);
    });
    // The text edit scrolls to where its own layout puts the caret; a line
    // shaped in pieces has no layout of its own to ask, so the request is
    // answered here.
    for (QObject *child : children()) {
        if (child->inherits("QWidgetTextControl")) {
            disconnect(child, SIGNAL(visibilityRequest(QRectF)), this, nullptr);
            connect(child, SIGNAL(visibilityRequest(QRectF)), this, SLOT(revealCaret(QRectF)));
            break;
        }
    }
    connect(this, &QTextEdit::selectionChanged, this, [this] {
        // The text edit repaints the selection where its own layout would
        // have it, which for a line in pieces is its first row only.
        if (wrapsRows())
            viewport()->update();
    });
    connect(this, &QTextEdit::cursorPositionChanged, this, [this] {
        if (!m_movingByRows)
            m_rowMoveX.reset();
        // The document repaints what it changed, not the caret we draw:
        // both the old and the new caret spot need it.
        viewport()->update(m_caretRect);
        m_caretRect = caretRect().adjusted(-2, 0, 2, 0);
        viewport()->update(m_caretRect);
        restartCaretBlink();
        // After the text edit has scrolled to the caret, whoever moved it.
        QMetaObject::invokeMethod(this, &SynchronizedComputationalTextView::revealTopInset, Qt::QueuedConnection);
    });
}

qreal SynchronizedComputationalTextView::lineHeightFor(qreal fontSize)
{
    return std::ceil(fontSize * 1.68);
}

QString SynchronizedComputationalTextView::displayForm(QStringView text)
{
    const QList<ComputationalNoteEngine::LineSpan> spans = ComputationalNoteEngine::splitLines(text);
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < spans.size(); ++i) {
        if (i > 0)
            out.append(QLatin1Char('\n'));
        const QStringView line = text.mid(spans[i].start, spans[i].length);
        for (const QChar c : line)
            out.append(QChar(displayCharacter(c.unicode())));
    }
    return out;
}

void SynchronizedComputationalTextView::setNoteText(const QString &text)
{
    // The note holds the very text this view handed it after an edit here:
    // nothing to compare.
    if ((text.constData() == m_text.constData() && text.size() == m_text.size()) || text == m_text)
        return;
    // Another editor of the note may have put the change in already.
    m_history->follow(text);
    const QTextCursor old = textCursor();
    const qsizetype anchor = textPosition(old.anchor());
    const qsizetype position = textPosition(old.position());
    const int scroll = verticalScrollBar()->value();
    const ChangedSpan inText = ZulNoteUndoHistory::difference(m_text, text);
    // The caret stays among the characters it stood between; one inside the
    // replaced span stays at its offset, within the new span.
    const auto follow = [&inText](qsizetype p) {
        if (p <= inText.start)
            return p;
        if (p >= inText.oldEnd)
            return p + inText.newEnd - inText.oldEnd;
        return std::min(p, inText.newEnd);
    };
    showReplaced(text, inText.start, inText.oldEnd, inText.newEnd);
    restoreSelection(follow(anchor), follow(position));
    verticalScrollBar()->setValue(scroll);
    schedulePublish();
}

void SynchronizedComputationalTextView::showReplaced(const QString &text, qsizetype start, qsizetype oldEnd,
                                                     qsizetype newEnd)
{
    if (m_loading) {
        // Part of the old text is not in the view yet: show the new one anew.
        m_text = text;
        rebuildLines();
        rebuildDocument();
        return;
    }

    // Only the whole lines around the change can show differently; their
    // old and new document forms are compared, from a line before the
    // change to a line after it, so line ends that join (CR and LF) are
    // seen together.
    const qsizetype first = std::max<qsizetype>(0, lineOfTextPosition(start) - 1);
    const qsizetype last = std::min<qsizetype>(m_lines.size() - 1, lineOfTextPosition(oldEnd) + 1);
    const qsizetype regionStart = m_lines[first].textStart;
    const qsizetype oldRegionEnd = last + 1 < m_lines.size() ? m_lines[last + 1].textStart : m_text.size();
    const qsizetype newRegionEnd = oldRegionEnd + text.size() - m_text.size();
    const QString shownBefore = displayForm(QStringView(m_text).mid(regionStart, oldRegionEnd - regionStart));
    const QString shownAfter = displayForm(QStringView(text).mid(regionStart, newRegionEnd - regionStart));
    const ChangedSpan shown = ZulNoteUndoHistory::difference(shownBefore, shownAfter);
    const qsizetype shownAt = m_lines[first].documentStart;
    m_text = text;
    // A change of line-end characters alone shows no different.
    if (shown.oldEnd > shown.start || shown.newEnd > shown.start) {
        m_isProgrammaticUpdate = true;
        QTextCursor edit(document());
        edit.beginEditBlock();
        edit.setPosition(int(shownAt + shown.start));
        edit.setPosition(int(shownAt + shown.oldEnd), QTextCursor::KeepAnchor);
        edit.insertText(shownAfter.mid(shown.start, shown.newEnd - shown.start), characterFormat());
        edit.endEditBlock();
        m_isProgrammaticUpdate = false;
        m_textChangePending = false;
    }
    updateLines(start, oldEnd - start, newEnd - start);
    m_loadedLines = m_lines.size();
    if (wantsRows() > rowsShown())
        setRowsMode(wantsRows());
}

void SynchronizedComputationalTextView::loadNoteText(const QString &text, std::shared_ptr<ZulNoteUndoHistory> history)
{
    // Even a note with the same text must not take over the other's history.
    m_history = history ? std::move(history) : std::make_shared<ZulNoteUndoHistory>(text);
    m_history->follow(text);
    if (text == m_text)
        return;
    const QTextCursor old = textCursor();
    const qsizetype anchor = textPosition(old.anchor());
    const qsizetype position = textPosition(old.position());
    const int scroll = verticalScrollBar()->value();

    m_text = text;
    rebuildLines();
    rebuildDocument();

    restoreSelection(std::min(anchor, m_text.size()), std::min(position, m_text.size()));
    verticalScrollBar()->setValue(scroll);
    schedulePublish();
}

bool SynchronizedComputationalTextView::canUndo() const
{
    return !isReadOnly() && m_history->canUndo();
}

bool SynchronizedComputationalTextView::canRedo() const
{
    return !isReadOnly() && m_history->canRedo();
}

void SynchronizedComputationalTextView::undo()
{
    stepThroughHistory(true);
}

void SynchronizedComputationalTextView::redo()
{
    stepThroughHistory(false);
}

void SynchronizedComputationalTextView::stepThroughHistory(bool back)
{
    if (isReadOnly())
        return;
    m_history->follow(m_text);
    const std::optional<ZulNoteUndoHistory::Change> change = back ? m_history->undo() : m_history->redo();
    if (!change)
        return;
    const int scroll = verticalScrollBar()->value();
    showReplaced(change->text, change->at, change->at + change->replaced, change->at + change->length);
    // The caret goes where the change was, as after typing there; the view
    // moves only when that is out of sight.
    const qsizetype caret = change->at + change->length;
    restoreSelection(caret, caret);
    verticalScrollBar()->setValue(scroll);
    if (!viewport()->rect().contains(caretRect()))
        ensureCursorVisible();
    emit textEdited(m_text);
    publishLayoutMetrics();
}

void SynchronizedComputationalTextView::restoreSelection(qsizetype anchor, qsizetype position)
{
    QTextCursor cursor(document());
    cursor.setPosition(documentPosition(anchor));
    cursor.setPosition(documentPosition(position), QTextCursor::KeepAnchor);
    m_isProgrammaticUpdate = true;
    setTextCursor(cursor);
    m_isProgrammaticUpdate = false;
}

void SynchronizedComputationalTextView::setFontSize(qreal size)
{
    if (std::abs(size - m_fontSize) <= 0.1)
        return;
    m_fontSize = size;
    const QTextCursor old = textCursor();
    const qsizetype anchor = textPosition(old.anchor());
    const qsizetype position = textPosition(old.position());
    rebuildDocument();
    restoreSelection(anchor, position);
    schedulePublish();
}

void SynchronizedComputationalTextView::setAccentColor(const QColor &accent)
{
    if (accent == m_accent)
        return;
    m_accent = accent;
    applyPalette();
    viewport()->update();
}

void SynchronizedComputationalTextView::setMetrics(EditorLayoutMetrics *metrics)
{
    m_metrics = metrics;
    schedulePublish();
}

void SynchronizedComputationalTextView::applyPalette()
{
    QPalette p = palette();
    QColor selection = m_accent;
    selection.setAlphaF(0.32);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Base, Qt::transparent);
        p.setColor(group, QPalette::Text, textColour());
        p.setColor(group, QPalette::Highlight, selection);
        p.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    setPalette(p);
}

void SynchronizedComputationalTextView::rebuildLines()
{
    const QList<ComputationalNoteEngine::LineSpan> spans = ComputationalNoteEngine::splitLines(m_text);
    m_lines.resize(spans.size());
    qsizetype documentStart = 0;
    for (qsizetype i = 0; i < spans.size(); ++i) {
        m_lines[i] = Line{spans[i].start, spans[i].length, documentStart};
        documentStart += spans[i].length + 1;
    }
}

void SynchronizedComputationalTextView::updateLines(qsizetype from, qsizetype removed, qsizetype inserted)
{
    // From the line before the change to the one after it: a line end
    // changed next to the change may join with its neighbour (CR LF).
    const qsizetype first = std::max<qsizetype>(0, lineOfTextPosition(from) - 1);
    const qsizetype last = std::min<qsizetype>(m_lines.size() - 1, lineOfTextPosition(from + removed) + 1);
    const qsizetype shift = inserted - removed;
    const bool toTheEnd = last + 1 >= m_lines.size();
    const qsizetype start = m_lines[first].textStart;
    const qsizetype end = toTheEnd ? m_text.size() : m_lines[last + 1].textStart + shift;
    QList<ComputationalNoteEngine::LineSpan> spans =
        ComputationalNoteEngine::splitLines(QStringView(m_text).mid(start, end - start));
    // A region that stops at a line start ends in a line end, after which
    // the split finds one more, empty, line that is the next one's start.
    if (!toTheEnd)
        spans.removeLast();

    QList<Line> fresh;
    fresh.reserve(spans.size());
    qsizetype documentStart = m_lines[first].documentStart;
    for (const ComputationalNoteEngine::LineSpan &span : std::as_const(spans)) {
        fresh.append(Line{start + span.start, span.length, documentStart});
        documentStart += span.length + 1;
    }
    const qsizetype documentShift =
        toTheEnd ? 0 : documentStart - m_lines[last + 1].documentStart;
    m_lines.remove(first, last - first + 1);
    m_lines.insert(first, fresh.size(), Line());
    std::copy(fresh.cbegin(), fresh.cend(), m_lines.begin() + first);
    for (qsizetype i = first + fresh.size(); i < m_lines.size(); ++i) {
        m_lines[i].textStart += shift;
        m_lines[i].documentStart += documentShift;
    }
}

qsizetype SynchronizedComputationalTextView::lineOfTextPosition(qsizetype position) const
{
    const auto it = std::upper_bound(m_lines.cbegin(), m_lines.cend(), position,
                                     [](qsizetype p, const Line &line) { return p < line.textStart; });
    return std::max<qsizetype>(0, (it - m_lines.cbegin()) - 1);
}

QString SynchronizedComputationalTextView::displayLines(qsizetype first, qsizetype end) const
{
    QString out;
    if (end > first)
        out.reserve(m_lines[end - 1].documentStart + m_lines[end - 1].length - m_lines[first].documentStart);
    for (qsizetype i = first; i < end; ++i) {
        if (i > first)
            out.append(QLatin1Char('\n'));
        for (const QChar c : QStringView(m_text).mid(m_lines[i].textStart, m_lines[i].length))
            out.append(QChar(displayCharacter(c.unicode())));
    }
    return out;
}

SynchronizedComputationalTextView::Rows SynchronizedComputationalTextView::rowsShown() const
{
    if (!m_rowLayout)
        return Rows::none;
    return m_rowLayout->wraps() ? Rows::wrapped : Rows::unwrapped;
}

bool SynchronizedComputationalTextView::wrapsRows() const
{
    return m_rowLayout && m_rowLayout->wraps();
}

SynchronizedComputationalTextView::Rows SynchronizedComputationalTextView::wantsRows() const
{
    if (m_lines.size() >= rowsFromLineCount)
        return Rows::unwrapped;
    const bool longLine = std::any_of(m_lines.cbegin(), m_lines.cend(),
                                      [](const Line &line) { return line.length >= rowsFromLineLength; });
    return longLine ? Rows::wrapped : Rows::none;
}

void SynchronizedComputationalTextView::setRowsMode(Rows rows)
{
    if (rows == rowsShown())
        return;
    const bool programmatic = std::exchange(m_isProgrammaticUpdate, true);
    QTextDocument *doc = document();
    if (rows != Rows::none) {
        const bool wraps = rows == Rows::wrapped;
        m_rowLayout = new EditorRowLayout(doc, lineHeightFor(m_fontSize), horizontalInset, verticalInset, wraps);
        tellRowsWhatIsSeen();
        doc->setDocumentLayout(m_rowLayout);
        setLineWrapMode(wraps ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
        setHorizontalScrollBarPolicy(wraps ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    } else {
        m_rowLayout = nullptr;
        // The document makes its own layout again when next asked.
        doc->setDocumentLayout(nullptr);
        setLineWrapMode(QTextEdit::WidgetWidth);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    connect(doc->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            &SynchronizedComputationalTextView::schedulePublish, Qt::UniqueConnection);
    m_isProgrammaticUpdate = programmatic;
    // The caret's place was found in the other layout, wrapped where this
    // one is not or the other way round; the document's revision is the same.
    m_caretPlace.reset();
    schedulePublish();
}

qsizetype SynchronizedComputationalTextView::lineOfDocumentPosition(qsizetype position) const
{
    const auto it = std::upper_bound(m_lines.cbegin(), m_lines.cend(), position,
                                     [](qsizetype p, const Line &line) { return p < line.documentStart; });
    return std::max<qsizetype>(0, (it - m_lines.cbegin()) - 1);
}

qsizetype SynchronizedComputationalTextView::textPosition(int documentPosition) const
{
    const Line &line = m_lines[lineOfDocumentPosition(std::max(documentPosition, 0))];
    const qsizetype offset = std::clamp<qsizetype>(documentPosition - line.documentStart, 0, line.length);
    return line.textStart + offset;
}

int SynchronizedComputationalTextView::documentPosition(qsizetype textPosition) const
{
    textPosition = std::clamp<qsizetype>(textPosition, 0, m_text.size());
    const auto it = std::upper_bound(m_lines.cbegin(), m_lines.cend(), textPosition,
                                     [](qsizetype p, const Line &line) { return p < line.textStart; });
    const Line &line = m_lines[std::max<qsizetype>(0, (it - m_lines.cbegin()) - 1)];
    // A position inside a two-character line end (CR LF) shows at the end of
    // its line; one not in the view yet, at its end.
    return int(std::min<qsizetype>(line.documentStart + std::min(textPosition - line.textStart, line.length),
                                   document()->characterCount() - 1));
}

QTextCharFormat SynchronizedComputationalTextView::characterFormat() const
{
    QTextCharFormat characters;
    QFont font = veskSystemFont(m_fontSize, QFont::Normal, VeskFontDesign::monospaced);
    // In rows the text is too long to be shaped anew at every key; a
    // monospaced font loses nothing of it where the script does not need
    // it (Qt still shapes the scripts that do).
    if (m_rowLayout)
        font.setStyleStrategy(QFont::PreferNoShaping);
    characters.setFont(font, QTextCharFormat::FontPropertiesAll);
    characters.setForeground(textColour());
    return characters;
}

QTextBlockFormat SynchronizedComputationalTextView::rowFormat() const
{
    QTextBlockFormat block;
    block.setLineHeight(lineHeightFor(m_fontSize), QTextBlockFormat::FixedHeight);
    return block;
}

void SynchronizedComputationalTextView::rebuildDocument()
{
    QTextDocument *doc = document();

    m_isProgrammaticUpdate = true;
    m_loading = false;
    doc->setDefaultFont(veskSystemFont(m_fontSize, QFont::Normal, VeskFontDesign::monospaced));
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    cursor.endEditBlock();
    // The layout is chosen for the empty document, so that filling it lays
    // out nothing it will not show.
    setRowsMode(wantsRows());
    if (m_rowLayout)
        m_rowLayout->setRowHeight(lineHeightFor(m_fontSize));
    const QTextCharFormat characters = characterFormat();
    const bool inParts = showsRows() && m_lines.size() > kLoadChunkLines;
    m_loadedLines = inParts ? kLoadChunkLines : m_lines.size();
    cursor.beginEditBlock();
    cursor.setBlockFormat(rowFormat());
    cursor.setBlockCharFormat(characters);
    cursor.setCharFormat(characters);
    cursor.insertText(displayLines(0, m_loadedLines), characters);
    cursor.endEditBlock();
    setCurrentCharFormat(characters);
    m_isProgrammaticUpdate = false;
    m_textChangePending = false;
    if (inParts) {
        m_loading = true;
        QMetaObject::invokeMethod(this, &SynchronizedComputationalTextView::loadMore, Qt::QueuedConnection);
    }
}

void SynchronizedComputationalTextView::loadMore()
{
    if (!m_loading)
        return;
    const qsizetype end = std::min(m_loadedLines + kLoadChunkLines, m_lines.size());
    const QTextCursor user = textCursor();
    const qsizetype anchor = textPosition(user.anchor());
    const qsizetype position = textPosition(user.position());
    m_isProgrammaticUpdate = true;
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QLatin1Char('\n') + displayLines(m_loadedLines, end), characterFormat());
    m_isProgrammaticUpdate = false;
    m_loadedLines = end;
    // A caret at the end of what was in stays where it was.
    restoreSelection(anchor, position);
    if (end < m_lines.size()) {
        QMetaObject::invokeMethod(this, &SynchronizedComputationalTextView::loadMore, Qt::QueuedConnection);
        return;
    }
    m_loading = false;
}

void SynchronizedComputationalTextView::documentContentsChange(int from, int charsRemoved, int charsAdded)
{
    if (m_isProgrammaticUpdate)
        return;
    const qsizetype linesBefore = m_lines.size();
    // The history goes on from this text, not from one another editor of
    // the note left it at.
    m_history->follow(m_text);
    if (m_ownEditText) {
        const ChangedSpan span = ZulNoteUndoHistory::difference(m_text, *m_ownEditText);
        m_history->record(span.start, m_text.mid(span.start, span.oldEnd - span.start),
                          m_ownEditText->mid(span.start, span.newEnd - span.start), *m_ownEditText, false);
        m_text = *m_ownEditText;
        m_ownEditText.reset();
        rebuildLines();
        m_loadedLines += m_lines.size() - linesBefore;
        m_textChangePending = true;
        return;
    }

    const Line &last = m_lines.constLast();
    const qsizetype oldLength = last.documentStart + last.length;
    const qsizetype newLength = document()->characterCount() - 1;
    const qsizetype start = std::clamp<qsizetype>(from, 0, oldLength);
    const qsizetype removedEnd = std::clamp<qsizetype>(qsizetype(from) + charsRemoved, start, oldLength);
    const qsizetype addedEnd = std::clamp<qsizetype>(qsizetype(from) + charsAdded, start, newLength);

    QTextCursor reader(document());
    reader.setPosition(int(start));
    reader.setPosition(int(addedEnd), QTextCursor::KeepAnchor);
    const QString added = reader.selectedText();

    // The old document text of the range, as it was shown. A document
    // reports the whole span an edit block touched, so the parts at both
    // ends that read the same now are left alone: their original line ends
    // and characters survive an undo that rewrites them unchanged.
    QString old;
    old.reserve(removedEnd - start);
    for (qsizetype p = start; p < removedEnd; ++p) {
        const Line &line = m_lines[lineOfDocumentPosition(p)];
        const qsizetype offset = p - line.documentStart;
        old.append(offset >= line.length ? QChar(paragraphSeparator)
                                         : QChar(displayCharacter(m_text.at(line.textStart + offset).unicode())));
    }
    qsizetype prefix = 0;
    while (prefix < old.size() && prefix < added.size() && old[prefix] == added[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < old.size() - prefix && suffix < added.size() - prefix
           && old[old.size() - 1 - suffix] == added[added.size() - 1 - suffix])
        ++suffix;
    if (prefix == old.size() && prefix == added.size())
        return; // a change of formats only

    const qsizetype textFrom = textPosition(int(start + prefix));
    const qsizetype textTo = textPosition(int(removedEnd - suffix));
    QString inserted = added.mid(prefix, added.size() - prefix - suffix);
    inserted.replace(QChar(paragraphSeparator), QLatin1Char('\n'));
    const QString removed = m_text.mid(textFrom, textTo - textFrom);
    ZulNoteUndoHistory::replace(m_text, textFrom, textTo - textFrom, inserted);
    m_history->record(textFrom, removed, inserted, m_text, true);
    updateLines(textFrom, textTo - textFrom, inserted.size());
    m_loadedLines += m_lines.size() - linesBefore;
    m_textChangePending = true;
    // A note that grew long enough, or got a long enough line, goes to rows.
    const Rows wanted = m_lines.size() >= rowsFromLineCount ? Rows::unwrapped
                        : m_lines[lineOfTextPosition(textFrom)].length >= rowsFromLineLength ? Rows::wrapped
                                                                                             : Rows::none;
    if (wanted > rowsShown())
        QMetaObject::invokeMethod(
            this,
            [this, wanted] {
                if (wanted > rowsShown())
                    setRowsMode(wanted);
            },
            Qt::QueuedConnection);

    // Typed or dropped characters the note engine takes for line ends but
    // the document does not (a line separator, a vertical tab) leave the
    // document with fewer paragraphs than the note has lines: show the text
    // anew so every line has its own paragraph again.
    if (m_loadedLines != document()->blockCount() && !m_resyncQueued) {
        m_resyncQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_resyncQueued = false;
                if (m_loadedLines == document()->blockCount())
                    return;
                // Every line end the document missed is one character in
                // both texts, so positions still correspond one to one.
                const qsizetype position = textPosition(textCursor().position());
                rebuildDocument();
                restoreSelection(position, position);
                publishLayoutMetrics();
            },
            Qt::QueuedConnection);
    }
}

void SynchronizedComputationalTextView::documentContentsChanged()
{
    if (m_isProgrammaticUpdate || !m_textChangePending)
        return;
    m_textChangePending = false;
    emit textEdited(m_text);
    publishLayoutMetrics();
}

void SynchronizedComputationalTextView::schedulePublish()
{
    if (m_publishQueued)
        return;
    m_publishQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_publishQueued = false;
            publishLayoutMetrics();
        },
        Qt::QueuedConnection);
}

void SynchronizedComputationalTextView::publishLayoutMetrics()
{
    if (!m_metrics)
        return;
    if (wrapsRows()) {
        // Each line's rows are counted as they are laid out: its top is
        // known without asking the text anything.
        QList<qreal> tops;
        tops.reserve(document()->blockCount());
        for (int number = 0; number < document()->blockCount(); ++number)
            tops.append(m_rowLayout->rowTop(number));
        m_metrics->setLineTopY(tops);
        m_metrics->setLineHeight(m_rowLayout->rowHeight());
        m_metrics->setScrollOffsetY(verticalScrollBar()->value());
        m_metrics->setLogicalLineCount(int(m_lines.size()));
        return;
    }
    if (m_rowLayout) {
        // Every line is one row: its top is the one the columns take for a
        // line without a measured top, so none is measured.
        m_metrics->setLineTopY({});
        m_metrics->setLineHeight(m_rowLayout->rowHeight());
        m_metrics->setScrollOffsetY(verticalScrollBar()->value());
        m_metrics->setLogicalLineCount(int(m_lines.size()));
        return;
    }
    QTextDocument *doc = document();
    QAbstractTextDocumentLayout *layout = doc->documentLayout();
    const qreal rowHeight = lineHeightFor(m_fontSize);
    // Asking for the last paragraph's place completes the layout up to it.
    layout->blockBoundingRect(doc->lastBlock());

    QList<qreal> tops;
    tops.reserve(doc->blockCount());
    qreal previous = verticalInset - rowHeight;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        const QTextLayout *text = block.layout();
        qreal top = previous + rowHeight;
        if (text && text->lineCount() > 0) {
            // The row is centred on the first line's text (the caret's
            // height), which a fixed row height places below the row's top.
            const QTextLine line = text->lineAt(0);
            top = text->position().y() + line.y() + line.height() / 2 - rowHeight / 2;
        }
        tops.append(top);
        previous = top;
    }

    m_metrics->setLineTopY(tops);
    m_metrics->setLineHeight(rowHeight);
    m_metrics->setScrollOffsetY(verticalScrollBar()->value());
    m_metrics->setLogicalLineCount(int(m_lines.size()));
}

void SynchronizedComputationalTextView::tellRowsWhatIsSeen()
{
    if (m_rowLayout)
        m_rowLayout->setSeenBottom(verticalScrollBar()->value() + viewport()->height());
}

void SynchronizedComputationalTextView::publishScrollOffsetOnly()
{
    tellRowsWhatIsSeen();
    if (m_metrics)
        m_metrics->setScrollOffsetY(verticalScrollBar()->value());
}

void SynchronizedComputationalTextView::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Find)) {
        emit findRequested();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
        stepThroughHistory(event->matches(QKeySequence::Undo));
        event->accept();
        return;
    }
    // Tab types a tab into the note; with Ctrl it leaves the text for the
    // next control (and with Shift as well, for the one before), as in the
    // desktop's other text editors.
    if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
        && event->modifiers().testFlag(Qt::ControlModifier)) {
        // QTextEdit itself refuses to hand the focus on while it is editable.
        QAbstractScrollArea::focusNextPrevChild(event->key() == Qt::Key_Tab
                                                && !event->modifiers().testFlag(Qt::ShiftModifier));
        event->accept();
        return;
    }
    if (moveByRows(event)) {
        event->accept();
        return;
    }
    // Every new line is an ordinary paragraph of the fixed row height. The
    // text edit's own Return would insert a line separator with Shift (one
    // line end to the note engine, none to the document) and, on an empty
    // line, reset the paragraph's format instead of breaking the line (the
    // way it ends a list), which loses the row height and the line alike.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !isReadOnly()
        && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        QTextCursor cursor = textCursor();
        cursor.insertBlock(rowFormat(), characterFormat());
        setTextCursor(cursor);
        ensureCursorVisible();
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
    // Ctrl+Home on a caret already at the start moves nothing, yet scrolls.
    revealTopInset();
}

void SynchronizedComputationalTextView::contextMenuEvent(QContextMenuEvent *event)
{
    // The text edit's own menu would undo through the document's history,
    // which is off, and speaks only English.
    auto *menu = new VeskGlassMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const auto add = [this, menu](const char *en, const char *tr, QKeySequence::StandardKey key, bool enabled,
                                  auto slot) {
        QAction *action = menu->addAction(veskText(QString::fromUtf8(en), QString::fromUtf8(tr), m_language), this, slot);
        action->setShortcut(key);
        action->setEnabled(enabled);
    };
    const bool editable = !isReadOnly();
    const bool selected = textCursor().hasSelection();
    add("Undo", "Geri Al", QKeySequence::Undo, canUndo(), &SynchronizedComputationalTextView::undo);
    add("Redo", "Yinele", QKeySequence::Redo, canRedo(), &SynchronizedComputationalTextView::redo);
    menu->addSeparator();
    add("Cut", "Kes", QKeySequence::Cut, editable && selected, &QTextEdit::cut);
    add("Copy", "Kopyala", QKeySequence::Copy, selected, &QTextEdit::copy);
    add("Paste", "Yapıştır", QKeySequence::Paste, editable && canPaste(), &QTextEdit::paste);
    add("Delete", "Sil", QKeySequence::Delete, editable && selected, [this] { textCursor().removeSelectedText(); });
    menu->addSeparator();
    add("Select All", "Tümünü Seç", QKeySequence::SelectAll, !m_text.isEmpty(), &QTextEdit::selectAll);
    menu->popup(event->globalPos());
    event->accept();
}

void SynchronizedComputationalTextView::revealTopInset()
{
    // The text edit scrolls just far enough to show the caret's row, which
    // for the first row leaves the inset above it scrolled away; the rows
    // of the gutter then stand against the top edge. A view the user has
    // scrolled past the caret's row stays where it is.
    if (caretRect().top() < 0)
        return;
    const QTextCursor cursor = textCursor();
    if (m_rowLayout) {
        if (m_rowLayout->rowAt(cursor.position()).start == 0)
            verticalScrollBar()->setValue(0);
        return;
    }
    const QTextBlock block = cursor.block();
    if (block != document()->firstBlock() || !block.layout())
        return;
    const QTextLine line = block.layout()->lineForTextPosition(cursor.positionInBlock());
    if (line.isValid() && line.lineNumber() == 0)
        verticalScrollBar()->setValue(0);
}

void SynchronizedComputationalTextView::paintEvent(QPaintEvent *event)
{
    // The document is drawn here rather than by the text edit, which would
    // also draw its own caret: doing so walks every paragraph between the
    // caret and the visible rows once the caret is scrolled out of view,
    // which makes scrolling a long note slow. The caret is ours anyway.
    tellRowsWhatIsSeen();
    QPainter painter(viewport());
    const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const QRect clip = event->rect().translated(scroll);
    painter.translate(-scroll);
    painter.setClipRect(clip);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = clip;
    context.palette = palette();
    context.cursorPosition = -1;
    const QTextCursor cursor = textCursor();
    if (cursor.hasSelection()) {
        QAbstractTextDocumentLayout::Selection selection;
        selection.cursor = cursor;
        selection.format.setBackground(palette().brush(QPalette::Highlight));
        selection.format.setForeground(palette().brush(QPalette::HighlightedText));
        context.selections.append(selection);
    }
    document()->documentLayout()->draw(&painter, context);

    if (!hasFocus() || !m_caretShown || isReadOnly() || cursor.hasSelection())
        return;
    painter.resetTransform();
    painter.setClipping(false);
    const QRect caret = caretRect();
    m_caretRect = caret.adjusted(-2, 0, 2, 0);
    painter.fillRect(QRectF(caret.x(), caret.y(), caretWidth, caret.height()), m_accent);
}

QRect SynchronizedComputationalTextView::caretRect() const
{
    // Finding the caret's place walks its line from the start, which on a
    // line of a hundred thousand characters is worth doing once per change.
    const CaretPlace place{document()->revision(), textCursor().position(), horizontalScrollBar()->value(),
                           verticalScrollBar()->value(), viewport()->width()};
    if (!m_caretPlace || !(m_caretPlace->first == place))
        m_caretPlace = std::pair(place, cursorRectAt(textCursor().position()));
    return m_caretPlace->second;
}

QRect SynchronizedComputationalTextView::cursorRectAt(int documentPosition) const
{
    if (!m_rowLayout) {
        QTextCursor cursor(document());
        cursor.setPosition(std::clamp(documentPosition, 0, document()->characterCount() - 1));
        return cursorRect(cursor);
    }
    return m_rowLayout->caretRect(documentPosition)
        .toRect()
        .translated(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
}

void SynchronizedComputationalTextView::revealCaret(const QRectF &rect)
{
    // Without rows the text edit's own answer stands: it also makes room in
    // the scroll bars for a document its layout has not finished.
    if (!m_rowLayout
        && QMetaObject::invokeMethod(this, "_q_ensureVisible", Qt::DirectConnection, Q_ARG(QRectF, rect)))
        return;
    if (!m_rowLayout) {
        reveal(rect);
        return;
    }
    // The same margin either side as the text edit keeps.
    const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    reveal(QRectF(caretRect().translated(scroll)).adjusted(-5, 0, 5, 0));
}

void SynchronizedComputationalTextView::reveal(const QRectF &rect)
{
    const QRect wanted = rect.toRect();
    QScrollBar *across = horizontalScrollBar();
    QScrollBar *down = verticalScrollBar();
    const int width = viewport()->width();
    const int height = viewport()->height();
    if (wanted.x() < across->value())
        across->setValue(wanted.x());
    else if (wanted.x() + wanted.width() > across->value() + width)
        across->setValue(wanted.x() + wanted.width() - width);
    if (wanted.y() < down->value())
        down->setValue(wanted.y());
    else if (wanted.y() + wanted.height() > down->value() + height)
        down->setValue(wanted.y() + wanted.height() - height);
}

bool SynchronizedComputationalTextView::moveByRows(QKeyEvent *event)
{
    if (!wrapsRows())
        return false;
    enum Kind { row, page, start, end };
    struct Key
    {
        QKeySequence::StandardKey key;
        Kind kind;
        int direction;
        bool select;
    };
    static constexpr Key keys[] = {
        {QKeySequence::MoveToNextLine, row, 1, false},      {QKeySequence::MoveToPreviousLine, row, -1, false},
        {QKeySequence::SelectNextLine, row, 1, true},       {QKeySequence::SelectPreviousLine, row, -1, true},
        {QKeySequence::MoveToNextPage, page, 1, false},     {QKeySequence::MoveToPreviousPage, page, -1, false},
        {QKeySequence::SelectNextPage, page, 1, true},      {QKeySequence::SelectPreviousPage, page, -1, true},
        {QKeySequence::MoveToStartOfLine, start, -1, false}, {QKeySequence::MoveToEndOfLine, end, 1, false},
        {QKeySequence::SelectStartOfLine, start, -1, true}, {QKeySequence::SelectEndOfLine, end, 1, true},
    };
    const Key *match =
        std::find_if(std::begin(keys), std::end(keys), [event](const Key &key) { return event->matches(key.key); });
    if (match == std::end(keys))
        return false;

    QTextCursor cursor = textCursor();
    const int here = cursor.position();
    int target = here;
    bool scrollPage = false;
    std::optional<qreal> aim;
    if (match->kind == start || match->kind == end) {
        // As the text edit moves in its own layout: to the row's ends, and
        // before the space a row broke at, so the caret stays on the row.
        const EditorRowLayout::Row current = m_rowLayout->rowAt(here);
        target = current.start;
        if (match->kind == end) {
            target = current.start + current.length;
            if (!current.lastOfParagraph && current.length > 0 && document()->characterAt(target - 1).isSpace())
                --target;
        }
    } else {
        const qreal rowHeight = m_rowLayout->rowHeight();
        const QRectF caret = m_rowLayout->caretRect(here);
        const qreal x = m_rowMoveX.value_or(caret.x());
        const qreal height = document()->documentLayout()->documentSize().height();
        const int rows = int(std::round((height - 2 * verticalInset) / rowHeight));
        const int from = int(std::floor((caret.center().y() - verticalInset) / rowHeight));
        const int step = match->kind == page ? std::max(1, int(viewport()->height() / rowHeight)) : 1;
        int to = from + match->direction * step;
        if (to < 0 || to >= rows) {
            // Past the first or the last row: a page stops at it, a row
            // stays, or selects to the very start or end.
            if (match->kind == page)
                to = std::clamp(to, 0, rows - 1);
            else if (match->select)
                to = -1;
            else
                return true;
        } else {
            scrollPage = match->kind == page;
        }
        if (to < 0) {
            target = match->direction < 0 ? 0 : document()->characterCount() - 1;
        } else {
            target = m_rowLayout->hitTest(QPointF(x, verticalInset + (to + 0.5) * rowHeight), Qt::FuzzyHit);
            aim = x;
        }
    }
    cursor.setPosition(target, match->select ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    if (scrollPage)
        verticalScrollBar()->triggerAction(match->direction < 0 ? QAbstractSlider::SliderPageStepSub
                                                                : QAbstractSlider::SliderPageStepAdd);
    m_movingByRows = true;
    setTextCursor(cursor);
    m_movingByRows = false;
    m_rowMoveX = aim;
    if (match->select && cursor.hasSelection() && QGuiApplication::clipboard()->supportsSelection())
        QGuiApplication::clipboard()->setMimeData(createMimeDataFromSelection(), QClipboard::Selection);
    return true;
}

QVariant SynchronizedComputationalTextView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    // The text edit would find the caret in a layout of the whole line.
    if (m_rowLayout && (query == Qt::ImCursorRectangle || query == Qt::ImAnchorRectangle))
        return QRectF(query == Qt::ImCursorRectangle ? caretRect() : cursorRectAt(textCursor().anchor()));
    return QTextEdit::inputMethodQuery(query);
}

void SynchronizedComputationalTextView::resizeEvent(QResizeEvent *event)
{
    tellRowsWhatIsSeen();
    QTextEdit::resizeEvent(event);
    publishLayoutMetrics();
}

void SynchronizedComputationalTextView::focusInEvent(QFocusEvent *event)
{
    QTextEdit::focusInEvent(event);
    restartCaretBlink();
}

void SynchronizedComputationalTextView::focusOutEvent(QFocusEvent *event)
{
    QTextEdit::focusOutEvent(event);
    m_caretBlink.stop();
    m_caretShown = false;
    viewport()->update();
}

void SynchronizedComputationalTextView::restartCaretBlink()
{
    m_caretShown = true;
    if (hasFocus())
        m_caretBlink.start();
}

QMimeData *SynchronizedComputationalTextView::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    const qsizetype from = textPosition(cursor.selectionStart());
    const qsizetype to = textPosition(cursor.selectionEnd());
    auto *mime = new QMimeData;
    mime->setText(m_text.mid(from, to - from));
    return mime;
}

bool SynchronizedComputationalTextView::canInsertFromMimeData(const QMimeData *source) const
{
    return source && source->hasText();
}

void SynchronizedComputationalTextView::insertFromMimeData(const QMimeData *source)
{
    if (isReadOnly() || !source || !source->hasText())
        return;
    const QString pasted = source->text();
    QTextCursor cursor = textCursor();
    const qsizetype from = textPosition(cursor.selectionStart());
    const qsizetype to = textPosition(cursor.selectionEnd());
    QString next = m_text;
    ZulNoteUndoHistory::replace(next, from, to - from, pasted);
    m_ownEditText = next;
    cursor.insertText(displayForm(pasted), currentCharFormat());
    m_ownEditText.reset();
    setTextCursor(cursor);
    ensureCursorVisible();
}
