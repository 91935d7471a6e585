#include "Views/ZulNoteRowDelegate.h"

#include "Engine/ZulNumberFormatter.h"
#include "Models/ZulNoteTint.h"
#include "VeskKit/Design/VeskColorHex.h"
#include "VeskKit/Design/VeskContinuousShape.h"
#include "VeskKit/Design/VeskFocusRing.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskSymbol.h"
#include "VeskKit/Localization/VeskCharacters.h"
#include "ViewModels/ZulStudioViewModel.h"
#include "Views/ZulNoteListModel.h"

#include <QAbstractItemView>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QLocale>
#include <QPainter>
#include <QTextLayout>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {

constexpr quint32 kTotalBadgeHex = 0xFFE066;
constexpr quint32 kEphemeralHex = 0x38E8FF;
constexpr qreal kDotSide = 8;
constexpr qreal kFlagPixelSize = 9.5;
constexpr qreal kBadgeHorizontalPadding = 6;
constexpr qreal kBadgeVerticalPadding = 2;
// Characters of a preview laid out at first: two lines of a row hold far
// fewer.
constexpr qsizetype kPreviewBeginning = 256;

QFont titleFont()
{
    return veskSystemFont(12.5, QFont::DemiBold);
}

QFont previewFont()
{
    return veskSystemFont(11);
}

QFont totalFont()
{
    return veskSystemFont(10, QFont::Bold, VeskFontDesign::monospaced);
}

QFont tasksFont()
{
    return veskSystemFont(10, QFont::Medium, VeskFontDesign::monospaced);
}

QFont timeFont()
{
    return veskSystemFont(9.5, QFont::Normal, VeskFontDesign::monospaced);
}

qreal titleLineHeight()
{
    return std::max({kDotSide, QFontMetricsF(titleFont()).height(), VeskSymbol::boxSide(kFlagPixelSize)});
}

qreal footerHeight()
{
    const qreal badge = std::max(QFontMetricsF(totalFont()).height(), QFontMetricsF(tasksFont()).height()) +
                        2 * kBadgeVerticalPadding;
    return std::max(badge, QFontMetricsF(timeFont()).height());
}

QColor tintColour(ZulNoteTint tint, double opacity = 1)
{
    return veskColorFromHex(accentHex(tint), opacity);
}

// Draws a badge's capsule and text.
void paintBadge(QPainter &painter, const QRectF &box, const QString &text, const QFont &font, const QColor &colour)
{
    QColor fill = colour;
    fill.setAlphaF(0.14);
    painter.fillPath(veskContinuousCapsule(box), fill);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(box, Qt::AlignCenter, text);
}

// A badge of the footer, cut to at most `room` wide.
ZulNoteRowDelegate::FooterText badge(const QString &text, const QFont &font, qreal x, qreal centreY, qreal room)
{
    const QFontMetricsF metrics(font);
    const QString shown = metrics.elidedText(text, Qt::ElideRight, std::max(0.0, room - 2 * kBadgeHorizontalPadding));
    const qreal height = metrics.height() + 2 * kBadgeVerticalPadding;
    const qreal width = shown.isEmpty() ? 0 : metrics.horizontalAdvance(shown) + 2 * kBadgeHorizontalPadding;
    return {QRectF(x, centreY - height / 2, width, height), shown, text};
}

// The card's content area within a row's rectangle.
QRectF contentArea(const QRectF &rowRect)
{
    return rowRect.adjusted(0, 0, 0, -ZulNoteRowDelegate::rowGap)
        .adjusted(ZulNoteRowDelegate::padding, ZulNoteRowDelegate::padding, -ZulNoteRowDelegate::padding,
                  -ZulNoteRowDelegate::padding);
}

// Marks that set the direction of what follows them.
bool hasDirectionMarks(QStringView text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        const char16_t u = c.unicode();
        return u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
    });
}

} // namespace

ZulNoteRowDelegate::ZulNoteRowDelegate(ZulNoteListModel &model, QObject *parent)
    : QStyledItemDelegate(parent), m_model(model)
{
    // The flags a row may show.
    for (const char *flag : {"pin.fill", "macwindow.on.rectangle", "hourglass"})
        VeskSymbol::prepare(QString::fromLatin1(flag));
}

QStringList ZulNoteRowDelegate::previewLines(const QString &snippet, int rowWidth) const
{
    if (snippet.isEmpty())
        return {};
    if (rowWidth != m_previewCacheWidth) {
        m_previewCache.clear();
        m_previewCacheWidth = rowWidth;
    }
    // Two lines of a row hold a small beginning of a long line: only a
    // beginning is laid out, ever longer until the second line is cut short
    // well within it, so a key typed into a note of one long line lays out
    // what its row shows and not the rest. A beginning holds the first
    // character of a script, which decides how what comes before it is laid
    // out. Cutting short keeps the direction marks of what is cut off, so a
    // text with any past the beginning is laid out whole.
    const qsizetype lead = VeskCharacters::scriptLead(snippet);
    for (qsizetype characters = kPreviewBeginning;; characters *= 2) {
        QStringView beginning = VeskCharacters::prefix(snippet, characters);
        if (beginning.size() < lead)
            continue;
        if (beginning.size() < snippet.size() && hasDirectionMarks(QStringView(snippet).sliced(beginning.size())))
            beginning = snippet;
        const bool whole = beginning.size() == snippet.size();
        const QString key = whole ? snippet : beginning.toString();
        if (const auto it = m_previewCache.constFind(key); it != m_previewCache.cend() && (whole || it->cutShort))
            return it->lines;
        const Preview preview = layOutPreview(key, rowWidth);
        if (whole || preview.cutShort) {
            if (m_previewCache.size() > 4096)
                m_previewCache.clear();
            m_previewCache.insert(key, preview);
            return preview.lines;
        }
    }
}

