#pragma once

#include "VeskKit/Localization/VeskLanguage.h"

#include <QPointer>
#include <QTextCursor>
#include <QWidget>

class QLabel;
class QLineEdit;
class SynchronizedComputationalTextView;
class ZulMinimalIconButton;

// The text view's find bar: a glass strip above the text with a search
// field, the place of the current match among all of them, previous and next
// buttons and a close button. Matching ignores case; the current match is
// the text view's selection, so it shows where the text is and stays
// selected when the bar closes. Enter finds the next match, Shift+Enter the
// previous one, and Escape closes the bar and hands the keyboard back to the
// text.
class ZulEditorFindBar : public QWidget
{
    Q_OBJECT

public:
    explicit ZulEditorFindBar(SynchronizedComputationalTextView *textView, QWidget *parent = nullptr);

    // Shows the bar with the keyboard in its field, which takes the text's
    // one-line selection as the term.
    void open();
    // Hides the bar and returns the keyboard to the text: to the match, or to
    // where the caret stood before when nothing was found.
    void close();
    // Next match after the current one (or before it, backward), wrapping
    // around the note. False when the term is empty or absent.
    bool findNext(bool backward);

    void setLanguage(VeskLanguage language);

    QLineEdit *field() const { return m_field; }
    QLabel *countLabel() const { return m_count; }
    ZulMinimalIconButton *previousButton() const { return m_previous; }
    ZulMinimalIconButton *nextButton() const { return m_next; }
    ZulMinimalIconButton *closeButton() const { return m_close; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // Selects the first match at or after `from` (at or before, backward),
    // wrapping; the selection is left alone when there is none.
    bool select(int from, bool backward);
    void termEdited();
    void refreshCount();

    QPointer<SynchronizedComputationalTextView> m_textView;
    VeskLanguage m_language;
    QLineEdit *m_field = nullptr;
    QLabel *m_count = nullptr;
    ZulMinimalIconButton *m_previous = nullptr;
    ZulMinimalIconButton *m_next = nullptr;
    ZulMinimalIconButton *m_close = nullptr;
    // Where the caret was when the bar opened; where it goes back to when
    // the search found nothing.
    QTextCursor m_caretBeforeOpening;
    bool m_found = false;
};
