#pragma once

#include <QRect>
#include <QSizeF>
#include <memory>
#include <vector>

#include "platform/gdi/picture.h"
#include "platform/preview/preview_control.h"

namespace qv {

// One item of the picture list. The drawing flags are fixed: the picture is
// centred, keeps its proportions, is stretched up or down to fit, and is not
// transparent.
struct PreviewGraphicItem {
    std::shared_ptr<const Picture> picture;  // null: the item makes a blank page
    bool center = true;
    bool proportional = true;
    bool stretch = true;
    bool transparent = false;
};

// The picture list from which the preview's pages are built; page i is made
// from item i.
using PreviewGraphicItems = std::vector<PreviewGraphicItem>;

// The largest rectangle with the picture's proportions that fits into area:
// a picture wider than high is fitted to the width first, any other to the
// height, then reduced if the other side does not fit; sizes are rounded to
// whole pixels and the result is centred in area. A picture without width or
// height gives an empty rectangle.
QRect FitPictureRect(QSizeF pictureSize, const QRect& area);

// The page made from one item on the preview's current geometry.
PreviewPage MakePreviewPage(const PreviewGraphicItem& item, const DeviceInfo& device);

// An empty list leaves the preview as it is; otherwise its pages are cleared
// and one page per item is made.
void BuildPages(TPreviewControl& preview, const PreviewGraphicItems& images);

}  // namespace qv
