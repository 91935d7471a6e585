#include "VeskKit/Design/VeskFeedbackSheet.h"

#include "VeskKit/Cloud/VeskFeedbackError.h"
#include "VeskKit/Cloud/VeskFeedbackService.h"
#include "VeskKit/Design/VeskBrandMark.h"
#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskColorOpacity.h"
#include "VeskKit/Design/VeskContinuousShape.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassCard.h"
#include "VeskKit/Design/VeskGlassInputField.h"
#include "VeskKit/Design/VeskGlassScrollBar.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskGroundBackground.h"
#include "VeskKit/Design/VeskSymbol.h"
#include "VeskKit/Design/VeskSymbolButton.h"
#include "VeskKit/Design/VeskSymbolLabel.h"
#include "VeskKit/Localization/VeskText.h"
#include "VeskKit/Utilities/VeskAppLogger.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollArea>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace {

QFont captionFont(std::optional<QFont::Weight> weight = std::nullopt,
                  VeskFontDesign design = VeskFontDesign::standard)
{
    return veskTextStyleFont(VeskTextStyle::caption, weight, design);
}

// Texts typed by the user or sent by the server are never read as markup.
QLabel *plainLabel(const QString &text, const QFont &font, const QColor &colour, const QString &objectName,
                   bool wrap = false)
{
    auto *label = new QLabel;
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->setObjectName(objectName);
    if (wrap) {
        label->setWordWrap(true);
        QSizePolicy policy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        label->setSizePolicy(policy);
    }
    return label;
}

QHBoxLayout *row(int spacing, int left = 0, int top = 0, int right = 0, int bottom = 0)
{
    auto *layout = new QHBoxLayout;
    layout->setSpacing(spacing);
    layout->setContentsMargins(left, top, right, bottom);
    return layout;
}

QVBoxLayout *column(QWidget *owner, int spacing, int margin = 0)
{
    auto *layout = new QVBoxLayout(owner);
    layout->setSpacing(spacing);
    layout->setContentsMargins(margin, margin, margin, margin);
    return layout;
}

// A rounded backing filled with one colour, optionally outlined.
class FilledBox : public QWidget {
public:
    FilledBox(const QColor &fill, qreal radius, const QColor &border = Qt::transparent)
        : m_fill(fill), m_border(border), m_radius(radius)
    {
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        veskPaintGlassShape(painter, QRectF(rect()), m_radius, m_fill, m_border);
    }

private:
    QColor m_fill;
    QColor m_border;
    qreal m_radius;
};

// A kind of feedback as a selectable tile; the selected one is lit and
// outlined in the palette's accent.
class KindTile : public QAbstractButton {
public:
    KindTile(VeskFeedbackKind kind, VeskLanguage language, const QColor &accent) : m_kind(kind), m_accent(accent)
    {
        setText(title(kind, language));
        setCheckable(true);
        setFocusPolicy(Qt::TabFocus);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    QFont titleFont() const { return captionFont(isChecked() ? QFont::DemiBold : QFont::Medium); }

    QSize sizeHint() const override
    {
        const qreal symbolSide = VeskSymbol::boxSide(13);
        const QFontMetricsF metrics(captionFont(QFont::DemiBold));
        return {int(std::ceil(20 + symbolSide + 8 + metrics.horizontalAdvance(text()))),
                int(std::ceil(16 + std::max(symbolSide, metrics.height())))};
    }
    QSize minimumSizeHint() const override { return {10, sizeHint().height()}; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing, true);
        const bool selected = isChecked();
        const QRectF bounds(rect());
        veskPaintGlassShape(painter, bounds, 10, selected ? VeskGlassTokens::surface3() : VeskGlassTokens::surface1(),
                            selected ? veskColorFaded(m_accent, 0.85) : VeskGlassTokens::borderSubtle());
        const QRectF inner = bounds.adjusted(10, 8, -10, -8);
        const qreal side = VeskSymbol::boxSide(13);
        const bool rtl = layoutDirection() == Qt::RightToLeft;
        const QRectF box(rtl ? inner.right() - side : inner.left(), inner.center().y() - side / 2, side, side);
        VeskSymbol::paint(painter, box, symbolName(m_kind), selected ? m_accent : VeskGlassTokens::textSecondary());
        const QRectF textArea = rtl ? QRectF(inner.left(), inner.top(), inner.width() - side - 8, inner.height())
                                    : QRectF(box.right() + 8, inner.top(), inner.right() - box.right() - 8,
                                             inner.height());
        painter.setFont(titleFont());
        painter.setPen(Qt::white);
        const QString shown = QFontMetricsF(titleFont()).elidedText(text(), Qt::ElideRight, textArea.width());
        painter.drawText(textArea, Qt::AlignVCenter | (rtl ? Qt::AlignRight : Qt::AlignLeft), shown);
    }

private:
    VeskFeedbackKind m_kind;
    QColor m_accent;
};

