#include "Views/ComputationalEditorView.h"

#include "Views/EditorLayoutMetrics.h"
#include "Views/SynchronizedComputationalTextView.h"
#include "Views/ZulEditorFindBar.h"
#include "Views/ZulEditorNoteHeader.h"
#include "Views/ZulEditorStatusBar.h"
#include "Views/ZulLineNumberColumn.h"
#include "Views/ZulNoteUndoStore.h"
#include "Views/ZulResultGutter.h"

#include "ViewModels/ZulStudioViewModel.h"

#include "Engine/ComputationalNoteEngine.h"
#include "Services/ZulExportService.h"

#include "VeskKit/Design/VeskAccessibleControl.h"
#include "VeskKit/Design/VeskAnnouncer.h"
#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskColorHex.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskSymbolLabel.h"
#include "VeskKit/Localization/VeskText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr ZulNoteFields everyField = ZulNoteFields::fromInt(~0u);

// A hairline rule. Thinner than a pixel is drawn as a pixel of the colour
// at the matching share of its opacity.
class RuleLine : public QWidget
{
public:
    RuleLine(Qt::Orientation orientation, QWidget *parent)
        : QWidget(parent)
        , m_orientation(orientation)
    {
        setLook(1.0, 1.0);
    }

    void setLook(qreal opacity, qreal thickness)
    {
        m_colour = VeskGlassTokens::borderSubtle();
        m_colour.setAlphaF(m_colour.alphaF() * opacity * std::min<qreal>(thickness, 1.0));
        const int pixels = std::max(1, int(std::ceil(thickness)));
        if (m_orientation == Qt::Vertical)
            setFixedWidth(pixels);
        else
            setFixedHeight(pixels);
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), m_colour);
    }

private:
    Qt::Orientation m_orientation;
    QColor m_colour;
};

} // namespace

ComputationalEditorView::ComputationalEditorView(ZulStudioViewModel *viewModel, const QUuid &noteID,
                                                 bool compactMode, bool showHeaderControls, QWidget *parent)
    : QWidget(parent)
    , m_viewModel(viewModel)
    , m_noteID(noteID)
    , m_compactMode(compactMode)
    , m_showHeaderControls(showHeaderControls)
    , m_metrics(new EditorLayoutMetrics(this))
{
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    m_pages = new QStackedWidget(this);
    // A layer of layout alone, which a reader need not name on its way to
    // the text.
    VeskAccessibleControl::setRole(m_pages, QAccessible::Grouping);
    root->addWidget(m_pages);
    buildEditor();

    if (viewModel) {
        // Only this editor's own note matters to it; whole-collection changes
        // may have taken or changed it.
        connect(viewModel, &ZulStudioViewModel::noteChanged, this, [this](const QUuid &id, ZulNoteFields fields) {
            if (id == m_noteID)
                refreshNote(fields);
        });
        connect(viewModel, &ZulStudioViewModel::evaluationChanged, this, [this](const QUuid &id) {
            if (id == m_noteID)
                refreshEvaluation();
        });
        for (auto signal : {&ZulStudioViewModel::noteAdded, &ZulStudioViewModel::noteRemoved}) {
            connect(viewModel, signal, this, [this](const QUuid &id) {
                if (id == m_noteID)
                    refresh();
            });
        }
        connect(viewModel, &ZulStudioViewModel::notesReset, this, &ComputationalEditorView::refresh);
        connect(viewModel, &ZulStudioViewModel::evaluationsReset, this, &ComputationalEditorView::refreshEvaluation);
        connect(viewModel, &ZulStudioViewModel::configChanged, this, &ComputationalEditorView::refresh);
        connect(viewModel, &ZulStudioViewModel::languageChanged, this, &ComputationalEditorView::refresh);
        // Whoever makes a note means to type into it, wherever it shows: the
        // studio, the drawer or its own sticky panel.
        connect(viewModel, &ZulStudioViewModel::noteCreated, this, [this](const QUuid &id) {
            if (id != m_noteID || isShowingEmptyState())
                return;
            m_text->setFocus(Qt::OtherFocusReason);
            // The keyboard lands in an empty text, which says nothing of a
            // new note; a sticky's making is told by its toast already.
            const std::optional<ZulNote> note = m_viewModel->note(id);
            if (note && !note->isFloatingSticky)
                VeskAnnouncer::announce(veskText(QStringLiteral("Note created: "), QStringLiteral("Not oluşturuldu: "),
                                                 m_viewModel->language()) +
                                        note->displayTitle());
        });
    }
    refresh();
}

