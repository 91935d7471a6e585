#include "VeskKit/Design/VeskGlassInputField.h"

#include "VeskKit/Design/VeskContinuousShape.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassTokens.h"

#include <QEvent>
#include <QLineEdit>
#include <QPainter>

#include <cmath>

namespace {

constexpr qreal kFontPixelSize = 12.5;

// Paints the glass behind the field: it sees the field's paint event first
// and lets the field draw its text over it.
class GlassBackdrop : public QObject {
public:
    GlassBackdrop(QWidget *field, qreal cornerRadius) : QObject(field), m_cornerRadius(cornerRadius) {}

    void setCornerRadius(qreal radius) { m_cornerRadius = radius; }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            auto *field = static_cast<QWidget *>(watched);
            QPainter painter(field);
            veskPaintGlassShape(painter, QRectF(field->rect()), m_cornerRadius, VeskGlassTokens::surface2(),
                                VeskGlassTokens::borderSubtle());
        }
        return false;
    }

private:
    qreal m_cornerRadius;
};

} // namespace

QWidget *veskGlassInputFieldApply(QWidget *field, qreal cornerRadius, qreal horizontalPadding,
                                  qreal verticalPadding)
{
    if (!field)
        return field;
    field->setFont(veskSystemFont(kFontPixelSize, QFont::Normal));
    QPalette palette = field->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Text, VeskGlassTokens::textPrimary());
        palette.setColor(group, QPalette::WindowText, VeskGlassTokens::textPrimary());
        palette.setColor(group, QPalette::Base, Qt::transparent);
        palette.setColor(group, QPalette::Window, Qt::transparent);
    }
    field->setPalette(palette);
    field->setAutoFillBackground(false);
    field->setAttribute(Qt::WA_MacShowFocusRect, false);

    const int h = int(std::lround(horizontalPadding));
    const int v = int(std::lround(verticalPadding));
    if (auto *line = qobject_cast<QLineEdit *>(field)) {
        line->setFrame(false);
        line->setTextMargins(h, v, h, v);
    } else {
        field->setContentsMargins(h, v, h, v);
    }

    // Applying twice restyles instead of stacking two backdrops.
    GlassBackdrop *existing = nullptr;
    for (QObject *child : field->children()) {
        if ((existing = dynamic_cast<GlassBackdrop *>(child)))
            break;
    }
    if (existing)
        existing->setCornerRadius(cornerRadius);
    else
        field->installEventFilter(new GlassBackdrop(field, cornerRadius));
    field->update();
    return field;
}
