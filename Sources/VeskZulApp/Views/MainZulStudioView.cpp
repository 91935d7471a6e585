#include "Views/MainZulStudioView.h"

#include "VeskKit/Cloud/VeskFeedbackKind.h"
#include "VeskKit/Design/VeskAccessibleControl.h"
#include "VeskKit/Design/VeskBrandMark.h"
#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskColorHex.h"
#include "VeskKit/Design/VeskColorOpacity.h"
#include "VeskKit/Design/VeskFeedbackButton.h"
#include "VeskKit/Design/VeskFocusRing.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskGroundBackground.h"
#include "VeskKit/Design/VeskSymbolLabel.h"
#include "VeskKit/Design/VeskTextLine.h"
#include "VeskKit/Design/VeskTitlebarObserver.h"
#include "VeskKit/Design/VeskToastBanner.h"
#include "VeskKit/Design/VeskUnifiedHeaderBar.h"
#include "VeskKit/Design/VeskVersionAndLogsView.h"
#include "VeskKit/Design/VeskVersionBadge.h"
#include "VeskKit/Design/VeskWindowResizeGrips.h"
#include "VeskKit/Localization/VeskText.h"
#include "VeskKit/Utilities/VeskAppVersion.h"
#include "ViewModels/ZulCommand.h"
#include "ViewModels/ZulStudioViewModel.h"
#include "Views/ComputationalEditorView.h"
#include "Views/SynchronizedComputationalTextView.h"
#include "Views/ZulChipButton.h"
#include "Views/ZulSettingsView.h"
#include "Views/ZulSidebarView.h"
#include "Views/ZulTabStops.h"

#include <QApplication>
#include <QDialog>
#include <QEasingCurve>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QVariantAnimation>

namespace {

const VeskProductPalette kPalette = VeskProductPalette::deepIndigo;

QString colourStyle(const QColor &colour)
{
    return QStringLiteral("color: %1; background: transparent;").arg(veskStyleSheetColor(colour));
}

VeskAppVersion studioVersion()
{
    return VeskAppVersion::current(VeskBundle::main(), QStringLiteral("1.0.0"), QStringLiteral("100"));
}

// The version badge as a plain button.
class BadgeButton : public QAbstractButton {
public:
    explicit BadgeButton(QWidget *parent) : QAbstractButton(parent)
    {
        m_badge = new VeskVersionBadge(studioVersion(), false, this);
        m_badge->setAttribute(Qt::WA_TransparentForMouseEvents, true);
        VeskFocusRing::attach(m_badge, -1, this);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
        setFixedSize(m_badge->sizeHint());
    }

protected:
    void paintEvent(QPaintEvent *) override {}

private:
    VeskVersionBadge *m_badge;
};

// The header's button that holds a menu: Return opens it as Space does, as
// a desktop's menu buttons do (a plain button takes only Space).
class MenuButton : public VeskButton {
public:
    using VeskButton::VeskButton;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            click();
            return;
        }
        VeskButton::keyPressEvent(event);
    }
};

// A one-pixel rule in the subtle border colour.
QWidget *rule(Qt::Orientation orientation, QWidget *parent)
{
    auto *line = new QWidget(parent);
    line->setAttribute(Qt::WA_StyledBackground, true);
    line->setStyleSheet(QStringLiteral("background: rgba(255,255,255,%1);")
                            .arg(VeskGlassTokens::borderSubtle().alpha()));
    if (orientation == Qt::Horizontal)
        line->setFixedHeight(1);
    else
        line->setFixedWidth(1);
    return line;
}

} // namespace

