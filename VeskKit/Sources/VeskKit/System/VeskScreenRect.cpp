#include "VeskKit/System/VeskScreenRect.h"

#include "VeskKit/System/VeskSuiteJson.h"

VeskScreenRect::VeskScreenRect(double x, double y, double width, double height)
    : x(x), y(y), width(width < 0 ? 0 : width), height(height < 0 ? 0 : height)
{
}

VeskScreenRect::VeskScreenRect(const QRectF &rect) : VeskScreenRect(rect.x(), rect.y(), rect.width(), rect.height())
{
}

QRectF VeskScreenRect::nsRect() const
{
    return QRectF(x, y, width, height);
}

std::optional<QJsonObject> VeskScreenRect::toJson() const
{
    VeskSuiteJson::Writer out;
    out.real("x", x);
    out.real("y", y);
    out.real("width", width);
    out.real("height", height);
    return out.result();
}

std::optional<VeskScreenRect> VeskScreenRect::fromJson(const QJsonObject &object)
{
    VeskSuiteJson::Reader in(object);
    VeskScreenRect rect;
    rect.x = in.real("x");
    rect.y = in.real("y");
    rect.width = in.real("width");
    rect.height = in.real("height");
    if (!in.ok())
        return std::nullopt;
    return rect;
}