ComputationalEditorView::~ComputationalEditorView() = default;

ZulEditorFindBar *ComputationalEditorView::ensureFindBar()
{
    // Made at the first search: most editors (a sticky's, the drawer's)
    // never search, and a bar built with each tells a screen reader of
    // controls it never shows.
    if (!m_findBar) {
        m_findBar = new ZulEditorFindBar(m_text, m_editorPage);
        // Above the text, the line numbers and the results alike, so every
        // row stays level with its line while the bar is open.
        m_editorColumn->insertWidget(m_editorColumn->indexOf(m_editorRow), m_findBar);
        if (m_viewModel)
            m_findBar->setLanguage(m_viewModel->language());
    }
    return m_findBar;
}

qreal ComputationalEditorView::textFontSize(double configured, bool compact)
{
    return compact ? std::max(configured - 1, 12.0) : configured;
}

std::optional<QString> ComputationalEditorView::toggledTaskText(const QString &content, const EvaluatedLine &line)
{
    const QList<ComputationalNoteEngine::LineSpan> spans = ComputationalNoteEngine::splitLines(content);
    if (line.lineIndex < 0 || line.lineIndex >= spans.size())
        return std::nullopt;
    const ComputationalNoteEngine::LineSpan span = spans[line.lineIndex];
    const QString current = content.mid(span.start, span.length);
    if (current != line.rawLine)
        return std::nullopt;
    // The line is toggled on its own so that every other character of the
    // note, its line ends included, stays as it was.
    const QString toggled = ZulExportService::toggleChecklistLine(current, 0);
    if (toggled == current)
        return std::nullopt;
    QString next = content;
    next.replace(span.start, span.length, toggled);
    return next;
}