// The prominent send and done buttons: white text on the palette's accent,
// with a small spinner before the text while busy.
class ProminentButton : public QAbstractButton {
public:
    ProminentButton(const QString &title, const QColor &accent, VeskTextStyle style, QFont::Weight weight)
        : m_accent(accent), m_font(veskTextStyleFont(style, weight))
    {
        setText(title);
        setFocusPolicy(Qt::TabFocus);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        m_spin.setInterval(60);
        QObject::connect(&m_spin, &QTimer::timeout, this, [this] {
            m_angle = (m_angle + 30) % 360;
            update();
        });
    }

    void setBusy(bool busy)
    {
        if (busy == m_busy)
            return;
        m_busy = busy;
        busy ? m_spin.start() : m_spin.stop();
        updateGeometry();
        update();
    }
    bool isBusy() const { return m_busy; }

    QSize sizeHint() const override
    {
        const QFontMetricsF metrics(m_font);
        const qreal spinner = m_busy ? metrics.height() * 0.8 + 6 : 0;
        return {int(std::ceil(28 + spinner + metrics.horizontalAdvance(text()))), int(std::ceil(14 + metrics.height()))};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing, true);
        if (!isEnabled())
            painter.setOpacity(0.55);
        else if (isDown())
            painter.setOpacity(0.8);
        const QRectF bounds(rect());
        painter.fillPath(veskContinuousRoundedRect(bounds, 7), m_accent);
        const QFontMetricsF metrics(m_font);
        const qreal spinner = m_busy ? metrics.height() * 0.8 : 0;
        const qreal width = (m_busy ? spinner + 6 : 0) + metrics.horizontalAdvance(text());
        qreal x = bounds.center().x() - width / 2;
        if (m_busy) {
            const QRectF ring(x, bounds.center().y() - spinner / 2, spinner, spinner);
            painter.setPen(QPen(veskColorFaded(Qt::white, 0.35), 1.6));
            painter.drawEllipse(ring.adjusted(1, 1, -1, -1));
            painter.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
            painter.drawArc(ring.adjusted(1, 1, -1, -1), -m_angle * 16, 100 * 16);
            x += spinner + 6;
        }
        painter.setFont(m_font);
        painter.setPen(Qt::white);
        painter.drawText(QRectF(x, bounds.top(), bounds.right() - x, bounds.height()), Qt::AlignLeft | Qt::AlignVCenter,
                         text());
    }

private:
    QColor m_accent;
    QFont m_font;
    QTimer m_spin;
    int m_angle = 0;
    bool m_busy = false;
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

// A widget leaving the sheet may hold the button whose click is being
// handled; it is hidden now and deleted once that click is over.
void retire(QWidget *widget)
{
    if (!widget)
        return;
    widget->hide();
    widget->deleteLater();
}

QString mimeTypeForFile(const QString &path)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == u"jpg" || extension == u"jpeg")
        return QStringLiteral("image/jpeg");
    if (extension == u"webp")
        return QStringLiteral("image/webp");
    if (extension == u"gif")
        return QStringLiteral("image/gif");
    return QStringLiteral("image/png");
}

// The image scaled to fill the frame, cut to it and to its rounded corners.
QPixmap previewOf(const QImage &image, const QSize &frame, qreal radius, qreal devicePixelRatio)
{
    const QSize pixels = frame * devicePixelRatio;
    const QImage filled = image.scaled(pixels, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    QPixmap result(pixels);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setClipPath(veskContinuousRoundedRect(QRectF(QPointF(0, 0), QSizeF(pixels)), radius * devicePixelRatio));
    painter.drawImage(QPointF((pixels.width() - filled.width()) / 2.0, (pixels.height() - filled.height()) / 2.0),
                      filled);
    painter.end();
    result.setDevicePixelRatio(devicePixelRatio);
    return result;
}

// A report that finished after its sheet went away has nobody to show it
// to; the log keeps what became of it.
void logUnshownOutcome(const QString &appName, const VeskFeedbackService::Result &result)
{
    const std::shared_ptr<VeskAppLogger> logger = VeskAppLogger::shared(appName);
    const QString category = QStringLiteral("feedback");
    if (result.ok())
        logger->info(QStringLiteral("Feedback report delivered after its form was closed; reference ") +
                         result.value().referenceCode,
                     category);
    else
        logger->warn(QStringLiteral("Feedback report failed after its form was closed: ") +
                         result.error().errorDescription(VeskLanguage::en),
                     category);
}

} // namespace

