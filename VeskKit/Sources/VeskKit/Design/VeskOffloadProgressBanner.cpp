#include "VeskKit/Design/VeskOffloadProgressBanner.h"

#include "VeskKit/Design/VeskActivitySpinner.h"
#include "VeskKit/Design/VeskAdaptiveGridLayout.h"
#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskCapsuleBadge.h"
#include "VeskKit/Design/VeskColorOpacity.h"
#include "VeskKit/Design/VeskContinuousShape.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskProgressTrack.h"
#include "VeskKit/Design/VeskSymbolLabel.h"
#include "VeskKit/Design/VeskTextLine.h"
#include "VeskKit/Localization/VeskText.h"
#include "VeskKit/Utilities/VeskByteFormatter.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QResizeEvent>
#include <QVBoxLayout>

#include <cmath>

namespace {

void clearLayout(QLayout *layout)
{
    while (QLayoutItem *item = layout->takeAt(0)) {
        if (QWidget *widget = item->widget())
            delete widget;
        else if (QLayout *inner = item->layout())
            clearLayout(inner);
        delete item;
    }
}

} // namespace

VeskOffloadProgressBanner::VeskOffloadProgressBanner(const VeskMirrelOffloadLiveProgress &progress,
                                                     VeskLanguage language, bool compact,
                                                     std::function<void()> onCancel, std::function<void()> onDismiss,
                                                     QWidget *parent)
    : QWidget(parent), m_progress(progress), m_language(language), m_compact(compact),
      m_onCancel(std::move(onCancel)), m_onDismiss(std::move(onDismiss))
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    m_stack = new QVBoxLayout(this);
    m_stack->setSpacing(compact ? 6 : 8);
    m_stack->setContentsMargins(compact ? 10 : 14, compact ? 8 : 10, compact ? 10 : 14, compact ? 8 : 10);
    rebuild();
}

void VeskOffloadProgressBanner::setProgress(const VeskMirrelOffloadLiveProgress &progress)
{
    if (progress == m_progress)
        return;
    m_progress = progress;
    rebuild();
}

QColor VeskOffloadProgressBanner::violet()
{
    return QColor::fromRgbF(169 / 255.0f, 139 / 255.0f, 1.0f);
}

QColor VeskOffloadProgressBanner::accentColor() const
{
    if (m_progress.isCompletedSummary)
        return VeskGlassTokens::success();
    if (m_progress.livePressure == QLatin1String("critical"))
        return VeskGlassTokens::danger();
    if (m_progress.livePressure == QLatin1String("warning"))
        return VeskGlassTokens::warning();
    return violet();
}

std::optional<qint64> VeskOffloadProgressBanner::percent() const
{
    const double scaled = std::round(m_progress.fractionCompleted * 100);
    // Beyond ±2^62 the conversion would be undefined; such a record is
    // outside any sensible run, so it shows no percentage.
    if (!std::isfinite(scaled) || std::fabs(scaled) > 4.0e18)
        return std::nullopt;
    return qint64(scaled);
}

QString VeskOffloadProgressBanner::stepBadgeText() const
{
    if (m_progress.isCompletedSummary)
        return veskText(QStringLiteral("DONE"), QStringLiteral("TAMAMLANDI"), m_language);
    const QString steps = QString::number(m_progress.stepIndex) + u'/' + QString::number(m_progress.totalSteps);
    return veskText(QStringLiteral("STEP ") + steps, QStringLiteral("ADIM ") + steps, m_language);
}

VeskOffloadProgressBanner::StepState VeskOffloadProgressBanner::stepState(int index) const
{
    const bool done = m_progress.isCompletedSummary || index < m_progress.stepIndex;
    const bool current = m_progress.isRunning && index == m_progress.stepIndex;
    if (done && current)
        return StepState::doneAndCurrent;
    if (current)
        return StepState::current;
    return done ? StepState::done : StepState::pending;
}

