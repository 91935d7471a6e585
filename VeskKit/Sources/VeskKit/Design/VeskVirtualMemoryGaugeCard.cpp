#include "VeskKit/Design/VeskVirtualMemoryGaugeCard.h"

#include "VeskKit/Design/VeskAdaptiveGridLayout.h"
#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskCapsuleBadge.h"
#include "VeskKit/Design/VeskColorOpacity.h"
#include "VeskKit/Design/VeskContinuousShape.h"
#include "VeskKit/Design/VeskFlowBoxLayout.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassCard.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskProgressTrack.h"
#include "VeskKit/Design/VeskSymbolLabel.h"
#include "VeskKit/Design/VeskTextLine.h"
#include "VeskKit/Design/VeskVirtualMemoryHeaderPill.h"
#include "VeskKit/Localization/VeskText.h"
#include "VeskKit/System/VeskSuiteCommandBus.h"
#include "VeskKit/Utilities/VeskByteFormatter.h"

#include <QBoxLayout>
#include <QEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>

namespace {

QString format(qint64 bytes)
{
    return VeskByteFormatter::format(bytes);
}

// Percentages are whole numbers, half a percent rounding away from zero.
QString wholePercent(double percent)
{
    return QString::number(qint64(std::round(percent)));
}

// A statistic tile: a small rounded panel with its content at the leading
// edge.
class TilePanel : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.fillPath(veskContinuousRoundedRect(QRectF(rect()), 8), VeskGlassTokens::surface1());
    }
};

} // namespace

VeskVirtualMemoryGaugeCard::VeskVirtualMemoryGaugeCard(const VeskVirtualMemorySummary &summary,
                                                       VeskLanguage language, const QColor &accentColor,
                                                       VeskSuiteApp sourceApp,
                                                       std::function<void(const QString &)> onFeedback,
                                                       QWidget *parent)
    : QWidget(parent), m_summary(summary), m_language(language), m_accentColor(accentColor), m_sourceApp(sourceApp),
      m_onFeedback(std::move(onFeedback))
{
    const bool vmActive = isVirtualMemoryActive();
    const QColor status = statusColor();

    auto *content = new QWidget;
    auto *stack = new QVBoxLayout(content);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(10);

    m_header = new QWidget;
    m_header->setObjectName(QStringLiteral("header"));
    m_headerLayout = new QBoxLayout(QBoxLayout::TopToBottom, m_header);
    m_headerLayout->setContentsMargins(0, 0, 0, 0);
    m_headerLayout->setSpacing(8);
    m_badges = headerTitleBadges(vmActive, status);
    m_headerLayout->addWidget(m_badges);
    if (VeskSuiteApp(VeskSuiteApp::veskMirrel).isInstalled()) {
        m_actions = headerActionButtons();
        m_headerLayout->addWidget(m_actions, 0, Qt::AlignLeft);
    }
    m_header->installEventFilter(this);
    stack->addWidget(m_header);

    auto *gauges = new QWidget;
    gauges->setObjectName(QStringLiteral("gauges"));
    auto *gaugeGrid = new VeskAdaptiveGridLayout(256, 14, 10, gauges);
    gaugeGrid->addWidget(gaugeBar(veskText(QStringLiteral("Physical RAM"), QStringLiteral("Fiziksel RAM"), language),
                                  physicalValueText(), physicalPercent() / 100, accentColor));
    gaugeGrid->addWidget(gaugeBar(veskText(QStringLiteral("Virtual RAM Area (Swap + VeskMirrel)"),
                                           QStringLiteral("Sanal RAM Alanı (Swap + VeskMirrel)"), language),
                                  virtualValueText(), summary.virtualUsedPercent() / 100, status));
    stack->addWidget(gauges);

    auto *tileArea = new QWidget;
    tileArea->setObjectName(QStringLiteral("tiles"));
    auto *tileGrid = new VeskAdaptiveGridLayout(155, 8, 8, tileArea);
    for (const Tile &tile : tiles())
        tileGrid->addWidget(statPill(tile));
    stack->addWidget(tileArea);

    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(new VeskGlassCard(14, 13, content));
}

