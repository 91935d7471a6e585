#include "Views/ZulResultGutter.h"

#include "Views/EditorLayoutMetrics.h"
#include "Views/EvaluatedLineKindBadgeColor.h"
#include "Views/EvaluatedLineSpokenText.h"

#include "VeskKit/Design/VeskColorOpacity.h"
#include "VeskKit/Design/VeskContinuousShape.h"
#include "VeskKit/Design/VeskFocusRing.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskSymbol.h"
#include "VeskKit/Localization/VeskText.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPixmap>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QToolTip>

#include <algorithm>
#include <utility>

namespace {

constexpr qreal chipHorizontalPadding = 8;
constexpr qreal chipVerticalPadding = 2;
constexpr qreal labelSpacing = 4;
// Keeps a long result clear of the rule on the column's left.
constexpr qreal leadingMargin = 6;

qreal taskSymbolSize(bool compact)
{
    return compact ? 12 : 13;
}

qreal resultSize(bool compact)
{
    return compact ? 11.5 : 12.5;
}

constexpr qreal sumSymbolSize = 9.5;
constexpr qreal glowRadius = 5;

// The soft glow around an aggregate chip: five widening rings of falling
// opacity. Drawn once per chip size and colour, since a scroll step repaints
// every visible row.
const QPixmap &glow(QSizeF chip, const QColor &colour, qreal radius, qreal ratio)
{
    static QHash<QString, QPixmap> cache;
    const QString key = QStringLiteral("%1:%2:%3:%4")
                            .arg(qRound(chip.width() * 4))
                            .arg(qRound(chip.height() * 4))
                            .arg(colour.rgba())
                            .arg(qRound(ratio * 4));
    const auto found = cache.constFind(key);
    if (found != cache.constEnd())
        return *found;
    if (cache.size() > 64)
        cache.clear();
    const QSizeF size = chip + QSizeF(2 * glowRadius, 2 * glowRadius);
    QPixmap pixmap((size * ratio).toSize() + QSize(1, 1));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QRectF body(QPointF(glowRadius, glowRadius), chip);
    for (int step = int(glowRadius); step >= 1; --step) {
        painter.setBrush(veskColorFaded(colour, 0.32 * 0.22 * (glowRadius + 1 - step) / glowRadius));
        painter.drawPath(veskContinuousRoundedRect(body.adjusted(-step, -step, step, step), radius + step));
    }
    painter.end();
    return *cache.insert(key, pixmap);
}
constexpr qreal taskTextSize = 10.5;

QFont taskFont()
{
    return veskSystemFont(taskTextSize, QFont::Medium, VeskFontDesign::monospaced);
}

} // namespace

ZulResultGutter::ZulResultGutter(EditorLayoutMetrics *metrics, QWidget *parent)
    : QWidget(parent)
    , m_metrics(metrics)
{
    // What the column may draw: the empty state, the task and sum badges.
    VeskSymbol::prepare(QStringLiteral("function"), QFont::DemiBold);
    VeskSymbol::prepare(QStringLiteral("checkmark.circle.fill"), QFont::DemiBold);
    VeskSymbol::prepare(QStringLiteral("circle"), QFont::DemiBold);
    VeskSymbol::prepare(QStringLiteral("sum"), QFont::Bold);
    setMouseTracking(true);
    // Reached by Tab alone: a click copies or ticks and leaves the keyboard
    // where it was.
    setFocusPolicy(Qt::NoFocus);
    // A list to a reader: taking the keyboard, the column is announced by
    // its name and size, and then the result the keyboard lands on; as a
    // panel it would be read out whole.
    VeskAccessibleControl::setRole(this, QAccessible::List);
    setAccessibleName(veskText(QStringLiteral("Results"), QStringLiteral("Sonuçlar"), m_language));
    const auto repaint = [this] { update(); };
    connect(metrics, &EditorLayoutMetrics::lineTopYChanged, this, repaint);
    connect(metrics, &EditorLayoutMetrics::lineHeightChanged, this, repaint);
    connect(metrics, &EditorLayoutMetrics::scrollOffsetYChanged, this, repaint);
}

