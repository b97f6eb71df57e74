#include "platform/preview/page_render.h"

#include <algorithm>

namespace qv {

QSize OwnPageSize(const PreviewPage& page, const DeviceInfo& device) {
    if (page.size.width() > 0 && page.size.height() > 0) {
        return page.size;
    }
    return QSize(std::max(1, device.physicalWidth), std::max(1, device.physicalHeight));
}

void PaintPageContent(QPainter& painter, const PreviewPage& page, QSize pageSize) {
    painter.fillRect(QRect(QPoint(0, 0), pageSize), Qt::white);
    if (page.picture && !page.target.isEmpty()) {
        painter.save();
        page.picture->draw(painter, QRectF(page.target));
        painter.restore();
    }
}

QImage RenderPageImage(const PreviewPage& page, QSize pageSize, QSize fullPixels, QRect tile,
                       qreal dpr) {
    QImage image(tile.size(), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        return image;
    }
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setClipRect(QRect(QPoint(0, 0), tile.size()));
        painter.translate(-tile.topLeft());
        painter.scale(double(fullPixels.width()) / pageSize.width(),
                      double(fullPixels.height()) / pageSize.height());
        PaintPageContent(painter, page, pageSize);
    }
    image.setDevicePixelRatio(dpr);
    return image;
}

}  // namespace qv