MainZulStudioView::MainZulStudioView(ZulStudioViewModel &viewModel, const QColor &accent, EditorFactory makeEditor,
                                     QWidget *parent)
    : QWidget(parent), m_viewModel(viewModel), m_accent(accent), m_makeEditor(std::move(makeEditor))
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    buildHeader();
    column->addWidget(m_headerBar);
    column->addWidget(rule(Qt::Horizontal, this));

    m_pages = new QStackedWidget(this);
    // The stacks are layers of layout alone, which a reader need not name
    // on its way to the text.
    VeskAccessibleControl::setRole(m_pages, QAccessible::Grouping);
    m_workspace = new QWidget(m_pages);
    auto *workspaceRow = new QHBoxLayout(m_workspace);
    workspaceRow->setContentsMargins(0, 0, 0, 0);
    workspaceRow->setSpacing(0);
    m_sidebar = new ZulSidebarView(viewModel, accentColor(kPalette), m_workspace);
    m_sidebar->setFixedWidth(sidebarWidth);
    connect(m_sidebar, &ZulSidebarView::noteTextRequested, this, &MainZulStudioView::focusEditor);
    workspaceRow->addWidget(m_sidebar);
    workspaceRow->addWidget(rule(Qt::Vertical, m_workspace));
    m_editorStack = new QStackedWidget(m_workspace);
    VeskAccessibleControl::setRole(m_editorStack, QAccessible::Grouping);
    workspaceRow->addWidget(m_editorStack, 1);

    m_emptyState = new QWidget(m_editorStack);
    auto *emptyColumn = new QVBoxLayout(m_emptyState);
    emptyColumn->setSpacing(14);
    emptyColumn->addStretch(1);
    emptyColumn->addWidget(
        new VeskSymbolLabel(QStringLiteral("note.text"), 40, QFont::Light, veskColorWithOpacity(m_accent, 0.8), m_emptyState), 0,
        Qt::AlignHCenter);
    m_emptyText = new QLabel(m_emptyState);
    m_emptyText->setFont(veskSystemFont(14, QFont::Medium));
    m_emptyText->setStyleSheet(colourStyle(VeskGlassTokens::textSecondary()));
    emptyColumn->addWidget(m_emptyText, 0, Qt::AlignHCenter);
    m_createButton = new VeskButton(VeskPrimaryButtonStyle{}, QString(), QStringLiteral("plus"), m_emptyState);
    connect(m_createButton, &QAbstractButton::clicked, this, &MainZulStudioView::newNote);
    emptyColumn->addWidget(m_createButton, 0, Qt::AlignHCenter);
    emptyColumn->addStretch(1);
    m_editorStack->addWidget(m_emptyState);

    m_pages->addWidget(m_workspace);
    column->addWidget(m_pages, 1);

    // The ground covers the whole window, so the window is not cleared to
    // the palette's colour before each paint only to be painted over.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The window: its own title bar shared with the header, and edges to
    // resize it by.
    veskUnifiedTitlebarWindow(this, VeskUnifiedTitlebarMode::unifiedHeader, 16, 14);
    // The product's name in every language; what a screen reader announces
    // when the window comes forward.
    setWindowTitle(QStringLiteral("VeskZul"));
    VeskAccessibleControl::setRole(this, QAccessible::Window);
    if (isWindow())
        new VeskWindowResizeGrips(this);

    m_toastAnimation = new QVariantAnimation(this);
    m_toastAnimation->setDuration(toastAnimationMs);
    m_toastAnimation->setEasingCurve(QEasingCurve::InOutQuad);
    connect(m_toastAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_toastProgress = value.toReal();
        placeToast();
    });
    connect(m_toastAnimation, &QVariantAnimation::finished, this, [this] {
        if (m_toastProgress <= 0 && m_toast)
            delete m_toast.data();
    });

    connect(&viewModel, &ZulStudioViewModel::languageChanged, this, &MainZulStudioView::retranslate);
    connect(&viewModel, &ZulStudioViewModel::selectedTabChanged, this, &MainZulStudioView::syncTabs);
    // The tab counts the notes, the sticky button the floating ones, and the
    // editor stands for the selected note while it exists.
    for (auto signal : {&ZulStudioViewModel::noteAdded, &ZulStudioViewModel::noteRemoved}) {
        connect(&viewModel, signal, this, [this](const QUuid &) {
            syncTabs();
            syncActions();
            syncEditor();
        });
    }
    connect(&viewModel, &ZulStudioViewModel::notesReset, this, [this] {
        syncTabs();
        syncActions();
        syncEditor();
    });
    connect(&viewModel, &ZulStudioViewModel::noteChanged, this, [this](const QUuid &, ZulNoteFields fields) {
        if (fields & ZulNoteField::flags)
            syncActions();
    });
    connect(&viewModel, &ZulStudioViewModel::configChanged, this, &MainZulStudioView::syncActions);
    connect(&viewModel, &ZulStudioViewModel::isEdgeDrawerOpenChanged, this, &MainZulStudioView::syncActions);
    connect(&viewModel, &ZulStudioViewModel::selectedNoteIDChanged, this, &MainZulStudioView::syncEditor);
    connect(&viewModel, &ZulStudioViewModel::toastMessageChanged, this, &MainZulStudioView::syncToast);
    connect(&viewModel, &ZulStudioViewModel::toastIsErrorChanged, this, &MainZulStudioView::syncToast);
    connect(&viewModel, &ZulStudioViewModel::isVersionLogsSheetPresentedChanged, this, &MainZulStudioView::syncSheet);

    retranslate();
    syncEditor();
    syncToast();
    syncSheet();
}

