// emblemsheet OUT.png                 every emblem, white glass over a dark ground
// emblemsheet --flat OUT.png          every emblem in flat light over a light ground
// emblemsheet OUT.png RAWVALUE [PX]   one emblem as the renderer's PNG (default 256 px)

#include "VeskKit/Design/Emblems/VeskAppIdentity.h"
#include "VeskKit/Design/Emblems/VeskEmblemRenderer.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QTextStream>

namespace {

constexpr int cell = 112;
constexpr int columns = 10;

int fail(const QString &message)
{
    QTextStream(stderr) << message << '\n';
    return 1;
}

QImage sheet(bool flat)
{
    const QList<VeskAppIdentity> &all = VeskAppIdentity::allCases();
    const int rows = int((all.size() + columns - 1) / columns);
    QImage image(columns * cell, rows * cell, QImage::Format_ARGB32_Premultiplied);
    image.fill(flat ? QColor(246, 246, 250) : QColor(32, 36, 48));
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    const VeskEmblemTone tone = VeskEmblemTone::flatLight(QColor(52, 84, 196), QColor(244, 152, 38));
    for (int tag = 0; tag < all.size(); ++tag) {
        const QRect box((tag % columns) * cell + 8, (tag / columns) * cell + 8, cell - 16, cell - 16);
        if (flat) {
            // Each emblem in its own layer, so its cuts stay inside it.
            QImage layer(box.size(), QImage::Format_ARGB32_Premultiplied);
            layer.fill(Qt::transparent);
            QPainter artwork(&layer);
            artwork.setRenderHint(QPainter::Antialiasing);
            const qreal k = box.width() * 0.88 / 60.0;
            artwork.translate(box.width() / 2.0, box.height() / 2.0);
            artwork.scale(k, k);
            artwork.translate(-50, -50);
            VeskEmblemRenderer::drawFlatEmblem(all.at(tag), artwork, tone);
            artwork.end();
            painter.drawImage(box.topLeft(), layer);
        } else {
            const QImage emblem = VeskEmblemRenderer::image(all.at(tag), box.width() / 2.0, 2, false);
            painter.drawImage(box, emblem);
        }
        painter.setPen(flat ? QColor(120, 120, 130) : QColor(150, 156, 170));
        painter.drawText(QRect(box.left() - 8, box.bottom() - 2, cell, 12), Qt::AlignCenter,
                         QString::number(tag));
    }
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    // Drawing needs no screen; without one chosen, work offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool flat = args.removeAll(QStringLiteral("--flat")) > 0;
    if (args.isEmpty())
        return fail(QStringLiteral("usage: emblemsheet [--flat] OUT.png [RAWVALUE [PIXELS]]"));

    QByteArray png;
    if (args.size() >= 2) {
        const std::optional<VeskAppIdentity> identity = VeskAppIdentityFromRaw(args.at(1));
        if (!identity)
            return fail(QStringLiteral("no suite application named ") + args.at(1));
        const int pixels = args.size() >= 3 ? args.at(2).toInt() : 256;
        const std::optional<QByteArray> data = VeskEmblemRenderer::pngData(*identity, pixels);
        if (!data)
            return fail(QStringLiteral("cannot render at %1 pixels").arg(pixels));
        png = *data;
    } else {
        const QImage image = sheet(flat);
        if (!image.save(args.at(0), "PNG"))
            return fail(QStringLiteral("cannot write ") + args.at(0));
        return 0;
    }
    QFile file(args.at(0));
    if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size())
        return fail(QStringLiteral("cannot write ") + args.at(0));
    return 0;
}
