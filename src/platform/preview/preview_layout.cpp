#include "platform/preview/preview_layout.h"

#include <algorithm>
#include <cmath>

namespace qv {

namespace {

constexpr double kMaxPageExtent = 1e6;

int ClampScale(double percent) {
    if (!(percent >= 1)) {
        return 1;
    }
    return static_cast<int>(std::min<double>(percent, TPreviewControl::kMaxScale));
}

// The zoom the mode asks for in a view of the given size.
int ScaleFor(const LayoutOptions& o, QSizeF unit, QSize view) {
    if (o.mode == ScaleMode::smScale) {
        return ClampScale(o.scale);
    }
    const double freeWidth = view.width() - (o.cols + 1.0) * o.spacing - o.cols * double(o.shadow);
    const double byWidth = std::floor(freeWidth * 100.0 / (o.cols * unit.width()));
    if (o.mode == ScaleMode::smPageWidth) {
        return ClampScale(byWidth);
    }
    const double freeHeight =
        view.height() - (o.rows + 1.0) * o.spacing - o.rows * double(o.shadow);
    const double byHeight = std::floor(freeHeight * 100.0 / (o.rows * unit.height()));
    return ClampScale(std::min(byWidth, byHeight));
}

PreviewLayout LayoutInView(int pageCount, const LayoutOptions& o, QSizeF unit, QSize view) {
    PreviewLayout l;
    l.cols = o.cols;
    l.shadow = o.shadow;
    l.spacing = o.spacing;
    l.scale = ScaleFor(o, unit, view);
    const double w = std::min(kMaxPageExtent, unit.width() * l.scale / 100.0);
    const double h = std::min(kMaxPageExtent, unit.height() * l.scale / 100.0);
    l.pageSize = QSize(std::max(1, int(std::lround(w))), std::max(1, int(std::lround(h))));
    l.rowCount = (pageCount + l.cols - 1) / l.cols;
    const qint64 width = qint64(l.cols) * l.strideX() + l.spacing;
    const qint64 height = qint64(l.rowCount) * l.strideY() + l.spacing;
    l.contentWidth = int(std::min<qint64>(width, kMaxContentExtent));
    l.contentHeight = pageCount > 0 ? int(std::min<qint64>(height, kMaxContentExtent)) : 0;
    l.viewport = view;
    return l;
}

}  // namespace

QRect PreviewLayout::pageRect(int index) const {
    const int row = index / cols;
    const int col = index % cols;
    const qint64 top = std::min<qint64>(rowTop(row) + spacing, kMaxContentExtent);
    return QRect(col * strideX() + spacing, int(top), pageSize.width(), pageSize.height());
}

int PreviewLayout::rowAt(qint64 y) const {
    return int(std::max<qint64>(0, y) / strideY());
}

int PreviewLayout::topRowAt(int scrollY) const {
    if (rowCount <= 0) {
        return 0;
    }
    const qint64 stride = strideY();
    const qint64 row = (std::max(0, scrollY) + stride - 1) / stride;
    return int(std::min<qint64>(row, rowCount - 1));
}

int PreviewLayout::pageAt(QPoint point, int pageCount) const {
    if (point.x() < 0 || point.y() < 0) {
        return -1;
    }
    const int col = point.x() / strideX();
    const int row = rowAt(point.y());
    const int index = row * cols + col;
    if (col >= cols || index >= pageCount) {
        return -1;
    }
    return pageRect(index).contains(point) ? index : -1;
}

QSizeF PageSizeAt100(const DeviceInfo& device, double dpiX, double dpiY) {
    const double w =
        double(std::max(1, device.physicalWidth)) * dpiX / std::max(1, device.logPixelsX);
    const double h =
        double(std::max(1, device.physicalHeight)) * dpiY / std::max(1, device.logPixelsY);
    return QSizeF(std::clamp(w, 0.01, kMaxPageExtent), std::clamp(h, 0.01, kMaxPageExtent));
}

PreviewLayout ComputePreviewLayout(int pageCount, const DeviceInfo& device,
                                   const LayoutOptions& options, QSize area, int scrollBarExtent,
                                   double dpiX, double dpiY) {
    LayoutOptions o = options;
    o.rows = std::max(1, o.rows);
    o.cols = std::max(1, o.cols);
    o.shadow = std::max(0, o.shadow);
    o.spacing = std::max(0, o.spacing);
    const QSizeF unit = PageSizeAt100(device, dpiX, dpiY);
    // Scroll bars are only ever added while fitting, so this settles in at
    // most three passes and never flips back and forth.
    bool vbar = false;
    bool hbar = false;
    PreviewLayout l;
    for (int pass = 0; pass < 3; ++pass) {
        const QSize view(std::max(1, area.width() - (vbar ? scrollBarExtent : 0)),
                         std::max(1, area.height() - (hbar ? scrollBarExtent : 0)));
        l = LayoutInView(pageCount, o, unit, view);
        const bool needV = l.contentHeight > view.height();
        const bool needH = l.contentWidth > view.width();
        if (!(needV && !vbar) && !(needH && !hbar)) {
            break;
        }
        vbar = vbar || needV;
        hbar = hbar || needH;
    }
    l.vbar = vbar;
    l.hbar = hbar;
    return l;
}

}  // namespace qv