QColor VeskVirtualMemoryGaugeCard::mint()
{
    return QColor::fromRgbF(71 / 255.0f, 230 / 255.0f, 193 / 255.0f);
}

bool VeskVirtualMemoryGaugeCard::isVirtualMemoryActive() const
{
    const bool expansion = m_summary.activeDiskPoolCount >= 1 || m_summary.mountedSparseDiskCount > 0 ||
                           m_summary.mountedRAMDiskCount > 0;
    return expansion || m_summary.swapUsedBytes > 0;
}

QColor VeskVirtualMemoryGaugeCard::statusColor() const
{
    if (m_summary.pressureLevel == QLatin1String("critical"))
        return VeskGlassTokens::danger();
    const bool nothingMounted = m_summary.activeDiskPoolCount < 1 && m_summary.mountedSparseDiskCount < 1 &&
                                m_summary.mountedRAMDiskCount < 1;
    if (nothingMounted)
        return m_summary.swapUsedBytes < 1 ? VeskGlassTokens::success() : VeskVirtualMemoryHeaderPill::cyan();
    return VeskVirtualMemoryHeaderPill::violet();
}

double VeskVirtualMemoryGaugeCard::physicalPercent() const
{
    if (m_summary.physicalTotalBytes < 1)
        return 0;
    const double percent = double(m_summary.physicalUsedBytes) / double(m_summary.physicalTotalBytes) * 100;
    return std::clamp(percent, 0.0, 100.0);
}

QString VeskVirtualMemoryGaugeCard::physicalValueText() const
{
    return format(m_summary.physicalUsedBytes) + QStringLiteral(" / ") + format(m_summary.physicalTotalBytes) +
           QStringLiteral(" (") + wholePercent(physicalPercent()) + QStringLiteral("%)");
}

QString VeskVirtualMemoryGaugeCard::virtualValueText() const
{
    const qint64 capacity = m_summary.totalVirtualAllocatedBytes();
    if (capacity < 1)
        return veskText(QStringLiteral("0 B (Standby)"), QStringLiteral("0 B (Boşta)"), m_language);
    return format(m_summary.totalVirtualUsedBytes()) + QStringLiteral(" / ") + format(capacity) +
           QStringLiteral(" (") + wholePercent(m_summary.virtualUsedPercent()) + QStringLiteral("%)");
}

