#include "Views/FloatingStickyNoteView.h"

#include "Engine/ZulNumberFormatter.h"
#include "VeskKit/Design/VeskAccessibleControl.h"
#include "VeskKit/Design/VeskAnnouncer.h"
#include "VeskKit/Design/VeskColorHex.h"
#include "VeskKit/Design/VeskColorOpacity.h"
#include "VeskKit/Design/VeskEasing.h"
#include "VeskKit/Design/VeskFocusRing.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Localization/VeskText.h"
#include "ViewModels/ZulStudioViewModel.h"
#include "Views/ComputationalEditorView.h"
#include "Views/SynchronizedComputationalTextView.h"
#include "Views/StickyWindowState.h"
#include "Views/ZulMinimalIconButton.h"
#include "Views/ZulNoteTintFrostedGlass.h"
#include "Views/ZulTintDotPicker.h"
#include "Views/ZulTitleFieldKeys.h"
#include "Views/ZulVibrancyView.h"

#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionFrame>
#include <QVBoxLayout>
#include <QVariantAnimation>

#include <algorithm>

namespace {

constexpr qreal kDotSide = 6.5;
constexpr qreal kSheenHeight = 28;
constexpr quint32 kTotalColour = 0xFFE066;

qreal lerp(qreal a, qreal b, qreal t)
{
    return a + (b - a) * t;
}

// Widgets of the card that paint with the view's colours of the moment.
class PaintedPart : public QWidget
{
public:
    using Painter = std::function<void(QPainter &, const QRectF &)>;
    PaintedPart(Painter painter, QWidget *parent) : QWidget(parent), m_painter(std::move(painter)) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        m_painter(painter, QRectF(rect()));
    }

private:
    Painter m_painter;
};

// The title field, as wide as its text (or its placeholder) and no wider:
// the rest of the strip is the panel's background, which moves the panel.
// Narrower than its title and not being edited, it shows the title's start
// ending in an ellipsis, as the list and the chips do, and the whole title
// as its tooltip; the line edit itself would show the end, where its caret
// was left.
class TitleField : public QLineEdit
{
public:
    explicit TitleField(QWidget *parent) : QLineEdit(parent)
    {
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        connect(this, &QLineEdit::textChanged, this, [this] {
            updateGeometry();
            refreshToolTip();
        });
    }

    QString shownTitle() const
    {
        return fontMetrics().elidedText(text(), Qt::ElideRight, textArea().width());
    }

    QSize sizeHint() const override
    {
        // The field's own hint is 17 x-widths of text plus its insets and
        // frame: the insets and frame are kept, the text is the real one,
        // with a point for the caret.
        const QSize standard = QLineEdit::sizeHint();
        const QString shown = text().isEmpty() ? placeholderText() : text();
        const int width = standard.width() - fontMetrics().horizontalAdvance(u'x') * 17 +
                          fontMetrics().horizontalAdvance(shown) + 1;
        return QSize(std::max(width, minimumWidth()), standard.height());
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        if (hasFocus() || text().isEmpty()) {
            QLineEdit::paintEvent(event);
            return;
        }
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(textArea(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shownTitle());
    }

    void focusInEvent(QFocusEvent *event) override
    {
        QLineEdit::focusInEvent(event);
        update();
    }

    void focusOutEvent(QFocusEvent *event) override
    {
        QLineEdit::focusOutEvent(event);
        update();
    }

    void resizeEvent(QResizeEvent *event) override
    {
        QLineEdit::resizeEvent(event);
        refreshToolTip();
    }

private:
    // Where the line edit draws its text: inside its frame, its text
    // margins and the two pixels it keeps on either side.
    QRect textArea() const
    {
        QStyleOptionFrame option;
        initStyleOption(&option);
        const QMargins margins = textMargins();
        return style()->subElementRect(QStyle::SE_LineEditContents, &option, this)
            .adjusted(margins.left() + 2, margins.top(), -margins.right() - 2, -margins.bottom());
    }

    void refreshToolTip() { setToolTip(shownTitle() == text() ? QString() : text()); }
};

} // namespace