MainZulStudioView::~MainZulStudioView()
{
    if (m_sheet) {
        disconnect(m_sheet, nullptr, this, nullptr);
        delete m_sheet.data();
    }
}

void MainZulStudioView::buildHeader()
{
    m_headerRow = new QWidget();
    auto *row = new QHBoxLayout(m_headerRow);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);

    auto *brand = new QHBoxLayout();
    brand->setSpacing(10);
    brand->addWidget(new VeskBrandMark(24, VeskBrandMarkStyle::currentApp(), m_headerRow), 0, Qt::AlignVCenter);
    auto *names = new QVBoxLayout();
    names->setSpacing(1);
    auto *titleLine = new QHBoxLayout();
    titleLine->setSpacing(7);
    m_title = new QLabel(QStringLiteral("VeskZul"), m_headerRow);
    m_title->setFont(veskSystemFont(16, QFont::Bold));
    m_title->setStyleSheet(colourStyle(VeskGlassTokens::textPrimary()));
    titleLine->addWidget(m_title);
    m_versionBadgeButton = new BadgeButton(m_headerRow);
    connect(m_versionBadgeButton, &QAbstractButton::clicked, this,
            [this] { m_viewModel.setIsVersionLogsSheetPresented(true); });
    titleLine->addWidget(m_versionBadgeButton, 0, Qt::AlignVCenter);
    // The feedback button carries its language; it is made anew when that changes.
    m_feedbackSlot = new QWidget(m_headerRow);
    auto *slotLayout = new QHBoxLayout(m_feedbackSlot);
    slotLayout->setContentsMargins(0, 0, 0, 0);
    titleLine->addWidget(m_feedbackSlot, 0, Qt::AlignVCenter);
    titleLine->addStretch(1);
    names->addLayout(titleLine);
    // Cut short before any button is, ending in an ellipsis.
    m_subtitle = new VeskTextLine(QString(), veskSystemFont(11), VeskGlassTokens::textSecondary(), m_headerRow);
    names->addWidget(m_subtitle);
    brand->addLayout(names);
    row->addLayout(brand);
    row->addStretch(1);

    // The two tabs are one list, so a reader counts them as two.
    auto *tabList = new QWidget(m_headerRow);
    VeskAccessibleControl::setRole(tabList, QAccessible::PageTabList);
    auto *tabs = new QHBoxLayout(tabList);
    tabs->setContentsMargins(0, 0, 0, 0);
    tabs->setSpacing(6);
    for (auto [tab, symbol, button] :
         {std::tuple{ZulStudioTab::workspace, "note.text", &m_workspaceTab},
          std::tuple{ZulStudioTab::settings, "gearshape.fill", &m_settingsTab}}) {
        auto *chip = new ZulChipButton(QString(), QString::fromLatin1(symbol), tabList);
        chip->setPadding(11, 7);
        chip->setCornerRadius(9);
        chip->setLooks({veskSystemFont(12, QFont::DemiBold), Qt::white, veskColorWithOpacity(m_accent, 0.28),
                        veskColorWithOpacity(m_accent, 0.68), 1},
                       {veskSystemFont(12, QFont::Medium), VeskGlassTokens::textSecondary(),
                        VeskGlassTokens::surface1(), VeskGlassTokens::borderSubtle(), 1});
        VeskAccessibleControl::setRole(chip, QAccessible::PageTab);
        connect(chip, &QAbstractButton::clicked, this, [this, tab = tab] { m_viewModel.setSelectedTab(tab); });
        tabs->addWidget(chip);
        *button = chip;
    }
    row->addWidget(tabList);
    row->addStretch(1);

    auto *actions = new QHBoxLayout();
    actions->setSpacing(8);
    m_drawerButton = new VeskButton(VeskGlassButtonStyle{false}, QString(), QStringLiteral("sidebar.right"), m_headerRow);
    m_drawerButton->setToolTip(ZulCommand::of(ZulCommandID::toggleEdgeDrawer).keysText());
    VeskAccessibleControl::setRole(m_drawerButton, QAccessible::CheckBox);
    connect(m_drawerButton, &QAbstractButton::clicked, this, [this] { m_viewModel.toggleEdgeDrawer(); });
    m_stickyButton =
        new VeskButton(VeskGlassButtonStyle{false}, QString(), QStringLiteral("macwindow.on.rectangle"), m_headerRow);
    m_stickyButton->setToolTip(ZulCommand::of(ZulCommandID::newFloatingSticky).keysText());
    connect(m_stickyButton, &QAbstractButton::clicked, this, [this] { m_viewModel.createAndFloatStickyNote(); });
    m_newNoteButton = new VeskButton(VeskPrimaryButtonStyle{}, QString(), QStringLiteral("plus"), m_headerRow);
    connect(m_newNoteButton, &QAbstractButton::clicked, this, &MainZulStudioView::newNote);
    m_menuButton =
        new MenuButton(VeskGlassButtonStyle{false}, QString(), QStringLiteral("line.3.horizontal"), m_headerRow);
    VeskAccessibleControl::setRole(m_menuButton, QAccessible::ButtonMenu);
    m_menuButton->setContextMenuPolicy(Qt::CustomContextMenu);
    m_menuButton->hide();
    connect(m_menuButton, &QAbstractButton::clicked, this, &MainZulStudioView::openCommandMenu);
    // The context-menu key on the button opens what it holds.
    connect(m_menuButton, &QWidget::customContextMenuRequested, this, &MainZulStudioView::openCommandMenu);
    actions->addWidget(m_drawerButton);
    actions->addWidget(m_stickyButton);
    actions->addWidget(m_newNoteButton);
    actions->addWidget(m_menuButton);
    row->addLayout(actions);

    m_headerBar = new VeskUnifiedHeaderBar(m_headerRow, 52, 18, 8, Qt::transparent, this);
}

