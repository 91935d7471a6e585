#include "VeskKit/Design/VeskSuiteQuickActionsStrip.h"

#include "VeskKit/Design/VeskCapsuleBadge.h"
#include "VeskKit/Design/VeskColorOpacity.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskSymbolLabel.h"
#include "VeskKit/Design/VeskTextLine.h"
#include "VeskKit/Localization/VeskText.h"
#include "VeskKit/System/VeskSuiteCommandBus.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

namespace {

QColor rgb(int red, int green, int blue)
{
    return QColor::fromRgbF(red / 255.0f, green / 255.0f, blue / 255.0f);
}

} // namespace

VeskSuiteQuickActionsStrip::VeskSuiteQuickActionsStrip(VeskSuiteApp currentApp,
                                                       const std::optional<VeskVirtualMemorySummary> &vmSummary,
                                                       const std::optional<VeskHalvotLiveStatus> &halvotStatus,
                                                       VeskLanguage language, bool compact,
                                                       std::function<void(const QString &)> onFeedback,
                                                       QWidget *parent)
    : QWidget(parent), m_currentApp(currentApp), m_language(language), m_compact(compact),
      m_onFeedback(std::move(onFeedback))
{
    m_chips = buildChips(vmSummary, halvotStatus);
    auto *outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    if (m_chips.isEmpty()) {
        setVisible(false);
        return;
    }

    auto *row = new QWidget;
    row->setObjectName(QStringLiteral("chipRow"));
    auto *stack = new QHBoxLayout(row);
    stack->setSpacing(compact ? 6 : 8);
    stack->setContentsMargins(compact ? 2 : 14, compact ? 0 : 7, compact ? 2 : 14, compact ? 0 : 7);
    if (!compact) {
        auto *caption = new QWidget;
        caption->setObjectName(QStringLiteral("caption"));
        auto *captionRow = new QHBoxLayout(caption);
        captionRow->setContentsMargins(0, 0, 2, 0);
        captionRow->setSpacing(5);
        captionRow->addWidget(new VeskSymbolLabel(QStringLiteral("square.grid.2x2.fill"), 10, QFont::Normal,
                                                  VeskGlassTokens::textMuted()));
        auto *title = new VeskTextLine(veskText(QStringLiteral("Suite Actions"),
                                                QStringLiteral("Suite Hızlı İşlemler"), language),
                                       veskSystemFont(10.5, QFont::Bold), VeskGlassTokens::textMuted());
        title->setObjectName(QStringLiteral("captionText"));
        title->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        captionRow->addWidget(title);
        stack->addWidget(caption);
    }
    for (const Chip &chip : std::as_const(m_chips)) {
        VeskCapsuleBadge *button = makeChipButton(chip);
        m_buttons.append(button);
        stack->addWidget(button);
    }
    stack->addStretch(1);

    auto *scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("scroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    scroll->setAutoFillBackground(false);
    scroll->viewport()->setAutoFillBackground(false);
    scroll->setWidget(row);
    // The scroll area paints its content opaque by default; the strip's own
    // background must show through.
    row->setAutoFillBackground(false);
    scroll->setFixedHeight(row->sizeHint().height());
    outer->addWidget(scroll);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QColor VeskSuiteQuickActionsStrip::memoryToolTint()
{
    return rgb(169, 139, 255);
}

QColor VeskSuiteQuickActionsStrip::processKillerTint()
{
    return rgb(255, 107, 129);
}

QColor VeskSuiteQuickActionsStrip::systemMonitorTint()
{
    return rgb(56, 232, 255);
}

QList<VeskSuiteQuickActionsStrip::Chip>
VeskSuiteQuickActionsStrip::buildChips(const std::optional<VeskVirtualMemorySummary> &vmSummary,
                                       const std::optional<VeskHalvotLiveStatus> &halvotStatus) const
{
    const auto text = [this](const QString &en, const QString &tr) { return veskText(en, tr, m_language); };
    const auto shows = [this](VeskSuiteApp app) { return app != m_currentApp && app.isInstalled(); };
    QList<Chip> chips;

    if (shows(VeskSuiteApp::veskMirrel)) {
        chips.append({VeskSuiteApp::veskMirrel, VeskSuiteCommandKind::mirrelSmartOffload, false,
                      text(QStringLiteral("Smart RAM Offload"), QStringLiteral("Akıllı RAM Aç")),
                      QStringLiteral("bolt.fill"), memoryToolTint(), false,
                      text(QStringLiteral("Trigger VeskMirrel smart memory offload in the background"),
                           QStringLiteral("Arka planda VeskMirrel akıllı bellek rahatlatmayı çalıştır")),
                      text(QStringLiteral("Sent Smart RAM Offload to VeskMirrel"),
                           QStringLiteral("VeskMirrel Akıllı RAM Açma tetiklendi"))});
        if (vmSummary && vmSummary->frozenAppCount >= 1) {
            const QString count = QString::number(vmSummary->frozenAppCount);
            chips.append({VeskSuiteApp::veskMirrel, VeskSuiteCommandKind::mirrelThawAll, false,
                          text(QStringLiteral("Thaw Apps (") + count + u')',
                               QStringLiteral("Donukları Uyandır (") + count + u')'),
                          QStringLiteral("sun.max.fill"), VeskGlassTokens::warning(), false,
                          text(QStringLiteral("Resume all apps frozen by VeskMirrel"),
                               QStringLiteral("VeskMirrel tarafından dondurulan tüm uygulamaları uyandır")),
                          text(QStringLiteral("Sent Thaw All command to VeskMirrel"),
                               QStringLiteral("VeskMirrel tüm donukları uyandırma komutu gönderildi"))});
        }
        if (!m_compact) {
            chips.append({VeskSuiteApp::veskMirrel, VeskSuiteCommandKind::mirrelOpenDiskLab, true,
                          text(QStringLiteral("Virtual Disk Lab"), QStringLiteral("Sanal Disk Lab")),
                          QStringLiteral("externaldrive.badge.timemachine"), memoryToolTint(), false,
                          text(QStringLiteral("Open VeskMirrel Virtual Disk & mmap Pool Lab"),
                               QStringLiteral("VeskMirrel Sanal Disk ve Bellek Havuzu Laboratuvarını aç")),
                          text(QStringLiteral("Opening VeskMirrel Virtual Disk Lab"),
                               QStringLiteral("VeskMirrel Sanal Disk Laboratuvarı açılıyor"))});
        }
    }

    if (shows(VeskSuiteApp::veskHalvot)) {
        const bool problems = halvotStatus && halvotStatus->problematicCount >= 1;
        const QString count = problems ? QString::number(halvotStatus->problematicCount) : QString();
        chips.append({VeskSuiteApp::veskHalvot, VeskSuiteCommandKind::halvotKillAllFrozen, false,
                      problems ? text(QStringLiteral("Kill Frozen (") + count + u')',
                                      QStringLiteral("Donmuşları Öldür (") + count + u')')
                               : text(QStringLiteral("Kill Frozen"), QStringLiteral("Donmuşları Öldür")),
                      QStringLiteral("xmark.octagon.fill"), VeskGlassTokens::danger(), problems,
                      text(QStringLiteral("Terminate unresponsive or frozen apps via VeskHalvot"),
                           QStringLiteral("Yanıt vermeyen/donmuş uygulamaları VeskHalvot ile sonlandır")),
                      text(QStringLiteral("Sent Kill All Frozen command to VeskHalvot"),
                           QStringLiteral("VeskHalvot'e donmuş uygulamaları öldürme komutu gönderildi"))});
        chips.append({VeskSuiteApp::veskHalvot, VeskSuiteCommandKind::halvotTargetWindow, false,
                      text(QStringLiteral("Target Window"), QStringLiteral("Pencere Hedefle")),
                      QStringLiteral("scope"), processKillerTint(), false,
                      text(QStringLiteral("Activate VeskHalvot crosshair to click-kill any frozen window"),
                           QStringLiteral("Herhangi bir donmuş pencereyi tıklayıp öldürmek için VeskHalvot "
                                          "nişangahını aç")),
                      text(QStringLiteral("VeskHalvot window targeter activated"),
                           QStringLiteral("VeskHalvot pencere hedefleme nişangahı açıldı"))});
        chips.append({VeskSuiteApp::veskHalvot, VeskSuiteCommandKind::halvotToggleQuickHud, false,
                      text(QStringLiteral("Quick Kill HUD"), QStringLiteral("Hızlı Öldür HUD")),
                      QStringLiteral("bolt.circle.fill"), processKillerTint(), false,
                      text(QStringLiteral("Toggle VeskHalvot floating Quick Kill HUD"),
                           QStringLiteral("VeskHalvot yüzen Hızlı Öldürme panelini aç/kapat")),
                      text(QStringLiteral("Toggled VeskHalvot Quick HUD"),
                           QStringLiteral("VeskHalvot Hızlı Öldür HUD açıldı/kapatıldı"))});
        if (!m_compact) {
            chips.append({VeskSuiteApp::veskHalvot, VeskSuiteCommandKind::halvotOpenAnalytics, true,
                          text(QStringLiteral("24h Usage"), QStringLiteral("24s Analiz")),
                          QStringLiteral("chart.bar.xaxis"), processKillerTint(), false,
                          text(QStringLiteral("Open VeskHalvot 24h CPU / RAM / Disk analytics"),
                               QStringLiteral("VeskHalvot 24 saatlik CPU / RAM / Disk analizini aç")),
                          text(QStringLiteral("Opening VeskHalvot 24h Analytics"),
                               QStringLiteral("VeskHalvot 24 Saatlik Analiz açılıyor"))});
        }
    }

    if (shows(VeskSuiteApp::veskTrenik)) {
        chips.append({VeskSuiteApp::veskTrenik, VeskSuiteCommandKind::trenikToggleHud, false,
                      text(QStringLiteral("Trenik HUD"), QStringLiteral("Trenik HUD")),
                      QStringLiteral("rectangle.inset.topright.filled"), systemMonitorTint(), false,
                      text(QStringLiteral("Show or hide the VeskTrenik floating desktop telemetry HUD"),
                           QStringLiteral("VeskTrenik masaüstü yüzen sensör HUD'unu aç/kapat")),
                      text(QStringLiteral("Toggled VeskTrenik Floating HUD"),
                           QStringLiteral("VeskTrenik Masaüstü HUD açıldı/kapatıldı"))});
        if (!m_compact) {
            chips.append({VeskSuiteApp::veskTrenik, VeskSuiteCommandKind::trenikOpenThermals, true,
                          text(QStringLiteral("Thermals & Fan"), QStringLiteral("Sıcaklık & Fan")),
                          QStringLiteral("thermometer.medium"), systemMonitorTint(), false,
                          text(QStringLiteral("Open VeskTrenik live thermal sensors, fan RPM & power view"),
                               QStringLiteral("VeskTrenik canlı sıcaklık sensörleri, fan RPM ve güç ekranını aç")),
                          text(QStringLiteral("Opening VeskTrenik Thermals & Power"),
                               QStringLiteral("VeskTrenik Sıcaklık ve Fan ekranı açılıyor"))});
        }
    }
    return chips;
}

VeskCapsuleBadge *VeskSuiteQuickActionsStrip::makeChipButton(const Chip &chip)
{
    VeskCapsuleBadgeLook look;
    look.symbol = chip.symbol;
    look.symbolPixelSize = m_compact ? 9.5 : 10.5;
    look.symbolWeight = QFont::DemiBold;
    look.textFont = veskSystemFont(m_compact ? 10 : 11, QFont::DemiBold);
    look.spacing = 5;
    look.foreground = chip.emphasized ? QColor(Qt::white) : chip.tint;
    look.fill = veskColorFaded(chip.tint, chip.emphasized ? 0.3 : 0.14);
    look.border = veskColorFaded(chip.tint, chip.emphasized ? 0.65 : 0.32);
    look.horizontalPadding = m_compact ? 8 : 10;
    look.verticalPadding = m_compact ? 4 : 5;
    auto *button = new VeskCapsuleBadge(chip.title, look, true);
    button->setToolTip(chip.helpText);
    const Chip copy = chip;
    connect(button, &QAbstractButton::clicked, this, [this, copy] { trigger(copy); });
    return button;
}

void VeskSuiteQuickActionsStrip::trigger(const Chip &chip)
{
    const bool sent = VeskSuiteCommandBus::shared().send(chip.kind, m_currentApp, chip.target, std::nullopt,
                                                         std::nullopt, std::nullopt, true, chip.bringToFront);
    if (!m_onFeedback)
        return;
    if (sent) {
        m_onFeedback(chip.successMessage);
        return;
    }
    const QString name = chip.target.rawValue();
    m_onFeedback(veskText(name + QStringLiteral(" is not installed"), name + QStringLiteral(" kurulu değil"),
                          m_language));
}

void VeskSuiteQuickActionsStrip::paintEvent(QPaintEvent *)
{
    if (m_compact || m_chips.isEmpty())
        return;
    QPainter painter(this);
    painter.fillRect(rect(), VeskGlassTokens::surface1());
}
