#include "Views/ZulSettingsView.h"

#include "Engine/ConversionCatalog.h"
#include "Models/ZulConfig.h"
#include "VeskKit/Design/VeskAccessibleControl.h"
#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskChevronControls.h"
#include "VeskKit/Design/VeskColorHex.h"
#include "VeskKit/Design/VeskColorOpacity.h"
#include "VeskKit/Design/VeskContinuousShape.h"
#include "VeskKit/Design/VeskFocusRing.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassCard.h"
#include "VeskKit/Design/VeskGlassScrollBar.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskLanguagePicker.h"
#include "VeskKit/Design/VeskSymbolLabel.h"
#include "VeskKit/Localization/VeskText.h"
#include "VeskKit/Utilities/VeskByteFormatter.h"
#include "ViewModels/ZulCommand.h"
#include "ViewModels/ZulStudioViewModel.h"
#include "Views/ZulChipButton.h"
#include "Views/ZulChipGroup.h"
#include "Views/ZulToggle.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace {

// A rounded glass background for a row of small parts.
class Plate : public QWidget {
public:
    Plate(qreal radius, const QColor &fill, QWidget *parent = nullptr) : QWidget(parent), m_radius(radius), m_fill(fill)
    {
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.fillPath(veskContinuousRoundedRect(QRectF(rect()), m_radius), m_fill);
    }

private:
    qreal m_radius;
    QColor m_fill;
};

QHBoxLayout *row(QVBoxLayout *card)
{
    auto *line = new QHBoxLayout();
    line->setSpacing(8);
    card->addLayout(line);
    return line;
}

} // namespace

