#include "Views/MenuBarZulPopoverView.h"

#include "Engine/ZulNumberFormatter.h"
#include "VeskKit/Design/VeskBrandMark.h"
#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskColorHex.h"
#include "VeskKit/Design/VeskFeedbackButton.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskLabel.h"
#include "VeskKit/Design/VeskTextLine.h"
#include "VeskKit/Localization/VeskText.h"
#include "VeskKit/Utilities/VeskAppVersion.h"
#include "ViewModels/ZulStudioViewModel.h"
#include "Views/EvaluatedLineKindBadgeColor.h"
#include "Views/EvaluatedLineSpokenText.h"
#include "Views/ZulVibrancyView.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int kEditorHeight = 82;
// What a result row keeps for its line, however long the result.
constexpr int kRawLineMinimumWidth = 88;

// A borderless button showing one line of text, optionally on a capsule.
// Given less room than its text needs it ends the text in an ellipsis and
// shows it whole as its tooltip.
class TextButton : public QAbstractButton
{
public:
    TextButton(const QFont &font, const QColor &colour, QWidget *parent) : QAbstractButton(parent), m_colour(colour)
    {
        setFont(font);
        setFocusPolicy(Qt::NoFocus);
        setCursor(Qt::PointingHandCursor);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }

    void setCapsule(const QColor &fill, qreal horizontal, qreal vertical)
    {
        m_fill = fill;
        m_padding = QSizeF(horizontal, vertical);
        updateGeometry();
    }

    QSize sizeHint() const override
    {
        const QFontMetricsF metrics(font());
        return QSize(int(std::ceil(metrics.horizontalAdvance(text()) + 2 * m_padding.width())),
                     int(std::ceil(metrics.height() + 2 * m_padding.height())));
    }

    QSize minimumSizeHint() const override
    {
        const QFontMetricsF metrics(font());
        return QSize(int(std::ceil(metrics.horizontalAdvance(QChar(0x2026)) + 2 * m_padding.width())),
                     sizeHint().height());
    }

    void setShrinkable()
    {
        setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    }

    QString shownText() const
    {
        return QFontMetricsF(font()).elidedText(text(), Qt::ElideRight, width() - 2 * m_padding.width());
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF bounds(rect());
        if (m_fill.alpha() > 0) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(m_fill);
            painter.drawRoundedRect(bounds, bounds.height() / 2, bounds.height() / 2);
        }
        QColor colour = m_colour;
        if (isDown())
            colour.setAlphaF(colour.alphaF() * 0.7f);
        painter.setPen(colour);
        painter.setFont(font());
        painter.drawText(bounds, Qt::AlignCenter | Qt::TextSingleLine, shownText());
    }

    void resizeEvent(QResizeEvent *event) override
    {
        QAbstractButton::resizeEvent(event);
        setToolTip(shownText() == text() ? QString() : text());
    }

private:
    QColor m_colour;
    QColor m_fill = Qt::transparent;
    QSizeF m_padding;
};

// A full-width divider.
class Divider : public QWidget
{
public:
    explicit Divider(QWidget *parent) : QWidget(parent) { setFixedHeight(1); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), veskColorFromHex(0xFFFFFF, 0.12));
    }
};

// A rectangle of the label colour at low opacity behind its content.
class Well : public QWidget
{
public:
    Well(qreal opacity, QWidget *parent) : QWidget(parent), m_opacity(opacity) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(veskColorFromHex(0xFFFFFF, m_opacity));
        painter.drawRoundedRect(QRectF(rect()), 8, 8);
    }

private:
    qreal m_opacity;
};

VeskButton *makeButton(const QString &symbol, qreal fontSize, QWidget *parent)
{
    auto *button = new VeskButton(VeskGlassButtonStyle{false}, QString(), symbol, parent);
    button->setLabelFont(veskSystemFont(fontSize, QFont::Medium));
    return button;
}

} // namespace