QList<VeskVirtualMemoryGaugeCard::Tile> VeskVirtualMemoryGaugeCard::tiles() const
{
    const VeskVirtualMemorySummary &s = m_summary;
    const auto text = [this](const QString &en, const QString &tr) { return veskText(en, tr, m_language); };
    const auto names = [](const QStringList &list) {
        return list.isEmpty() ? std::optional<QString>() : std::optional<QString>(list.join(QStringLiteral(", ")));
    };
    const QString off = text(QStringLiteral("Off"), QStringLiteral("Kapalı"));
    QList<Tile> tiles;

    std::optional<QString> swapDetail;
    if (s.swapTotalBytes >= 1) {
        const double q = std::clamp(double(s.swapUsedBytes) / double(s.swapTotalBytes) * 100, 0.0, 100.0);
        swapDetail = wholePercent(q) + QStringLiteral("% • ") +
                     (s.swapEncrypted ? QStringLiteral("AES-XTS") : QStringLiteral("Plain"));
    }
    tiles.append({s.swapFileCount >= 1 ? QStringLiteral("macOS Swap (") + QString::number(s.swapFileCount) + u')'
                                       : QStringLiteral("macOS Swap"),
                  format(s.swapUsedBytes) + QStringLiteral(" / ") + format(s.swapTotalBytes), swapDetail,
                  s.swapUsedBytes < 1 ? VeskGlassTokens::textSecondary() : VeskVirtualMemoryHeaderPill::cyan()});

    const bool pools = s.activeDiskPoolCount >= 1;
    tiles.append({text(QStringLiteral("mmap Disk Pools"), QStringLiteral("Disk Bellek Havuzu")),
                  pools ? format(s.diskPoolActualDiskBytes) + QStringLiteral(" / ") + format(s.diskPoolVirtualBytes)
                        : off,
                  names(s.diskPoolNames),
                  pools ? VeskVirtualMemoryHeaderPill::violet() : VeskGlassTokens::textMuted()});

    const bool sparse = s.mountedSparseDiskCount >= 1;
    tiles.append({text(QStringLiteral("Virtual APFS Disk"), QStringLiteral("Sanal APFS Disk")),
                  sparse ? format(s.sparseDiskActualBytes) + QStringLiteral(" / ") + format(s.sparseDiskVirtualBytes)
                         : off,
                  names(s.sparseDiskNames), sparse ? mint() : VeskGlassTokens::textMuted()});

    const bool ramDisk = s.mountedRAMDiskCount >= 1;
    tiles.append({text(QStringLiteral("RAM-Disk / Frozen"), QStringLiteral("RAM-Disk / Donuk")),
                  ramDisk ? format(s.ramDiskTotalBytes)
                          : QString::number(s.frozenAppCount) + u' ' + text(QStringLiteral("frozen"),
                                                                             QStringLiteral("donuk")),
                  s.reclaimedFromFrozenBytes >= 1
                      ? std::optional<QString>(QStringLiteral("↓ ") + format(s.reclaimedFromFrozenBytes))
                      : names(s.ramDiskNames),
                  ramDisk || s.frozenAppCount >= 1 ? VeskGlassTokens::warning() : VeskGlassTokens::textMuted()});
    return tiles;
}

QWidget *VeskVirtualMemoryGaugeCard::headerTitleBadges(bool vmActive, const QColor &statusColor)
{
    auto *badges = new QWidget;
    badges->setObjectName(QStringLiteral("titleBadges"));
    auto *flow = new VeskFlowBoxLayout(VeskFlowLayout{7, 5}, badges);

    auto *title = new QWidget;
    auto *titleRow = new QHBoxLayout(title);
    titleRow->setContentsMargins(0, 0, 0, 0);
    titleRow->setSpacing(6);
    titleRow->addWidget(new VeskSymbolLabel(QStringLiteral("externaldrive.badge.timemachine"),
                                            veskTextStylePixelSize(VeskTextStyle::subheadline), QFont::Bold,
                                            statusColor));
    auto *titleText = new VeskTextLine(veskText(QStringLiteral("Virtual Memory & VeskMirrel Pools"),
                                                QStringLiteral("Sanal Bellek & VeskMirrel Havuzları"), m_language),
                                       veskTextStyleFont(VeskTextStyle::subheadline, QFont::Bold),
                                       VeskGlassTokens::textPrimary());
    titleText->setObjectName(QStringLiteral("title"));
    titleText->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    titleRow->addWidget(titleText);
    title->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    flow->addWidget(title);

    VeskCapsuleBadgeLook status;
    status.textFont = veskSystemFont(9.5, QFont::Bold, VeskFontDesign::monospaced);
    status.foreground = statusColor;
    status.fill = veskColorFaded(statusColor, 0.22);
    status.horizontalPadding = 7;
    status.verticalPadding = 2;
    auto *statusBadge = new VeskCapsuleBadge(vmActive ? veskText(QStringLiteral("ACTIVE"), QStringLiteral("AÇIK"),
                                                                 m_language)
                                                      : veskText(QStringLiteral("STANDBY"), QStringLiteral("HAZIR"),
                                                                 m_language),
                                             status);
    statusBadge->setObjectName(QStringLiteral("statusBadge"));
    flow->addWidget(statusBadge);

    if (m_summary.isVeskMirrelRunning) {
        VeskCapsuleBadgeLook live;
        live.textFont = veskSystemFont(9.5, QFont::DemiBold);
        live.foreground = VeskGlassTokens::success();
        live.fill = veskColorFaded(VeskGlassTokens::success(), 0.18);
        live.horizontalPadding = 6;
        live.verticalPadding = 2;
        auto *liveBadge = new VeskCapsuleBadge(QStringLiteral("VeskMirrel Live"), live);
        liveBadge->setObjectName(QStringLiteral("liveBadge"));
        flow->addWidget(liveBadge);
    }

    const qint64 capacity = m_summary.totalVirtualAllocatedBytes();
    if (capacity >= 1) {
        const QString effective = format(m_summary.totalEffectiveMemoryCapacityBytes());
        VeskCapsuleBadgeLook look;
        look.textFont = veskSystemFont(9.5, QFont::DemiBold, VeskFontDesign::monospaced);
        look.foreground = VeskGlassTokens::textSecondary();
        look.fill = VeskGlassTokens::surface2();
        look.horizontalPadding = 6;
        look.verticalPadding = 2;
        auto *effectiveBadge = new VeskCapsuleBadge(
            veskText(QStringLiteral("Effective: ") + effective, QStringLiteral("Efektif: ") + effective, m_language),
            look);
        effectiveBadge->setObjectName(QStringLiteral("effectiveBadge"));
        flow->addWidget(effectiveBadge);
    }
    return badges;
}