FloatingStickyNoteView::FloatingStickyNoteView(ZulStudioViewModel *viewModel, const QUuid &noteID,
                                               StickyWindowState *windowState, std::function<void()> onToggleCollapse,
                                               std::function<void()> onToggleAlwaysOnTop,
                                               std::function<void()> onClose, QWidget *parent)
    : QWidget(parent), m_viewModel(viewModel), m_noteID(noteID), m_state(windowState),
      m_onToggleCollapse(std::move(onToggleCollapse)), m_onToggleAlwaysOnTop(std::move(onToggleAlwaysOnTop)),
      m_onClose(std::move(onClose))
{
    setAttribute(Qt::WA_TranslucentBackground);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    m_card = new QWidget(this);
    outer->addWidget(m_card);
    auto *column = new QVBoxLayout(m_card);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // Title bar.
    m_titleBar = new PaintedPart(
        [this](QPainter &painter, const QRectF &area) {
            painter.fillRect(area, QColor::fromRgbF(0, 0, 0, float(lerp(0.03, 0.13, m_hoverAmount))));
        },
        m_card);
    auto *bar = new QHBoxLayout(m_titleBar);
    bar->setContentsMargins(12, 9, 12, 9);
    bar->setSpacing(7);
    m_dot = new PaintedPart(
        [this](QPainter &painter, const QRectF &area) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(veskColorWithOpacity(accent(), lerp(0.72, 0.95, m_hoverAmount)));
            painter.drawEllipse(QRectF(area.center() - QPointF(kDotSide / 2, kDotSide / 2), QSizeF(kDotSide, kDotSide)));
        },
        m_titleBar);
    m_dot->setFixedSize(7, 7);
    bar->addWidget(m_dot);
    m_title = new TitleField(m_titleBar);
    m_title->setFrame(false);
    m_title->setFont(veskSystemFont(12.5, QFont::DemiBold));
    m_title->setAttribute(Qt::WA_MacShowFocusRect, false);
    m_title->setMinimumWidth(40);
    connect(m_title, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (m_viewModel)
            m_viewModel->updateNoteTitle(m_noteID, text);
    });
    new ZulTitleFieldKeys(
        m_title,
        [this] {
            if (m_editor->isVisible())
                m_editor->textView()->setFocus(Qt::OtherFocusReason);
            else
                setFocus(Qt::OtherFocusReason);
        },
        [this](const QString &title) {
            if (m_viewModel)
                m_viewModel->updateNoteTitle(m_noteID, title);
        });
    m_title->setTextMargins(4, 0, 4, 0);
    VeskFocusRing::attach(m_title, 6);
    bar->addWidget(m_title);
    m_total = new QLabel(m_titleBar);
    m_total->setFont(veskSystemFont(11, QFont::Bold, VeskFontDesign::monospaced));
    m_total->setStyleSheet(QStringLiteral("QLabel { color: #FFE066; background: rgba(0, 0, 0, 56);"
                                          " border-radius: 8px; padding: 2px 6px; }"));
    bar->addWidget(m_total);
    bar->addSpacing(4);
    bar->addStretch(1);

    m_buttons = new QWidget(m_titleBar);
    auto *group = new QHBoxLayout(m_buttons);
    group->setContentsMargins(0, 0, 0, 0);
    group->setSpacing(5);
    m_tints = new ZulTintDotPicker(ZulNoteTint::indigo, 8.5, [this](ZulNoteTint tint) {
        if (m_viewModel)
            m_viewModel->updateNoteTint(m_noteID, tint);
    }, m_buttons);
    group->addWidget(m_tints);
    group->addSpacing(2);
    m_pin = new ZulMinimalIconButton(QStringLiteral("pin.fill"), 9.5, QFont::DemiBold, 20, Qt::white, [this] {
        if (m_onToggleAlwaysOnTop)
            m_onToggleAlwaysOnTop();
    }, m_buttons);
    m_collapse = new ZulMinimalIconButton(QStringLiteral("chevron.up"), 9.5, QFont::Bold, 20,
                                          veskColorFromHex(0xFFFFFF, 0.85), [this] {
                                              if (!m_onToggleCollapse)
                                                  return;
                                              m_onToggleCollapse();
                                              // Qt passes no expanded or collapsed change on to a
                                              // reader: whoever pressed would hear nothing of it.
                                              const bool collapsed = m_state && m_state->isCollapsed();
                                              VeskAnnouncer::announce(
                                                  veskText(collapsed ? QStringLiteral("Collapsed") : QStringLiteral("Expanded"),
                                                           collapsed ? QStringLiteral("Daraltıldı") : QStringLiteral("Genişletildi"),
                                                           m_viewModel ? m_viewModel->language() : VeskLanguage::current()),
                                                  this);
                                          }, m_buttons);
    m_close = new ZulMinimalIconButton(QStringLiteral("xmark"), 9, QFont::Bold, 20, veskColorFromHex(0xFFFFFF, 0.85),
                                       [this] {
                                           if (m_onClose)
                                               m_onClose();
                                       }, m_buttons);
    VeskAccessibleControl::setRole(m_pin, QAccessible::CheckBox);
    group->addWidget(m_pin);
    group->addWidget(m_collapse);
    group->addWidget(m_close);
    m_buttonsOpacity = new QGraphicsOpacityEffect(m_buttons);
    m_buttons->setGraphicsEffect(m_buttonsOpacity);
    bar->addWidget(m_buttons);
    // As tall as a collapsed panel, whatever the panel's height: below it
    // the editor gives way, down to nothing.
    m_titleBar->setFixedHeight(int(titleBarHeight));
    column->addWidget(m_titleBar);

    // Rule and editor, hidden while collapsed.
    auto *body = new QWidget(m_card);
    body->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
    auto *bodyColumn = new QVBoxLayout(body);
    bodyColumn->setContentsMargins(0, 0, 0, 0);
    bodyColumn->setSpacing(0);
    m_rule = new PaintedPart(
        [this](QPainter &painter, const QRectF &area) {
            painter.fillRect(QRectF(area.left(), area.top(), area.width(), 0.5), ruleColour());
        },
        body);
    m_rule->setFixedHeight(1);
    bodyColumn->addWidget(m_rule);
    m_editor = new ComputationalEditorView(viewModel, noteID, true, false, body);
    bodyColumn->addWidget(m_editor, 1);
    // Collapsed, the title bar alone takes the panel's height.
    column->addWidget(body, 1);

    m_hoverAnimation = new QVariantAnimation(this);
    m_hoverAnimation->setDuration(hoverAnimationMs);
    m_hoverAnimation->setEasingCurve(veskEaseInOutCurve());
    connect(m_hoverAnimation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &value) { applyHover(value.toReal()); });

    if (m_viewModel) {
        // Only the panel's own note matters to it. A key changes its text,
        // which the panel shows only in its window's name (the title falls
        // back to the first line), and then its evaluation, which shows only
        // in the total.
        connect(m_viewModel, &ZulStudioViewModel::noteChanged, this, [this](const QUuid &id, ZulNoteFields fields) {
            if (id != m_noteID)
                return;
            if (fields & ~ZulNoteFields(ZulNoteField::content | ZulNoteField::updatedAt))
                refresh();
            else if (const ZulNote *note = m_viewModel->findNote(m_noteID))
                setWindowTitle(note->displayTitle());
        });
        connect(m_viewModel, &ZulStudioViewModel::evaluationChanged, this, [this](const QUuid &id) {
            if (id == m_noteID)
                refreshTotal();
        });
        for (auto signal : {&ZulStudioViewModel::noteAdded, &ZulStudioViewModel::noteRemoved}) {
            connect(m_viewModel, signal, this, [this](const QUuid &id) {
                if (id == m_noteID)
                    refresh();
            });
        }
        connect(m_viewModel, &ZulStudioViewModel::notesReset, this, &FloatingStickyNoteView::refresh);
        connect(m_viewModel, &ZulStudioViewModel::evaluationsReset, this, &FloatingStickyNoteView::refreshTotal);
        connect(m_viewModel, &ZulStudioViewModel::languageChanged, this, &FloatingStickyNoteView::refreshTexts);
        connect(m_viewModel, &ZulStudioViewModel::languageChanged, this, &FloatingStickyNoteView::refreshTotal);
    }
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, [this](QWidget *from, QWidget *to) {
        if ((from && m_buttons->isAncestorOf(from)) || (to && m_buttons->isAncestorOf(to)))
            followHover();
    });
    if (m_state) {
        connect(m_state, &StickyWindowState::isCollapsedChanged, this, &FloatingStickyNoteView::refresh);
        connect(m_state, &StickyWindowState::isAlwaysOnTopChanged, this, &FloatingStickyNoteView::refresh);
        connect(m_state, &StickyWindowState::isHoveringChanged, this, &FloatingStickyNoteView::followHover);
        m_hoverAmount = m_state->isHovering() ? 1 : 0;
    }
    refreshTexts();
    applyHover(m_hoverAmount);
    refresh();
}

