#pragma once

#include <QList>
#include <QString>

#include <optional>

// What Undo and Redo go back and forth through for one note's text: every
// change as the characters it replaced and the ones it put in their place,
// with the text the last change left. Editors showing the note share one
// history, so whichever of them sees a change first puts it in, and a step
// is only ever taken back on the text it was recorded on.
class ZulNoteUndoHistory
{
public:
    // [at, at + removed.size()) of the text held `removed` and became
    // `inserted`.
    struct Step
    {
        qsizetype at = 0;
        QString removed;
        QString inserted;
    };

    // What an undo or redo did: the whole new text, and where in it the
    // characters put back stand, [at, at + length); `replaced` characters
    // of the text before stood there.
    struct Change
    {
        QString text;
        qsizetype at = 0;
        qsizetype replaced = 0;
        qsizetype length = 0;
    };

    // Where two texts differ: [start, oldEnd) of the first became [start,
    // newEnd) of the second, the longest common beginning and end left out.
    struct Span
    {
        qsizetype start = 0;
        qsizetype oldEnd = 0;
        qsizetype newEnd = 0;
    };
    static Span difference(QStringView before, QStringView after);
    // Replaces [at, at + length) of `text` with `with`. A text that others
    // share (the note, its history, its evaluation) is built anew at its
    // exact size in one pass, rather than copied whole into a buffer half as
    // large again and then shifted: every key in a long note would otherwise
    // leave behind a buffer of a size the next key cannot use.
    static void replace(QString &text, qsizetype at, qsizetype length, QStringView with);

    // A history holds at most this many steps and, beyond its newest step,
    // this many characters of them; the oldest go first.
    static constexpr qsizetype maximumSteps = 500;
    static constexpr qsizetype maximumCharacters = qsizetype(1) << 20;

    explicit ZulNoteUndoHistory(const QString &text = QString());

    const QString &text() const { return m_text; }
    // Whether the history ends at this very text.
    bool isAt(const QString &text) const;

    // The text became `after` by replacing `removed` at `at` with
    // `inserted`. A key typed, or one character deleted, right after the
    // last such edit joins it, so Undo takes back a run of typing at once;
    // a line end always stands alone.
    void record(qsizetype at, const QString &removed, const QString &inserted, const QString &after, bool typed);
    // The text is now `text`, however it came to be: what differs from the
    // last text becomes one step. Nothing when it is that text already.
    void follow(const QString &text);

    bool canUndo() const { return !m_undo.isEmpty(); }
    bool canRedo() const { return !m_redo.isEmpty(); }
    std::optional<Change> undo();
    std::optional<Change> redo();

    qsizetype stepCount() const { return m_undo.size() + m_redo.size(); }

private:
    // Takes the last step of `from` back (or again) and keeps it in `to`.
    std::optional<Change> move(QList<Step> &from, QList<Step> &to, bool back);
    void push(Step step);
    void dropRedo();
    void forgetAll();
    void trim();
    static qsizetype weight(const Step &step) { return step.removed.size() + step.inserted.size(); }

    QString m_text;
    QList<Step> m_undo;
    // The next step to redo last.
    QList<Step> m_redo;
    // The last step was one typed key or one deleted character, which the
    // next may join.
    bool m_mayJoin = false;
    qsizetype m_characters = 0;
};
