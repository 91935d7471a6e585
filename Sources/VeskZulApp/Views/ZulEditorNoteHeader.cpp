#include "Views/ZulEditorNoteHeader.h"

#include "Views/EditorLayoutMetrics.h"
#include "Views/ZulEditorChip.h"
#include "Views/ZulTintDotPicker.h"
#include "Views/ZulTitleFieldKeys.h"

#include "VeskKit/Design/VeskAccessibleControl.h"
#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskColorHex.h"
#include "VeskKit/Design/VeskColorOpacity.h"
#include "VeskKit/Design/VeskContinuousShape.h"
#include "VeskKit/Design/VeskFocusRing.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassMenu.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskSymbol.h"
#include "VeskKit/Localization/VeskText.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// The note's colour as a small glowing dot.
class TintDot : public QWidget
{
public:
    static constexpr qreal diameter = 10;
    static constexpr qreal glow = 4;

    explicit TintDot(QWidget *parent)
        : QWidget(parent)
    {
        setFixedSize(int(diameter + 2 * glow), int(diameter + 2 * glow));
    }

    void setColour(const QColor &colour)
    {
        if (colour == m_colour)
            return;
        m_colour = colour;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        const QPointF centre = QRectF(rect()).center();
        for (int step = int(glow); step >= 1; --step) {
            painter.setBrush(veskColorFaded(m_colour, 0.7 * 0.25 * (glow + 1 - step) / glow));
            painter.drawEllipse(centre, diameter / 2 + step, diameter / 2 + step);
        }
        painter.setBrush(m_colour);
        painter.drawEllipse(centre, diameter / 2, diameter / 2);
    }

private:
    QColor m_colour;
};

// The export menu's face: symbol and text on a quiet rounded plate.
class ExportButton : public QAbstractButton
{
public:
    static constexpr qreal horizontalPadding = 9;
    static constexpr qreal verticalPadding = 5;
    static constexpr qreal spacing = 5;
    static inline const QString kSymbol = QStringLiteral("square.and.arrow.up");

    explicit ExportButton(QWidget *parent)
        : QAbstractButton(parent)
    {
        VeskSymbol::prepare(kSymbol, QFont::Medium);
        setFocusPolicy(Qt::TabFocus);
        setCursor(Qt::PointingHandCursor);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }

    QSize sizeHint() const override
    {
        const QFontMetricsF fm(labelFont());
        const qreal side = VeskSymbol::boxSide(12);
        return QSize(int(std::ceil(side + spacing + fm.horizontalAdvance(text()) + 2 * horizontalPadding)),
                     int(std::ceil(std::max(side, fm.height()) + 2 * verticalPadding)));
    }

protected:
    static QFont labelFont() { return veskSystemFont(12, QFont::Medium); }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        veskPaintGlassShape(painter, QRectF(rect()), 8, VeskGlassTokens::surface2(), VeskGlassTokens::borderSubtle(),
                            1.0);
        if (isDown())
            painter.setOpacity(0.78);
        const qreal side = VeskSymbol::boxSide(12);
        const QColor colour = VeskGlassTokens::textSecondary();
        const qreal centre = height() / 2.0;
        VeskSymbol::paint(painter, QRectF(horizontalPadding, centre - side / 2, side, side),
                          kSymbol, colour, QFont::Medium);
        painter.setFont(labelFont());
        painter.setPen(colour);
        painter.drawText(QRectF(horizontalPadding + side + spacing, 0, width(), height()),
                         Qt::AlignLeft | Qt::AlignVCenter, text());
        if (hasFocus())
            VeskFocusRing::paint(painter, QRectF(rect()), 8);
    }
};

// One tag: "#name" and a remove button on a tinted capsule.
class TagChip : public QWidget
{
public:
    TagChip(const QString &tag, const QColor &accent, QWidget *parent)
        : QWidget(parent)
        , m_tag(tag)
        , m_accent(accent)
    {
        auto *layout = new QHBoxLayout(this);
        layout->setContentsMargins(7, 3, 7, 3);
        layout->setSpacing(4);
        label = new ZulEditorChip(this);
        label->setPadding(0, 0);
        label->setPassive(true);
        label->setParts({{QStringLiteral("#") + tag, {},
                          veskSystemFont(10.5, QFont::Medium, VeskFontDesign::monospaced), accent}});
        remove = new ZulEditorChip(this);
        remove->setPadding(0, 0);
        remove->setParts({{{}, QStringLiteral("xmark"), veskSystemFont(8, QFont::Bold), VeskGlassTokens::textMuted()}});
        layout->addWidget(label);
        layout->addWidget(remove);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        // The cross is too small to carry the ring; the whole tag wears it.
        remove->setDrawsFocusRing(false);
        VeskFocusRing::attach(this, -1, remove);
    }