void ZulResultGutter::setSummary(const NoteEvaluationSummary &summary)
{
    setEvaluation(CompactNoteEvaluation::fromSummary(summary));
}

void ZulResultGutter::setEvaluation(const CompactNoteEvaluation &evaluation)
{
    if (m_evaluation.isEmpty() || evaluation.isEmpty()) {
        // The placeholder comes or goes (or stays): the whole column changes.
        const bool same = m_evaluation.isEmpty() && evaluation.isEmpty();
        m_evaluation = evaluation;
        if (!same)
            update();
    } else {
        const QList<Row> before = visibleRows();
        m_evaluation = evaluation;
        // A key typed usually changes a result or two. Repainting only those
        // rows keeps the fills small; a fill as tall as the column costs far
        // more than the rows themselves. Rows move only with the line tops,
        // and those repaint the whole column.
        update(changedArea(before, visibleRows()));
    }
    // A column without results is no stop.
    setFocusPolicy(m_evaluation.isEmpty() ? Qt::NoFocus : Qt::TabFocus);
    VeskAccessibleControl::partsChanged(this);
}

QRegion ZulResultGutter::changedArea(const QList<Row> &before, const QList<Row> &after) const
{
    const auto same = [](const Row &a, const Row &b) {
        return a.line == b.line && a.chip == b.chip && a.shownText == b.shownText;
    };
    // Covers the glow around an aggregate chip and antialiased edges.
    const qreal margin = glowRadius + 2;
    const auto area = [margin](const Row &row) {
        return row.chip.adjusted(-margin, -margin, margin, margin).toAlignedRect();
    };
    QRegion region;
    // Both lists are in line order; walk them side by side.
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < before.size() || j < after.size()) {
        if (j == after.size() || (i < before.size() && before[i].line.lineIndex < after[j].line.lineIndex)) {
            region += area(before[i++]);
        } else if (i == before.size() || after[j].line.lineIndex < before[i].line.lineIndex) {
            region += area(after[j++]);
        } else {
            if (!same(before[i], after[j])) {
                region += area(before[i]);
                region += area(after[j]);
            }
            ++i;
            ++j;
        }
    }
    return region;
}

void ZulResultGutter::setCompactMode(bool compact)
{
    if (compact == m_compactMode)
        return;
    m_compactMode = compact;
    update();
}

void ZulResultGutter::setLanguage(VeskLanguage language)
{
    if (language == m_language)
        return;
    m_language = language;
    setAccessibleName(veskText(QStringLiteral("Results"), QStringLiteral("Sonuçlar"), m_language));
    update();
    VeskAccessibleControl::partsChanged(this);
}

const QFont &ZulResultGutter::resultFont(bool aggregate) const
{
    // Fonts and their metrics are looked up once per form: a paint may lay
    // out dozens of rows.
    if (!m_fonts || m_fonts->compact != m_compactMode) {
        m_fonts = Fonts{m_compactMode,
                        veskSystemFont(resultSize(m_compactMode), QFont::DemiBold, VeskFontDesign::monospaced),
                        veskSystemFont(resultSize(m_compactMode), QFont::Bold, VeskFontDesign::monospaced),
                        taskFont()};
    }
    return aggregate ? m_fonts->aggregate : m_fonts->result;
}

QString ZulResultGutter::taskText(bool checked) const
{
    return checked ? veskText(QStringLiteral("Done"), QStringLiteral("Tamam"), m_language)
                   : veskText(QStringLiteral("Todo"), QStringLiteral("Açık"), m_language);
}

QString ZulResultGutter::helpText(const EvaluatedLine &line) const
{
    if (line.kind == EvaluatedLineKind::checklist)
        return veskText(QStringLiteral("Click to toggle task"), QStringLiteral("Görevi işaretlemek için tıkla"),
                        m_language);
    return veskText(QStringLiteral("Click to copy ") + line.formattedResult,
                    QStringLiteral("Kopyalamak için tıkla: ") + line.formattedResult, m_language);
}