void ComputationalEditorView::buildEditor()
{
    m_editorPage = new QWidget(m_pages);
    auto *column = new QVBoxLayout(m_editorPage);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    if (m_showHeaderControls) {
        m_header = new ZulEditorNoteHeader(m_metrics, m_editorPage);
        auto *divider = new RuleLine(Qt::Horizontal, m_editorPage);
        m_headerDivider = divider;
        column->addWidget(m_header);
        column->addWidget(divider);
        connect(m_header, &ZulEditorNoteHeader::titleEdited, this, [this](const QString &title) {
            if (m_viewModel)
                m_viewModel->updateNoteTitle(m_noteID, title);
        });
        connect(m_header, &ZulEditorNoteHeader::titleEditEnded, this,
                [this] { m_text->setFocus(Qt::OtherFocusReason); });
        connect(m_header, &ZulEditorNoteHeader::tintChosen, this, [this](ZulNoteTint tint) {
            if (m_viewModel)
                m_viewModel->updateNoteTint(m_noteID, tint);
        });
        connect(m_header, &ZulEditorNoteHeader::pinToggleRequested, this, [this] {
            if (m_viewModel)
                m_viewModel->togglePin(m_noteID);
        });
        connect(m_header, &ZulEditorNoteHeader::ephemeralToggleRequested, this, [this] {
            if (m_viewModel)
                m_viewModel->toggleEphemeral(m_noteID);
        });
        connect(m_header, &ZulEditorNoteHeader::exportRequested, this, [this](ZulExportFormat format) {
            if (m_viewModel)
                m_viewModel->exportNoteToDisk(m_noteID, format);
        });
        connect(m_header, &ZulEditorNoteHeader::tagRemoveRequested, this, [this](const QString &tag) {
            if (m_viewModel)
                m_viewModel->removeTag(tag, m_noteID);
        });
        connect(m_header, &ZulEditorNoteHeader::tagSubmitted, this, [this](const QString &text) {
            if (!m_viewModel)
                return;
            const std::optional<ZulNote> before = m_viewModel->note(m_noteID);
            m_viewModel->addTag(text, m_noteID);
            const std::optional<ZulNote> after = m_viewModel->note(m_noteID);
            // The chip appears away from the field, which the keyboard keeps.
            if (before && after && after->tags.size() > before->tags.size())
                VeskAnnouncer::announce(veskText(QStringLiteral("Tag added: #"), QStringLiteral("Etiket eklendi: #"),
                                                 m_viewModel->language()) +
                                            after->tags.constLast(),
                                        this);
        });
    }

    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    m_lineNumbers = new ZulLineNumberColumn(m_metrics, m_editorPage);
    m_lineNumbers->setBackgroundColor(QColor::fromRgbF(0, 0, 0, 0.14));
    auto *numberRule = new RuleLine(Qt::Vertical, m_editorPage);
    numberRule->setLook(0.60, 1.0);
    m_lineNumberRule = numberRule;
    m_text = new SynchronizedComputationalTextView(m_editorPage);
    m_text->setMetrics(m_metrics);
    m_editorColumn = column;
    auto *gutterRule = new RuleLine(Qt::Vertical, m_editorPage);
    m_compactMode ? gutterRule->setLook(0.45, 0.5) : gutterRule->setLook(0.75, 1.0);
    m_gutterRule = gutterRule;
    m_gutter = new ZulResultGutter(m_metrics, m_editorPage);
    m_gutter->setCompactMode(m_compactMode);
    m_gutter->setFixedWidth(m_compactMode ? compactGutterWidth : gutterWidth);
    m_gutter->setBackgroundColor(QColor::fromRgbF(0, 0, 0, m_compactMode ? 0.09 : 0.20));
    row->addWidget(m_lineNumbers);
    row->addWidget(numberRule);
    row->addWidget(m_text, 1);
    row->addWidget(gutterRule);
    row->addWidget(m_gutter);
    // In a short panel the text gives way, down to nothing, before the
    // status bar below it is squeezed.
    for (QWidget *part : {static_cast<QWidget *>(m_lineNumbers), static_cast<QWidget *>(numberRule),
                          static_cast<QWidget *>(m_text), static_cast<QWidget *>(gutterRule),
                          static_cast<QWidget *>(m_gutter)}) {
        QSizePolicy policy = part->sizePolicy();
        policy.setVerticalPolicy(QSizePolicy::Ignored);
        part->setSizePolicy(policy);
    }
    column->addLayout(row, 1);
    m_editorRow = row;

    auto *footRule = new RuleLine(Qt::Horizontal, m_editorPage);
    m_compactMode ? footRule->setLook(0.45, 0.5) : footRule->setLook(0.85, 1.0);
    column->addWidget(footRule);
    m_statusBar = new ZulEditorStatusBar(m_editorPage);
    m_statusBar->setCompactMode(m_compactMode);
    column->addWidget(m_statusBar);

    connect(m_text, &SynchronizedComputationalTextView::textEdited, this, [this](const QString &text) {
        if (m_viewModel)
            m_viewModel->updateNoteContent(m_noteID, text);
    });
    connect(m_text, &SynchronizedComputationalTextView::findRequested, this, [this] { ensureFindBar()->open(); });
    connect(m_gutter, &ZulResultGutter::copyRequested, this, [this](const QString &text) {
        if (m_viewModel)
            m_viewModel->copyToClipboard(text, std::nullopt);
    });
    connect(m_gutter, &ZulResultGutter::taskToggleRequested, this, &ComputationalEditorView::toggleTask);
    // The text shows one paragraph per logical line.
    m_gutter->setEntryLine([this] { return qint64(m_text->textCursor().blockNumber()); });
    connect(m_gutter, &ZulResultGutter::textRequested, this, [this](qint64 line) {
        // The text takes the keyboard before its caret moves: a reader that
        // saw the caret move first would take the text for the focus it
        // already had, and say nothing of it.
        m_text->setFocus(Qt::OtherFocusReason);
        const QTextBlock block = m_text->document()->findBlockByNumber(int(line));
        if (block.isValid() && m_text->textCursor().block() != block)
            m_text->setTextCursor(QTextCursor(block));
    });
    connect(m_gutter, &ZulResultGutter::revealRequested, this, [this](qint64 line) {
        // The columns follow the text's scrolling; the caret stays put.
        QScrollBar *bar = m_text->verticalScrollBar();
        const qreal y = m_metrics->y(line);
        const qreal bottom = y + m_metrics->lineHeight() - m_gutter->height();
        bar->setValue(bar->value() + qRound(y < 0 ? y : std::max<qreal>(bottom, 0)));
    });
    connect(m_statusBar, &ZulEditorStatusBar::copyRequested, this, [this](const QString &text, const QString &label) {
        if (m_viewModel)
            m_viewModel->copyToClipboard(text, label);
    });
    connect(m_statusBar, &ZulEditorStatusBar::copyWithResultsRequested, this, [this] {
        if (m_viewModel)
            m_viewModel->copyNoteWithResults(m_noteID);
    });
    connect(m_statusBar, &ZulEditorStatusBar::stickyToggleRequested, this, [this] {
        if (m_viewModel)
            m_viewModel->toggleFloatingSticky(m_noteID);
    });
    m_pages->addWidget(m_editorPage);
}