QWidget *VeskVirtualMemoryGaugeCard::headerActionButtons()
{
    const auto text = [this](const QString &en, const QString &tr) { return veskText(en, tr, m_language); };
    m_chips.append({text(QStringLiteral("Smart Offload"), QStringLiteral("Akıllı RAM Aç")), QStringLiteral("bolt.fill"),
                    true, VeskSuiteCommandKind::mirrelSmartOffload, false,
                    text(QStringLiteral("Triggered VeskMirrel Smart RAM Offload"),
                         QStringLiteral("VeskMirrel Akıllı RAM Açma tetiklendi"))});
    if (m_summary.frozenAppCount >= 1) {
        const QString count = QString::number(m_summary.frozenAppCount);
        m_chips.append({text(QStringLiteral("Thaw (") + count + u')', QStringLiteral("Uyandır (") + count + u')'),
                        QStringLiteral("sun.max.fill"), false, VeskSuiteCommandKind::mirrelThawAll, false,
                        text(QStringLiteral("Sent Thaw All to VeskMirrel"),
                             QStringLiteral("VeskMirrel donukları uyandırma komutu gönderildi"))});
    }
    m_chips.append({text(QStringLiteral("Disk Lab"), QStringLiteral("Disk Lab")),
                    QStringLiteral("externaldrive.badge.timemachine"), false, VeskSuiteCommandKind::mirrelOpenDiskLab,
                    true, std::nullopt});

    auto *actions = new QWidget;
    actions->setObjectName(QStringLiteral("actionChips"));
    auto *row = new QHBoxLayout(actions);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    for (const Chip &chip : std::as_const(m_chips)) {
        auto *button = new VeskButton(VeskGlassButtonStyle{chip.active}, chip.label, chip.symbol);
        button->setLabelFont(veskTextStyleFont(VeskTextStyle::caption2, QFont::Bold));
        const Chip copy = chip;
        connect(button, &QAbstractButton::clicked, this, [this, copy] { press(copy); });
        m_chipButtons.append(button);
        row->addWidget(button);
    }
    actions->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return actions;
}

