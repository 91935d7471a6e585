#include "Views/EdgeDrawerContentView.h"

#include "VeskKit/Design/VeskBrandMark.h"
#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskColorHex.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskLabel.h"
#include "VeskKit/Localization/VeskText.h"
#include "ViewModels/ZulStudioViewModel.h"
#include "Views/ComputationalEditorView.h"
#include "Views/EdgeDrawerNoteChip.h"
#include "Views/ZulChipGroup.h"
#include "Views/ZulNoteListModel.h"
#include "Views/ZulMinimalIconButton.h"
#include "Views/ZulTabStops.h"
#include "Views/ZulVibrancyView.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

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
    m_chipScroll = new QScrollArea(this);
    m_chipScroll->setFrameShape(QFrame::NoFrame);
    m_chipScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_chipScroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_chipScroll->setWidgetResizable(true);
    m_chipScroll->setAttribute(Qt::WA_TranslucentBackground);
    m_chipScroll->viewport()->setAutoFillBackground(false);
    m_chipScroll->viewport()->installEventFilter(this);
    m_chipRow = new QWidget;
    m_chipLayout = new QHBoxLayout(m_chipRow);
    m_chipLayout->setContentsMargins(10, 7, 10, 7);
    m_chipLayout->setSpacing(5);
    m_chipLayout->addStretch(1);
    m_chipScroll->setWidget(m_chipRow);
    // The scroll area fills what it holds; the drawer's glass shows through.
    m_chipRow->setAutoFillBackground(false);
    column->addWidget(m_chipScroll);

    column->addWidget(new Hairline(this));

    // Body: the selected note's editor, or the quick-note button.
    m_body = new QStackedWidget(this);
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

    // The strip is as tall as a chip even while empty, so the hairlines keep
    // their places.
    const int chipHeight = EdgeDrawerNoteChip(QUuid(), QStringLiteral("X"), ZulNoteTint::indigo, false).sizeHint().height();
    m_chipScroll->setFixedHeight(chipHeight + 14);

    if (m_viewModel) {
        m_notes = &ZulNoteListModel::of(*m_viewModel);
        connect(m_notes, &QAbstractItemModel::modelReset, this, &EdgeDrawerContentView::rebuildChips);
        connect(m_notes, &QAbstractItemModel::rowsInserted, this,
                [this](const QModelIndex &, int first, int last) { insertChips(first, last); });
        connect(m_notes, &QAbstractItemModel::rowsRemoved, this,
                [this](const QModelIndex &, int first, int last) { removeChips(first, last); });
        connect(m_notes, &QAbstractItemModel::rowsMoved, this,
                [this](const QModelIndex &, int first, int last, const QModelIndex &, int destination) {
                    moveChips(first, last, destination);
                });
        connect(m_notes, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex &top, const QModelIndex &bottom) { restyleChips(top.row(), bottom.row()); });
        connect(m_viewModel, &ZulStudioViewModel::selectedNoteIDChanged, this, [this] {
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
    rebuildChips();
    refreshBody();
}

QList<EdgeDrawerNoteChip *> EdgeDrawerContentView::chips() const
{
    QList<EdgeDrawerNoteChip *> result;
    for (const QPointer<EdgeDrawerNoteChip> &chip : m_chips) {
        if (chip)
            result.append(chip);
    }
    return result;
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
    const VeskLanguage language = m_viewModel->language();
    m_viewModel->createNote(veskText(QStringLiteral("Quick Scratch"), QStringLiteral("Hızlı Karalama"), language),
                            QString(), ZulNoteTint::indigo, true, false);
}

EdgeDrawerNoteChip *EdgeDrawerContentView::makeChip(int row)
{
    const ZulNote &note = m_notes->noteAt(row);
    auto *chip = new EdgeDrawerNoteChip(note.id, m_notes->displayTitle(row), note.tint,
                                        m_viewModel->selectedNoteID() == note.id, m_chipRow);
    const QUuid id = note.id;
    chip->installEventFilter(this);
    connect(chip, &QAbstractButton::clicked, this, [this, id] {
        // Only the selection: no tab change, nothing saved.
        if (m_viewModel)
            m_viewModel->setSelectedNoteID(id);
    });
    return chip;
}

void EdgeDrawerContentView::revealSelectedChip()
{
    // New chips get their places when the strip's layout next runs.
    QTimer::singleShot(0, this, [this] {
        if (!isVisible() || !m_viewModel || !m_notes)
            return;
        const std::optional<QUuid> selected = m_viewModel->selectedNoteID();
        const int row = selected ? m_notes->rowOf(*selected) : -1;
        if (row < 0 || row >= m_chips.size() || !m_chips[row])
            return;
        // Chips that came meanwhile take their places first: the strip
        // grows to hold them, then lays them out.
        m_chipRow->resize(m_chipRow->sizeHint().expandedTo(m_chipScroll->viewport()->size()));
        m_chipLayout->activate();
        m_chipScroll->ensureWidgetVisible(m_chips[row], 10, 0);
    });
}

void EdgeDrawerContentView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    revealSelectedChip();
}

