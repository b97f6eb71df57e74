#pragma once

#include <QRect>
#include <QSize>

#include "platform/preview/preview_control.h"

namespace qv {

// The options that decide how the pages are laid out.
struct LayoutOptions {
    ScaleMode mode = ScaleMode::smFullPage;
    int scale = 100;  // percent, used in smScale
    int rows = 1;     // rows fitted into the view in smFullPage
    int cols = 1;     // pages side by side
    int shadow = 0;   // width of the page shadow
    int spacing = 8;  // gap around every page
};

// Where the pages go: one page size for all pages, rows of cols pages each,
// every page followed by its shadow and a gap. Content coordinates start at
// the top left corner of the scrolled area.
struct PreviewLayout {
    int scale = 100;  // the percentage actually shown
    QSize pageSize;   // one page on the screen, in pixels
    int cols = 1;
    int rowCount = 0;
    int shadow = 0;
    int spacing = 8;
    int contentWidth = 0;
    int contentHeight = 0;
    QSize viewport;  // the visible area once the scroll bars are placed
    bool vbar = false;
    bool hbar = false;

    int strideX() const { return pageSize.width() + shadow + spacing; }
    int strideY() const { return pageSize.height() + shadow + spacing; }
    // Top of a row's band (the gap above its pages included).
    qint64 rowTop(int row) const { return qint64(row) * strideY(); }
    QRect pageRect(int index) const;
    // The row whose band holds content line y (rows past the end included).
    int rowAt(qint64 y) const;
    // The row at the top of a view scrolled to y: a row whose top has been
    // scrolled out of view counts as the next one.
    int topRowAt(int scrollY) const;
    // The page under a content point, -1 for none.
    int pageAt(QPoint point, int pageCount) const;
};

// Largest scrollable extent; pages beyond it are never reached.
constexpr int kMaxContentExtent = 1 << 30;

// A page of the geometry at 100 percent on a screen of the given density.
QSizeF PageSizeAt100(const DeviceInfo& device, double dpiX, double dpiY);

// Lays out pageCount pages into area (the control without its frame), placing
// scroll bars of the given thickness where the pages do not fit.
PreviewLayout ComputePreviewLayout(int pageCount, const DeviceInfo& device,
                                   const LayoutOptions& options, QSize area, int scrollBarExtent,
                                   double dpiX, double dpiY);

}  // namespace qv
