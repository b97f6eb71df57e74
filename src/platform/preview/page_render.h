#pragma once

#include <QImage>
#include <QPainter>
#include <QSize>

#include "platform/preview/preview_control.h"

namespace qv {

// The page's own size: the size it was built on, or the current geometry's
// physical page when it carries none.
QSize OwnPageSize(const PreviewPage& page, const DeviceInfo& device);

// Paints a page in its own device pixels: white paper and the picture
// stretched into its target rectangle. Vector all the way.
void PaintPageContent(QPainter& painter, const PreviewPage& page, QSize pageSize);

// The piece tile of the page rendered as a whole page image of fullPixels
// device pixels would show it, tagged with the given device pixel ratio.
QImage RenderPageImage(const PreviewPage& page, QSize pageSize, QSize fullPixels, QRect tile,
                       qreal dpr);

}  // namespace qv