QString VeskOffloadProgressBanner::stepTitle(int index, VeskLanguage language)
{
    switch (index) {
    case 1:
        return veskText(QStringLiteral("1. Measure RAM"), QStringLiteral("1. Bellek Ölçümü"), language);
    case 2:
        return veskText(QStringLiteral("2. Freeze Idle Apps"), QStringLiteral("2. Pasifleri Dondur"), language);
    case 3:
        return veskText(QStringLiteral("3. Swap Wave"), QStringLiteral("3. Swap Dalgası"), language);
    case 4:
        return veskText(QStringLiteral("4. Release & Verify"), QStringLiteral("4. İade & Sonuç"), language);
    default:
        return {};
    }
}

void VeskOffloadProgressBanner::rebuild()
{
    clearLayout(m_stack);
    const QColor accent = accentColor();

    m_stack->addWidget(makeHeader());

    auto *bar = new VeskProgressTrack(m_compact ? 5 : 7, veskColorFaded(Qt::white, 0.1), 6);
    bar->setObjectName(QStringLiteral("progressBar"));
    bar->setFraction(m_progress.fractionCompleted);
    bar->setFillColours(veskColorFaded(accent, 0.75), accent);
    m_stack->addWidget(bar);

    const QString detail = veskText(m_progress.detailEN, m_progress.detailTR, m_language);
    if (!detail.isEmpty()) {
        auto *line = new VeskTextLine(detail, veskSystemFont(m_compact ? 9.5 : 10.5, QFont::Normal,
                                                             VeskFontDesign::monospaced),
                                      VeskGlassTokens::textSecondary());
        line->setObjectName(QStringLiteral("detail"));
        line->setMaximumLines(m_compact ? 2 : 1);
        m_stack->addWidget(line);
    }

    if (!m_compact) {
        auto *pills = new QWidget;
        pills->setObjectName(QStringLiteral("stepPills"));
        auto *grid = new VeskAdaptiveGridLayout(135, 6, 6, pills);
        for (int index = 1; index <= 4; ++index)
            grid->addWidget(makeStepPill(index));
        m_stack->addWidget(pills);
    }
    update();
}

QWidget *VeskOffloadProgressBanner::makeHeader()
{
    const QColor accent = accentColor();
    auto *header = new QWidget;
    header->setObjectName(QStringLiteral("header"));
    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);

    if (m_progress.isRunning) {
        auto *spinner = new VeskActivitySpinner(16, VeskGlassTokens::textSecondary());
        spinner->setObjectName(QStringLiteral("spinner"));
        row->addWidget(spinner);
    } else {
        auto *seal = new VeskSymbolLabel(QStringLiteral("checkmark.seal.fill"), m_compact ? 12 : 14, QFont::Normal,
                                         VeskGlassTokens::success());
        seal->setObjectName(QStringLiteral("seal"));
        row->addWidget(seal);
    }

    VeskCapsuleBadgeLook badgeLook;
    badgeLook.textFont = veskSystemFont(m_compact ? 9 : 9.5, QFont::Bold, VeskFontDesign::monospaced);
    badgeLook.foreground = accent;
    badgeLook.fill = veskColorFaded(accent, 0.24);
    badgeLook.horizontalPadding = 6;
    badgeLook.verticalPadding = 2;
    auto *badge = new VeskCapsuleBadge(stepBadgeText(), badgeLook);
    badge->setObjectName(QStringLiteral("stepBadge"));
    row->addWidget(badge);

    auto *title = new VeskTextLine(veskText(m_progress.phaseTitleEN, m_progress.phaseTitleTR, m_language),
                                   veskSystemFont(m_compact ? 11 : 12.5, QFont::DemiBold),
                                   VeskGlassTokens::textPrimary());
    title->setObjectName(QStringLiteral("phaseTitle"));
    row->addWidget(title, 0);
    row->addSpacerItem(new QSpacerItem(4, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));

    if (m_progress.isRunning && m_progress.targetBytes >= 1) {
        auto *bytes = new VeskTextLine(VeskByteFormatter::format(m_progress.allocatedBytes) + QStringLiteral(" / ") +
                                           VeskByteFormatter::format(m_progress.targetBytes),
                                       veskSystemFont(m_compact ? 9.5 : 10.5, QFont::DemiBold,
                                                      VeskFontDesign::monospaced),
                                       VeskGlassTokens::textSecondary());
        bytes->setObjectName(QStringLiteral("byteCounter"));
        bytes->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        row->addWidget(bytes);
    }

    if (const std::optional<qint64> shown = percent()) {
        auto *percentage = new VeskTextLine(QString::number(*shown) + u'%',
                                            veskSystemFont(m_compact ? 10.5 : 11.5, QFont::Bold,
                                                           VeskFontDesign::monospaced),
                                            accent);
        percentage->setObjectName(QStringLiteral("percentage"));
        percentage->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        row->addWidget(percentage);
    }

    if (m_progress.isRunning && m_onCancel) {
        auto *cancel = new VeskButton(VeskGlassButtonStyle{false}, veskText(QStringLiteral("Cancel"),
                                                                            QStringLiteral("İptal"), m_language));
        cancel->setObjectName(QStringLiteral("cancelButton"));
        cancel->setLabelFont(veskSystemFont(m_compact ? 9.5 : 10.5, QFont::DemiBold));
        connect(cancel, &QAbstractButton::clicked, this, [this] {
            if (m_onCancel)
                m_onCancel();
        });
        row->addWidget(cancel);
    } else if (!m_progress.isRunning && m_onDismiss) {
        VeskCapsuleBadgeLook closeLook;
        closeLook.symbol = QStringLiteral("xmark");
        closeLook.symbolPixelSize = 9.5;
        closeLook.symbolWeight = QFont::Bold;
        closeLook.foreground = VeskGlassTokens::textMuted();
        closeLook.horizontalPadding = 2;
        closeLook.verticalPadding = 2;
        auto *close = new VeskCapsuleBadge(QString(), closeLook, true);
        close->setObjectName(QStringLiteral("dismissButton"));
        close->setAccessibleName(veskText(QStringLiteral("Close"), QStringLiteral("Kapat"), m_language));
        connect(close, &QAbstractButton::clicked, this, [this] {
            if (m_onDismiss)
                m_onDismiss();
        });
        row->addWidget(close);
    }
    return header;
}