VeskFeedbackSheet::VeskFeedbackSheet(const QString &appName, const VeskAppVersion &version,
                                     VeskProductPalette palette, VeskLanguage language,
                                     const std::optional<QString> &baseURL, std::function<void()> onClose,
                                     QWidget *parent)
    : QWidget(parent),
      m_appName(appName),
      m_version(version),
      m_palette(palette),
      m_language(language),
      m_baseURL(baseURL),
      m_onClose(std::move(onClose)),
      m_opener(VeskUrlOpener::desktop())
{
    setMinimumSize(minimumWidth, minimumHeight);
    setLayoutDirection(language.isRTL() ? Qt::RightToLeft : Qt::LeftToRight);
    m_chooser = [this] {
        return QFileDialog::getOpenFileNames(
            this, text(QStringLiteral("Choose Image…"), QStringLiteral("Görsel Seç…")), QString(),
            text(QStringLiteral("Images"), QStringLiteral("Görseller")) +
                QStringLiteral(" (*.png *.jpg *.jpeg *.webp *.gif)"));
    };

    auto *outer = column(this, 0);
    auto *scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll->viewport()->setAutoFillBackground(false);
    VeskGlassScrollBar::apply(scroll);
    outer->addWidget(scroll);

    auto *content = new QWidget;
    auto *stack = column(content, 16, 20);
    stack->addWidget(makeHeaderRow());
    m_form = makeComposerForm();
    stack->addWidget(m_form);
    m_receiptSlot = new QVBoxLayout;
    m_receiptSlot->setContentsMargins(0, 0, 0, 0);
    stack->addLayout(m_receiptSlot);
    stack->addStretch(1);
    scroll->setWidget(content);
    // The scroll area fills its content by default; the ground must show.
    content->setAutoFillBackground(false);

    if (m_onClose) {
        auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
        escape->setContext(Qt::WidgetWithChildrenShortcut);
        connect(escape, &QShortcut::activated, this, [this] { m_onClose(); });
    }
    refresh();
}

VeskFeedbackSheet::~VeskFeedbackSheet() = default;

QString VeskFeedbackSheet::text(const QString &en, const QString &tr) const
{
    return veskText(en, tr, m_language);
}

void VeskFeedbackSheet::setUrlOpener(std::shared_ptr<VeskUrlOpener> opener)
{
    m_opener = opener ? std::move(opener) : VeskUrlOpener::desktop();
}

void VeskFeedbackSheet::setScreenshotChooser(std::function<QStringList()> chooser)
{
    if (chooser)
        m_chooser = std::move(chooser);
}

QAbstractButton *VeskFeedbackSheet::kindTile(VeskFeedbackKind kind) const
{
    const int index = int(kind);
    return index >= 0 && index < m_kindTiles.size() ? m_kindTiles.at(index) : nullptr;
}

QAbstractButton *VeskFeedbackSheet::pasteButton() const
{
    return m_pasteButton;
}

QAbstractButton *VeskFeedbackSheet::chooseButton() const
{
    return m_chooseButton;
}

QAbstractButton *VeskFeedbackSheet::openInBrowserButton() const
{
    return m_openInBrowserButton;
}

void VeskFeedbackSheet::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    VeskGroundBackground::paintGround(painter, QRectF(rect()), m_palette);
}

QWidget *VeskFeedbackSheet::makeHeaderRow()
{
    auto *header = new QWidget;
    auto *layout = row(12);
    header->setLayout(layout);
    layout->addWidget(makeBrandMark(28, m_appName), 0, Qt::AlignTop);

    auto *titles = new QWidget;
    auto *texts = column(titles, 4);
    texts->addWidget(plainLabel(text(QStringLiteral("We continuously improve our programs by listening to you"),
                                     QStringLiteral("Sizi dinleyerek programlarımızı sürekli geliştiriyoruz")),
                                veskSystemFont(16, QFont::Bold), Qt::white, QStringLiteral("title"), true));
    texts->addWidget(plainLabel(
        text(QStringLiteral("Spotted a bug in ") + m_appName +
                 QStringLiteral(", have a feature wish, or a new app idea? Share your email and an optional "
                                "screenshot."),
             m_appName + QStringLiteral(" içinde bir hata mı gördünüz, özellik öneriniz ya da yeni bir program "
                                        "fikriniz mi var? E-postanız ve ekran görüntüsüyle bize yazın.")),
        captionFont(), VeskGlassTokens::textSecondary(), QStringLiteral("subtitle"), true));
    layout->addWidget(titles, 1);

    if (m_onClose) {
        auto *close = new VeskSymbolButton(QStringLiteral("xmark.circle.fill"), 18, VeskGlassTokens::textSecondary());
        close->setObjectName(QStringLiteral("closeButton"));
        close->setAccessibleName(text(QStringLiteral("Close"), QStringLiteral("Kapat")));
        connect(close, &QAbstractButton::clicked, this, [this] { m_onClose(); });
        layout->addWidget(close, 0, Qt::AlignTop);
        m_closeButton = close;
    }
    return header;
}