QString MainZulStudioView::text(const char *en, const char *tr) const
{
    return veskText(QString::fromUtf8(en), QString::fromUtf8(tr), m_viewModel.language());
}

QWidget *MainZulStudioView::currentPage() const
{
    return m_pages->currentWidget();
}

void MainZulStudioView::retranslate()
{
    const VeskLanguage language = m_viewModel.language();
    m_subtitle->setText(text("Computational Scratchpad · Edge Drawer · Floating Stickies",
                             "Hesaplamalı Not Pedi · Kenar Çekmecesi · Yüzen Yapışkanlar"));
    m_versionBadgeButton->setToolTip(text("Version & Runtime Logs", "Sürüm & Uygulama Logları"));
    m_versionBadgeButton->setAccessibleName(m_versionBadgeButton->toolTip());
    m_settingsTab->setText(text("Settings", "Ayarlar"));
    m_drawerButton->setText(text("Edge Drawer", "Kenar Çekmecesi"));
    m_newNoteButton->setText(text("New Note", "Yeni Not"));
    m_menuButton->setToolTip(text("VeskZul Menu", "VeskZul Menüsü"));
    m_menuButton->setAccessibleName(m_menuButton->toolTip());
    m_emptyText->setText(
        text("Ready for your next calculation or scratch note.", "Yeni hesaplaman veya hızlı notun için hazır."));
    m_createButton->setText(text("Create New Note", "Yeni Not Oluştur"));

    delete m_feedbackButton;
    m_feedbackButton = new VeskFeedbackButton(QStringLiteral("VeskZul"), studioVersion(), VeskFeedbackKind::feature,
                                              language, VeskFeedbackButtonStyle::compactIcon, std::nullopt,
                                              m_feedbackSlot);
    m_feedbackSlot->layout()->addWidget(m_feedbackButton);

    syncTabs();
    syncActions();
    if (m_toast)
        syncToast();
}

