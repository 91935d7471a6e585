#include "Views/ZulEditorStatusBar.h"

#include "Views/ZulEditorChip.h"

#include "Engine/ZulNumberFormatter.h"

#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskColorHex.h"
#include "VeskKit/Design/VeskColorOpacity.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Localization/VeskText.h"

#include <QHBoxLayout>
#include <QPainter>

namespace {

QFont chipFont(QFont::Weight weight)
{
    return veskSystemFont(11, weight, VeskFontDesign::monospaced);
}

QFont buttonFont()
{
    return veskSystemFont(11, QFont::Medium);
}

} // namespace

const QColor &ZulEditorStatusBar::sumColour()
{
    static const QColor colour = veskColorFromHex(0xFFE066);
    return colour;
}

const QColor &ZulEditorStatusBar::averageColour()
{
    static const QColor colour = veskColorFromHex(0x7CA4FF);
    return colour;
}

ZulEditorStatusBar::ZulEditorStatusBar(QWidget *parent)
    : QWidget(parent)
{
    m_layout = new QHBoxLayout(this);
    m_sum = new ZulEditorChip(this);
    m_sum->setFill(veskColorFaded(sumColour(), 0.14));
    m_average = new ZulEditorChip(this);
    m_average->setFill(VeskGlassTokens::surface2());
    m_tasks = new ZulEditorChip(this);
    m_tasks->setFill(veskColorFaded(VeskGlassTokens::success(), 0.14));
    m_tasks->setPassive(true);
    m_words = new ZulEditorChip(this);
    m_words->setPadding(0, 0);
    m_words->setPassive(true);
    m_copy = new VeskButton(VeskGlassButtonStyle{false}, QString(), QStringLiteral("doc.on.doc"), this);
    m_copy->setLabelFont(buttonFont());
    m_sticky = new VeskButton(VeskGlassButtonStyle{false}, QString(), QString(), this);
    m_sticky->setLabelFont(buttonFont());

    // The sum and the average, which can be long, give way before the
    // buttons and the short counts, ending in an ellipsis.
    m_sum->setShrinkable(true);
    m_average->setShrinkable(true);
    m_layout->addWidget(m_sum);
    m_layout->addWidget(m_average);
    m_layout->addWidget(m_tasks);
    m_layout->addWidget(m_words);
    m_layout->addStretch(1);
    m_layout->addWidget(m_copy);
    m_layout->addWidget(m_sticky);

    connect(m_sum, &QAbstractButton::clicked, this,
            [this] { emit copyRequested(m_sumText, QStringLiteral("Sum = ") + m_sumText); });
    connect(m_average, &QAbstractButton::clicked, this,
            [this] { emit copyRequested(m_averageText, QStringLiteral("Avg = ") + m_averageText); });
    connect(m_copy, &QAbstractButton::clicked, this, &ZulEditorStatusBar::copyWithResultsRequested);
    connect(m_sticky, &QAbstractButton::clicked, this, &ZulEditorStatusBar::stickyToggleRequested);
    refresh();
}

QString ZulEditorStatusBar::text(const char *en, const char *tr) const
{
    return veskText(QString::fromUtf8(en), QString::fromUtf8(tr), m_language);
}

void ZulEditorStatusBar::setSummary(const NoteEvaluationSummary &summary)
{
    if (summary == m_summary)
        return;
    m_summary = summary;
    refresh();
}

void ZulEditorStatusBar::setIsFloatingSticky(bool floating)
{
    if (floating == m_isFloatingSticky)
        return;
    m_isFloatingSticky = floating;
    refresh();
}

void ZulEditorStatusBar::setCompactMode(bool compact)
{
    if (compact == m_compact)
        return;
    m_compact = compact;
    refresh();
}

void ZulEditorStatusBar::setLanguage(VeskLanguage language)
{
    if (language == m_language)
        return;
    m_language = language;
    refresh();
}

void ZulEditorStatusBar::refresh()
{
    m_layout->setSpacing(m_compact ? 6 : 10);
    if (m_compact)
        m_layout->setContentsMargins(10, 7, 10, 7);
    else
        m_layout->setContentsMargins(14, 9, 14, 9);

    const QColor muted = VeskGlassTokens::textMuted();
    const std::optional<double> sum = m_summary.totalNumericSum;
    m_sumText = sum ? ZulNumberFormatter::format(*sum, 2) : QString();
    m_sum->setVisible(sum.has_value());
    if (sum) {
        m_sum->setParts({{text("Sum", "Toplam"), {}, chipFont(QFont::Normal), muted},
                         {m_sumText, {}, chipFont(QFont::Bold), sumColour()}});
        m_sum->setHelpText(text("Click to copy document sum", "Toplamı kopyalamak için tıkla"));
    }

    // The average is never taken over fewer than one number.
    const bool showAverage = sum && !m_compact && m_summary.numericCount >= 1;
    m_average->setVisible(showAverage);
    if (showAverage) {
        m_averageText = ZulNumberFormatter::format(*sum / double(m_summary.numericCount), 2);
        m_average->setParts({{text("Avg", "Ort"), {}, chipFont(QFont::Normal), muted},
                             {m_averageText, {}, chipFont(QFont::DemiBold), averageColour()}});
    } else {
        m_averageText.clear();
    }

    const bool showTasks = m_summary.totalTasks >= 1;
    m_tasks->setVisible(showTasks);
    if (showTasks) {
        const bool allDone = m_summary.completedTasks == m_summary.totalTasks;
        m_tasks->setParts(
            {{{}, allDone ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("checklist"),
              veskSystemFont(10, QFont::Normal), VeskGlassTokens::success()},
             {text("Tasks", "Görev") + QLatin1Char(' ') + QString::number(m_summary.completedTasks)
                  + QLatin1Char('/') + QString::number(m_summary.totalTasks),
              {}, chipFont(QFont::Medium), VeskGlassTokens::textPrimary()}});
    }

    m_words->setVisible(!m_compact);
    m_words->setParts({{QString::number(m_summary.wordCount) + QLatin1Char(' ') + text("Words", "Kelime"), {},
                        chipFont(QFont::Normal), muted}});

    m_copy->setText(m_compact ? text("Copy", "Kopyala") : text("Copy with Results", "Sonuçlarla Kopyala"));

    m_sticky->setVisible(!m_compact);
    m_sticky->setActive(m_isFloatingSticky);
    if (m_isFloatingSticky) {
        m_sticky->setSymbol(QStringLiteral("rectangle.on.rectangle.slash"));
        m_sticky->setText(text("Unfloat Sticky", "Yapışkanı Kapat"));
    } else {
        m_sticky->setSymbol(QStringLiteral("macwindow.on.rectangle"));
        m_sticky->setText(text("Pin Sticky", "Yapışkan Yap"));
    }
    update();
}

void ZulEditorStatusBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgbF(0, 0, 0, m_compact ? 0.10 : 0.18));
}

QList<QWidget *> ZulEditorStatusBar::tabStops() const
{
    return {m_sum, m_average, m_copy, m_sticky};
}