ZulNoteRowDelegate::Preview ZulNoteRowDelegate::layOutPreview(const QString &snippet, int rowWidth)
{
    const qreal width = std::max(1.0, rowWidth - 2 * padding);
    const QFont font = previewFont();
    QTextLayout layout(snippet, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    Preview preview;
    layout.beginLayout();
    while (preview.lines.size() < 2) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        QString text = snippet.mid(line.textStart(), line.textLength());
        if (preview.lines.size() == 1 && line.textStart() + line.textLength() < snippet.size()) {
            const QString rest = snippet.mid(line.textStart());
            text = QFontMetricsF(font).elidedText(rest, Qt::ElideRight, width);
            // Where what is shown of the rest ends, as far as the text and
            // the cut one agree.
            const qsizetype shown = std::mismatch(text.cbegin(), text.cend(), rest.cbegin(), rest.cend()).first
                                    - text.cbegin();
            preview.cutShort = text != rest && 2 * (line.textStart() + shown) <= snippet.size();
        }
        preview.lines.append(text.trimmed());
    }
    layout.endLayout();
    return preview;
}

QString ZulNoteRowDelegate::totalBadgeText(int row) const
{
    const CompactNoteEvaluation &evaluation = m_model.viewModel().cachedEvaluation(m_model.idAt(row));
    if (!evaluation.totalNumericSum)
        return {};
    return QStringLiteral("Σ ") + ZulNumberFormatter::format(*evaluation.totalNumericSum, 1);
}

QString ZulNoteRowDelegate::tasksBadgeText(int row) const
{
    const CompactNoteEvaluation &evaluation = m_model.viewModel().cachedEvaluation(m_model.idAt(row));
    if (evaluation.totalTasks < 1)
        return {};
    return QStringLiteral("✓ %1/%2").arg(evaluation.completedTasks).arg(evaluation.totalTasks);
}

QString ZulNoteRowDelegate::timeText(int row) const
{
    // The time of day only, in the user's locale, whatever day it was.
    return QLocale().toString(m_model.noteAt(row).updatedAt.toLocalTime().time(), QLocale::ShortFormat);
}

QStringList ZulNoteRowDelegate::flagSymbols(int row) const
{
    const ZulNote &note = m_model.noteAt(row);
    QStringList symbols;
    if (note.isPinned)
        symbols.append(QStringLiteral("pin.fill"));
    if (note.isFloatingSticky)
        symbols.append(QStringLiteral("macwindow.on.rectangle"));
    if (note.isEphemeral)
        symbols.append(QStringLiteral("hourglass"));
    return symbols;
}

QList<ZulNoteRowDelegate::FooterText> ZulNoteRowDelegate::footerTexts(int row, const QRectF &rowRect) const
{
    const QRectF content = contentArea(rowRect);
    // At the foot of the row: a one-line preview leaves the second line's
    // room above it.
    const qreal y = content.bottom() - footerHeight();
    const qreal height = footerHeight();
    const qreal centreY = y + height / 2;

    // The time stays whole at the right; the badges share what is left of
    // it, the tasks badge (short) before the total.
    const QString time = timeText(row);
    const qreal timeWidth = std::ceil(QFontMetricsF(timeFont()).horizontalAdvance(time));
    const QRectF timeBox(content.right() - timeWidth, y, timeWidth, height);
    const qreal room = std::max(0.0, timeBox.left() - 6 - content.left());
    const QString total = totalBadgeText(row);
    const QString tasks = tasksBadgeText(row);
    const qreal tasksWidth =
        tasks.isEmpty() ? 0 : QFontMetricsF(tasksFont()).horizontalAdvance(tasks) + 2 * kBadgeHorizontalPadding;
    QList<FooterText> texts;
    qreal x = content.left();
    if (!total.isEmpty()) {
        const qreal totalRoom = tasks.isEmpty() ? room : std::max(0.0, room - std::min(tasksWidth, room / 2) - 6);
        texts.append(badge(total, totalFont(), x, centreY, totalRoom));
        x = texts.last().box.right() + 6;
    }
    if (!tasks.isEmpty())
        texts.append(badge(tasks, tasksFont(), x, centreY, room - (x - content.left())));
    texts.append({timeBox, time, time});
    return texts;
}