MenuBarZulPopoverView::MenuBarZulPopoverView(ZulStudioViewModel *viewModel, std::function<void()> onOpenStudio,
                                             const QColor &accent, QWidget *parent)
    : QWidget(parent), m_viewModel(viewModel), m_onOpenStudio(std::move(onOpenStudio)), m_accent(accent)
{
    terminateAction = [] { QCoreApplication::quit(); };
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedWidth(contentWidth);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(14, 14, 14, 14);
    column->setSpacing(10);

    // Header.
    auto *header = new QHBoxLayout;
    header->setSpacing(8);
    header->addWidget(new VeskBrandMark(18, VeskBrandMarkStyle::currentApp(), this));
    header->addWidget(veskMakeLabel(veskSystemFont(13.5, QFont::Bold), VeskGlassTokens::textPrimary(), this));
    static_cast<QLabel *>(header->itemAt(1)->widget())->setText(QStringLiteral("VeskZul"));
    header->addStretch(1);
    m_header = header;
    header->addWidget(makeFeedbackButton());
    auto *chip = new TextButton(veskSystemFont(11, QFont::Bold, VeskFontDesign::monospaced), m_accent, this);
    QColor chipFill = m_accent;
    chipFill.setAlphaF(0.16f);
    chip->setCapsule(chipFill, 7, 2);
    connect(chip, &QAbstractButton::clicked, this, [this] {
        if (!m_viewModel)
            return;
        // Formatted again at two fraction digits, whatever the list shows.
        if (const std::optional<double> total = m_viewModel->quickScratchSummary().totalNumericSum)
            m_viewModel->copyToClipboard(ZulNumberFormatter::format(*total, 2), std::nullopt);
    });
    m_totalChip = chip;
    header->addWidget(chip);
    column->addLayout(header);

    column->addWidget(new Divider(this));

    // Scratch calculator.
    auto *scratch = new QVBoxLayout;
    scratch->setSpacing(6);
    auto *titleRow = new QHBoxLayout;
    m_title = veskMakeLabel(veskSystemFont(11, QFont::DemiBold), VeskGlassTokens::textPrimary(), this);
    titleRow->addWidget(m_title);
    titleRow->addStretch(1);
    m_saveNote = makeButton(QString(), 10.5, this);
    connect(m_saveNote, &QAbstractButton::clicked, this, [this] {
        if (m_viewModel)
            m_viewModel->promoteQuickScratchToNote();
    });
    titleRow->addWidget(m_saveNote);
    scratch->addLayout(titleRow);

    auto *editorWell = new Well(0.06, this);
    auto *editorBox = new QVBoxLayout(editorWell);
    editorBox->setContentsMargins(6, 6, 6, 6);
    m_editor = new QPlainTextEdit(editorWell);
    m_editor->setFrameShape(QFrame::NoFrame);
    // The text wraps and scrolls with the cursor and the wheel; a bar would
    // crowd the small field (and a long word would bring up a sideways one).
    m_editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_editor->setFont(veskSystemFont(12, QFont::Normal, VeskFontDesign::monospaced));
    m_editor->viewport()->setAutoFillBackground(false);
    m_editor->setAutoFillBackground(false);
    QPalette editorPalette = m_editor->palette();
    editorPalette.setColor(QPalette::Base, Qt::transparent);
    editorPalette.setColor(QPalette::Text, VeskGlassTokens::textPrimary());
    m_editor->setPalette(editorPalette);
    editorBox->addWidget(m_editor);
    editorWell->setFixedHeight(kEditorHeight + 12);
    connect(m_editor, &QPlainTextEdit::textChanged, this, &MenuBarZulPopoverView::takeScratchText);
    scratch->addWidget(editorWell);

    m_resultList = new Well(0.04, this);
    m_resultLayout = new QVBoxLayout(m_resultList);
    m_resultLayout->setContentsMargins(8, 6, 8, 6);
    m_resultLayout->setSpacing(4);
    scratch->addWidget(m_resultList);
    column->addLayout(scratch);

    column->addWidget(new Divider(this));

    // Actions.
    auto *actions = new QHBoxLayout;
    actions->setSpacing(6);
    m_edgeDrawer = makeButton(QStringLiteral("sidebar.right"), 11, this);
    m_edgeDrawer->setProminentTint(m_accent);
    connect(m_edgeDrawer, &QAbstractButton::clicked, this, [this] {
        if (m_viewModel)
            m_viewModel->toggleEdgeDrawer();
    });
    m_sticky = makeButton(QStringLiteral("macwindow.on.rectangle"), 11, this);
    connect(m_sticky, &QAbstractButton::clicked, this, [this] {
        if (m_viewModel)
            m_viewModel->createAndFloatStickyNote();
    });
    actions->addWidget(m_edgeDrawer);
    actions->addWidget(m_sticky);
    actions->addStretch(1);
    column->addLayout(actions);

    column->addWidget(new Divider(this));

    // Footer.
    auto *footer = new QHBoxLayout;
    m_openStudio = makeButton(QString(), 11, this);
    connect(m_openStudio, &QAbstractButton::clicked, this, [this] {
        if (m_onOpenStudio)
            m_onOpenStudio();
    });
    m_noteCount = veskMakeLabel(veskSystemFont(10.5, QFont::Normal, VeskFontDesign::monospaced),
                            VeskGlassTokens::textSecondary(), this);
    m_quit = makeButton(QString(), 11, this);
    connect(m_quit, &QAbstractButton::clicked, this, [this] {
        if (terminateAction)
            terminateAction();
    });
    footer->addWidget(m_openStudio);
    footer->addStretch(1);
    footer->addWidget(m_noteCount);
    footer->addStretch(1);
    footer->addWidget(m_quit);
    column->addLayout(footer);

    if (m_viewModel) {
        m_editor->setPlainText(m_viewModel->quickScratchText());
        connect(m_viewModel, &ZulStudioViewModel::quickScratchTextChanged, this, [this] {
            if (m_writingScratch || m_editor->toPlainText() == m_viewModel->quickScratchText())
                return;
            m_editor->setPlainText(m_viewModel->quickScratchText());
        });
        connect(m_viewModel, &ZulStudioViewModel::quickScratchSummaryChanged, this,
                &MenuBarZulPopoverView::refreshSummary);
        for (auto signal : {&ZulStudioViewModel::noteAdded, &ZulStudioViewModel::noteRemoved})
            connect(m_viewModel, signal, this, [this](const QUuid &) { refreshNoteCount(); });
        connect(m_viewModel, &ZulStudioViewModel::notesReset, this, &MenuBarZulPopoverView::refreshNoteCount);
        connect(m_viewModel, &ZulStudioViewModel::languageChanged, this, &MenuBarZulPopoverView::refreshTexts);
    }
    refreshTexts();
}