QWidget *VeskFeedbackSheet::makeComposerForm()
{
    auto *form = new QWidget;
    auto *stack = column(form, 14);
    stack->addWidget(new VeskGlassCard(14, 14, makeKindCard()));
    stack->addWidget(new VeskGlassCard(14, 14, makeDetailsCard()));
    stack->addWidget(new VeskGlassCard(14, 14, makeScreenshotsCard()));

    m_errorBanner = new FilledBox(veskColorFaded(VeskGlassTokens::danger(), 0.22), 10);
    m_errorBanner->setObjectName(QStringLiteral("errorBanner"));
    auto *banner = row(8, 10, 10, 10, 10);
    m_errorBanner->setLayout(banner);
    banner->addWidget(new VeskSymbolLabel(QStringLiteral("exclamationmark.triangle.fill"),
                                          veskTextStylePixelSize(VeskTextStyle::body), QFont::Normal,
                                          VeskGlassTokens::warning()));
    m_errorText = plainLabel({}, captionFont(), Qt::white, QStringLiteral("errorText"), true);
    banner->addWidget(m_errorText, 1);
    stack->addWidget(m_errorBanner);

    stack->addWidget(makeActionRow());
    return form;
}

QWidget *VeskFeedbackSheet::makeKindCard()
{
    auto *card = new QWidget;
    auto *stack = column(card, 10);
    stack->addWidget(plainLabel(text(QStringLiteral("What is this about?"), QStringLiteral("Konu türü")),
                                captionFont(QFont::DemiBold), VeskGlassTokens::textSecondary(),
                                QStringLiteral("kindLabel")));
    auto *grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    for (VeskFeedbackKind kind : kVeskFeedbackKindAllCases) {
        auto *tile = new KindTile(kind, m_language, accentColor(m_palette));
        tile->setObjectName(QStringLiteral("kind.") + rawValue(kind));
        tile->setChecked(kind == m_kind);
        connect(tile, &QAbstractButton::clicked, this, [this, kind] { selectKind(kind); });
        const int index = int(m_kindTiles.size());
        grid->addWidget(tile, index / 2, index % 2);
        m_kindTiles.append(tile);
    }
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    stack->addLayout(grid);
    return card;
}

