#include "VeskKit/Design/VeskVersionAndLogsView.h"

#include "VeskKit/Design/VeskAppLoggerReveal.h"
#include "VeskKit/Design/VeskBrandMark.h"
#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskColorOpacity.h"
#include "VeskKit/Design/VeskContinuousShape.h"
#include "VeskKit/Design/VeskFeedbackButton.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassCard.h"
#include "VeskKit/Design/VeskGlassScrollBar.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskGroundBackground.h"
#include "VeskKit/Design/VeskSymbol.h"
#include "VeskKit/Design/VeskSymbolButton.h"
#include "VeskKit/Design/VeskSymbolLabel.h"
#include "VeskKit/Design/VeskVersionBadge.h"
#include "VeskKit/Localization/VeskText.h"
#include "VeskKit/Utilities/VeskAppLogger.h"
#include "VeskKit/Utilities/VeskReleaseLogReader.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QClipboard>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QShortcut>
#include <QShowEvent>
#include <QVBoxLayout>

#include <cmath>

namespace {

// Text from files and log lines is never read as markup.
QLabel *plainLabel(const QString &text, const QFont &font, const QColor &colour, const QString &objectName,
                   QWidget *parent = nullptr)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    label->setPalette(palette);
    label->setObjectName(objectName);
    return label;
}

QLabel *wrappingLabel(const QString &text, const QFont &font, const QColor &colour, const QString &objectName)
{
    QLabel *label = plainLabel(text, font, colour, objectName);
    label->setWordWrap(true);
    // Never wider than the card: a long word is cut at the edge rather than
    // pushing the whole panel sideways.
    QSizePolicy policy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    // Height follows the width the layout gives, as word wrapping needs.
    policy.setHeightForWidth(true);
    label->setSizePolicy(policy);
    label->setMinimumWidth(0);
    return label;
}

QHBoxLayout *row(int spacing, int left = 0, int top = 0, int right = 0, int bottom = 0)
{
    auto *layout = new QHBoxLayout;
    layout->setSpacing(spacing);
    layout->setContentsMargins(left, top, right, bottom);
    return layout;
}

// A symbol followed by its title, as one label. A narrow panel wraps a
// long title instead of pushing the controls beside it out of view.
class SymbolTitle : public QWidget {
public:
    SymbolTitle(const QString &symbol, const QString &title, const QFont &font, const QColor &colour,
                const QString &objectName)
    {
        auto *layout = row(int(std::lround(veskFontPixelSize(font) * 0.45)));
        setLayout(layout);
        m_symbol = new VeskSymbolLabel(symbol, veskFontPixelSize(font), QFont::Weight(font.weight()), colour);
        layout->addWidget(m_symbol, 0, Qt::AlignTop);
        m_label = plainLabel(title, font, colour, objectName);
        m_label->setWordWrap(true);
        layout->addWidget(m_label, 1);
    }

    // The width that shows the whole title on one line.
    int oneLineWidth() const
    {
        const int text = int(std::ceil(QFontMetricsF(m_label->font()).horizontalAdvance(m_label->text())));
        const QMargins margins = m_label->contentsMargins();
        return m_symbol->sizeHint().width() + layout()->spacing() + text + margins.left() + margins.right()
               + 2 * m_label->margin() + 1;
    }

private:
    QWidget *m_symbol = nullptr;
    QLabel *m_label = nullptr;
};

QWidget *symbolTitle(const QString &symbol, const QString &title, const QFont &font, const QColor &colour,
                     const QString &objectName)
{
    return new SymbolTitle(symbol, title, font, colour, objectName);
}

// A rounded, filled backing for a row or chip.
class FilledBox : public QWidget {
public:
    FilledBox(const QColor &fill, qreal radius) : m_fill(fill), m_radius(radius) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        veskPaintGlassShape(painter, QRectF(rect()), m_radius, m_fill, Qt::transparent);
    }

private:
    QColor m_fill;
    qreal m_radius;
};

// One choice of the level filter: the chosen segment is lit like an active
// glass button; the others show only their text.
class FilterSegment : public QAbstractButton {
public:
    explicit FilterSegment(const QString &title)
    {
        setText(title);
        setCheckable(true);
        setFocusPolicy(Qt::TabFocus);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }

    static QFont segmentFont() { return veskTextStyleFont(VeskTextStyle::caption, QFont::Medium); }

    QSize sizeHint() const override
    {
        return {int(std::ceil(QFontMetricsF(segmentFont()).horizontalAdvance(text()) + 12)),
                int(std::ceil(QFontMetricsF(segmentFont()).height() + 8))};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing, true);
        if (isDown())
            painter.setOpacity(VeskGlassButtonStyle::pressedOpacity);
        const QRectF bounds(rect());
        if (isChecked())
            veskPaintGlassShape(painter, bounds, 6, VeskGlassTokens::surface3(), VeskGlassTokens::borderStrong());
        painter.setFont(segmentFont());
        painter.setPen(isChecked() ? VeskGlassTokens::textPrimary() : VeskGlassTokens::textSecondary());
        const QString shown = QFontMetricsF(segmentFont()).elidedText(text(), Qt::ElideRight, bounds.width() - 4);
        painter.drawText(bounds, Qt::AlignCenter, shown);
    }
};

// A title and its controls on one line, the title taking what the controls
// leave. When that is too little for the title to read on one line (a
// title wrapped beside its controls reads as a column of words), the
// controls move to a line of their own beneath it, at the trailing edge: the
// row never grows wider than its card.
class TitleAndControlsLayout : public QLayout {
public:
    explicit TitleAndControlsLayout(int spacing)
    {
        setContentsMargins(0, 0, 0, 0);
        setSpacing(spacing);
    }
    ~TitleAndControlsLayout() override
    {
        while (QLayoutItem *item = takeAt(0))
            delete item;
    }

    void addItem(QLayoutItem *item) override { m_items.append(item); }
    int count() const override { return int(m_items.size()); }
    QLayoutItem *itemAt(int index) const override { return m_items.value(index); }
    QLayoutItem *takeAt(int index) override
    {
        return index >= 0 && index < m_items.size() ? m_items.takeAt(index) : nullptr;
    }
    Qt::Orientations expandingDirections() const override { return Qt::Horizontal; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return arrange(QRect(0, 0, width, 0), false); }
    QSize sizeHint() const override
    {
        if (m_items.size() < 2)
            return {};
        const QSize title = m_items[0]->sizeHint();
        const QSize controls = m_items[1]->sizeHint();
        return {title.width() + spacing() + controls.width(), std::max(title.height(), controls.height())};
    }
    QSize minimumSize() const override
    {
        if (m_items.size() < 2)
            return {};
        return {std::max(m_items[0]->minimumSize().width(), m_items[1]->sizeHint().width()),
                heightForWidth(m_items[1]->sizeHint().width())};
    }
    void setGeometry(const QRect &rect) override
    {
        QLayout::setGeometry(rect);
        arrange(rect, true);
    }

private:
    static int heightAt(const QLayoutItem *item, int width)
    {
        return item->hasHeightForWidth() ? item->heightForWidth(width) : item->sizeHint().height();
    }

    static int oneLineWidth(const QLayoutItem *item)
    {
        if (const auto *title = dynamic_cast<const SymbolTitle *>(item->widget()))
            return title->oneLineWidth();
        return item->sizeHint().width();
    }

    // The height the two take at the rect's width, placing them when asked.
    int arrange(const QRect &rect, bool place) const
    {
        if (m_items.size() < 2)
            return 0;
        QLayoutItem *title = m_items[0];
        QLayoutItem *controls = m_items[1];
        const QSize controlsSize = controls->sizeHint();
        const int titleRoom = rect.width() - spacing() - controlsSize.width();
        const int controlsLeft = rect.right() + 1 - controlsSize.width();
        if (titleRoom >= oneLineWidth(title)) {
            const int titleHeight = heightAt(title, titleRoom);
            const int height = std::max(titleHeight, controlsSize.height());
            if (place) {
                title->setGeometry(QRect(rect.left(), rect.top() + (height - titleHeight) / 2, titleRoom, titleHeight));
                controls->setGeometry(QRect(QPoint(controlsLeft, rect.top() + (height - controlsSize.height()) / 2),
                                            controlsSize));
            }
            return height;
        }
        const int titleHeight = heightAt(title, rect.width());
        if (place) {
            title->setGeometry(QRect(rect.left(), rect.top(), rect.width(), titleHeight));
            controls->setGeometry(QRect(QPoint(controlsLeft, rect.top() + titleHeight + spacing()), controlsSize));
        }
        return titleHeight + spacing() + controlsSize.height();
    }