QAbstractButton *MenuBarZulPopoverView::totalChip() const
{
    return m_totalChip->isVisibleTo(const_cast<MenuBarZulPopoverView *>(this)) ? m_totalChip : nullptr;
}

QString MenuBarZulPopoverView::noteCountText() const
{
    return m_noteCount->text();
}

QString MenuBarZulPopoverView::titleText() const
{
    return m_title->text();
}

QString MenuBarZulPopoverView::displayedRawLine(const QString &rawLine)
{
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    qsizetype start = 0;
    qsizetype end = rawLine.size();
    while (start < end && blank(rawLine.at(start)))
        ++start;
    while (end > start && blank(rawLine.at(end - 1)))
        --end;
    return rawLine.mid(start, end - start);
}

void MenuBarZulPopoverView::takeScratchText()
{
    if (!m_viewModel)
        return;
    const QString text = m_editor->toPlainText();
    if (text == m_viewModel->quickScratchText())
        return;
    m_writingScratch = true;
    m_viewModel->setQuickScratchText(text);
    m_writingScratch = false;
}

void MenuBarZulPopoverView::refreshSummary()
{
    if (!m_viewModel)
        return;
    const NoteEvaluationSummary &summary = m_viewModel->quickScratchSummary();
    const VeskLanguage language = m_viewModel->language();
    m_totalChip->setVisible(summary.totalNumericSum.has_value());
    if (summary.totalNumericSum) {
        const QString total = ZulNumberFormatter::format(*summary.totalNumericSum, 2);
        m_totalChip->setText(QStringLiteral("Σ ") + total);
        m_totalChip->setAccessibleName(veskText(QStringLiteral("Total "), QStringLiteral("Toplam "), language) + total);
    }
    m_totalChip->updateGeometry();

    // Rows are few; rebuilding them is simpler than matching them up.
    while (QLayoutItem *item = m_resultLayout->takeAt(0)) {
        if (QLayout *row = item->layout()) {
            while (QLayoutItem *inner = row->takeAt(0)) {
                delete inner->widget();
                delete inner;
            }
        }
        delete item;
    }
    m_rowLines.clear();
    m_rowResults.clear();
    const qsizetype shown = std::min<qsizetype>(summary.lines.size(), listedResults);
    for (qsizetype i = 0; i < shown; ++i) {
        const EvaluatedLine &line = summary.lines.at(i);
        auto *row = new QHBoxLayout;
        row->setSpacing(6);
        auto *raw = new VeskTextLine(displayedRawLine(line.rawLine),
                                     veskSystemFont(10.5, QFont::Normal, VeskFontDesign::monospaced),
                                     VeskGlassTokens::textSecondary(), m_resultList);
        raw->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        raw->setMinimumWidth(kRawLineMinimumWidth);
        auto *result = new TextButton(veskSystemFont(11, QFont::Bold, VeskFontDesign::monospaced),
                                      badgeColor(line.kind), m_resultList);
        result->setShrinkable();
        result->setText(line.formattedResult);
        result->setAccessibleName(spokenText(line, language));
        const QString copied = line.formattedResult;
        connect(result, &QAbstractButton::clicked, this, [this, copied] {
            if (m_viewModel)
                m_viewModel->copyToClipboard(copied, std::nullopt);
        });
        row->addWidget(raw, 1);
        row->addWidget(result);
        m_resultLayout->addLayout(row);
        m_rowLines.append(raw);
        m_rowResults.append(result);
    }
    m_resultList->setVisible(shown > 0);
}