    const QString &tag() const { return m_tag; }

    ZulEditorChip *label = nullptr;
    ZulEditorChip *remove = nullptr;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF bounds(rect());
        veskPaintGlassShape(painter, bounds, bounds.height() / 2, veskColorFaded(m_accent, 0.14),
                            veskColorFaded(m_accent, 0.32), 0.8);
    }

private:
    QString m_tag;
    QColor m_accent;
};

void styleField(QLineEdit *field, const QFont &font, const QColor &colour)
{
    field->setFrame(false);
    field->setFont(font);
    field->setAttribute(Qt::WA_MacShowFocusRect, false);
    QPalette palette = field->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, Qt::transparent);
        palette.setColor(group, QPalette::Text, colour);
        palette.setColor(group, QPalette::PlaceholderText, VeskGlassTokens::textMuted());
    }
    field->setPalette(palette);
    // Room for the focus ring inside the field's edge, and a height that
    // holds the marks over capitals (İ, Ğ, Ö) and the tails under them (Ç,
    // Ş) clear of it. A field centres each text by its own ink, so a text
    // that reaches beyond the font's ascent or descent moves by up to that
    // much again: the room for it is taken twice.
    const QFontMetricsF metrics(font);
    const QRectF ink = metrics.boundingRect(QStringLiteral("ÇĞİÖŞÜÂÅÉ gjpqyÿ|"));
    const qreal overflow = std::max<qreal>(0, -ink.top() - metrics.ascent())
                           + std::max<qreal>(0, ink.bottom() - metrics.descent());
    const int ring = int(std::ceil(VeskFocusRing::width)) + 1;
    field->setTextMargins(4, ring, 4, ring);
    field->setMinimumHeight(int(std::ceil(metrics.ascent() + metrics.descent() + 3 * overflow)) + 2 + 2 * ring);
    VeskFocusRing::attach(field, 6);
    field->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; border: none; padding: 0px; }"));
}

} // namespace

const QColor &ZulEditorNoteHeader::ephemeralColour()
{
    static const QColor colour = veskColorFromHex(0x38E8FF);
    return colour;
}