ZulResultGutter::Row ZulResultGutter::layoutRow(const EvaluatedLine &line, qreal y) const
{
    Row row;
    row.line = line;
    const qreal rowHeight = m_metrics->lineHeight();
    row.frame = QRectF(0, y, width(), rowHeight);
    const qreal right = width() - trailingPadding;

    qreal labelWidth = 0;
    qreal labelHeight = 0;
    if (line.kind == EvaluatedLineKind::checklist) {
        const qreal side = VeskSymbol::boxSide(taskSymbolSize(m_compactMode));
        labelWidth = side;
        labelHeight = side;
        if (!m_compactMode) {
            resultFont(false);
            const QFontMetricsF fm(m_fonts->task);
            labelWidth += labelSpacing + fm.horizontalAdvance(taskText(line.isChecked.value_or(false)));
            labelHeight = std::max(labelHeight, fm.height());
        }
    } else {
        const bool aggregate = line.kind == EvaluatedLineKind::aggregate;
        const QFontMetricsF fm(resultFont(aggregate));
        qreal symbolPart = 0;
        if (aggregate) {
            symbolPart = VeskSymbol::boxSide(sumSymbolSize) + labelSpacing;
            labelHeight = VeskSymbol::boxSide(sumSymbolSize);
        }
        const qreal available =
            std::max<qreal>(0, right - leadingMargin - 2 * chipHorizontalPadding - symbolPart);
        row.shownText = fm.elidedText(line.formattedResult, Qt::ElideRight, available);
        labelWidth = symbolPart + fm.horizontalAdvance(row.shownText);
        labelHeight = std::max(labelHeight, fm.height());
    }
    const qreal chipWidth = labelWidth + 2 * chipHorizontalPadding;
    const qreal chipHeight = labelHeight + 2 * chipVerticalPadding;
    row.chip = QRectF(right - chipWidth, row.frame.center().y() - chipHeight / 2, chipWidth, chipHeight);
    return row;
}

QList<ZulResultGutter::Row> ZulResultGutter::visibleRows() const
{
    QList<Row> rows;
    if (!m_metrics)
        return rows;
    const qreal limit = height() + cullMargin;
    // Results come in line order and rows go down the page in line order,
    // so the first row on screen is found by bisection.
    qsizetype low = 0;
    qsizetype high = m_evaluation.lineCount();
    while (low < high) {
        const qsizetype middle = low + (high - low) / 2;
        if (m_metrics->y(m_evaluation.lineIndexAt(middle)) <= -cullMargin)
            low = middle + 1;
        else
            high = middle;
    }
    for (qsizetype record = low; record < m_evaluation.lineCount(); ++record) {
        const qreal y = m_metrics->y(m_evaluation.lineIndexAt(record));
        if (y >= limit)
            break;
        if (y > -cullMargin)
            rows.append(layoutRow(m_evaluation.line(record), y));
    }
    return rows;
}

std::optional<ZulResultGutter::Row> ZulResultGutter::rowAt(const QPointF &point) const
{
    for (const Row &row : visibleRows()) {
        if (row.chip.contains(point))
            return row;
    }
    return std::nullopt;
}

void ZulResultGutter::setBackgroundColor(const QColor &colour)
{
    m_background = colour;
    update();
}

void ZulResultGutter::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), m_background);
    if (!m_metrics)
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_evaluation.isEmpty()) {
        paintPlaceholder(painter);
        return;
    }
    const QRect dirty = event->rect();
    const std::optional<qint64> keyboard = keyboardLine();
    for (const Row &row : visibleRows()) {
        if (!row.chip.adjusted(-glowRadius - 1, -glowRadius - 1, glowRadius + 1, glowRadius + 1)
                 .intersects(dirty))
            continue;
        const bool task = row.line.kind == EvaluatedLineKind::checklist;
        if (task)
            paintTask(painter, row);
        else
            paintBadge(painter, row);
        if (keyboard == row.line.lineIndex)
            VeskFocusRing::paint(painter, row.chip, task ? row.chip.height() / 2 : 6);
    }
}

