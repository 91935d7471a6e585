#include "Views/EdgeDrawerContentView.h"

#include "VeskKit/Design/VeskAccessibleControl.h"
#include "VeskKit/Design/VeskBrandMark.h"
#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskColorHex.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskLabel.h"
#include "VeskKit/Localization/VeskText.h"
#include "ViewModels/ZulCommand.h"
#include "ViewModels/ZulStudioViewModel.h"
#include "Views/ComputationalEditorView.h"
#include "Views/EdgeDrawerChipStrip.h"
#include "Views/EdgeDrawerNoteChip.h"
#include "Views/ZulChipGroup.h"
#include "Views/ZulNoteListModel.h"
#include "Views/ZulMinimalIconButton.h"
#include "Views/ZulTabStops.h"
#include "Views/ZulVibrancyView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr qreal kIconDiameter = 22;
constexpr qreal kHairlineOpacity = 0.09;
constexpr qreal kSheenHeight = 36;

// A full-width rule half a point thick.
class Hairline : public QWidget
{
public:
    explicit Hairline(QWidget *parent = nullptr) : QWidget(parent)
    {
        setFixedHeight(1);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(QRectF(0, 0, width(), 0.5), veskColorFromHex(0xFFFFFF, kHairlineOpacity));
    }
};

} // namespace

EdgeDrawerContentView::EdgeDrawerContentView(ZulStudioViewModel *viewModel, std::function<void()> onClose,
                                             const QColor &accent, QWidget *parent)
    : QWidget(parent), m_viewModel(viewModel), m_onClose(std::move(onClose)), m_accent(accent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // Header.
    auto *header = new QHBoxLayout;
    header->setContentsMargins(12, 10, 12, 10);
    header->setSpacing(8);
    header->addWidget(new VeskBrandMark(16, VeskBrandMarkStyle::currentApp(), this));
    auto *titles = new QVBoxLayout;
    titles->setSpacing(1);
    m_title = veskMakeLabel(veskSystemFont(13, QFont::DemiBold), VeskGlassTokens::textPrimary(), this);
    m_caption = veskMakeLabel(veskSystemFont(10), VeskGlassTokens::textMuted(), this);
    titles->addWidget(m_title);
    titles->addWidget(m_caption);
    header->addLayout(titles);
    header->addStretch(1);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(4);
    m_plus = new ZulMinimalIconButton(QStringLiteral("plus"), 10.5, QFont::Bold, kIconDiameter,
                                      veskColorFromHex(0xFFFFFF, 0.9), [this] { createQuickNote(); }, this);
    m_popOut = new ZulMinimalIconButton(QStringLiteral("macwindow.on.rectangle"), 10.5, QFont::DemiBold,
                                        kIconDiameter, m_accent, [this] {
                                            if (m_viewModel && m_viewModel->selectedNoteID())
                                                m_viewModel->toggleFloatingSticky(*m_viewModel->selectedNoteID());
                                        }, this);
    m_openStudio = new ZulMinimalIconButton(QStringLiteral("arrow.up.left.and.arrow.down.right"), 9.5,
                                            QFont::DemiBold, kIconDiameter, VeskGlassTokens::textSecondary(), [this] {
                                                if (m_viewModel && m_viewModel->selectedNoteID())
                                                    m_viewModel->openStudioWindowForNote(
                                                        *m_viewModel->selectedNoteID());
                                            }, this);
    m_close = new ZulMinimalIconButton(QStringLiteral("xmark"), 9.5, QFont::Bold, kIconDiameter,
                                       VeskGlassTokens::textSecondary(), [this] {
                                           if (m_onClose)
                                               m_onClose();
                                       }, this);
    for (QWidget *button : {static_cast<QWidget *>(m_plus), static_cast<QWidget *>(m_popOut),
                            static_cast<QWidget *>(m_openStudio), static_cast<QWidget *>(m_close)})
        buttons->addWidget(button);
    header->addLayout(buttons);
    column->addLayout(header);

    column->addWidget(new Hairline(this));

    // Chip strip: scrolls sideways, without scroll bars.
    if (m_viewModel)
        m_notes = &ZulNoteListModel::of(*m_viewModel);
    m_strip = new EdgeDrawerChipStrip(m_notes, this);
    connect(m_strip, &EdgeDrawerChipStrip::chipClicked, this, [this](const QUuid &id) {
        // Only the selection: no tab change, nothing saved.
        if (m_viewModel)
            m_viewModel->setSelectedNoteID(id);
    });
    column->addWidget(m_strip);

    column->addWidget(new Hairline(this));

    // Body: the selected note's editor, or the quick-note button.
    m_body = new QStackedWidget(this);
    // A layer of layout alone, which a reader need not name on its way to
    // the text.
    VeskAccessibleControl::setRole(m_body, QAccessible::Grouping);
    m_editor = new ComputationalEditorView(viewModel, QUuid(), true, false, m_body);
    m_emptyPage = new QWidget(m_body);
    auto *empty = new QVBoxLayout(m_emptyPage);
    empty->addStretch(1);
    m_createQuickNote = new VeskButton(VeskPrimaryButtonStyle{}, QString(), QString(), m_emptyPage);
    connect(m_createQuickNote, &QAbstractButton::clicked, this, [this] { createQuickNote(); });
    empty->addWidget(m_createQuickNote, 0, Qt::AlignHCenter);
    empty->addStretch(1);
    m_body->addWidget(m_editor);
    m_body->addWidget(m_emptyPage);
    column->addWidget(m_body, 1);

    if (m_viewModel) {
        connect(m_notes, &QAbstractItemModel::modelReset, this, &EdgeDrawerContentView::revealSelectedChip);
        // Away, the drawer catches up when it comes back: an editor
        // following every choice made elsewhere would tell a screen reader
        // of every change in a window it does not see.
        connect(m_viewModel, &ZulStudioViewModel::selectedNoteIDChanged, this, [this] {
            if (!isVisible())
                return;
            refreshBody();
            revealSelectedChip();
        });
        // The window is named for the note it shows.
        connect(m_viewModel, &ZulStudioViewModel::noteChanged, this, [this](const QUuid &id, ZulNoteFields fields) {
            if (id == m_viewModel->selectedNoteID() && (fields & (ZulNoteField::title | ZulNoteField::content)))
                refreshWindowTitle();
        });
        connect(m_viewModel, &ZulStudioViewModel::languageChanged, this, &EdgeDrawerContentView::refreshTexts);
    }
    refreshTexts();
    refreshBody();
}