ZulEditorNoteHeader::ZulEditorNoteHeader(EditorLayoutMetrics *metrics, QWidget *parent)
    : QWidget(parent)
    , m_metrics(metrics)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(16, 11, 16, 11);
    column->setSpacing(8);

    auto *titleRow = new QHBoxLayout;
    titleRow->setSpacing(10);
    auto *dot = new TintDot(this);
    m_dot = dot;
    m_title = new QLineEdit(this);
    styleField(m_title, veskSystemFont(17, QFont::Bold), VeskGlassTokens::textPrimary());
    m_tints = new ZulTintDotPicker(m_note.tint, 12, [this](ZulNoteTint tint) { emit tintChosen(tint); }, this);
    auto *divider = new QWidget(this);
    divider->setFixedSize(1, 16);
    divider->setAutoFillBackground(true);
    QPalette dividerPalette = divider->palette();
    dividerPalette.setColor(QPalette::Window, VeskGlassTokens::borderSubtle());
    divider->setPalette(dividerPalette);
    m_pin = new VeskButton(VeskGlassButtonStyle{false}, QString(), QStringLiteral("pin"), this);
    m_pin->setLabelFont(veskSystemFont(12, QFont::DemiBold));
    m_ephemeral = new VeskButton(VeskGlassButtonStyle{false}, QString(), QStringLiteral("hourglass"), this);
    m_ephemeral->setLabelFont(veskSystemFont(12, QFont::DemiBold));
    VeskAccessibleControl::setRole(m_pin, QAccessible::CheckBox);
    VeskAccessibleControl::setRole(m_ephemeral, QAccessible::CheckBox);
    m_export = new ExportButton(this);
    m_exportMenu = new VeskGlassMenu(this);
    const struct
    {
        const char *en;
        const char *tr;
        const char *symbol;
        ZulExportFormat format;
    } items[] = {
        {"Export Markdown (.md) with Results", "Sonuçlu Markdown (.md) Dışa Aktar", "doc.richtext",
         ZulExportFormat::markdownWithResults},
        {"Export Plain Text (.txt)", "Düz Metin (.txt) Dışa Aktar", "doc.plaintext", ZulExportFormat::plainText},
        {"Export Calculated Lines (.csv)", "Hesap Satırlarını (.csv) Dışa Aktar", "tablecells", ZulExportFormat::csv},
    };
    for (const auto &item : items) {
        QAction *action = m_exportMenu->addAction(QString());
        action->setIcon(VeskSymbol::icon(QString::fromLatin1(item.symbol), VeskGlassTokens::textPrimary()));
        action->setProperty("en", QString::fromUtf8(item.en));
        action->setProperty("tr", QString::fromUtf8(item.tr));
        const ZulExportFormat format = item.format;
        connect(action, &QAction::triggered, this, [this, format] { emit exportRequested(format); });
    }
    connect(m_export, &QAbstractButton::clicked, this,
            [this] { m_exportMenu->popup(m_export->mapToGlobal(QPoint(0, m_export->height() + 2))); });

    titleRow->addWidget(dot);
    titleRow->addWidget(m_title, 1);
    titleRow->addSpacing(8);
    titleRow->addWidget(m_tints);
    titleRow->addWidget(divider);
    titleRow->addWidget(m_pin);
    titleRow->addWidget(m_ephemeral);
    titleRow->addWidget(m_export);
    column->addLayout(titleRow);

    m_tagRow = new QHBoxLayout;
    m_tagRow->setSpacing(6);
    m_tagField = new QLineEdit(this);
    styleField(m_tagField, veskSystemFont(11, QFont::Normal, VeskFontDesign::monospaced),
               VeskGlassTokens::textSecondary());
    m_tagField->setFixedWidth(72);
    m_caption = new ZulEditorChip(this);
    m_caption->setPadding(0, 0);
    m_caption->setPassive(true);
    m_tagRow->addWidget(m_tagField);
    m_tagRow->addStretch(1);
    m_tagRow->addWidget(m_caption);
    column->addLayout(m_tagRow);

    connect(m_title, &QLineEdit::textEdited, this, &ZulEditorNoteHeader::titleEdited);
    m_titleKeys = new ZulTitleFieldKeys(m_title, [this] { emit titleEditEnded(); },
                                        [this](const QString &title) { emit titleEdited(title); });
    connect(m_pin, &QAbstractButton::clicked, this, &ZulEditorNoteHeader::pinToggleRequested);
    connect(m_ephemeral, &QAbstractButton::clicked, this, &ZulEditorNoteHeader::ephemeralToggleRequested);
    connect(m_tagField, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (m_metrics)
            m_metrics->setNewTagInput(text);
    });
    connect(m_tagField, &QLineEdit::returnPressed, this, [this] {
        const QString text = m_tagField->text();
        emit tagSubmitted(text);
        m_tagField->clear();
        if (m_metrics)
            m_metrics->setNewTagInput(QString());
    });
    if (metrics) {
        connect(metrics, &EditorLayoutMetrics::newTagInputChanged, this, [this] {
            if (m_metrics && m_tagField->text() != m_metrics->newTagInput())
                m_tagField->setText(m_metrics->newTagInput());
        });
        m_tagField->setText(metrics->newTagInput());
    }
    refresh();
}

QAbstractButton *ZulEditorNoteHeader::exportButton() const
{
    return m_export;
}

QString ZulEditorNoteHeader::text(const char *en, const char *tr) const
{
    return veskText(QString::fromUtf8(en), QString::fromUtf8(tr), m_language);
}

QColor ZulEditorNoteHeader::accent() const
{
    return veskColorFromHex(accentHex(m_note.tint));
}

void ZulEditorNoteHeader::setNote(const ZulNote &note)
{
    // The field keeps the keyboard while another note is chosen in the list:
    // neither Escape nor Undo there may put the last note's title into this
    // one. Setting the text empties the field's own history, even when the
    // two titles read the same.
    const bool another = note.id != m_note.id;
    if (another)
        m_title->setText(QString());
    m_note = note;
    refresh();
    if (another)
        m_titleKeys->restart();
}

void ZulEditorNoteHeader::setAutoTidyHours(qint64 hours)
{
    if (hours == m_autoTidyHours)
        return;
    m_autoTidyHours = hours;
    refresh();
}

void ZulEditorNoteHeader::setLanguage(VeskLanguage language)
{
    if (language == m_language)
        return;
    m_language = language;
    refresh();
}