QWidget *VeskVirtualMemoryGaugeCard::gaugeBar(const QString &title, const QString &valueText, double fraction,
                                              const QColor &tint)
{
    auto *gauge = new QWidget;
    auto *stack = new QVBoxLayout(gauge);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(5);
    auto *row = new QHBoxLayout;
    row->setSpacing(8);
    auto *titleText = new VeskTextLine(title, veskTextStyleFont(VeskTextStyle::caption2, QFont::Bold),
                                       VeskGlassTokens::textSecondary());
    titleText->setObjectName(QStringLiteral("gaugeTitle"));
    row->addWidget(titleText, 1);
    auto *value = new VeskTextLine(valueText, veskSystemFont(10.5, QFont::DemiBold, VeskFontDesign::monospaced),
                                   VeskGlassTokens::textPrimary());
    value->setObjectName(QStringLiteral("gaugeValue"));
    value->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    row->addWidget(value);
    stack->addLayout(row);
    auto *track = new VeskProgressTrack(6, veskColorFaded(Qt::white, 0.08), 4);
    track->setObjectName(QStringLiteral("gaugeTrack"));
    // The bar never runs past its track, whatever the figures say.
    track->setFraction(std::isnan(fraction) ? 0 : std::clamp(fraction, 0.0, 1.0));
    track->setFillColours(tint, veskColorFaded(tint, 0.55));
    stack->addWidget(track);
    return gauge;
}

QWidget *VeskVirtualMemoryGaugeCard::statPill(const Tile &tile)
{
    auto *panel = new TilePanel;
    panel->setObjectName(QStringLiteral("tile"));
    auto *stack = new QVBoxLayout(panel);
    stack->setContentsMargins(9, 7, 9, 7);
    stack->setSpacing(2);
    auto *label = new VeskTextLine(tile.label, veskSystemFont(9.5), VeskGlassTokens::textMuted());
    label->setObjectName(QStringLiteral("tileLabel"));
    stack->addWidget(label);
    auto *value = new VeskTextLine(tile.value, veskSystemFont(10.5, QFont::Bold, VeskFontDesign::monospaced),
                                   tile.tint);
    value->setObjectName(QStringLiteral("tileValue"));
    value->setMinimumScaleFactor(0.8);
    stack->addWidget(value);
    if (tile.detail && !tile.detail->isEmpty()) {
        auto *detail = new VeskTextLine(*tile.detail, veskSystemFont(9, QFont::Normal, VeskFontDesign::monospaced),
                                        VeskGlassTokens::textSecondary());
        detail->setObjectName(QStringLiteral("tileDetail"));
        detail->setElideMode(Qt::ElideMiddle);
        stack->addWidget(detail);
    }
    return panel;
}

void VeskVirtualMemoryGaugeCard::press(const Chip &chip)
{
    const bool sent = VeskSuiteCommandBus::shared().send(chip.kind, m_sourceApp, VeskSuiteApp::veskMirrel,
                                                         std::nullopt, std::nullopt, std::nullopt, true,
                                                         chip.bringToFront);
    if (sent && chip.confirmation && m_onFeedback)
        m_onFeedback(*chip.confirmation);
}

bool VeskVirtualMemoryGaugeCard::headerIsRow() const
{
    return m_headerLayout->direction() == QBoxLayout::LeftToRight;
}

void VeskVirtualMemoryGaugeCard::fitHeader(int width)
{
    bool row = false;
    if (m_actions) {
        // Badges on one line, the shortest spacer, the chips.
        const int needed = m_badges->sizeHint().width() + 8 + 8 + 8 + m_actions->sizeHint().width();
        row = needed <= width;
    }
    if (row == headerIsRow())
        return;
    while (m_headerLayout->count() > 0)
        delete m_headerLayout->takeAt(0);
    m_headerLayout->setDirection(row ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    m_headerLayout->addWidget(m_badges);
    if (row)
        m_headerLayout->addSpacerItem(new QSpacerItem(8, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
    if (m_actions)
        m_headerLayout->addWidget(m_actions, 0, row ? Qt::AlignVCenter : Qt::AlignLeft);
}

bool VeskVirtualMemoryGaugeCard::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_header && event->type() == QEvent::Resize)
        fitHeader(static_cast<QResizeEvent *>(event)->size().width());
    return QWidget::eventFilter(watched, event);
}

// Exactly as tall as the content needs at the width it is given: a host's
// layout neither stretches it nor squeezes its wrapped rows.
void VeskVirtualMemoryGaugeCard::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int wanted = heightForWidth(width());
    if (wanted > 0 && (minimumHeight() != wanted || maximumHeight() != wanted))
        setFixedHeight(wanted);
}