    QList<QLayoutItem *> m_items;
};

// The filter's track: one glass strip behind its segments.
class FilterTrack : public QWidget {
protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        veskPaintGlassShape(painter, QRectF(rect()), 8, VeskGlassTokens::surface1(), VeskGlassTokens::borderSubtle());
    }
};

// The suite's mark for the application the name resolves to, else for the
// running application.
QWidget *makeBrandMark(qreal size, const QString &appName)
{
    const std::optional<VeskAppIdentity> identity = VeskAppIdentity::resolve(appName);
    auto *mark = new VeskBrandMark(size, identity ? VeskBrandMarkStyle::app(*identity)
                                                  : VeskBrandMarkStyle::currentApp());
    mark->setObjectName(QStringLiteral("brandMark"));
    return mark;
}

void clearLayout(QVBoxLayout *layout)
{
    while (QLayoutItem *item = layout->takeAt(0)) {
        if (QWidget *widget = item->widget())
            delete widget;
        delete item;
    }
}

QColor levelColour(VeskLogLevel level)
{
    switch (level) {
    case VeskLogLevel::debug: return VeskGlassTokens::textMuted();
    case VeskLogLevel::info: return VeskGlassTokens::success();
    case VeskLogLevel::warn: return VeskGlassTokens::warning();
    case VeskLogLevel::error: return VeskGlassTokens::danger();
    }
    return VeskGlassTokens::textMuted();
}

QFont captionFont(std::optional<QFont::Weight> weight = std::nullopt,
                  VeskFontDesign design = VeskFontDesign::standard)
{
    return veskTextStyleFont(VeskTextStyle::caption, weight, design);
}

QFont caption2Font(std::optional<QFont::Weight> weight = std::nullopt,
                   VeskFontDesign design = VeskFontDesign::standard)
{
    return veskTextStyleFont(VeskTextStyle::caption2, weight, design);
}

} // namespace

VeskVersionAndLogsView::VeskVersionAndLogsView(const QString &appName, const VeskAppVersion &version,
                                               std::shared_ptr<VeskAppLogger> logger, VeskProductPalette palette,
                                               VeskLanguage language,
                                               const QList<VeskReleaseLogRecord> &fallbackReleases,
                                               std::function<void()> onClose, QWidget *parent)
    : QWidget(parent),
      m_appName(appName),
      m_version(version),
      m_logger(logger ? std::move(logger) : VeskAppLogger::shared(appName)),
      m_palette(palette),
      m_language(language),
      m_fallbackReleases(fallbackReleases),
      m_onClose(std::move(onClose)),
      m_releaseBundle(VeskBundle::main()),
      m_opener(VeskUrlOpener::desktop())
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scrollArea"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll->setAutoFillBackground(false);
    scroll->viewport()->setAutoFillBackground(false);
    VeskGlassScrollBar::apply(scroll);
    outer->addWidget(scroll);

    auto *content = new QWidget;
    content->setAutoFillBackground(false);
    auto *stack = new QVBoxLayout(content);
    stack->setContentsMargins(18, 18, 18, 18);
    stack->setSpacing(16);
    if (m_onClose)
        stack->addWidget(makeHeaderRow());
    stack->addWidget(new VeskGlassCard(16, 14, makeVersionSummaryCard()));
    stack->addWidget(new VeskGlassCard(16, 14, makeReleaseHistoryCard()));
    stack->addWidget(new VeskGlassCard(16, 14, makeRuntimeLogsCard()));
    stack->addStretch(1);
    scroll->setWidget(content);
    // The scroll area paints the content's background by default; the panel's
    // ground (or the host's) must show through.
    content->setAutoFillBackground(false);

    if (m_onClose) {
        auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
        escape->setContext(Qt::WidgetWithChildrenShortcut);
        connect(escape, &QShortcut::activated, this, [this] { m_onClose(); });
    }
}