QWidget *VeskFeedbackSheet::makeDetailsCard()
{
    auto *card = new QWidget;
    auto *stack = column(card, 12);
    auto field = [this](const QString &label, const QString &placeholder, const QString &name) {
        auto *box = new QWidget;
        auto *layout = column(box, 4);
        layout->addWidget(plainLabel(label, captionFont(QFont::DemiBold), VeskGlassTokens::textSecondary(),
                                     name + QStringLiteral("Label")));
        auto *edit = veskGlassInputField(new QLineEdit, 6, 8, 5);
        edit->setObjectName(name);
        edit->setPlaceholderText(placeholder);
        QPalette palette = edit->palette();
        palette.setColor(QPalette::PlaceholderText, VeskGlassTokens::textMuted());
        edit->setPalette(palette);
        layout->addWidget(edit);
        return std::make_pair(box, edit);
    };
    auto [emailBox, email] = field(text(QStringLiteral("Your Email *"), QStringLiteral("E-posta Adresiniz *")),
                                   text(QStringLiteral("you@example.com"), QStringLiteral("adiniz@ornek.com")),
                                   QStringLiteral("email"));
    auto [nameBox, name] = field(text(QStringLiteral("Name (optional)"), QStringLiteral("Adınız (opsiyonel)")),
                                 text(QStringLiteral("Optional"), QStringLiteral("Opsiyonel")),
                                 QStringLiteral("senderName"));
    auto [subjectBox, subject] =
        field(text(QStringLiteral("Short Title *"), QStringLiteral("Kısa Başlık *")),
              text(QStringLiteral("Summarize in one line…"), QStringLiteral("Konuyu tek cümlede özetleyin…")),
              QStringLiteral("subject"));
    m_emailField = email;
    m_nameField = name;
    m_subjectField = subject;
    auto *pair = row(10);
    pair->addWidget(emailBox, 1);
    pair->addWidget(nameBox, 1);
    stack->addLayout(pair);
    stack->addWidget(subjectBox);

    auto *messageBox = new QWidget;
    auto *messageColumn = column(messageBox, 4);
    messageColumn->addWidget(plainLabel(text(QStringLiteral("Details *"), QStringLiteral("Detaylar / Fikriniz *")),
                                        captionFont(QFont::DemiBold), VeskGlassTokens::textSecondary(),
                                        QStringLiteral("messageLabel")));
    auto *editorBacking = new FilledBox(VeskGlassTokens::surface1(), 8, VeskGlassTokens::borderSubtle());
    auto *backingLayout = column(editorBacking, 0, 6);
    m_messageEditor = new QPlainTextEdit;
    m_messageEditor->setObjectName(QStringLiteral("message"));
    m_messageEditor->setFrameShape(QFrame::NoFrame);
    m_messageEditor->setFont(veskSystemFont(13));
    m_messageEditor->viewport()->setAutoFillBackground(false);
    m_messageEditor->setAutoFillBackground(false);
    QPalette palette = m_messageEditor->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Text, VeskGlassTokens::textPrimary());
    m_messageEditor->setPalette(palette);
    // 105 with the backing's insets; the form scrolls, the editor keeps its height.
    m_messageEditor->setFixedHeight(105 - 12);
    VeskGlassScrollBar::apply(m_messageEditor);
    backingLayout->addWidget(m_messageEditor);
    messageColumn->addWidget(editorBacking);
    stack->addWidget(messageBox);

    connect(m_emailField, &QLineEdit::textChanged, this, [this](const QString &value) {
        m_email = value;
        emit stateChanged();
    });
    connect(m_nameField, &QLineEdit::textChanged, this, [this](const QString &value) {
        m_senderName = value;
        emit stateChanged();
    });
    connect(m_subjectField, &QLineEdit::textChanged, this, [this](const QString &value) {
        m_subject = value;
        emit stateChanged();
    });
    connect(m_messageEditor, &QPlainTextEdit::textChanged, this, [this] {
        m_message = m_messageEditor->toPlainText();
        emit stateChanged();
    });
    return card;
}

QWidget *VeskFeedbackSheet::makeScreenshotsCard()
{
    auto *card = new QWidget;
    auto *stack = column(card, 10);

    auto *header = row(6);
    header->addWidget(new VeskSymbolLabel(QStringLiteral("photo.on.rectangle.angled"),
                                          veskTextStylePixelSize(VeskTextStyle::caption), QFont::DemiBold,
                                          Qt::white));
    header->addWidget(plainLabel(text(QStringLiteral("Screenshots (optional, up to 5)"),
                                      QStringLiteral("Ekran Görüntüleri (opsiyonel, en fazla 5)")),
                                 captionFont(QFont::DemiBold), Qt::white, QStringLiteral("screenshotsTitle"), true),
                      1);
    m_pasteButton = new VeskButton(VeskGlassButtonStyle{false},
                                   text(QStringLiteral("Paste Clipboard"), QStringLiteral("Panodan Yapıştır")),
                                   QStringLiteral("doc.on.clipboard"));
    m_chooseButton = new VeskButton(VeskGlassButtonStyle{false},
                                    text(QStringLiteral("Choose Image…"), QStringLiteral("Görsel Seç…")),
                                    QStringLiteral("plus.circle"));
    for (VeskButton *button : {m_pasteButton, m_chooseButton}) {
        button->setLabelFont(captionFont());
        header->addWidget(button);
    }
    m_pasteButton->setObjectName(QStringLiteral("pasteButton"));
    m_chooseButton->setObjectName(QStringLiteral("chooseButton"));
    connect(m_pasteButton, &QAbstractButton::clicked, this, [this] { pasteFromClipboard(); });
    connect(m_chooseButton, &QAbstractButton::clicked, this, [this] { pickScreenshotsFromDisk(); });
    stack->addLayout(header);

    m_statusLabel = plainLabel({}, veskTextStyleFont(VeskTextStyle::caption2), VeskGlassTokens::textSecondary(),
                               QStringLiteral("statusHint"), true);
    stack->addWidget(m_statusLabel);

    m_strip = new QScrollArea;
    m_strip->setObjectName(QStringLiteral("thumbnailStrip"));
    m_strip->setFrameShape(QFrame::NoFrame);
    m_strip->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_strip->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_strip->setWidgetResizable(true);
    m_strip->viewport()->setAutoFillBackground(false);
    auto *strip = new QWidget;
    m_thumbnails = row(10);
    strip->setLayout(m_thumbnails);
    m_thumbnails->addStretch(1);
    m_strip->setWidget(strip);
    strip->setAutoFillBackground(false);
    stack->addWidget(m_strip);
    return card;
}