QList<EdgeDrawerNoteChip *> EdgeDrawerContentView::chips() const
{
    return m_strip->chips();
}

bool EdgeDrawerContentView::isShowingEmptyState() const
{
    return m_body->currentWidget() == m_emptyPage;
}

QString EdgeDrawerContentView::title() const
{
    return m_title->text();
}

QString EdgeDrawerContentView::caption() const
{
    return m_caption->text();
}

void EdgeDrawerContentView::createQuickNote()
{
    if (!m_viewModel)
        return;
    m_viewModel->createNote(ZulNewNoteKind::quickNote);
}

void EdgeDrawerContentView::revealSelectedChip()
{
    // Once the drawer is laid out, when the strip knows its width.
    QTimer::singleShot(0, this, [this] {
        if (!isVisible() || !m_viewModel || !m_notes)
            return;
        const std::optional<QUuid> selected = m_viewModel->selectedNoteID();
        if (selected)
            m_strip->reveal(m_notes->rowOf(*selected));
    });
}

void EdgeDrawerContentView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    refreshBody();
    revealSelectedChip();
}

void EdgeDrawerContentView::refreshBody()
{
    if (!m_viewModel)
        return;
    const std::optional<QUuid> selected = m_viewModel->selectedNoteID();
    m_popOut->setVisible(selected.has_value());
    m_openStudio->setVisible(selected.has_value());
    refreshWindowTitle();
    if (selected) {
        if (m_editor->noteID() != *selected)
            m_editor->setNoteID(*selected);
        m_body->setCurrentWidget(m_editor);
    } else {
        m_body->setCurrentWidget(m_emptyPage);
    }
}

void EdgeDrawerContentView::refreshWindowTitle()
{
    const std::optional<QUuid> selected = m_viewModel->selectedNoteID();
    const ZulNote *note = selected ? m_viewModel->findNote(*selected) : nullptr;
    // The drawer's window is named for the note it shows.
    setWindowTitle(note ? note->displayTitle() : QStringLiteral("VeskZul"));
}