VeskVersionAndLogsView::~VeskVersionAndLogsView() = default;

QString VeskVersionAndLogsView::text(const char *en, const char *tr) const
{
    return veskText(QString::fromUtf8(en), QString::fromUtf8(tr), m_language);
}

QWidget *VeskVersionAndLogsView::makeHeaderRow()
{
    auto *header = new QWidget;
    auto *layout = row(10);
    header->setLayout(layout);
    layout->addWidget(makeBrandMark(24, m_appName));
    const QString title = m_appName + QStringLiteral(" · ") + text("Version & Logs", "Sürüm & Loglar");
    layout->addWidget(plainLabel(title, veskSystemFont(16, QFont::Bold), Qt::white, QStringLiteral("title")));
    layout->addStretch(1);
    auto *close = new VeskSymbolButton(QStringLiteral("xmark.circle.fill"), 18, VeskGlassTokens::textSecondary());
    close->setObjectName(QStringLiteral("closeButton"));
    close->setAccessibleName(text("Close", "Kapat"));
    connect(close, &QAbstractButton::clicked, this, [this] { m_onClose(); });
    layout->addWidget(close);
    m_closeButton = close;
    return header;
}

QWidget *VeskVersionAndLogsView::makeVersionSummaryCard()
{
    auto *card = new QWidget;
    auto *stack = new QVBoxLayout(card);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(10);

    auto *titleRow = row(10);
    titleRow->addWidget(symbolTitle(QStringLiteral("tag.fill"), text("Version & Release Info", "Sürüm Bilgileri"),
                                    veskTextStyleFont(VeskTextStyle::headline), accentColor(m_palette),
                                    QStringLiteral("versionTitle")),
                       1);
    titleRow->addWidget(new VeskVersionBadge(m_version, true));
    stack->addLayout(titleRow);

    stack->addWidget(wrappingLabel(text("Application version details, full release changelog from initial release "
                                        "to latest, and runtime logs.",
                                        "Uygulama sürüm bilgileri, ilk sürümden son sürüme kadar tüm değişiklik "
                                        "geçmişi ve çalışma logları."),
                                   captionFont(), VeskGlassTokens::textSecondary(),
                                   QStringLiteral("versionDescription")));

    auto chip = [](const QString &title, const QString &value, const QString &name) {
        auto *box = new FilledBox(VeskGlassTokens::surface2(), 6);
        box->setObjectName(name);
        auto *layout = row(4, 8, 4, 8, 4);
        box->setLayout(layout);
        layout->addWidget(plainLabel(title + u':', caption2Font(), VeskGlassTokens::textMuted(), name + QStringLiteral("Title")));
        layout->addWidget(plainLabel(value, caption2Font(QFont::Bold, VeskFontDesign::monospaced),
                                     VeskGlassTokens::textPrimary(), name + QStringLiteral("Value")));
        box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        return box;
    };
    auto *chips = row(12);
    chips->addWidget(chip(text("Version", "Sürüm"), u'v' + m_version.shortVersion, QStringLiteral("versionChip")));
    chips->addWidget(chip(QStringLiteral("Build"), u'#' + m_version.buildNumber, QStringLiteral("buildChip")));
    chips->addStretch(1);
    m_feedbackButton = new VeskFeedbackButton(m_appName, m_version, VeskFeedbackKind::feature, m_language,
                                              VeskFeedbackButtonStyle::labeledPill, std::nullopt);
    chips->addWidget(m_feedbackButton);
    chips->addWidget(plainLabel(QFileInfo(m_logger->currentLogFileURL()).fileName(),
                                caption2Font(std::nullopt, VeskFontDesign::monospaced), VeskGlassTokens::textMuted(),
                                QStringLiteral("logFileName")));
    stack->addLayout(chips);
    return card;
}