ZulSettingsView::ZulSettingsView(ZulStudioViewModel &viewModel, const QColor &accent, QWidget *parent)
    : QScrollArea(parent), m_viewModel(viewModel), m_accent(accent)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    // The page's controls take the keyboard, and scroll into view when they
    // do; the page itself is no stop.
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const QColor primary = VeskGlassTokens::textPrimary();
    setStyleSheet(QStringLiteral(
        "QScrollArea { background: transparent; }"
        "QComboBox { color: %1; background: %2; border: 1px solid %3; border-radius: 7px; padding: 3px 8px; }"
        "QComboBox::drop-down { border: none; width: 16px; }"
        "QSpinBox { color: %1; background: %2; border: 1px solid %3; border-radius: 7px; padding: 2px 4px; }"
        "QSpinBox::up-button, QSpinBox::down-button { border: none; background: transparent; width: 16px; }"
        "QSlider::groove:horizontal { height: 4px; background: %2; border-radius: 2px; }"
        "QSlider::sub-page:horizontal { background: %4; border-radius: 2px; }"
        "QSlider::handle:horizontal { background: white; width: 14px; height: 14px; margin: -5px 0; border-radius: 7px; }")
                      .arg(veskStyleSheetColor(primary), veskStyleSheetColor(VeskGlassTokens::surface2()),
                           veskStyleSheetColor(VeskGlassTokens::borderSubtle()), veskStyleSheetColor(m_accent))
                  + VeskGlassScrollBar::styleSheet());

    auto *page = new QWidget();
    auto *stack = new QVBoxLayout(page);
    stack->setContentsMargins(22, 22, 22, 22);
    stack->setSpacing(16);
    setWidget(page);
    // setWidget() turns the page's background fill on; the cards stand on
    // the studio's ground instead.
    page->setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);

    auto makeCard = [&](const QString &symbol, QLabel *&title) {
        auto *content = new QWidget();
        auto *column = new QVBoxLayout(content);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(14);
        auto *heading = new QHBoxLayout();
        heading->setSpacing(8);
        heading->addWidget(new VeskSymbolLabel(symbol, 15, QFont::Bold, primary, content));
        title = addLabel(veskSystemFont(15, QFont::Bold), primary);
        heading->addWidget(title);
        heading->addStretch(1);
        column->addLayout(heading);
        stack->addWidget(new VeskGlassCard(18, 16, content, page));
        return column;
    };
    const QFont body = veskSystemFont(13);

    // Card 1: drawer and hotkeys.
    QVBoxLayout *drawer = makeCard(QStringLiteral("sidebar.right"), m_drawerTitle);
    m_edgeDrawerToggle = new ZulToggle(QString(), m_accent);
    drawer->addWidget(m_edgeDrawerToggle);
    {
        QHBoxLayout *line = row(drawer);
        m_edgeSideText = addLabel(body, primary);
        line->addWidget(m_edgeSideText);
        line->addStretch(1);
        auto *segments = new Plate(8, VeskGlassTokens::surface1());
        segments->setFixedWidth(210);
        auto *segmentRow = new QHBoxLayout(segments);
        segmentRow->setContentsMargins(2, 2, 2, 2);
        segmentRow->setSpacing(2);
        for (ZulChipButton **segment : {&m_leftEdge, &m_rightEdge}) {
            *segment = new ZulChipButton();
            VeskAccessibleControl::setRole(*segment, QAccessible::RadioButton);
            (*segment)->setCornerRadius(6);
            (*segment)->setPadding(6, 4);
            (*segment)->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
            (*segment)->setLooks({veskSystemFont(12, QFont::DemiBold), Qt::white, veskColorWithOpacity(m_accent, 0.45),
                                  Qt::transparent, 0},
                                 {veskSystemFont(12, QFont::Medium), VeskGlassTokens::textSecondary(), Qt::transparent,
                                  Qt::transparent, 0});
            segmentRow->addWidget(*segment, 1);
        }
        line->addWidget(segments);
        m_edgeSegments = segments;
        VeskAccessibleControl::setRole(segments, QAccessible::Grouping);
        m_edgeGroup = new ZulChipGroup(this);
        m_edgeGroup->setChips({m_leftEdge, m_rightEdge});
    }
    {
        auto *badges = new QHBoxLayout();
        badges->setSpacing(12);
        for (auto [command, label] : {std::pair{ZulCommandID::toggleEdgeDrawer, &m_toggleDrawerBadgeLabel},
                                      std::pair{ZulCommandID::newFloatingSticky, &m_floatStickyBadgeLabel}}) {
            auto *badge = new Plate(9, VeskGlassTokens::surface1());
            auto *badgeRow = new QHBoxLayout(badge);
            badgeRow->setContentsMargins(10, 6, 10, 6);
            badgeRow->setSpacing(7);
            auto *glyphs = new QLabel(ZulCommand::of(command).keysText(), badge);
            glyphs->setFont(veskSystemFont(11, QFont::Bold, VeskFontDesign::monospaced));
            glyphs->setStyleSheet(QStringLiteral("color: white; background: %1; border-radius: 6px; padding: 3px 7px;")
                                      .arg(veskStyleSheetColor(veskColorWithOpacity(m_accent, 0.32))));
            badgeRow->addWidget(glyphs);
            *label = addLabel(veskSystemFont(11.5), VeskGlassTokens::textSecondary());
            badgeRow->addWidget(*label);
            badges->addWidget(badge);
        }
        badges->addStretch(1);
        drawer->addLayout(badges);
        // Wayland hands keys only to the window in front: said here, where
        // the user looks for the shortcuts, rather than letting them fail.
        m_hotkeysScope = addLabel(veskSystemFont(11.5), VeskGlassTokens::textMuted());
        m_hotkeysScope->setWordWrap(true);
        m_hotkeysScope->setVisible(m_viewModel.isOnNativeWayland());
        drawer->addWidget(m_hotkeysScope);
    }

    // Card 2: engine and rates.
    QVBoxLayout *engine = makeCard(QStringLiteral("function"), m_engineTitle);
    {
        QHBoxLayout *line = row(engine);
        m_currencyText = addLabel(body, primary);
        line->addWidget(m_currencyText);
        line->addStretch(1);
        m_currency = new VeskComboBox();
        m_currency->setFixedWidth(110);
        for (const QString &code : ConversionCatalog::supportedCurrencies())
            m_currency->addItem(code, code);
        line->addWidget(m_currency);
        m_currencyText->setBuddy(m_currency);
    }
    {
        QHBoxLayout *line = row(engine);
        auto *status = new QVBoxLayout();
        status->setSpacing(2);
        m_ratesStatus = addLabel(veskSystemFont(12.5, QFont::Medium), VeskGlassTokens::textSecondary());
        m_lastSynced = addLabel(veskSystemFont(11, QFont::Normal, VeskFontDesign::monospaced), VeskGlassTokens::textMuted());
        status->addWidget(m_ratesStatus);
        status->addWidget(m_lastSynced);
        line->addLayout(status);
        line->addStretch(1);
        m_refreshRates = new VeskButton(VeskGlassButtonStyle{false}, QString(), QStringLiteral("arrow.clockwise"));
        line->addWidget(m_refreshRates);
    }

    // Card 3: editor and tidy.
    QVBoxLayout *editor = makeCard(QStringLiteral("slider.horizontal.3"), m_editorTitle);
    {
        QHBoxLayout *line = row(editor);
        m_fontSizeLabel = addLabel(body, primary);
        line->addWidget(m_fontSizeLabel);
        line->addStretch(1);
        m_fontSize = new QSlider(Qt::Horizontal);
        m_fontSize->setFixedWidth(190);
        m_fontSize->setRange(int(ZulConfig::minimumFontSize) * sliderScale, int(ZulConfig::maximumFontSize) * sliderScale);
        m_fontSize->setSingleStep(sliderScale);
        m_fontSize->setPageStep(sliderScale);
        // Tall enough for the focus ring around the handle.
        m_fontSize->setFixedHeight(24);
        VeskFocusRing::attach(m_fontSize, 8);
        line->addWidget(m_fontSize);
        // Tied to their labels, the slider and the stepper are named by them.
        m_fontSizeLabel->setBuddy(m_fontSize);
    }
    m_lineNumbers = new ZulToggle(QString(), m_accent);
    editor->addWidget(m_lineNumbers);
    m_resultGutter = new ZulToggle(QString(), m_accent);
    editor->addWidget(m_resultGutter);
    {
        auto *divider = new QWidget();
        divider->setFixedHeight(1);
        divider->setStyleSheet(
            QStringLiteral("background: %1;").arg(veskStyleSheetColor(VeskGlassTokens::borderSubtle())));
        editor->addWidget(divider);
    }
    {
        QHBoxLayout *line = row(editor);
        auto *texts = new QVBoxLayout();
        texts->setSpacing(2);
        m_tidyTitle = addLabel(body, primary);
        m_tidyNote = addLabel(veskSystemFont(11), VeskGlassTokens::textMuted());
        texts->addWidget(m_tidyTitle);
        texts->addWidget(m_tidyNote);
        line->addLayout(texts);
        line->addStretch(1);
        m_tidyHours = new VeskStepper();
        m_tidyHours->setRange(0, int(ZulConfig::maximumAutoTidyEphemeralHours));
        m_tidyHours->setSingleStep(tidyHoursStep);
        m_tidyHours->setSuffix(QStringLiteral("h"));
        m_tidyHours->setFont(body);
        // One stop: the arrows (or Up and Down) step it, a typed number sets
        // it once Return or leaving the field confirms it; the spin box keeps
        // what is typed within its range.
        m_tidyHours->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
        m_tidyHours->setFocusPolicy(Qt::StrongFocus);
        m_tidyHours->setKeyboardTracking(false);
        m_tidyHours->setMinimumWidth(84);
        line->addWidget(m_tidyHours);
        m_tidyTitle->setBuddy(m_tidyHours);
        m_tidyNow = new VeskButton(VeskGlassButtonStyle{false}, QString());
        line->addWidget(m_tidyNow);
    }

    // Card 4: system and language.
    QVBoxLayout *system = makeCard(QStringLiteral("gearshape.fill"), m_systemTitle);
    m_launchAtLogin = new ZulToggle(QString(), m_accent);
    system->addWidget(m_launchAtLogin);
    {
        QHBoxLayout *line = row(system);
        m_languageText = addLabel(body, primary);
        line->addWidget(m_languageText);
        line->addStretch(1);
        m_languagePicker = new VeskLanguagePicker(std::nullopt, viewModel.language(), false, [this](VeskLanguage language) {
            m_viewModel.setLanguage(language);
            VeskLanguage::setCurrent(language);
        });
        line->addWidget(m_languagePicker);
        // The label names the picker for a screen reader too.
        m_languageText->setBuddy(m_languagePicker->comboBox());
    }
    {
        QHBoxLayout *line = row(system);
        m_footprintText = addLabel(veskSystemFont(12), VeskGlassTokens::textSecondary());
        line->addWidget(m_footprintText);
        line->addStretch(1);
        m_footprint = addLabel(veskSystemFont(12, QFont::DemiBold, VeskFontDesign::monospaced), m_accent);
        line->addWidget(m_footprint);
    }
    stack->addStretch(1);

    // Every control writes through the view model and is then set back from
    // it, so what shows is what the view model holds.
    auto change = [this](std::function<void(ZulConfig &)> edit) {
        m_viewModel.updateConfig(edit);
        syncFromViewModel();
    };
    connect(m_edgeDrawerToggle, &QAbstractButton::toggled, this,
            [change](bool on) { change([on](ZulConfig &c) { c.edgeDrawerEnabled = on; }); });
    connect(m_leftEdge, &QAbstractButton::clicked, this,
            [change] { change([](ZulConfig &c) { c.edgeSide = ZulEdgeSide::left; }); });
    connect(m_rightEdge, &QAbstractButton::clicked, this,
            [change] { change([](ZulConfig &c) { c.edgeSide = ZulEdgeSide::right; }); });
    connect(m_currency, &QComboBox::activated, this, [this, change](int index) {
        const QString code = m_currency->itemData(index).toString();
        change([code](ZulConfig &c) { c.defaultCurrency = code; });
    });
    connect(m_refreshRates, &QAbstractButton::clicked, this, [this] { m_viewModel.refreshLiveCurrencyRates(); });
    connect(m_fontSize, &QSlider::valueChanged, this, [this, change](int value) {
        // Steps of one point; the view model keeps the size in range.
        const double size = std::round(double(value) / sliderScale);
        if (size != m_viewModel.config().fontSize)
            change([size](ZulConfig &c) { c.fontSize = size; });
        else
            syncFromViewModel();
    });
    connect(m_lineNumbers, &QAbstractButton::toggled, this,
            [change](bool on) { change([on](ZulConfig &c) { c.showLineNumbers = on; }); });
    connect(m_resultGutter, &QAbstractButton::toggled, this,
            [change](bool on) { change([on](ZulConfig &c) { c.showCalculationGutter = on; }); });
    connect(m_tidyHours, &QSpinBox::valueChanged, this,
            [change](int hours) { change([hours](ZulConfig &c) { c.autoTidyEphemeralHours = hours; }); });
    connect(m_tidyNow, &QAbstractButton::clicked, this, [this] { m_viewModel.runAutoTidyNow(); });
    connect(m_launchAtLogin, &QAbstractButton::toggled, this, [this](bool on) {
        m_viewModel.toggleLaunchAtLogin(on);
        syncFromViewModel();
    });

    for (auto signal : {&ZulStudioViewModel::configChanged, &ZulStudioViewModel::ratesChanged,
                        &ZulStudioViewModel::isRefreshingRatesChanged, &ZulStudioViewModel::launchAtLoginChanged,
                        &ZulStudioViewModel::storageFootprintBytesChanged})
        connect(&viewModel, signal, this, &ZulSettingsView::syncFromViewModel);
    connect(&viewModel, &ZulStudioViewModel::languageChanged, this, &ZulSettingsView::retranslate);
    retranslate();
}