void EdgeDrawerContentView::refreshTexts()
{
    const VeskLanguage language = m_viewModel ? m_viewModel->language() : VeskLanguage::current();
    auto text = [language](const char *en, const char *tr) {
        return veskText(QString::fromUtf8(en), QString::fromUtf8(tr), language);
    };
    // The product's name is the same in every language.
    m_title->setText(QStringLiteral("VeskZul"));
    m_caption->setText(text("%1 · Scratchpad", "%1 · Not Çekmecesi")
                           .arg(ZulCommand::of(ZulCommandID::toggleEdgeDrawer).keysText()));
    m_plus->setToolTip(text("New Quick Scratch", "Yeni Hızlı Karalama"));
    m_popOut->setToolTip(text("Pop Out as Sticky Note", "Yüzen Yapışkan Olarak Aç"));
    m_openStudio->setToolTip(text("Open in VeskZul Studio", "VeskZul Stüdyoda Aç"));
    m_close->setToolTip(text("Close Drawer (Esc)", "Çekmeceyi Kapat (Esc)"));
    m_createQuickNote->setText(text("Create Quick Note", "Hızlı Not Oluştur"));
    m_strip->setAccessibleName(text("Notes", "Notlar"));
}

QList<QWidget *> EdgeDrawerContentView::tabStops() const
{
    // The strip's stop is the chip holding the keyboard, else the open note's.
    const int selectedRow = m_notes && m_viewModel && m_viewModel->selectedNoteID()
                                ? m_notes->rowOf(*m_viewModel->selectedNoteID())
                                : -1;
    EdgeDrawerNoteChip *selected = selectedRow >= 0 ? m_strip->chipOf(m_notes->idAt(selectedRow)) : nullptr;
    QList<QWidget *> stops{m_plus, m_popOut, m_openStudio, m_close, ZulChipGroup::stop(m_strip->chipList(), selected)};
    if (m_body->currentWidget() == m_editor)
        stops += m_editor->tabStops();
    else
        stops.append(m_createQuickNote);
    return ZulTabStops::shown(this, stops);
}

bool EdgeDrawerContentView::focusNextPrevChild(bool next)
{
    return ZulTabStops::moveAlong(this, tabStops(), next) || QWidget::focusNextPrevChild(next);
}

void EdgeDrawerContentView::paintBackdrop(QPainter &painter, const QRectF &bounds, const QColor &accent)
{
    QPainterPath shape;
    shape.addRoundedRect(bounds, cornerRadius, cornerRadius);
    painter.setClipPath(shape);

    painter.fillRect(bounds, ZulVibrancyView::materialTint(ZulVisualEffectMaterial::hudWindow));
    QLinearGradient wash(bounds.topLeft(), bounds.bottomRight());
    wash.setColorAt(0, veskColorFromHex(0x24347A, 0.38));
    wash.setColorAt(0.5, veskColorFromHex(0x182356, 0.45));
    wash.setColorAt(1, veskColorFromHex(0x0D1433, 0.54));
    painter.fillRect(bounds, wash);
    QLinearGradient sheen(bounds.topLeft(), bounds.topLeft() + QPointF(0, kSheenHeight));
    sheen.setColorAt(0, veskColorFromHex(0xFFFFFF, 0.07));
    sheen.setColorAt(1, QColor(Qt::transparent));
    painter.fillRect(QRectF(bounds.left(), bounds.top(), bounds.width(), kSheenHeight), sheen);

    QLinearGradient border(bounds.topLeft(), bounds.bottomRight());
    border.setColorAt(0, veskColorFromHex(0xFFFFFF, 0.24));
    QColor accentEdge = accent;
    accentEdge.setAlphaF(0.34f);
    border.setColorAt(1, accentEdge);
    painter.setClipping(false);
    painter.setPen(QPen(QBrush(border), 0.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(bounds.adjusted(0.25, 0.25, -0.25, -0.25), cornerRadius - 0.25, cornerRadius - 0.25);
}

void EdgeDrawerContentView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    m_backdrop.paint(painter, event->region(), size(), devicePixelRatioF(), m_accent.rgba(),
                     [this](QPainter &drawing, const QRectF &bounds) { paintBackdrop(drawing, bounds, m_accent); });
}