void MainZulStudioView::syncTabs()
{
    const bool settings = m_viewModel.selectedTab() == ZulStudioTab::settings;
    m_workspaceTab->setText(text("Scratchpad (", "Notlar (") + QString::number(m_viewModel.notes().size()) +
                            QLatin1Char(')'));
    m_workspaceTab->setSelected(!settings);
    m_settingsTab->setSelected(settings);
    if (settings && !m_settingsView) {
        m_settingsView = new ZulSettingsView(m_viewModel, accentColor(kPalette), m_pages);
        m_pages->addWidget(m_settingsView);
    }
    m_pages->setCurrentWidget(settings ? static_cast<QWidget *>(m_settingsView) : m_workspace);
}

void MainZulStudioView::syncActions()
{
    m_drawerButton->setSymbol(m_viewModel.config().edgeSide == ZulEdgeSide::left ? QStringLiteral("sidebar.left")
                                                                                 : QStringLiteral("sidebar.right"));
    m_drawerButton->setActive(m_viewModel.isEdgeDrawerOpen());
    const int stickies = m_viewModel.activeStickyCount();
    m_stickyButton->setText(stickies < 1 ? text("New Sticky", "Yeni Yapışkan")
                                         : text("Sticky", "Yapışkan") + QStringLiteral(" (") +
                                               QString::number(stickies) + QLatin1Char(')'));
    m_stickyButton->setActive(stickies > 0);
}

void MainZulStudioView::syncEditor()
{
    const std::optional<QUuid> selected = m_viewModel.selectedNoteID();
    const bool exists = selected && m_viewModel.note(*selected).has_value();
    if (!exists) {
        if (m_editor)
            m_editor->deleteLater();
        m_editor = nullptr;
        m_editorNoteID = QUuid();
        m_editorStack->setCurrentWidget(m_emptyState);
        return;
    }
    if (m_editor && m_editorNoteID == *selected)
        return;
    // The note editor is handed the new note in place; anything else the
    // factory made is made afresh.
    if (auto *noteEditor = qobject_cast<ComputationalEditorView *>(m_editor.data())) {
        m_editorNoteID = *selected;
        noteEditor->setNoteID(*selected);
        m_editorStack->setCurrentWidget(noteEditor);
        return;
    }
    if (m_editor)
        m_editor->deleteLater();
    m_editorNoteID = *selected;
    m_editor = m_makeEditor ? m_makeEditor(m_viewModel, *selected, m_editorStack) : nullptr;
    if (!m_editor) {
        m_editorStack->setCurrentWidget(m_emptyState);
        return;
    }
    m_editorStack->addWidget(m_editor);
    m_editorStack->setCurrentWidget(m_editor);
}

void MainZulStudioView::focusEditor()
{
    // Whoever opens the window means to type into the note; a header button
    // holding the keyboard would take the first Space, the search field the
    // first letters.
    if (m_viewModel.selectedTab() != ZulStudioTab::workspace || !m_editor)
        return;
    if (auto *noteEditor = qobject_cast<ComputationalEditorView *>(m_editor.data()))
        noteEditor->textView()->setFocus(Qt::OtherFocusReason);
    else
        m_editor->setFocus(Qt::OtherFocusReason);
}

QList<QWidget *> MainZulStudioView::tabStops() const
{
    const QList<QWidget *> header{m_versionBadgeButton, m_feedbackButton ? m_feedbackButton->button() : nullptr,
                                  m_workspaceTab,       m_settingsTab,
                                  m_drawerButton,       m_stickyButton,
                                  m_newNoteButton,      m_menuButton};
    QList<QWidget *> stops;
    if (m_viewModel.selectedTab() == ZulStudioTab::settings && m_settingsView) {
        stops = header + m_settingsView->tabStops();
    } else {
        stops = m_sidebar->tabStops() + header;
        if (auto *noteEditor = qobject_cast<ComputationalEditorView *>(m_editor.data()))
            stops += noteEditor->tabStops();
        else
            stops += {m_editor.data(), m_createButton};
    }
    return ZulTabStops::shown(this, stops);
}

bool MainZulStudioView::focusNextPrevChild(bool next)
{
    return ZulTabStops::moveAlong(this, tabStops(), next) || QWidget::focusNextPrevChild(next);
}