QWidget *VeskFeedbackSheet::makeActionRow()
{
    auto *actions = new QWidget;
    auto *layout = row(10);
    actions->setLayout(layout);
    m_openInBrowserButton = new VeskButton(VeskGlassButtonStyle{false},
                                           text(QStringLiteral("Open in Browser"), QStringLiteral("Tarayıcıda Aç")),
                                           QStringLiteral("safari"));
    m_openInBrowserButton->setObjectName(QStringLiteral("openInBrowserButton"));
    m_openInBrowserButton->setLabelFont(captionFont());
    connect(m_openInBrowserButton, &QAbstractButton::clicked, this, [this] {
        VeskFeedbackService::openInBrowser(m_appName, m_version, m_kind, m_language, m_baseURL, m_opener);
    });
    layout->addWidget(m_openInBrowserButton);
    layout->addStretch(1);
    layout->addWidget(plainLabel(m_appName + QStringLiteral(" v") + m_version.shortVersion,
                                 veskTextStyleFont(VeskTextStyle::caption2, std::nullopt, VeskFontDesign::monospaced),
                                 VeskGlassTokens::textMuted(), QStringLiteral("versionLabel")));
    auto *send = new ProminentButton(text(QStringLiteral("Send Feedback"), QStringLiteral("Geri Bildirimi Gönder")),
                                     accentColor(m_palette), VeskTextStyle::callout, QFont::DemiBold);
    send->setObjectName(QStringLiteral("sendButton"));
    connect(send, &QAbstractButton::clicked, this, [this] { submitFeedback(); });
    layout->addWidget(send);
    m_sendButton = send;
    return actions;
}

void VeskFeedbackSheet::rebuildReceiptCard()
{
    while (QLayoutItem *item = m_receiptSlot->takeAt(0)) {
        retire(item->widget());
        delete item;
    }
    m_sendAnotherButton = nullptr;
    m_doneButton = nullptr;
    if (!m_receipt)
        return;

    auto *content = new QWidget;
    auto *stack = column(content, 12);
    auto *title = row(8);
    title->addWidget(new VeskSymbolLabel(QStringLiteral("checkmark.seal.fill"), 22, QFont::Normal,
                                         VeskGlassTokens::success()));
    title->addWidget(plainLabel(text(QStringLiteral("Thank you for sharing!"),
                                     QStringLiteral("Zaman ayırıp yazdığınız için teşekkürler!")),
                                veskTextStyleFont(VeskTextStyle::headline), Qt::white, QStringLiteral("receiptTitle"),
                                true),
                     1);
    stack->addLayout(title);
    stack->addWidget(plainLabel(m_receipt->message, veskTextStyleFont(VeskTextStyle::callout),
                                VeskGlassTokens::textSecondary(), QStringLiteral("receiptMessage"), true));

    auto *facts = row(10);
    auto *pill = new FilledBox(VeskGlassTokens::surface2(), 8);
    auto *pillLayout = row(0, 10, 5, 10, 5);
    pill->setLayout(pillLayout);
    pillLayout->addWidget(plainLabel(text(QStringLiteral("Reference"), QStringLiteral("Takip Kodu")) +
                                         QStringLiteral(": ") + m_receipt->referenceCode,
                                     captionFont(QFont::Bold, VeskFontDesign::monospaced), VeskGlassTokens::textPrimary(),
                                     QStringLiteral("receiptReference")));
    pill->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    facts->addWidget(pill);
    if (m_receipt->attachmentsCount >= 1)
        facts->addWidget(plainLabel(QStringLiteral("📷 ") + QString::number(m_receipt->attachmentsCount),
                                    captionFont(), VeskGlassTokens::textSecondary(),
                                    QStringLiteral("receiptAttachments")));
    facts->addStretch(1);
    stack->addLayout(facts);

    auto *buttons = row(8, 0, 4, 0, 0);
    auto *another = new VeskButton(VeskGlassButtonStyle{false},
                                   text(QStringLiteral("Send Another Note"), QStringLiteral("Yeni Bildirim Gönder")));
    another->setObjectName(QStringLiteral("sendAnotherButton"));
    another->setLabelFont(captionFont());
    connect(another, &QAbstractButton::clicked, this, [this] { sendAnotherNote(); });
    buttons->addWidget(another);
    buttons->addStretch(1);
    m_sendAnotherButton = another;
    if (m_onClose) {
        auto *done = new ProminentButton(text(QStringLiteral("Done"), QStringLiteral("Tamam")), accentColor(m_palette),
                                         VeskTextStyle::body, QFont::Medium);
        done->setObjectName(QStringLiteral("doneButton"));
        connect(done, &QAbstractButton::clicked, this, [this] { m_onClose(); });
        buttons->addWidget(done);
        m_doneButton = done;
    }
    stack->addLayout(buttons);
    auto *card = new VeskGlassCard(20, 14, content);
    m_receiptSlot->addWidget(card);
    // Shown together with the state that asks for it, not a turn later.
    card->show();
}