QWidget *VeskVersionAndLogsView::makeReleaseHistoryCard()
{
    auto *card = new QWidget;
    auto *stack = new QVBoxLayout(card);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(12);
    auto *titleRow = row(0);
    titleRow->addWidget(symbolTitle(QStringLiteral("clock.arrow.circlepath"),
                                    text("Release History (CHANGELOG)", "Sürüm Geçmişi (Değişiklik Logu)"),
                                    veskTextStyleFont(VeskTextStyle::headline), VeskGlassTokens::textPrimary(),
                                    QStringLiteral("releaseTitle")),
                       1);
    stack->addLayout(titleRow);
    m_releaseRows = new QVBoxLayout;
    m_releaseRows->setContentsMargins(0, 0, 0, 0);
    m_releaseRows->setSpacing(12);
    stack->addLayout(m_releaseRows);
    rebuildReleaseRows();
    return card;
}

QWidget *VeskVersionAndLogsView::makeRuntimeLogsCard()
{
    auto *card = new QWidget;
    auto *stack = new QVBoxLayout(card);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(12);

    auto *toolbar = new TitleAndControlsLayout(8);
    toolbar->addWidget(symbolTitle(QStringLiteral("doc.text.magnifyingglass"),
                                   text("Rotating Runtime Logs", "Uygulama Çalışma Logları"),
                                   veskTextStyleFont(VeskTextStyle::headline), VeskGlassTokens::textPrimary(),
                                   QStringLiteral("logsTitle")));
    auto *controlsBox = new QWidget;
    auto *controls = row(8);
    controlsBox->setLayout(controls);
    toolbar->addWidget(controlsBox);

    // The level filter: four segments sharing 230 pixels, the chosen one lit.
    constexpr int kFilterWidth = 230;
    const QList<std::pair<QString, VeskLogLevel>> choices = {
        {text("All", "Tümü"), VeskLogLevel::debug},
        {QStringLiteral("INFO+"), VeskLogLevel::info},
        {QStringLiteral("WARN+"), VeskLogLevel::warn},
        {QStringLiteral("ERROR"), VeskLogLevel::error},
    };
    auto *filter = new FilterTrack;
    filter->setObjectName(QStringLiteral("levelFilter"));
    auto *segments = row(2, 2, 2, 2, 2);
    filter->setLayout(segments);
    auto *group = new QButtonGroup(filter);
    group->setExclusive(true);
    const int segmentWidth = (kFilterWidth - 4 - 2 * int(choices.size() - 1)) / int(choices.size());
    for (const auto &[title, level] : choices) {
        auto *segment = new FilterSegment(title);
        segment->setObjectName(QStringLiteral("filter.") + rawValue(level));
        segment->setChecked(level == m_selectedMinLevel);
        segment->setFixedWidth(segmentWidth);
        group->addButton(segment);
        connect(segment, &QAbstractButton::clicked, this, [this, level = level] { selectLevel(level); });
        segments->addWidget(segment);
        m_filterButtons.append(segment);
    }
    filter->setFixedWidth(kFilterWidth);
    filter->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    controls->addWidget(filter);

    m_refreshButton = new VeskButton(VeskGlassButtonStyle{false}, {}, QStringLiteral("arrow.clockwise"));
    m_refreshButton->setObjectName(QStringLiteral("refreshButton"));
    m_refreshButton->setLabelFont(captionFont());
    m_refreshButton->setToolTip(text("Refresh logs", "Logları yenile"));
    m_refreshButton->setAccessibleName(m_refreshButton->toolTip());
    connect(m_refreshButton, &QAbstractButton::clicked, this, [this] { reloadEntries(); });
    controls->addWidget(m_refreshButton);

    auto action = [this, controls](const QString &title, const QString &symbol, const QString &name) {
        auto *button = new VeskButton(VeskGlassButtonStyle{false}, title, symbol);
        button->setObjectName(name);
        button->setLabelFont(captionFont());
        controls->addWidget(button);
        return button;
    };
    m_copyButton = action(text("Copy", "Kopyala"), QStringLiteral("doc.on.doc"), QStringLiteral("copyButton"));
    m_folderButton = action(text("Folder", "Klasör"), QStringLiteral("folder"), QStringLiteral("folderButton"));
    m_clearButton = action(text("Clear", "Temizle"), QStringLiteral("trash"), QStringLiteral("clearButton"));
    connect(m_copyButton, &QAbstractButton::clicked, this, [this] { copyLog(); });
    connect(m_folderButton, &QAbstractButton::clicked, this, [this] { revealLogFolder(); });
    connect(m_clearButton, &QAbstractButton::clicked, this, [this] { clearLog(); });
    stack->addLayout(toolbar);

    m_entryRows = new QVBoxLayout;
    m_entryRows->setContentsMargins(0, 0, 0, 0);
    m_entryRows->setSpacing(4);
    stack->addLayout(m_entryRows);
    rebuildEntryRows();
    return card;
}