QList<QWidget *> ZulSettingsView::tabStops() const
{
    return {m_edgeDrawerToggle, m_edgeGroup->stop(), m_currency,       m_refreshRates,
            m_fontSize,         m_lineNumbers,       m_resultGutter,   m_tidyHours,
            m_tidyNow,          m_launchAtLogin,     m_languagePicker->comboBox()};
}

QString ZulSettingsView::text(const char *en, const char *tr) const
{
    return veskText(QString::fromUtf8(en), QString::fromUtf8(tr), m_viewModel.language());
}

QLabel *ZulSettingsView::addLabel(const QFont &font, const QColor &colour)
{
    auto *label = new QLabel();
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(veskStyleSheetColor(colour)));
    m_textLabels.append(label);
    return label;
}

void ZulSettingsView::retranslate()
{
    setAccessibleName(text("Settings", "Ayarlar"));
    m_drawerTitle->setText(text("Screen Edge Drawer & Global Hotkeys", "Ekran Kenarı Çekmecesi & Kısayollar"));
    m_edgeDrawerToggle->setText(
        text("Show translucent screen-edge pull handle", "Yarı saydam ekran kenarı çekme tutamacını göster"));
    m_edgeSideText->setText(text("Dock Edge Side", "Çekmece Kenarı"));
    m_edgeSegments->setAccessibleName(m_edgeSideText->text());
    m_edgeSegments->setAccessibleName(m_edgeSideText->text());
    m_leftEdge->setText(text("Left Edge", "Sol Kenar"));
    m_rightEdge->setText(text("Right Edge", "Sağ Kenar"));
    m_toggleDrawerBadgeLabel->setText(text("Toggle Edge Drawer", "Kenar Çekmecesi Aç/Kapat"));
    m_floatStickyBadgeLabel->setText(text("New Floating Sticky Note", "Yeni Yüzen Yapışkan Not"));
    m_hotkeysScope->setText(text("In this session the shortcuts work only inside VeskZul: Wayland passes keys only to "
                                 "the window in front.",
                                 "Bu oturumda kısayollar yalnızca VeskZul içinde çalışır: Wayland tuşları yalnızca "
                                 "öndeki pencereye iletir."));

    m_engineTitle->setText(text("Computational Engine & Currency Rates", "Hesaplama Motoru & Döviz Kurları"));
    m_currencyText->setText(
        text("Default Currency (Mixed-Currency Blocks)", "Varsayılan Para Birimi (Karışık Blok Toplamı)"));

    m_editorTitle->setText(text("Editor & Auto-Tidy", "Editör & Otomatik Temizlik"));
    m_lineNumbers->setText(text("Show Line Numbers", "Satır Numaralarını Göster"));
    m_resultGutter->setText(text("Show Live Calculation Result Gutter", "Canlı Hesaplama Sonuç Sütununu Göster"));
    m_tidyTitle->setText(text("Auto-Tidy Ephemeral Scratch Notes", "Geçici Karalama Notlarını Otomatik Temizle"));
    m_tidyNote->setText(
        text("Pinned and floating sticky notes are never deleted.", "Sabitlenmiş ve yüzen yapışkan notlar asla silinmez."));
    m_tidyHours->setSpecialValueText(text("Off", "Kapalı"));
    m_tidyNow->setText(text("Tidy Now", "Şimdi Temizle"));

    m_systemTitle->setText(text("System & Language", "Sistem & Dil"));
    // The platform's name is left out of the Turkish text: this is not it.
    m_launchAtLogin->setText(text("Launch VeskZul at Login", "Açılışta VeskZul'i Başlat"));
    m_languageText->setText(text("Interface Language", "Arayüz Dili"));
    m_languagePicker->setLanguage(m_viewModel.language());
    m_footprintText->setText(text("Local JSON Storage Footprint", "Yerel JSON Depolama Boyutu"));

    for (QWidget *resized : {static_cast<QWidget *>(m_edgeDrawerToggle), static_cast<QWidget *>(m_lineNumbers),
                             static_cast<QWidget *>(m_resultGutter), static_cast<QWidget *>(m_launchAtLogin)})
        resized->updateGeometry();
    syncFromViewModel();
}