void VeskFeedbackSheet::rebuildThumbnails()
{
    while (m_thumbnails->count() > 1) {
        QLayoutItem *item = m_thumbnails->takeAt(0);
        retire(item->widget());
        delete item;
    }
    const QSize frame(112, 68);
    int index = 0;
    for (const VeskFeedbackScreenshot &screenshot : std::as_const(m_screenshots)) {
        auto *tile = new FilledBox(VeskGlassTokens::surface1(), 10);
        tile->setObjectName(QStringLiteral("screenshotTile"));
        tile->setFixedWidth(124);
        auto *stack = column(tile, 4, 6);
        const QImage image = QImage::fromData(screenshot.data);
        if (!image.isNull()) {
            auto *preview = new QLabel;
            preview->setObjectName(QStringLiteral("screenshotPreview"));
            preview->setFixedSize(frame);
            preview->setPixmap(previewOf(image, frame, 8, devicePixelRatioF()));
            stack->addWidget(preview);
        }
        auto *line = row(4);
        line->addWidget(plainLabel(screenshot.formattedSize(),
                                   veskTextStyleFont(VeskTextStyle::caption2, std::nullopt, VeskFontDesign::monospaced),
                                   VeskGlassTokens::textMuted(), QStringLiteral("screenshotSize")));
        line->addStretch(1);
        auto *remove = new VeskSymbolButton(QStringLiteral("xmark.circle.fill"),
                                        veskTextStylePixelSize(VeskTextStyle::caption), VeskGlassTokens::danger());
        remove->setObjectName(QStringLiteral("screenshotRemove"));
        remove->setAccessibleName(text(QStringLiteral("Remove"), QStringLiteral("Kaldır")) + u' ' +
                                  screenshot.filename);
        const QUuid id = screenshot.id;
        connect(remove, &QAbstractButton::clicked, this, [this, id] { removeScreenshot(id); });
        line->addWidget(remove);
        stack->addLayout(line);
        m_thumbnails->insertWidget(index++, tile, 0, Qt::AlignTop);
        // Shown now rather than when the layout gets round to it, so the
        // strip's height below already counts the tile.
        tile->show();
    }
    m_strip->widget()->adjustSize();
    m_strip->setFixedHeight(m_strip->widget()->sizeHint().height());
}

void VeskFeedbackSheet::refresh()
{
    for (QAbstractButton *tile : std::as_const(m_kindTiles))
        tile->setChecked(tile == kindTile(m_kind));
    m_errorBanner->setVisible(m_errorMessage.has_value());
    m_errorText->setText(m_errorMessage.value_or(QString()));
    m_statusLabel->setVisible(m_statusHint.has_value());
    m_statusLabel->setText(m_statusHint.value_or(QString()));
    m_strip->setVisible(!m_screenshots.isEmpty());

    auto *send = static_cast<ProminentButton *>(m_sendButton);
    send->setBusy(m_isSubmitting);
    send->setEnabled(!m_isSubmitting);
    send->setText(m_isSubmitting ? text(QStringLiteral("Sending…"), QStringLiteral("Gönderiliyor…"))
                                 : text(QStringLiteral("Send Feedback"), QStringLiteral("Geri Bildirimi Gönder")));

    m_form->setVisible(!m_receipt.has_value());
    emit stateChanged();
}