void VeskVersionAndLogsView::setReleaseBundle(const VeskBundle &bundle)
{
    m_releaseBundle = bundle;
}

void VeskVersionAndLogsView::setUrlOpener(std::shared_ptr<VeskUrlOpener> opener)
{
    m_opener = opener ? std::move(opener) : VeskUrlOpener::desktop();
    m_feedbackButton->setUrlOpener(m_opener);
}

QAbstractButton *VeskVersionAndLogsView::filterButton(VeskLogLevel level) const
{
    const int index = int(level);
    return index >= 0 && index < m_filterButtons.size() ? m_filterButtons.at(index) : nullptr;
}

QAbstractButton *VeskVersionAndLogsView::refreshButton() const
{
    return m_refreshButton;
}

QAbstractButton *VeskVersionAndLogsView::copyButton() const
{
    return m_copyButton;
}

QAbstractButton *VeskVersionAndLogsView::folderButton() const
{
    return m_folderButton;
}

QAbstractButton *VeskVersionAndLogsView::clearButton() const
{
    return m_clearButton;
}

QString VeskVersionAndLogsView::timeOfDay(const QString &timestamp)
{
    const qsizetype t = timestamp.indexOf(u'T');
    return t >= 0 ? timestamp.mid(t + 1, 8) : timestamp.left(8);
}

QString VeskVersionAndLogsView::buildLine(const VeskReleaseLogRecord &record)
{
    return QStringLiteral("Build ") + QString::number(record.toBuild) + QStringLiteral(" · ") + record.bumpKind +
           u'/' + record.section;
}

void VeskVersionAndLogsView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Each time the panel comes on screen, not when a minimised window returns.
    if (!event->spontaneous())
        reloadAll();
}

void VeskVersionAndLogsView::paintEvent(QPaintEvent *)
{
    if (!m_onClose)
        return;
    QPainter painter(this);
    VeskGroundBackground::paintGround(painter, QRectF(rect()), m_palette);
}

void VeskVersionAndLogsView::reloadAll()
{
    QList<VeskReleaseLogRecord> found = VeskReleaseLogReader::loadBundled(m_appName, m_releaseBundle);
    m_releases = found.isEmpty() ? m_fallbackReleases : found;
    rebuildReleaseRows();
    reloadEntries();
}

void VeskVersionAndLogsView::reloadEntries()
{
    m_entries = m_logger->recentEntries(entryLimit, m_selectedMinLevel);
    rebuildEntryRows();
}

void VeskVersionAndLogsView::selectLevel(VeskLogLevel level)
{
    m_selectedMinLevel = level;
    if (QAbstractButton *chosen = filterButton(level))
        chosen->setChecked(true);
    reloadEntries();
}

void VeskVersionAndLogsView::copyLog()
{
    const QString exported = m_logger->exportPlainText(copyLimit, m_selectedMinLevel);
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(exported);
    m_copiedToast = true;
    m_copyButton->setText(text("Copied", "Kopyalandı"));
    m_copyButton->updateGeometry();
}

void VeskVersionAndLogsView::revealLogFolder()
{
    revealInFinder(*m_logger, m_opener);
}

void VeskVersionAndLogsView::clearLog()
{
    m_logger->clear();
    reloadEntries();
}