void ComputationalEditorView::showEmptyState()
{
    // Made when first needed: an editor opened on its note (a sticky's, the
    // drawer's) would tell a screen reader of controls it may never show.
    if (!m_emptyPage) {
        buildEmptyState();
        refreshEmptyStateTexts();
    }
    m_pages->setCurrentWidget(m_emptyPage);
}

void ComputationalEditorView::buildEmptyState()
{
    m_emptyPage = new QWidget(m_pages);
    auto *column = new QVBoxLayout(m_emptyPage);
    column->setSpacing(12);
    column->addStretch(1);
    auto *symbol = new VeskSymbolLabel(QStringLiteral("note.text"), 36, QFont::Light, VeskGlassTokens::textMuted(),
                                       m_emptyPage);
    m_emptyText = new QLabel(m_emptyPage);
    m_emptyText->setFont(veskSystemFont(13.5, QFont::Normal));
    QPalette palette = m_emptyText->palette();
    palette.setColor(QPalette::WindowText, VeskGlassTokens::textSecondary());
    m_emptyText->setPalette(palette);
    m_emptyText->setAlignment(Qt::AlignCenter);
    m_emptyText->setWordWrap(true);
    m_newNote = new VeskButton(VeskPrimaryButtonStyle{}, QString(), QString(), m_emptyPage);
    column->addWidget(symbol, 0, Qt::AlignHCenter);
    column->addWidget(m_emptyText, 0, Qt::AlignHCenter);
    column->addWidget(m_newNote, 0, Qt::AlignHCenter);
    column->addStretch(1);
    connect(m_newNote, &QAbstractButton::clicked, this, [this] {
        if (!m_viewModel)
            return;
        m_viewModel->createNote();
    });
    m_pages->addWidget(m_emptyPage);
}

QList<QWidget *> ComputationalEditorView::tabStops() const
{
    QList<QWidget *> stops = m_header ? m_header->tabStops() : QList<QWidget *>();
    stops.append(m_text);
    stops.append(m_gutter);
    stops.append(m_statusBar->tabStops());
    return stops;
}

void ComputationalEditorView::setNoteID(const QUuid &id)
{
    if (id == m_noteID)
        return;
    m_noteID = id;
    refreshNote(everyField);
}

bool ComputationalEditorView::isShowingEmptyState() const
{
    return m_emptyPage && m_pages->currentWidget() == m_emptyPage;
}