QColor FloatingStickyNoteView::accent() const
{
    const ZulNote *note = m_viewModel ? m_viewModel->findNote(m_noteID) : nullptr;
    return veskColorFromHex(accentHex(note ? note->tint : ZulNoteTint::indigo));
}

QColor FloatingStickyNoteView::ruleColour() const
{
    return veskColorWithOpacity(accent(), lerp(0.12, 0.24, m_hoverAmount));
}

bool FloatingStickyNoteView::buttonsAcceptClicks() const
{
    return !m_buttons->testAttribute(Qt::WA_TransparentForMouseEvents);
}

void FloatingStickyNoteView::refresh()
{
    const ZulNote *note = m_viewModel ? m_viewModel->findNote(m_noteID) : nullptr;
    m_hasNote = note != nullptr;
    m_card->setVisible(m_hasNote);
    if (!note) {
        update();
        return;
    }
    const bool collapsed = m_state && m_state->isCollapsed();
    const bool onTop = !m_state || m_state->isAlwaysOnTop();

    if (m_title->text() != note->title)
        m_title->setText(note->title);
    // The panel's window is named for its note.
    setWindowTitle(note->displayTitle());
    refreshTotal();

    m_tints->setVisible(!collapsed);
    m_tints->setSelected(note->tint);
    m_pin->setSystemName(onTop ? QStringLiteral("pin.fill") : QStringLiteral("pin.slash"));
    m_pin->setTint(onTop ? veskColorFromHex(accentHex(note->tint)) : VeskGlassTokens::textMuted());
    VeskAccessibleControl::setOn(m_pin, onTop);
    m_collapse->setSystemName(collapsed ? QStringLiteral("chevron.down") : QStringLiteral("chevron.up"));
    VeskAccessibleControl::setExpanded(m_collapse, !collapsed);
    // Hiding the editor with the keyboard in it would hand the keyboard on
    // to the title, all of it selected, and the next key meant for the text
    // would replace the title: the panel keeps the keyboard meanwhile, and
    // gives it back to the text when it unfolds.
    QWidget *focused = window()->focusWidget();
    if (collapsed && m_editor->isAncestorOf(focused))
        setFocus(Qt::OtherFocusReason);
    m_rule->setVisible(!collapsed);
    m_editor->setVisible(!collapsed);
    if (!collapsed && focused == this)
        m_editor->textView()->setFocus(Qt::OtherFocusReason);
    update();
    m_dot->update();
    m_rule->update();
}

