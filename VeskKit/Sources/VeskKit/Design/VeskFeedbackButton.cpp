#include "VeskKit/Design/VeskFeedbackButton.h"

#include "VeskKit/Cloud/VeskFeedbackService.h"
#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskContinuousShape.h"
#include "VeskKit/Design/VeskFocusRing.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskSymbol.h"
#include "VeskKit/Localization/VeskText.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QPainter>

#include <cmath>

namespace {

const QString kSymbol = QStringLiteral("bubble.left.and.exclamationmark.bubble.right");

// The compact look: the symbol alone in a glass capsule, kept at its natural
// size so a crowded header can neither stretch nor squeeze it.
class FeedbackCapsule : public QAbstractButton {
public:
    explicit FeedbackCapsule(QWidget *parent) : QAbstractButton(parent)
    {
        VeskSymbol::prepare(kSymbol, QFont::DemiBold);
        setFocusPolicy(Qt::TabFocus);
        setFixedSize(sizeHint());
    }

    QSize sizeHint() const override
    {
        const qreal side = VeskSymbol::boxSide(VeskFeedbackButton::compactSymbolPixelSize);
        return {int(std::ceil(side + 2 * VeskFeedbackButton::compactHorizontalPadding)),
                int(std::ceil(side + 2 * VeskFeedbackButton::compactVerticalPadding))};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    bool hitButton(const QPoint &pos) const override
    {
        return veskContinuousCapsule(QRectF(rect())).contains(QPointF(pos) + QPointF(0.5, 0.5));
    }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing, true);
        // A plain button shows its press by dimming, as the glass style does.
        if (isDown())
            painter.setOpacity(0.7);
        const QRectF bounds(rect());
        veskPaintGlassShape(painter, bounds, bounds.height() / 2, VeskGlassTokens::surface2(),
                            VeskGlassTokens::borderSubtle());
        const qreal side = VeskSymbol::boxSide(VeskFeedbackButton::compactSymbolPixelSize);
        const QRectF box(bounds.center().x() - side / 2, bounds.center().y() - side / 2, side, side);
        VeskSymbol::paint(painter, box, kSymbol, VeskGlassTokens::textSecondary(), QFont::DemiBold);
        if (hasFocus())
            VeskFocusRing::paint(painter, bounds, bounds.height() / 2);
    }
};

} // namespace

VeskFeedbackButton::VeskFeedbackButton(const QString &appName, const VeskAppVersion &version, VeskFeedbackKind kind,
                                       VeskLanguage language, VeskFeedbackButtonStyle style,
                                       const std::optional<QString> &baseURL, QWidget *parent)
    : QWidget(parent),
      m_appName(appName),
      m_version(version),
      m_kind(kind),
      m_language(language),
      m_style(style),
      m_baseURL(baseURL),
      m_opener(VeskUrlOpener::desktop())
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // Neither look is ever stretched or squeezed by a crowded host.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    const QString help = helpText();
    if (style == VeskFeedbackButtonStyle::compactIcon) {
        m_button = new FeedbackCapsule(this);
        m_button->setAccessibleName(help);
    } else {
        auto *pill = new VeskButton(VeskGlassButtonStyle{false}, title(), kSymbol, this);
        pill->setLabelFont(veskTextStyleFont(VeskTextStyle::caption, QFont::Medium));
        m_button = pill;
    }
    m_button->setToolTip(help);
    layout->addWidget(m_button);
    connect(m_button, &QAbstractButton::clicked, this, [this] { openPage(); });
}

QString VeskFeedbackButton::helpText() const
{
    return veskText(QStringLiteral("Listening to you — Report a bug or share an idea"),
                    QStringLiteral("Sizi dinliyoruz — Hata bildir veya fikir paylaş"), m_language);
}

QString VeskFeedbackButton::title() const
{
    return veskText(QStringLiteral("Send Feedback & Ideas"), QStringLiteral("Geri Bildirim & Fikir Gönder"),
                    m_language);
}

void VeskFeedbackButton::setUrlOpener(std::shared_ptr<VeskUrlOpener> opener)
{
    m_opener = opener ? std::move(opener) : VeskUrlOpener::desktop();
}

void VeskFeedbackButton::openPage() const
{
    VeskFeedbackService::openInBrowser(m_appName, m_version, m_kind, m_language, m_baseURL, m_opener);
}
