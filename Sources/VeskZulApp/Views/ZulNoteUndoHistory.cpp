#include "Views/ZulNoteUndoHistory.h"

#include <algorithm>

namespace {

bool endsALine(QChar c)
{
    switch (c.unicode()) {
    case u'\n': case u'\r': case u'\v': case u'\f': case 0x0085: case 0x2028: case 0x2029:
        return true;
    default:
        return false;
    }
}

bool holdsALineEnd(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), endsALine);
}

} // namespace

ZulNoteUndoHistory::ZulNoteUndoHistory(const QString &text)
    : m_text(text)
{
}

bool ZulNoteUndoHistory::isAt(const QString &text) const
{
    // Editors hand on the very string the history keeps: no need to read it.
    return (text.constData() == m_text.constData() && text.size() == m_text.size()) || text == m_text;
}

void ZulNoteUndoHistory::record(qsizetype at, const QString &removed, const QString &inserted, const QString &after,
                                bool typed)
{
    // A key typed over a selection begins a run as any typed key does.
    const bool oneKey = typed && (inserted.size() == 1 || (inserted.isEmpty() && removed.size() == 1))
                        && !holdsALineEnd(inserted) && !holdsALineEnd(removed);
    m_text = after;
    if (removed.isEmpty() && inserted.isEmpty())
        return;
    dropRedo();
    if (oneKey && m_mayJoin && !m_undo.isEmpty()) {
        Step &last = m_undo.last();
        qsizetype grown = 0;
        if (removed.isEmpty() && !last.inserted.isEmpty() && at == last.at + last.inserted.size()) {
            last.inserted += inserted; // typing on
            grown = inserted.size();
        } else if (inserted.isEmpty() && last.inserted.isEmpty() && at + removed.size() == last.at) {
            last.at = at; // Backspace on
            last.removed.prepend(removed);
            grown = removed.size();
        } else if (inserted.isEmpty() && last.inserted.isEmpty() && at == last.at) {
            last.removed += removed; // Delete on
            grown = removed.size();
        }
        if (grown > 0) {
            m_characters += grown;
            trim();
            return;
        }
    }
    push({at, removed, inserted});
    m_mayJoin = oneKey;
}

void ZulNoteUndoHistory::follow(const QString &text)
{
    if (isAt(text)) {
        // Sharing the caller's string keeps the next look a glance.
        m_text = text;
        return;
    }
    const Span span = difference(m_text, text);
    const Step step{span.start, m_text.mid(span.start, span.oldEnd - span.start),
                    text.mid(span.start, span.newEnd - span.start)};
    m_text = text;
    push(step);
    m_mayJoin = false;
}

ZulNoteUndoHistory::Span ZulNoteUndoHistory::difference(QStringView before, QStringView after)
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

void ZulNoteUndoHistory::replace(QString &text, qsizetype at, qsizetype length, QStringView with)
{
    if (text.isDetached()) {
        text.replace(at, length, with.data(), with.size());
        return;
    }
    QString next;
    next.reserve(text.size() - length + with.size());
    next.append(QStringView(text).left(at)).append(with).append(QStringView(text).mid(at + length));
    text = std::move(next);
}

std::optional<ZulNoteUndoHistory::Change> ZulNoteUndoHistory::undo()
{
    return move(m_undo, m_redo, true);
}

std::optional<ZulNoteUndoHistory::Change> ZulNoteUndoHistory::redo()
{
    return move(m_redo, m_undo, false);
}

std::optional<ZulNoteUndoHistory::Change> ZulNoteUndoHistory::move(QList<Step> &from, QList<Step> &to, bool back)
{
    if (from.isEmpty())
        return std::nullopt;
    const Step step = from.takeLast();
    const QString &present = back ? step.inserted : step.removed;
    const QString &restored = back ? step.removed : step.inserted;
    // A step is taken back, or brought again, only where its characters
    // still stand.
    if (QStringView(m_text).mid(step.at, present.size()) != present) {
        forgetAll();
        return std::nullopt;
    }
    replace(m_text, step.at, present.size(), restored);
    to.append(step);
    m_mayJoin = false;
    return Change{m_text, step.at, present.size(), restored.size()};
}

void ZulNoteUndoHistory::dropRedo()
{
    // Whatever could be redone was recorded on the text before this change.
    for (const Step &gone : std::as_const(m_redo))
        m_characters -= weight(gone);
    m_redo.clear();
}

void ZulNoteUndoHistory::push(Step step)
{
    dropRedo();
    m_characters += weight(step);
    m_undo.append(std::move(step));
    trim();
}

void ZulNoteUndoHistory::forgetAll()
{
    m_undo.clear();
    m_redo.clear();
    m_characters = 0;
    m_mayJoin = false;
}

void ZulNoteUndoHistory::trim()
{
    // The newest step stays however large it is: a paste can always be
    // taken back.
    while (m_undo.size() > 1 && (m_undo.size() > maximumSteps || m_characters > maximumCharacters)) {
        m_characters -= weight(m_undo.constFirst());
        m_undo.removeFirst();
    }
}