void EdgeDrawerContentView::rebuildChips()
{
    for (const QPointer<EdgeDrawerNoteChip> &chip : std::as_const(m_chips)) {
        if (chip)
            delete chip.data();
    }
    m_chips.clear();
    if (m_notes)
        insertChips(0, m_notes->rowCount() - 1);
    revealSelectedChip();
}

void EdgeDrawerContentView::insertChips(int first, int last)
{
    for (int row = first; row <= last; ++row) {
        EdgeDrawerNoteChip *chip = makeChip(row);
        m_chipLayout->insertWidget(row, chip);
        m_chips.insert(row, chip);
    }
}

void EdgeDrawerContentView::removeChips(int first, int last)
{
    for (int row = last; row >= first; --row) {
        if (row >= m_chips.size())
            continue;
        delete m_chips.takeAt(row).data();
    }
}

void EdgeDrawerContentView::moveChips(int first, int last, int destination)
{
    QList<QPointer<EdgeDrawerNoteChip>> moved = m_chips.mid(first, last - first + 1);
    m_chips.remove(first, moved.size());
    const int at = destination > first ? destination - int(moved.size()) : destination;
    for (qsizetype k = 0; k < moved.size(); ++k) {
        m_chips.insert(at + k, moved[k]);
        m_chipLayout->removeWidget(moved[k]);
        m_chipLayout->insertWidget(int(at + k), moved[k]);
    }
}

void EdgeDrawerContentView::restyleChips(int first, int last)
{
    const std::optional<QUuid> selected = m_viewModel ? m_viewModel->selectedNoteID() : std::nullopt;
    for (int row = first; row <= last && row < m_chips.size(); ++row) {
        if (const QPointer<EdgeDrawerNoteChip> &chip = m_chips[row]) {
            const ZulNote &note = m_notes->noteAt(row);
            chip->setLook(m_notes->displayTitle(row), note.tint, selected == note.id);
        }
    }
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
    m_caption->setText(text("Ctrl+Alt+N · Scratchpad", "Ctrl+Alt+N · Not Çekmecesi"));
    m_plus->setToolTip(text("New Quick Scratch", "Yeni Hızlı Karalama"));
    m_popOut->setToolTip(text("Pop Out as Sticky Note", "Yüzen Yapışkan Olarak Aç"));
    m_openStudio->setToolTip(text("Open in VeskZul Studio", "VeskZul Stüdyoda Aç"));
    m_close->setToolTip(text("Close Drawer (Esc)", "Çekmeceyi Kapat (Esc)"));
    m_createQuickNote->setText(text("Create Quick Note", "Hızlı Not Oluştur"));
    m_chipScroll->setAccessibleName(text("Notes", "Notlar"));
}

bool EdgeDrawerContentView::eventFilter(QObject *watched, QEvent *event)
{
    // A plain wheel turns the strip sideways: it has no other direction.
    if (watched == m_chipScroll->viewport() && event->type() == QEvent::Wheel) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        const QPoint delta = wheel->angleDelta();
        const int step = delta.x() != 0 ? delta.x() : delta.y();
        QScrollBar *bar = m_chipScroll->horizontalScrollBar();
        bar->setValue(bar->value() - step / 4);
        return true;
    }
    if (auto *chip = qobject_cast<EdgeDrawerNoteChip *>(watched)) {
        if (event->type() == QEvent::FocusIn)
            m_chipScroll->ensureWidgetVisible(chip, 10, 0);
        // The strip is one chip group; the drawer keeps its chips, which
        // follow the note list row by row.
        if (event->type() == QEvent::KeyPress
            && ZulChipGroup::moveAlong(m_chips, chip, static_cast<QKeyEvent *>(event)->key()))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

QList<QWidget *> EdgeDrawerContentView::tabStops() const
{
    // The strip's stop is the chip holding the keyboard, else the open note's.
    const int selectedRow = m_notes && m_viewModel && m_viewModel->selectedNoteID()
                                ? m_notes->rowOf(*m_viewModel->selectedNoteID())
                                : -1;
    EdgeDrawerNoteChip *selected =
        selectedRow >= 0 && selectedRow < m_chips.size() ? m_chips[selectedRow].data() : nullptr;
    QList<QWidget *> stops{m_plus, m_popOut, m_openStudio, m_close, ZulChipGroup::stop(m_chips, selected)};
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

void EdgeDrawerContentView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = QRectF(rect());
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
    QColor accentEdge = m_accent;
    accentEdge.setAlphaF(0.34f);
    border.setColorAt(1, accentEdge);
    painter.setClipping(false);
    painter.setPen(QPen(QBrush(border), 0.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(bounds.adjusted(0.25, 0.25, -0.25, -0.25), cornerRadius - 0.25, cornerRadius - 0.25);
}