void ZulSettingsView::syncFromViewModel()
{
    const ZulConfig &config = m_viewModel.config();
    {
        const QSignalBlocker blocker(m_edgeDrawerToggle);
        m_edgeDrawerToggle->setChecked(config.edgeDrawerEnabled);
    }
    m_leftEdge->setSelected(config.edgeSide == ZulEdgeSide::left);
    m_rightEdge->setSelected(config.edgeSide == ZulEdgeSide::right);
    {
        const QSignalBlocker blocker(m_currency);
        m_currency->setCurrentIndex(m_currency->findData(config.defaultCurrency));
    }

    const CurrencyRateTable &rates = m_viewModel.rates();
    if (rates.isLive) {
        m_ratesStatus->setText(text("Live ECB / Frankfurter FX rates active", "Canlı ECB / Frankfurter döviz kurları aktif"));
        m_ratesStatus->setStyleSheet(
            QStringLiteral("color: %1;").arg(veskStyleSheetColor(VeskGlassTokens::success())));
    } else {
        m_ratesStatus->setText(text("Built-in offline FX rates active", "Yerleşik çevrimdışı döviz kurları aktif"));
        m_ratesStatus->setStyleSheet(
            QStringLiteral("color: %1;").arg(veskStyleSheetColor(VeskGlassTokens::textSecondary())));
    }
    m_lastSynced->setVisible(rates.updatedAt.has_value());
    if (rates.updatedAt) {
        const QLocale locale;
        const QDateTime local = rates.updatedAt->toLocalTime();
        m_lastSynced->setText(text("Last synced:", "Son güncelleme:") + QLatin1Char(' ') +
                              locale.toString(local.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                              locale.toString(local.time(), QLocale::ShortFormat));
    }
    const bool refreshing = m_viewModel.isRefreshingRates();
    m_refreshRates->setText(refreshing ? text("Refreshing...", "Güncelleniyor...")
                                       : text("Refresh Live Rates", "Canlı Kurları Güncelle"));
    m_refreshRates->setEnabled(!refreshing);

    m_fontSizeLabel->setText(text("Editor Font Size:", "Editör Yazı Boyutu:") + QLatin1Char(' ') +
                             QString::number(qint64(std::trunc(config.fontSize))) + QStringLiteral(" pt"));
    {
        const QSignalBlocker blocker(m_fontSize);
        m_fontSize->setValue(int(std::lround(config.fontSize * sliderScale)));
    }
    {
        const QSignalBlocker blocker(m_lineNumbers);
        m_lineNumbers->setChecked(config.showLineNumbers);
    }
    {
        const QSignalBlocker blocker(m_resultGutter);
        m_resultGutter->setChecked(config.showCalculationGutter);
    }
    {
        const QSignalBlocker blocker(m_tidyHours);
        m_tidyHours->setValue(int(config.autoTidyEphemeralHours));
    }
    {
        const QSignalBlocker blocker(m_launchAtLogin);
        m_launchAtLogin->setChecked(m_viewModel.launchAtLogin());
    }
    m_footprint->setText(VeskByteFormatter::format(m_viewModel.storageFootprintBytes()));
}