QWidget *VeskOffloadProgressBanner::makeStepPill(int index)
{
    const StepState state = stepState(index);
    QColor colour;
    qreal opacity = 0.06;
    QString symbol = QStringLiteral("circle");
    QFont::Weight weight = QFont::Normal;
    switch (state) {
    case StepState::doneAndCurrent:
        colour = VeskGlassTokens::success();
        opacity = 0.22;
        symbol = QStringLiteral("checkmark.circle.fill");
        weight = QFont::DemiBold;
        break;
    case StepState::current:
        colour = accentColor();
        opacity = 0.22;
        symbol = QStringLiteral("bolt.circle.fill");
        weight = QFont::DemiBold;
        break;
    case StepState::done:
        colour = VeskGlassTokens::success();
        opacity = 0.14;
        symbol = QStringLiteral("checkmark.circle.fill");
        weight = QFont::DemiBold;
        break;
    case StepState::pending:
        colour = VeskGlassTokens::textMuted();
        break;
    }
    VeskCapsuleBadgeLook look;
    look.symbol = symbol;
    look.symbolPixelSize = 9.5;
    look.symbolWeight = weight;
    look.textFont = veskSystemFont(9.5, weight);
    look.spacing = 4;
    look.foreground = colour;
    look.fill = veskColorFaded(colour, opacity);
    look.horizontalPadding = 7;
    look.verticalPadding = 3;
    look.stretches = true;
    auto *pill = new VeskCapsuleBadge(stepTitle(index, m_language), look);
    pill->setObjectName(QStringLiteral("stepPill%1").arg(index));
    return pill;
}

void VeskOffloadProgressBanner::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QColor accent = accentColor();
    veskPaintGlassShape(painter, QRectF(rect()), m_compact ? 10 : 11, veskColorFaded(accent, 0.12),
                        veskColorFaded(accent, 0.4));
}

// Exactly as tall as the content needs at the width it is given: a host's
// layout neither stretches it nor squeezes its wrapped rows.
void VeskOffloadProgressBanner::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int wanted = heightForWidth(width());
    if (wanted > 0 && (minimumHeight() != wanted || maximumHeight() != wanted))
        setFixedHeight(wanted);
}