void ZulResultGutter::paintPlaceholder(QPainter &painter) const
{
    const qreal symbolSide = VeskSymbol::boxSide(14);
    const QFont font = veskSystemFont(10, QFont::Normal);
    const QFontMetricsF fm(font);
    const qreal top = 20;
    VeskSymbol::paint(painter, QRectF((width() - symbolSide) / 2, top, symbolSide, symbolSide),
                      QStringLiteral("function"), veskColorFaded(VeskGlassTokens::textMuted(), 0.55), QFont::DemiBold);
    painter.setFont(font);
    painter.setPen(veskColorFaded(VeskGlassTokens::textMuted(), 0.65));
    painter.drawText(QRectF(0, top + symbolSide + labelSpacing, width(), fm.height()), Qt::AlignCenter,
                     veskText(QStringLiteral("Live results"), QStringLiteral("Canlı sonuçlar"), m_language));
}

void ZulResultGutter::paintTask(QPainter &painter, const Row &row) const
{
    const bool checked = row.line.isChecked.value_or(false);
    const QColor colour = checked ? VeskGlassTokens::success() : VeskGlassTokens::textMuted();
    const QColor fill = checked ? veskColorFaded(VeskGlassTokens::success(), 0.14) : VeskGlassTokens::surface1();
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawPath(veskContinuousCapsule(row.chip));

    const qreal side = VeskSymbol::boxSide(taskSymbolSize(m_compactMode));
    const QRectF label = row.chip.adjusted(chipHorizontalPadding, chipVerticalPadding, -chipHorizontalPadding,
                                           -chipVerticalPadding);
    VeskSymbol::paint(painter, QRectF(label.left(), label.center().y() - side / 2, side, side),
                      checked ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("circle"), colour,
                      QFont::DemiBold);
    if (!m_compactMode) {
        resultFont(false);
        painter.setFont(m_fonts->task);
        painter.setPen(colour);
        painter.drawText(QRectF(label.left() + side + labelSpacing, label.top(), label.width() - side - labelSpacing,
                                label.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, taskText(checked));
    }
}

void ZulResultGutter::paintBadge(QPainter &painter, const Row &row) const
{
    const bool aggregate = row.line.kind == EvaluatedLineKind::aggregate;
    const QColor colour = badgeColor(row.line.kind);
    constexpr qreal radius = 6;
    if (aggregate) {
        const QPixmap &halo = glow(row.chip.size(), colour, radius, painter.device()->devicePixelRatioF());
        painter.drawPixmap(row.chip.topLeft() - QPointF(glowRadius, glowRadius), halo);
    }
    veskPaintGlassShape(painter, row.chip, radius, veskColorFaded(colour, aggregate ? 0.24 : 0.11),
                        veskColorFaded(colour, aggregate ? 0.65 : 0.25), 0.8);

    QRectF label = row.chip.adjusted(chipHorizontalPadding, chipVerticalPadding, -chipHorizontalPadding,
                                     -chipVerticalPadding);
    if (aggregate) {
        const qreal side = VeskSymbol::boxSide(sumSymbolSize);
        VeskSymbol::paint(painter, QRectF(label.left(), label.center().y() - side / 2, side, side),
                          QStringLiteral("sum"), colour, QFont::Bold);
        label.setLeft(label.left() + side + labelSpacing);
    }
    painter.setFont(resultFont(aggregate));
    painter.setPen(aggregate ? QColor(Qt::white) : colour);
    painter.drawText(label, Qt::AlignLeft | Qt::AlignVCenter, row.shownText);
}

bool ZulResultGutter::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        if (const auto row = rowAt(help->pos()))
            QToolTip::showText(help->globalPos(), helpText(row->line), this, row->chip.toAlignedRect());
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void ZulResultGutter::mousePressEvent(QMouseEvent *event)
{
    m_pressedLine.reset();
    if (event->button() == Qt::LeftButton) {
        if (const auto row = rowAt(event->position()))
            m_pressedLine = row->line.lineIndex;
    }
    event->accept();
}

void ZulResultGutter::mouseReleaseEvent(QMouseEvent *event)
{
    const std::optional<qint64> pressed = std::exchange(m_pressedLine, std::nullopt);
    if (event->button() != Qt::LeftButton || !pressed)
        return;
    const auto row = rowAt(event->position());
    // A click counts only when it ends on the chip it began on.
    if (!row || row->line.lineIndex != *pressed)
        return;
    activate(row->line);
}

std::optional<qint64> ZulResultGutter::keyboardLine() const
{
    if (!hasFocus())
        return std::nullopt;
    const std::optional<qsizetype> record = keyboardRecord();
    return record ? std::optional<qint64>(m_evaluation.lineIndexAt(*record)) : std::nullopt;
}

std::optional<qsizetype> ZulResultGutter::keyboardRecord() const
{
    if (m_evaluation.isEmpty())
        return std::nullopt;
    // The line may have lost its result since; the keyboard stays near it.
    return std::min(m_evaluation.lowerBound(m_keyboardLine), m_evaluation.lineCount() - 1);
}

void ZulResultGutter::placeKeyboard(qsizetype record)
{
    m_keyboardLine = m_evaluation.lineIndexAt(record);
    const qreal y = m_metrics ? m_metrics->y(m_keyboardLine) : 0;
    if (m_metrics && (y < 0 || y + m_metrics->lineHeight() > height()))
        emit revealRequested(m_keyboardLine);
    update();
}

void ZulResultGutter::moveKeyboardTo(qsizetype record)
{
    placeKeyboard(record);
    VeskAccessibleControl::partsChanged(this);
}

void ZulResultGutter::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    m_keyboardLine = m_entryLine ? m_entryLine() : 0;
    if (const std::optional<qsizetype> record = keyboardRecord())
        placeKeyboard(*record);
    // The reader hears of the column taking the keyboard only after this
    // returns; the result it lands on must come after that, or the column
    // would be the last word.
    VeskAccessibleControl::partsChangedAfterFocus(this);
}

