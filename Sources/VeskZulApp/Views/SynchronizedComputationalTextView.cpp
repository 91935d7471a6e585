#include "Views/SynchronizedComputationalTextView.h"

#include "Views/EditorLayoutMetrics.h"

#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassScrollBar.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
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

// The span two texts differ in: [start, oldEnd) of the first became
// [start, newEnd) of the second.
struct ChangedSpan
{
    qsizetype start = 0;
    qsizetype oldEnd = 0;
    qsizetype newEnd = 0;
};

ChangedSpan changedSpan(QStringView before, QStringView after)
{
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    return {prefix, before.size() - suffix, after.size() - suffix};
}

} // namespace

SynchronizedComputationalTextView::SynchronizedComputationalTextView(QWidget *parent)
    : QTextEdit(parent)
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
        m_caretRect = cursorRect().adjusted(-2, 0, 2, 0);
        viewport()->update(m_caretRect);
    });
    connect(this, &QTextEdit::cursorPositionChanged, this, [this] {
        // The document repaints what it changed, not the caret we draw:
        // both the old and the new caret spot need it.
        viewport()->update(m_caretRect);
        m_caretRect = cursorRect().adjusted(-2, 0, 2, 0);
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
    if (text == m_text)
        return;
    const QTextCursor old = textCursor();
    const qsizetype anchor = textPosition(old.anchor());
    const qsizetype position = textPosition(old.position());
    const int scroll = verticalScrollBar()->value();

    const ChangedSpan inText = changedSpan(m_text, text);
    const QString shownBefore = displayForm(m_text);
    const QString shownAfter = displayForm(text);
    const ChangedSpan shown = changedSpan(shownBefore, shownAfter);
    m_text = text;
    rebuildLines();
    // A change of line-end characters alone shows no different; the history
    // then has nothing to go back through.
    if (shown.oldEnd > shown.start || shown.newEnd > shown.start) {
        m_isProgrammaticUpdate = true;
        QTextCursor edit(document());
        edit.beginEditBlock();
        edit.setPosition(int(shown.start));
        edit.setPosition(int(shown.oldEnd), QTextCursor::KeepAnchor);
        edit.insertText(shownAfter.mid(shown.start, shown.newEnd - shown.start), characterFormat());
        edit.endEditBlock();
        m_isProgrammaticUpdate = false;
        m_textChangePending = false;
    }

    // The caret stays among the characters it stood between; one inside the
    // replaced span stays at its offset, within the new span.
    const auto follow = [&inText](qsizetype p) {
        if (p <= inText.start)
            return p;
        if (p >= inText.oldEnd)
            return p + inText.newEnd - inText.oldEnd;
        return std::min(p, inText.newEnd);
    };
    restoreSelection(follow(anchor), follow(position));
    verticalScrollBar()->setValue(scroll);
    schedulePublish();
}

void SynchronizedComputationalTextView::loadNoteText(const QString &text)
{
    if (text == m_text) {
        document()->clearUndoRedoStacks();
        return;
    }
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
    // its line.
    return int(line.documentStart + std::min(textPosition - line.textStart, line.length));
}

QTextCharFormat SynchronizedComputationalTextView::characterFormat() const
{
    QTextCharFormat characters;
    characters.setFont(veskSystemFont(m_fontSize, QFont::Normal, VeskFontDesign::monospaced),
                       QTextCharFormat::FontPropertiesAll);
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
    const QTextCharFormat characters = characterFormat();

    m_isProgrammaticUpdate = true;
    doc->setDefaultFont(veskSystemFont(m_fontSize, QFont::Normal, VeskFontDesign::monospaced));
    // Turning the history off empties it: the rebuilt text starts a new one.
    doc->setUndoRedoEnabled(false);
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    cursor.setBlockFormat(rowFormat());
    cursor.setBlockCharFormat(characters);
    cursor.setCharFormat(characters);
    cursor.insertText(displayForm(m_text), characters);
    cursor.endEditBlock();
    doc->setUndoRedoEnabled(true);
    setCurrentCharFormat(characters);
    m_isProgrammaticUpdate = false;
    m_textChangePending = false;
}

void SynchronizedComputationalTextView::documentContentsChange(int from, int charsRemoved, int charsAdded)
{
    if (m_isProgrammaticUpdate)
        return;
    if (m_ownEditText) {
        m_text = *m_ownEditText;
        m_ownEditText.reset();
        rebuildLines();
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
    m_text.replace(textFrom, textTo - textFrom, inserted);
    rebuildLines();
    m_textChangePending = true;

    // Typed or dropped characters the note engine takes for line ends but
    // the document does not (a line separator, a vertical tab) leave the
    // document with fewer paragraphs than the note has lines: show the text
    // anew so every line has its own paragraph again.
    if (m_lines.size() != document()->blockCount() && !m_resyncQueued) {
        m_resyncQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_resyncQueued = false;
                if (m_lines.size() == document()->blockCount())
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

void SynchronizedComputationalTextView::publishScrollOffsetOnly()
{
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

void SynchronizedComputationalTextView::revealTopInset()
{
    // The text edit scrolls just far enough to show the caret's row, which
    // for the first row leaves the inset above it scrolled away; the rows
    // of the gutter then stand against the top edge. A view the user has
    // scrolled past the caret's row stays where it is.
    if (cursorRect().top() < 0)
        return;
    const QTextCursor cursor = textCursor();
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
    const QRect caret = cursorRect();
    m_caretRect = caret.adjusted(-2, 0, 2, 0);
    painter.fillRect(QRectF(caret.x(), caret.y(), caretWidth, caret.height()), m_accent);
}

void SynchronizedComputationalTextView::resizeEvent(QResizeEvent *event)
{
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
    next.replace(from, to - from, pasted);
    m_ownEditText = next;
    cursor.insertText(displayForm(pasted), currentCharFormat());
    m_ownEditText.reset();
    setTextCursor(cursor);
    ensureCursorVisible();
}
