#include "app/toolbar_icons.h"

#include "lang/resource_ids.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<int, const char*>, 8> kImages = {{
    {ids::kCmdAdd, "add"},
    {ids::kCmdRemove, "remove"},
    {ids::kCmdRemoveAll, "remove_all"},
    {ids::kCmdMoveUp, "move_up"},
    {ids::kCmdMoveDown, "move_down"},
    {ids::kCmdPreview, "preview"},
    {ids::kCmdConvert, "convert"},
    {ids::kCmdExit, "exit"},
}};

QImage Render(QSvgRenderer& renderer, int nSize) {
    QImage image(nSize, nSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, nSize, nSize));
    painter.end();
    return image;
}

// Renders an SVG file at 1x and 2x into an icon with normal and disabled pixmaps.
QIcon IconFromSvg(const QString& path, int nImageSize) {
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) {
        return QIcon();
    }
    QIcon icon;
    for (const int nScale : {1, 2}) {
        QImage normal = Render(renderer, nImageSize * nScale);
        QImage greyed = GreyedImage(normal);
        normal.setDevicePixelRatio(nScale);
        greyed.setDevicePixelRatio(nScale);
        icon.addPixmap(QPixmap::fromImage(normal), QIcon::Normal);
        icon.addPixmap(QPixmap::fromImage(normal), QIcon::Active);
        icon.addPixmap(QPixmap::fromImage(greyed), QIcon::Disabled);
    }
    return icon;
}

} // namespace

QString ToolbarImagePath(int commandId) {
    for (const auto& [id, name] : kImages) {
        if (id == commandId) {
            return QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name));
        }
    }
    return QString();
}

QIcon ToolbarIcon(int commandId, int nImageSize) {
    const QString path = ToolbarImagePath(commandId);
    if (path.isEmpty()) {
        return QIcon();
    }
    return IconFromSvg(path, nImageSize);
}

QIcon ApplicationIcon() {
    QIcon icon;
    QSvgRenderer renderer(QStringLiteral(":/icons/lumicast.svg"));
    if (!renderer.isValid()) {
        return icon;
    }
    for (const int nSize : {16, 24, 32, 48, 64, 128}) {
        icon.addPixmap(QPixmap::fromImage(Render(renderer, nSize)));
    }
    return icon;
}

QImage GreyedImage(const QImage& image) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb pixel = line[x];
            const int nGrey = qGray(pixel);
            // Towards a light grey, at half the opacity.
            const int nLight = 128 + nGrey / 2;
            line[x] = qRgba(nLight, nLight, nLight, qAlpha(pixel) / 2);
        }
    }
    return out;
}