void MenuBarZulPopoverView::refreshNoteCount()
{
    const VeskLanguage language = m_viewModel ? m_viewModel->language() : VeskLanguage::current();
    const qsizetype count = m_viewModel ? m_viewModel->notes().size() : 0;
    m_noteCount->setText(QString::number(count) + QLatin1Char(' ') +
                         veskText(QStringLiteral("notes"), QStringLiteral("not"), language));
}

QWidget *MenuBarZulPopoverView::makeFeedbackButton()
{
    const VeskLanguage language = m_viewModel ? m_viewModel->language() : VeskLanguage::current();
    m_feedback = new VeskFeedbackButton(
        QStringLiteral("VeskZul"),
        VeskAppVersion::current(VeskBundle::main(), QStringLiteral("1.0.0"), QStringLiteral("100")),
        VeskFeedbackKind::feature, language, VeskFeedbackButtonStyle::compactIcon, std::nullopt, this);
    return m_feedback;
}

void MenuBarZulPopoverView::refreshTexts()
{
    const VeskLanguage language = m_viewModel ? m_viewModel->language() : VeskLanguage::current();
    // The feedback button takes its language once; a new language needs a new button.
    if (m_feedback && m_feedback->language() != language) {
        const int at = m_header->indexOf(m_feedback);
        delete m_feedback;
        m_header->insertWidget(at, makeFeedbackButton());
    }
    auto text = [language](const char *en, const char *tr) {
        return veskText(QString::fromUtf8(en), QString::fromUtf8(tr), language);
    };
    m_title->setText(text("Instant Scratch Calculator", "Anlık Hesaplamalı Karalama"));
    m_saveNote->setText(text("Save Note", "Nota Kaydet"));
    m_edgeDrawer->setText(text("Edge Drawer", "Çekmece"));
    m_sticky->setText(text("Sticky", "Yapışkan"));
    m_openStudio->setText(text("Open Studio", "Stüdyoyu Aç"));
    m_quit->setText(text("Quit", "Çıkış"));
    m_editor->setAccessibleName(m_title->text());
    refreshNoteCount();
    refreshSummary();
}

void MenuBarZulPopoverView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds(rect());
    QPainterPath shape;
    shape.addRoundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius, cornerRadius);
    QColor ground = ZulVibrancyView::materialTint(ZulVisualEffectMaterial::popover);
    // Nothing shows through a tray popup on most desktops: keep it legible.
    ground.setAlphaF(std::max(ground.alphaF(), 0.94f));
    painter.fillPath(shape, ground);
    painter.setPen(QPen(VeskGlassTokens::borderSubtle(), 1));
    painter.drawPath(shape);
}
