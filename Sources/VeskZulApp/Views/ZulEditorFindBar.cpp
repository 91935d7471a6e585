#include "Views/ZulEditorFindBar.h"

#include "Views/SynchronizedComputationalTextView.h"
#include "Views/ZulMinimalIconButton.h"

#include "VeskKit/Design/VeskAnnouncer.h"
#include "VeskKit/Design/VeskColorHex.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassInputField.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskSymbolLabel.h"
#include "VeskKit/Localization/VeskText.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTextDocument>

ZulEditorFindBar::ZulEditorFindBar(SynchronizedComputationalTextView *textView, QWidget *parent)
    : QWidget(parent)
    , m_textView(textView)
    , m_language(VeskLanguage::en)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(10, 6, 10, 6);
    row->setSpacing(6);
    row->addWidget(new VeskSymbolLabel(QStringLiteral("magnifyingglass"), 11.5, QFont::Normal,
                                       VeskGlassTokens::textMuted(), this));
    m_field = veskGlassInputField(new QLineEdit(this), 7, 8, 3);
    QPalette palette = m_field->palette();
    palette.setColor(QPalette::PlaceholderText, VeskGlassTokens::textMuted());
    m_field->setPalette(palette);
    m_field->setMinimumWidth(60);
    m_field->installEventFilter(this);
    row->addWidget(m_field, 1);
    m_count = new QLabel(this);
    m_count->setFont(veskSystemFont(11, QFont::Medium));
    palette = m_count->palette();
    palette.setColor(QPalette::WindowText, VeskGlassTokens::textSecondary());
    m_count->setPalette(palette);
    row->addWidget(m_count);
    m_previous = new ZulMinimalIconButton(QStringLiteral("chevron.up"), 9.5, QFont::DemiBold, 20,
                                          VeskGlassTokens::textSecondary(), [this] { findNext(true); }, this);
    m_next = new ZulMinimalIconButton(QStringLiteral("chevron.down"), 9.5, QFont::DemiBold, 20,
                                      VeskGlassTokens::textSecondary(), [this] { findNext(false); }, this);
    m_close = new ZulMinimalIconButton(QStringLiteral("xmark"), 9, QFont::Bold, 20, veskColorFromHex(0xFFFFFF, 0.85),
                                       [this] { close(); }, this);
    row->addWidget(m_previous);
    row->addWidget(m_next);
    row->addWidget(m_close);

    connect(m_field, &QLineEdit::textEdited, this, &ZulEditorFindBar::termEdited);
    if (m_textView) {
        // Edits made while the bar is open change how many matches there are.
        connect(m_textView->document(), &QTextDocument::contentsChanged, this, [this] {
            if (isVisible())
                refreshCount();
        });
    }
    setLanguage(m_language);
    hide();
}

void ZulEditorFindBar::setLanguage(VeskLanguage language)
{
    m_language = language;
    auto text = [language](const char *en, const char *tr) {
        return veskText(QString::fromUtf8(en), QString::fromUtf8(tr), language);
    };
    m_field->setPlaceholderText(text("Find in note", "Notta bul"));
    m_field->setAccessibleName(m_field->placeholderText());
    m_previous->setToolTip(text("Previous Match (Shift+Enter)", "Önceki Eşleşme (Shift+Enter)"));
    m_next->setToolTip(text("Next Match (Enter)", "Sonraki Eşleşme (Enter)"));
    m_close->setToolTip(text("Close Find (Esc)", "Aramayı Kapat (Esc)"));
    refreshCount();
}

void ZulEditorFindBar::open()
{
    if (!m_textView)
        return;
    const QTextCursor cursor = m_textView->textCursor();
    if (isHidden()) {
        m_caretBeforeOpening = cursor;
        m_found = false;
    }
    const QString selected = cursor.selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator)) {
        m_field->setText(selected);
        m_found = true;
    }
    show();
    // The keyboard first: a reader told of the selection before the focus
    // would leave the move unspoken.
    m_field->setFocus(Qt::OtherFocusReason);
    if (!m_field->text().isEmpty())
        m_field->selectAll();
    refreshCount();
}

void ZulEditorFindBar::close()
{
    hide();
    if (!m_textView)
        return;
    if (!m_found && !m_caretBeforeOpening.isNull())
        m_textView->setTextCursor(m_caretBeforeOpening);
    m_textView->setFocus(Qt::OtherFocusReason);
}

bool ZulEditorFindBar::findNext(bool backward)
{
    if (!m_textView)
        return false;
    const QTextCursor cursor = m_textView->textCursor();
    const bool found = select(backward ? cursor.selectionStart() : cursor.selectionEnd(), backward);
    refreshCount();
    // The match is selected in the text, which does not hold the keyboard:
    // the reader hears where it is from the count alone.
    VeskAnnouncer::announce(m_count->text(), this);
    return found;
}

bool ZulEditorFindBar::select(int from, bool backward)
{
    const QString term = m_field->text();
    if (term.isEmpty())
        return m_found = false;
    QTextDocument *document = m_textView->document();
    const QTextDocument::FindFlags flags = backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    QTextCursor match = document->find(term, from, flags);
    if (match.isNull())
        match = document->find(term, backward ? document->characterCount() - 1 : 0, flags);
    m_found = !match.isNull();
    if (m_found) {
        m_textView->setTextCursor(match);
        m_textView->ensureCursorVisible();
    }
    return m_found;
}

void ZulEditorFindBar::termEdited()
{
    if (!m_textView)
        return;
    // Typing on in the field keeps the match where it starts, so a longer
    // term narrows the search instead of jumping past it.
    const QTextCursor cursor = m_textView->textCursor();
    if (!select(cursor.selectionStart(), false) && !m_caretBeforeOpening.isNull())
        m_textView->setTextCursor(m_caretBeforeOpening);
    refreshCount();
    VeskAnnouncer::announceAfterPause(m_count->text(), this);
}

void ZulEditorFindBar::refreshCount()
{
    const QString term = m_field->text();
    if (term.isEmpty() || !m_textView) {
        m_count->clear();
        return;
    }
    QTextDocument *document = m_textView->document();
    const QTextCursor current = m_textView->textCursor();
    int total = 0;
    int index = 0;
    for (QTextCursor match = document->find(term, 0); !match.isNull();
         match = document->find(term, match.selectionEnd())) {
        ++total;
        if (match.selectionStart() == current.selectionStart() && match.selectionEnd() == current.selectionEnd())
            index = total;
    }
    if (total == 0) {
        m_count->setText(veskText(QStringLiteral("No matches"), QStringLiteral("Eşleşme yok"), m_language));
        return;
    }
    const QString place = index > 0 ? QString::number(index) : QStringLiteral("–");
    m_count->setText(veskText(QStringLiteral("%1 of %2"), QStringLiteral("%1 / %2"), m_language)
                         .arg(place, QString::number(total)));
}

bool ZulEditorFindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_field && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            findNext(key->modifiers().testFlag(Qt::ShiftModifier));
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            close();
            return true;
        }
        if (key->matches(QKeySequence::Find)) {
            m_field->selectAll();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ZulEditorFindBar::keyPressEvent(QKeyEvent *event)
{
    // Escape on one of the bar's buttons, which leave it unhandled.
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ZulEditorFindBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), VeskGlassTokens::surface1());
    painter.fillRect(QRect(0, height() - 1, width(), 1), VeskGlassTokens::borderSubtle());
}