void ComputationalEditorView::refreshTexts()
{
    const VeskLanguage language = m_viewModel ? m_viewModel->language() : VeskLanguage(VeskLanguage::en);
    refreshEmptyStateTexts();
    m_text->setAccessibleName(veskText(QStringLiteral("Note text"), QStringLiteral("Not metni"), language));
    m_text->setLanguage(language);
    m_gutter->setLanguage(language);
    if (m_findBar)
        m_findBar->setLanguage(language);
    m_statusBar->setLanguage(language);
    if (m_header)
        m_header->setLanguage(language);
}

void ComputationalEditorView::refreshEmptyStateTexts()
{
    if (!m_emptyPage)
        return;
    const VeskLanguage language = m_viewModel ? m_viewModel->language() : VeskLanguage(VeskLanguage::en);
    m_emptyText->setText(veskText(QStringLiteral("Select or create a note to start computing."),
                                  QStringLiteral("Hesaplamaya başlamak için bir not seçin veya oluşturun."), language));
    m_newNote->setText(veskText(QStringLiteral("New Note"), QStringLiteral("Yeni Not"), language));
}

void ComputationalEditorView::refresh()
{
    refreshTexts();
    refreshNote(everyField);
}

void ComputationalEditorView::refreshNote(ZulNoteFields fields)
{
    const ZulNote *note = m_viewModel ? m_viewModel->findNote(m_noteID) : nullptr;
    if (!note) {
        showEmptyState();
        return;
    }
    const bool shown = m_pages->currentWidget() == m_editorPage;
    m_pages->setCurrentWidget(m_editorPage);
    // Coming into view, everything is shown afresh.
    if (!shown)
        fields = everyField;
    // The settings and the evaluation are shown again only with everything:
    // the text changes only by an edit, and the evaluation every edit
    // brings (at once or after a pause) comes with its own signal.
    const bool whole = fields == everyField;

    const ZulConfig &config = m_viewModel->config();
    if (fields & ZulNoteField::tint)
        m_text->setAccentColor(veskColorFromHex(accentHex(note->tint)));
    if (whole)
        m_text->setFontSize(textFontSize(config.fontSize, m_compactMode));
    if (fields & ZulNoteField::content) {
        if (m_textNoteID == m_noteID) {
            m_text->setNoteText(note->content);
        } else {
            m_text->loadNoteText(note->content, ZulNoteUndoStore::of(*m_viewModel).history(m_noteID, note->content));
            m_textNoteID = m_noteID;
        }
    }
    if (whole) {
        const bool numbers = config.showLineNumbers && !m_compactMode;
        m_lineNumbers->setVisible(numbers);
        m_lineNumberRule->setVisible(numbers);
        m_gutter->setVisible(config.showCalculationGutter);
        m_gutterRule->setVisible(config.showCalculationGutter);
        refreshEvaluation();
    }
    if (fields & ZulNoteField::flags)
        m_statusBar->setIsFloatingSticky(note->isFloatingSticky);
    // The header shows neither the text nor the time of the last change.
    if (m_header && (fields & (ZulNoteField::title | ZulNoteField::tint | ZulNoteField::tags | ZulNoteField::flags))) {
        m_header->setNote(*note);
        m_header->setAutoTidyHours(config.autoTidyEphemeralHours);
    }
}

void ComputationalEditorView::refreshEvaluation()
{
    if (!m_viewModel || !m_viewModel->findNote(m_noteID))
        return;
    const CompactNoteEvaluation &evaluation = m_viewModel->cachedEvaluation(m_noteID);
    m_gutter->setEvaluation(evaluation);
    // The status bar shows the counts alone.
    m_statusBar->setSummary(evaluation.totals());
}

void ComputationalEditorView::toggleTask(const EvaluatedLine &line)
{
    if (!m_viewModel)
        return;
    const std::optional<ZulNote> note = m_viewModel->note(m_noteID);
    if (!note)
        return;
    if (const std::optional<QString> next = toggledTaskText(note->content, line))
        m_viewModel->updateNoteContent(m_noteID, *next);
}