void ZulResultGutter::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
    VeskAccessibleControl::partsChanged(this);
}

void ZulResultGutter::keyPressEvent(QKeyEvent *event)
{
    const std::optional<qsizetype> record = keyboardRecord();
    if (!record || (event->modifiers() & ~Qt::KeypadModifier)) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Up:
        moveKeyboardTo(std::max<qsizetype>(*record - 1, 0));
        break;
    case Qt::Key_Down:
        moveKeyboardTo(std::min(*record + 1, m_evaluation.lineCount() - 1));
        break;
    case Qt::Key_Home:
        moveKeyboardTo(0);
        break;
    case Qt::Key_End:
        moveKeyboardTo(m_evaluation.lineCount() - 1);
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        activate(m_evaluation.line(*record));
        break;
    case Qt::Key_Escape:
        emit textRequested(m_evaluation.lineIndexAt(*record));
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ZulResultGutter::activate(const EvaluatedLine &line)
{
    if (line.kind == EvaluatedLineKind::checklist)
        emit taskToggleRequested(line);
    else
        emit copyRequested(line.formattedResult);
}

int ZulResultGutter::accessiblePartCount() const
{
    return m_metrics ? int(m_evaluation.lineCount()) : 0;
}

VeskAccessiblePart ZulResultGutter::accessiblePart(int index) const
{
    const EvaluatedLine line = m_evaluation.line(index);
    const Row row = layoutRow(line, m_metrics->y(line.lineIndex));
    VeskAccessiblePart part;
    part.name = spokenText(line, m_language);
    part.description = helpText(line);
    part.rect = row.chip.toAlignedRect();
    part.isShown = row.chip.intersects(QRectF(rect()));
    part.hasKeyboard = hasFocus() && keyboardRecord() == index;
    if (line.kind == EvaluatedLineKind::checklist) {
        part.role = QAccessible::CheckBox;
        part.isOn = line.isChecked.value_or(false);
    }
    return part;
}

void ZulResultGutter::pressAccessiblePart(int index)
{
    if (index >= 0 && index < accessiblePartCount())
        activate(m_evaluation.line(index));
}

void ZulResultGutter::mouseMoveEvent(QMouseEvent *event)
{
    setCursor(rowAt(event->position()) ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void ZulResultGutter::leaveEvent(QEvent *)
{
    unsetCursor();
}
