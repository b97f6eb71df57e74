#include "platform/preview/page_builder.h"

#include <algorithm>
#include <cmath>

namespace qv {

namespace {

int RoundPx(double value) {
    return int(std::lround(value));
}

}  // namespace

QRect FitPictureRect(QSizeF pictureSize, const QRect& area) {
    const double pw = pictureSize.width();
    const double ph = pictureSize.height();
    if (!(pw > 0) || !(ph > 0) || area.isEmpty() || !std::isfinite(pw) || !std::isfinite(ph)) {
        return QRect();
    }
    const double aw = area.width();
    const double ah = area.height();
    double w = 0;
    double h = 0;
    if (pw > ph) {
        w = aw;
        h = aw * ph / pw;
        if (h > ah) {
            h = ah;
            w = ah * pw / ph;
        }
    } else {
        h = ah;
        w = ah * pw / ph;
        if (w > aw) {
            w = aw;
            h = aw * ph / pw;
        }
    }
    const int width = std::clamp(RoundPx(w), 0, area.width());
    const int height = std::clamp(RoundPx(h), 0, area.height());
    if (width == 0 || height == 0) {
        return QRect();
    }
    return QRect(area.left() + (area.width() - width) / 2,
                 area.top() + (area.height() - height) / 2, width, height);
}

PreviewPage MakePreviewPage(const PreviewGraphicItem& item, const DeviceInfo& device) {
    PreviewPage page;
    page.size = QSize(device.physicalWidth, device.physicalHeight);
    if (item.picture) {
        page.target = FitPictureRect(item.picture->size(), device.printableRect());
        if (!page.target.isEmpty()) {
            page.picture = item.picture;
        }
    }
    return page;
}

void BuildPages(TPreviewControl& preview, const PreviewGraphicItems& images) {
    if (images.empty()) {
        return;
    }
    std::vector<PreviewPage> pages;
    pages.reserve(images.size());
    for (const PreviewGraphicItem& item : images) {
        pages.push_back(MakePreviewPage(item, preview.GetDeviceInfo()));
    }
    preview.BeginUpdate();
    preview.ClearPages();
    preview.AddPages(std::move(pages));
    preview.EndUpdate();
}

}  // namespace qv