void ZulEditorNoteHeader::refresh()
{
    const QColor colour = accent();
    static_cast<TintDot *>(m_dot)->setColour(colour);
    if (m_title->text() != m_note.title) {
        m_title->setText(m_note.title);
        // A title wider than its field shows its beginning, not its end,
        // unless the user is editing it.
        if (!m_title->hasFocus())
            m_title->home(false);
    }
    m_title->setPlaceholderText(text("Note title...", "Not başlığı..."));
    m_title->setAccessibleName(text("Note title", "Not başlığı"));
    m_tints->setSelected(m_note.tint);
    m_tints->setLanguage(m_language);

    m_pin->setActive(m_note.isPinned);
    m_pin->setSymbol(m_note.isPinned ? QStringLiteral("pin.fill") : QStringLiteral("pin"));
    m_pin->setLabelColor(m_note.isPinned ? VeskGlassTokens::warning() : VeskGlassTokens::textSecondary());
    m_pin->setToolTip(text("Pin Note (Protected from Auto-Tidy)", "Notu Sabitle (Otomatik Temizlemeden Korunur)"));

    m_ephemeral->setActive(m_note.isEphemeral);
    m_ephemeral->setSymbol(m_note.isEphemeral ? QStringLiteral("hourglass.circle.fill") : QStringLiteral("hourglass"));
    m_ephemeral->setLabelColor(m_note.isEphemeral ? ephemeralColour() : VeskGlassTokens::textSecondary());
    m_ephemeral->setToolTip(
        text("Mark as Ephemeral Scratch (Auto-Tidy)", "Geçici Karalama Olarak İşaretle (Otomatik Temizlenir)"));

    m_export->setText(text("Export", "Aktar"));
    m_export->updateGeometry();
    for (QAction *action : m_exportMenu->actions())
        action->setText(veskText(action->property("en").toString(), action->property("tr").toString(), m_language));

    m_tagField->setPlaceholderText(text("+ tag", "+ etiket"));
    m_tagField->setAccessibleName(text("Add tag", "Etiket ekle"));
    if (m_note.tags != m_shownTags || colour != m_shownTagAccent)
        rebuildTagChips();
    for (QWidget *chip : std::as_const(m_tagChips)) {
        const QString tag = QStringLiteral("#") + static_cast<TagChip *>(chip)->tag();
        static_cast<TagChip *>(chip)->remove->setAccessibleName(
            veskText(QStringLiteral("Remove tag ") + tag, tag + QStringLiteral(" etiketini kaldır"), m_language));
    }

    m_caption->setVisible(m_note.isEphemeral);
    const QString hours = QString::number(m_autoTidyHours);
    const QFont captionFont = veskSystemFont(10.5, QFont::Medium);
    m_caption->setParts({{{}, QStringLiteral("sparkles"), captionFont, ephemeralColour()},
                         {veskText(QStringLiteral("Auto-tidy: ") + hours + QLatin1Char('h'),
                                   QStringLiteral("Otomatik temizlik: ") + hours + QLatin1Char('s'), m_language),
                          {}, captionFont, ephemeralColour()}});
    update();
}

void ZulEditorNoteHeader::rebuildTagChips()
{
    // A tag removed from the keyboard takes its chip, and the keyboard with
    // it; the keyboard stays in the row, on the next tag or the field.
    qsizetype focused = -1;
    for (qsizetype i = 0; i < m_tagChips.size(); ++i)
        if (static_cast<TagChip *>(m_tagChips[i])->remove->hasFocus())
            focused = i;
    for (QWidget *chip : std::as_const(m_tagChips)) {
        m_tagRow->removeWidget(chip);
        chip->deleteLater();
    }
    m_tagChips.clear();
    const QColor colour = accent();
    int index = 0;
    for (const QString &tag : std::as_const(m_note.tags)) {
        auto *chip = new TagChip(tag, colour, this);
        connect(chip->remove, &QAbstractButton::clicked, this, [this, tag] { emit tagRemoveRequested(tag); });
        m_tagRow->insertWidget(index++, chip);
        chip->show();
        m_tagChips.append(chip);
    }
    m_shownTags = m_note.tags;
    m_shownTagAccent = colour;
    if (focused >= 0) {
        QWidget *next = focused < m_tagChips.size() ? static_cast<TagChip *>(m_tagChips[focused])->remove
                                                    : static_cast<QWidget *>(m_tagField);
        next->setFocus(Qt::TabFocusReason);
    }
}

QList<QWidget *> ZulEditorNoteHeader::tabStops() const
{
    QList<QWidget *> stops{m_title, m_tints, m_pin, m_ephemeral, m_export};
    for (QWidget *chip : m_tagChips)
        stops.append(static_cast<TagChip *>(chip)->remove);
    stops.append(m_tagField);
    return stops;
}

QStringList ZulEditorNoteHeader::tagChipTexts() const
{
    QStringList texts;
    for (QWidget *chip : m_tagChips)
        texts.append(static_cast<TagChip *>(chip)->label->spokenText());
    return texts;
}

QAbstractButton *ZulEditorNoteHeader::tagRemoveButton(const QString &tag) const
{
    for (QWidget *chip : m_tagChips) {
        auto *tagChip = static_cast<TagChip *>(chip);
        if (tagChip->tag() == tag)
            return tagChip->remove;
    }
    return nullptr;
}

bool ZulEditorNoteHeader::clickRemoveTag(const QString &tag)
{
    QAbstractButton *remove = tagRemoveButton(tag);
    if (remove)
        remove->click();
    return remove;
}

void ZulEditorNoteHeader::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgbF(0, 0, 0, 0.10));
}