void MainZulStudioView::setCommandMenu(QMenu *menu)
{
    if (m_commandMenu)
        disconnect(m_commandMenu, nullptr, this, nullptr);
    m_commandMenu = menu;
    m_menuButton->setVisible(menu != nullptr);
    if (!menu)
        return;
    connect(menu, &QMenu::aboutToHide, this, [this] { m_menuButton->setActive(false); });
    connect(menu, &QObject::destroyed, this, [this] { setCommandMenu(nullptr); });
}

void MainZulStudioView::openCommandMenu()
{
    if (!m_commandMenu)
        return;
    m_menuButton->setActive(true);
    // Below the button, its right edge with the button's: the button
    // stands at the window's right end.
    const QPoint below(m_menuButton->width() - m_commandMenu->sizeHint().width(), m_menuButton->height() + 4);
    m_commandMenu->popup(m_menuButton->mapToGlobal(below));
}

void MainZulStudioView::newNote()
{
    // The keyboard goes to the text before the text becomes the new note's:
    // a reader told of the text changing in a field that by then holds the
    // keyboard would not speak the move into it.
    focusEditor();
    m_viewModel.createNote();
}

void MainZulStudioView::syncToast()
{
    const std::optional<QString> &message = m_viewModel.toastMessage();
    if (message) {
        if (!m_toast) {
            m_toast = new VeskToastBanner(*message, m_viewModel.toastIsError(), this);
            m_toast->setOpacity(0);
            m_toastProgress = 0;
            m_toast->show();
        }
        // A newer toast changes the text in place; a leaving one comes back.
        m_toast->setMessage(*message);
        m_toast->setIsError(m_viewModel.toastIsError());
        m_toast->raise();
        if (m_toastProgress < 1 &&
            !(m_toastAnimation->state() == QAbstractAnimation::Running && m_toastAnimation->endValue().toReal() >= 1)) {
            m_toastAnimation->stop();
            m_toastAnimation->setStartValue(m_toastProgress);
            m_toastAnimation->setEndValue(1.0);
            m_toastAnimation->start();
        }
        placeToast();
        return;
    }
    if (!m_toast)
        return;
    m_toastAnimation->stop();
    m_toastAnimation->setStartValue(m_toastProgress);
    m_toastAnimation->setEndValue(0.0);
    m_toastAnimation->start();
}

void MainZulStudioView::placeToast()
{
    if (!m_toast)
        return;
    const QSize size = m_toast->sizeHint();
    const qreal shown = height() - toastBottomPadding - size.height();
    const qreal hidden = height();
    const int y = int(hidden + (shown - hidden) * m_toastProgress);
    m_toast->setGeometry((width() - size.width()) / 2, y, size.width(), size.height());
    m_toast->setOpacity(m_toastProgress);
}

void MainZulStudioView::syncSheet()
{
    const bool wanted = m_viewModel.isVersionLogsSheetPresented();
    if (wanted && !m_sheet) {
        auto *sheet = new QDialog(this);
        sheet->setAttribute(Qt::WA_DeleteOnClose);
        sheet->setWindowModality(Qt::WindowModal);
        sheet->setWindowTitle(QStringLiteral("VeskZul"));
        sheet->setFixedSize(sheetWidth, sheetHeight);
        auto *layout = new QVBoxLayout(sheet);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(new VeskVersionAndLogsView(QStringLiteral("VeskZul"), studioVersion(), nullptr, kPalette,
                                                     m_viewModel.language(), {}, [this] {
                                                         m_viewModel.setIsVersionLogsSheetPresented(false);
                                                     }));
        // However the sheet goes (close button, Escape, the window manager),
        // the flag follows.
        connect(sheet, &QDialog::finished, this, [this] { m_viewModel.setIsVersionLogsSheetPresented(false); });
        m_sheet = sheet;
        sheet->open();
    } else if (!wanted && m_sheet) {
        QDialog *sheet = m_sheet;
        m_sheet = nullptr;
        disconnect(sheet, nullptr, this, nullptr);
        sheet->close();
    }
}

void MainZulStudioView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    m_ground.paint(painter, event->region(), size(), devicePixelRatioF(), quint64(kPalette),
                   [](QPainter &drawing, const QRectF &bounds) { VeskGroundBackground::paintGround(drawing, bounds, kPalette); });
}

void MainZulStudioView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    focusEditor();
}

void MainZulStudioView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeToast();
}
