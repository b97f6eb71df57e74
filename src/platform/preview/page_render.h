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

// The page rendered into an image of imagePixels device pixels, tagged with
// the given device pixel ratio.
QImage RenderPageImage(const PreviewPage& page, QSize pageSize, QSize imagePixels, qreal dpr);

}  // namespace qv