void FloatingStickyNoteView::refreshTotal()
{
    if (!m_viewModel || !m_viewModel->findNote(m_noteID))
        return;
    const std::optional<double> total = m_viewModel->cachedEvaluation(m_noteID).totalNumericSum;
    m_total->setVisible(m_state && m_state->isCollapsed() && total.has_value());
    if (total) {
        m_total->setText(ZulNumberFormatter::format(*total, 2));
        // Read out alone, a bare number says nothing of what it is.
        m_total->setAccessibleName(veskText(QStringLiteral("Total "), QStringLiteral("Toplam "), m_viewModel->language()) +
                                   m_total->text());
    }
}

void FloatingStickyNoteView::refreshTexts()
{
    const VeskLanguage language = m_viewModel ? m_viewModel->language() : VeskLanguage::current();
    auto text = [language](const char *en, const char *tr) {
        return veskText(QString::fromUtf8(en), QString::fromUtf8(tr), language);
    };
    m_title->setPlaceholderText(text("Sticky title", "Yapışkan başlığı"));
    m_title->setAccessibleName(m_title->placeholderText());
    m_tints->setLanguage(language);
    m_title->updateGeometry();
    m_pin->setToolTip(text("Toggle Always-on-Top", "Her Zaman Üstte Aç/Kapat"));
    m_collapse->setToolTip(text("Collapse / Expand", "Daralt / Genişlet"));
    m_close->setToolTip(text("Close Sticky Note", "Yapışkan Notu Kapat"));
}

FloatingStickyNoteView::~FloatingStickyNoteView()
{
    // Its widgets hand the keyboard back as QWidget's destructor takes them
    // down, after this class's part is gone.
    disconnect(m_focusWatch);
}