bool ZulNoteRowDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                                   const QModelIndex &index)
{
    if (event->type() == QEvent::ToolTip && index.isValid()) {
        for (const FooterText &text : footerTexts(index.row(), QRectF(option.rect))) {
            if (text.box.contains(event->pos()) && text.shown != text.text) {
                QToolTip::showText(event->globalPos(), text.text, view->viewport(), text.box.toRect());
                return true;
            }
        }
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

QSize ZulNoteRowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // Two heights only, known without shaping any text: a row with a
    // preview has room for its two lines, one without has none. The list
    // asks every row at start-up; shaping them all would cost far more
    // than the rows on screen.
    if (!m_rowHeights) {
        const qreal bare = padding + titleLineHeight() + lineSpacing + footerHeight() + padding;
        const qreal preview = lineSpacing + 2 * QFontMetricsF(previewFont()).lineSpacing();
        m_rowHeights = std::pair(int(std::ceil(bare)) + rowGap, int(std::ceil(bare + preview)) + rowGap);
    }
    const int width = option.rect.width() > 0 ? option.rect.width() : 240;
    return {width, m_model.hasPreview(index.row()) ? m_rowHeights->second : m_rowHeights->first};
}

void ZulNoteRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const int row = index.row();
    const ZulNote &note = m_model.noteAt(row);
    const bool selected = m_model.viewModel().selectedNoteID() == note.id;

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setRenderHint(QPainter::TextAntialiasing, true);
    const QRectF card = QRectF(option.rect).adjusted(0, 0, 0, -rowGap);
    veskPaintGlassShape(*painter, card, 11, selected ? tintColour(note.tint, 0.18) : VeskGlassTokens::surface1(),
                        selected ? tintColour(note.tint, 0.7) : VeskGlassTokens::borderSubtle(),
                        selected ? 1.2 : 0.9);
    // The list's cursor while the list holds the keyboard.
    if (option.state & QStyle::State_HasFocus)
        VeskFocusRing::paint(*painter, card, 11);

    const QRectF content = card.adjusted(padding, padding, -padding, -padding);
    qreal y = content.top();

    // Title line.
    const qreal titleHeight = titleLineHeight();
    const qreal centreY = y + titleHeight / 2;
    painter->setPen(Qt::NoPen);
    painter->setBrush(tintColour(note.tint));
    painter->drawEllipse(QRectF(content.left(), centreY - kDotSide / 2, kDotSide, kDotSide));
    const QStringList flags = flagSymbols(row);
    const qreal flagSide = VeskSymbol::boxSide(kFlagPixelSize);
    const qreal flagsWidth = flags.isEmpty() ? 0 : flags.size() * flagSide + (flags.size() - 1) * 6;
    qreal flagX = content.right() - flagsWidth;
    for (const QString &symbol : flags) {
        const QColor colour = symbol == QLatin1String("pin.fill")  ? VeskGlassTokens::warning()
                              : symbol == QLatin1String("hourglass") ? veskColorFromHex(kEphemeralHex)
                                                                     : tintColour(note.tint);
        VeskSymbol::paint(*painter, QRectF(flagX, centreY - flagSide / 2, flagSide, flagSide), symbol, colour);
        flagX += flagSide + 6;
    }
    const qreal titleLeft = content.left() + kDotSide + 6;
    const qreal titleRoom = std::max(0.0, content.right() - flagsWidth - 4 - (flags.isEmpty() ? 0 : 6) - titleLeft);
    painter->setFont(titleFont());
    painter->setPen(VeskGlassTokens::textPrimary());
    painter->drawText(QRectF(titleLeft, y, titleRoom, titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                      QFontMetricsF(titleFont()).elidedText(m_model.displayTitle(row), Qt::ElideRight, titleRoom));
    y += titleHeight;

    // Preview.
    const QStringList preview =
        m_model.hasPreview(row) ? previewLines(m_model.previewSnippet(row), option.rect.width()) : QStringList();
    if (!preview.isEmpty()) {
        y += lineSpacing;
        const QFontMetricsF metrics(previewFont());
        painter->setFont(previewFont());
        painter->setPen(VeskGlassTokens::textMuted());
        for (const QString &line : preview) {
            painter->drawText(QRectF(content.left(), y, content.width(), metrics.lineSpacing()),
                              Qt::AlignLeft | Qt::AlignVCenter, line);
            y += metrics.lineSpacing();
        }
    }

    // Footer.
    const QList<FooterText> footer = footerTexts(row, QRectF(option.rect));
    for (qsizetype i = 0; i + 1 < footer.size(); ++i) {
        const bool total = footer[i].text.startsWith(u'Σ');
        paintBadge(*painter, footer[i].box, footer[i].shown, total ? totalFont() : tasksFont(),
                   total ? veskColorFromHex(kTotalBadgeHex) : VeskGlassTokens::success());
    }
    painter->setFont(timeFont());
    painter->setPen(VeskGlassTokens::textMuted());
    painter->drawText(footer.last().box, Qt::AlignRight | Qt::AlignVCenter, footer.last().shown);
    painter->restore();
}