void VeskVersionAndLogsView::rebuildReleaseRows()
{
    clearLayout(m_releaseRows);
    if (m_releases.isEmpty()) {
        m_releaseRows->addWidget(wrappingLabel(text("No release log records found for this build.",
                                                    "Bu derleme için sürüm geçmişi kaydı bulunamadı."),
                                               captionFont(), VeskGlassTokens::textSecondary(),
                                               QStringLiteral("releaseEmpty")));
        return;
    }
    // Records with the same id are all drawn: rows are widgets, not keyed.
    for (const VeskReleaseLogRecord &record : m_releases) {
        auto *box = new FilledBox(VeskGlassTokens::surface1(), 10);
        box->setObjectName(QStringLiteral("releaseRow"));
        auto *stack = new QVBoxLayout(box);
        stack->setContentsMargins(10, 10, 10, 10);
        stack->setSpacing(5);

        auto *line = row(8);
        line->addWidget(plainLabel(u'v' + record.toVersion,
                                   veskTextStyleFont(VeskTextStyle::subheadline, QFont::Bold,
                                                     VeskFontDesign::monospaced),
                                   accentColor(m_palette), QStringLiteral("releaseVersion")));
        line->addWidget(plainLabel(buildLine(record), caption2Font(std::nullopt, VeskFontDesign::monospaced),
                                   VeskGlassTokens::textSecondary(), QStringLiteral("releaseBuildLine")));
        line->addStretch(1);
        line->addWidget(plainLabel(record.timestamp.left(10), caption2Font(std::nullopt, VeskFontDesign::monospaced),
                                   VeskGlassTokens::textMuted(), QStringLiteral("releaseDate")));
        stack->addLayout(line);

        const QString code = m_language.rawValue();
        const QString summary = record.localizedSummary(code);
        if (!summary.isEmpty())
            stack->addWidget(wrappingLabel(summary, captionFont(QFont::Medium), VeskGlassTokens::textPrimary(),
                                           QStringLiteral("releaseSummary")));
        for (const QString &detail : record.localizedDetails(code))
            stack->addWidget(wrappingLabel(QStringLiteral("• ") + detail, caption2Font(),
                                           VeskGlassTokens::textSecondary(), QStringLiteral("releaseDetail")));
        m_releaseRows->addWidget(box);
    }
}

void VeskVersionAndLogsView::rebuildEntryRows()
{
    clearLayout(m_entryRows);
    if (m_entries.isEmpty()) {
        QLabel *empty = wrappingLabel(text("No runtime log entries match the filter yet.",
                                           "Filtreye uyan çalışma logu henüz yok."),
                                      captionFont(), VeskGlassTokens::textSecondary(), QStringLiteral("logEmpty"));
        empty->setContentsMargins(0, 8, 0, 8);
        m_entryRows->addWidget(empty);
        return;
    }
    const QFont mono10 = veskSystemFont(10, QFont::Normal, VeskFontDesign::monospaced);
    const QFont levelFont = veskSystemFont(9.5, QFont::Bold, VeskFontDesign::monospaced);
    const QFont messageFont = veskSystemFont(11);
    const QColor categoryColour = veskColorFaded(accentColor(m_palette), 0.9);
    for (const VeskLogEntry &entry : m_entries) {
        auto *box = new FilledBox(veskColorFaded(VeskGlassTokens::surface1(), 0.65), 6);
        box->setObjectName(QStringLiteral("logRow"));
        auto *line = row(8, 6, 3, 6, 3);
        box->setLayout(line);
        auto column = [line](QLabel *label, int width) {
            label->setFixedWidth(width);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            line->addWidget(label, 0, Qt::AlignTop);
        };
        column(plainLabel(timeOfDay(entry.timestamp), mono10, VeskGlassTokens::textMuted(),
                          QStringLiteral("logTime")),
               66);
        column(plainLabel(label(entry.level), levelFont, levelColour(entry.level), QStringLiteral("logLevel")), 42);
        column(plainLabel(u'[' + entry.category + u']', mono10, categoryColour, QStringLiteral("logCategory")), 82);
        QLabel *message = wrappingLabel(entry.message, messageFont, VeskGlassTokens::textPrimary(),
                                        QStringLiteral("logMessage"));
        message->setTextInteractionFlags(Qt::TextSelectableByMouse);
        message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        line->addWidget(message, 1, Qt::AlignTop);
        m_entryRows->addWidget(box);
    }
}