bool FloatingStickyNoteView::keyboardInButtons() const
{
    const QWidget *focused = QApplication::focusWidget();
    return focused && m_buttons->isAncestorOf(focused);
}

void FloatingStickyNoteView::followHover()
{
    // The keyboard on one of the buttons shows them as the pointer does.
    const qreal target = (m_state && m_state->isHovering()) || keyboardInButtons() ? 1 : 0;
    // The buttons take clicks exactly while the pointer is over the panel,
    // not only once they have faded in.
    m_buttons->setAttribute(Qt::WA_TransparentForMouseEvents, target < 1);
    m_hoverAnimation->stop();
    m_hoverAnimation->setStartValue(m_hoverAmount);
    m_hoverAnimation->setEndValue(target);
    m_hoverAnimation->start();
}

void FloatingStickyNoteView::applyHover(qreal amount)
{
    m_hoverAmount = amount;
    const bool hovering = m_state && m_state->isHovering();
    m_buttons->setAttribute(Qt::WA_TransparentForMouseEvents, !hovering);
    m_buttonsOpacity->setOpacity(amount);
    QPalette palette = m_title->palette();
    palette.setColor(QPalette::Text, veskColorWithOpacity(Qt::white, lerp(0.84, 0.96, amount)));
    palette.setColor(QPalette::PlaceholderText, VeskGlassTokens::textMuted());
    palette.setColor(QPalette::Base, Qt::transparent);
    m_title->setPalette(palette);
    update();
    m_titleBar->update();
    m_dot->update();
    m_rule->update();
}

void FloatingStickyNoteView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // A panel that becomes active with no keyboard holder of its own
    // (reopened at start) hands the keys to its first field, the title, and
    // what the user types for the note would rename it: the text takes them.
    if (!window()->focusWidget() && m_editor->isVisible())
        m_editor->textView()->setFocus(Qt::OtherFocusReason);
}

void FloatingStickyNoteView::paintEvent(QPaintEvent *event)
{
    if (!m_hasNote)
        return;
    const ZulNote *note = m_viewModel->findNote(m_noteID);
    const ZulNoteTint tint = note ? note->tint : ZulNoteTint::indigo;
    const QColor edge = veskColorFromHex(0xFFFFFF, lerp(0.16, 0.28, m_hoverAmount));
    const QColor accentEdge = veskColorWithOpacity(accent(), lerp(0.26, 0.46, m_hoverAmount));
    // The glass follows the tint and, through its edge (white and the
    // accent, each at an opacity), the hover.
    const quint64 look = quint64(accentEdge.rgb() & 0xFFFFFF) << 24 | quint64(qAlpha(accentEdge.rgba())) << 16
                         | quint64(qAlpha(edge.rgba())) << 8 | quint64(tint);
    QPainter painter(this);
    m_backdrop.paint(painter, event->region(), size(), devicePixelRatioF(), look,
                     [&](QPainter &drawing, const QRectF &bounds) {
                         QPainterPath shape;
                         shape.addRoundedRect(bounds, cornerRadius, cornerRadius);
                         drawing.setClipPath(shape);
                         drawing.fillRect(bounds, ZulVibrancyView::materialTint(ZulVisualEffectMaterial::hudWindow));
                         drawing.fillRect(bounds, frostedGlassGradient(tint, 0.28, 0.42));
                         QLinearGradient sheen(bounds.topLeft(), bounds.topLeft() + QPointF(0, kSheenHeight));
                         sheen.setColorAt(0, veskColorFromHex(0xFFFFFF, 0.08));
                         sheen.setColorAt(1, QColor(Qt::transparent));
                         drawing.fillRect(QRectF(bounds.left(), bounds.top(), bounds.width(), kSheenHeight), sheen);

                         drawing.setClipping(false);
                         QLinearGradient border(bounds.topLeft(), bounds.bottomRight());
                         border.setColorAt(0, edge);
                         border.setColorAt(1, accentEdge);
                         drawing.setPen(QPen(QBrush(border), 0.5));
                         drawing.setBrush(Qt::NoBrush);
                         drawing.drawRoundedRect(bounds.adjusted(0.25, 0.25, -0.25, -0.25), cornerRadius - 0.25,
                                                 cornerRadius - 0.25);
                     });
}