void VeskFeedbackSheet::selectKind(VeskFeedbackKind kind)
{
    m_kind = kind;
    refresh();
}

void VeskFeedbackSheet::submitFeedback()
{
    if (m_isSubmitting)
        return;
    m_errorMessage.reset();
    m_isSubmitting = true;
    refresh();
    // The request belongs to the application rather than to the sheet: a
    // host may close the sheet while it runs, and the report still goes out.
    auto *session = new QNetworkAccessManager(QCoreApplication::instance());
    // What is sent is fixed now; edits made while the request runs stay in the form.
    VeskFeedbackService::submit(m_appName, m_version, m_kind, m_email, m_senderName, m_subject, m_message,
                                m_screenshots, m_language, m_baseURL, *session, session,
                                [session, sheet = QPointer<VeskFeedbackSheet>(this),
                                 appName = m_appName](const VeskFeedbackService::Result &result) {
                                    session->deleteLater();
                                    if (!sheet) {
                                        logUnshownOutcome(appName, result);
                                        return;
                                    }
                                    sheet->m_isSubmitting = false;
                                    if (result.ok()) {
                                        sheet->m_receipt = result.value();
                                        sheet->rebuildReceiptCard();
                                    } else {
                                        sheet->m_errorMessage = result.error().errorDescription();
                                    }
                                    sheet->refresh();
                                });
}

void VeskFeedbackSheet::pasteFromClipboard()
{
    m_errorMessage.reset();
    if (m_screenshots.size() >= VeskFeedbackService::maxScreenshots) {
        m_errorMessage = VeskFeedbackError::tooManyScreenshots(VeskFeedbackService::maxScreenshots).errorDescription();
        refresh();
        return;
    }
    const std::optional<VeskFeedbackScreenshot> screenshot = VeskFeedbackService::readScreenshotFromPasteboard();
    if (!screenshot) {
        m_statusHint = text(QStringLiteral("No image found on the clipboard right now. Take a screenshot first, then "
                                           "click Paste."),
                            QStringLiteral("Panoda görsel bulunamadı. Önce ekran görüntüsü alıp ardından Panodan "
                                           "Yapıştır'a tıklayın."));
        refresh();
        return;
    }
    if (screenshot->data.size() > VeskFeedbackService::maxScreenshotBytes) {
        m_errorMessage = VeskFeedbackError::screenshotTooLarge(int(VeskFeedbackService::maxScreenshotBytes / 1048576))
                             .errorDescription();
        refresh();
        return;
    }
    m_screenshots.append(*screenshot);
    m_statusHint = text(QStringLiteral("Screenshot pasted from clipboard."),
                        QStringLiteral("Panodaki ekran görüntüsü eklendi."));
    rebuildThumbnails();
    refresh();
}

void VeskFeedbackSheet::pickScreenshotsFromDisk()
{
    m_errorMessage.reset();
    refresh();
    const QStringList paths = m_chooser();
    bool added = false;
    for (const QString &path : paths) {
        if (m_screenshots.size() >= VeskFeedbackService::maxScreenshots) {
            m_errorMessage =
                VeskFeedbackError::tooManyScreenshots(VeskFeedbackService::maxScreenshots).errorDescription();
            break;
        }
        QFile file(path);
        // Never more than one byte past the limit is read, whatever the file's size.
        if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray data = file.read(VeskFeedbackService::maxScreenshotBytes + 1);
        if (file.error() != QFileDevice::NoError || data.isEmpty())
            continue;
        if (data.size() > VeskFeedbackService::maxScreenshotBytes) {
            m_errorMessage =
                VeskFeedbackError::screenshotTooLarge(int(VeskFeedbackService::maxScreenshotBytes / 1048576))
                    .errorDescription();
            continue;
        }
        m_screenshots.append({QUuid::createUuid(), QFileInfo(path).fileName(), mimeTypeForFile(path), data});
        added = true;
    }
    if (added)
        rebuildThumbnails();
    refresh();
}

void VeskFeedbackSheet::removeScreenshot(const QUuid &id)
{
    m_screenshots.removeIf([&id](const VeskFeedbackScreenshot &screenshot) { return screenshot.id == id; });
    rebuildThumbnails();
    refresh();
}

void VeskFeedbackSheet::sendAnotherNote()
{
    m_receipt.reset();
    m_subjectField->clear();
    m_messageEditor->clear();
    m_subject.clear();
    m_message.clear();
    m_screenshots.clear();
    m_errorMessage.reset();
    rebuildThumbnails();
    rebuildReceiptCard();
    refresh();
}
