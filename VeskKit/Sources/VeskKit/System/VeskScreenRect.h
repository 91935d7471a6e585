#pragma once

#include <QJsonObject>
#include <QRectF>

#include <optional>

// A rectangle in screen coordinates, in points: the frames the task planner
// publishes for its mini panel and studio window.
struct VeskScreenRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    VeskScreenRect() = default;
    // Negative sizes become 0.
    VeskScreenRect(double x, double y, double width, double height);
    explicit VeskScreenRect(const QRectF &rect);

    // The four values as a platform rectangle.
    QRectF nsRect() const;

    std::optional<QJsonObject> toJson() const;
    // The four values as they are in the file.
    static std::optional<VeskScreenRect> fromJson(const QJsonObject &object);

    bool operator==(const VeskScreenRect &) const = default;
};
