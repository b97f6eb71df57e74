#pragma once

// The inside of TPreviewControl, shared by the files that implement it.
//
// How a page reaches the screen: the layout (preview_layout) places every
// page; a paint walks only the rows in view and draws each visible page from
// the image cache (page_cache), whole or, at high zoom, in tiles (page_tiles).
// Pieces missing from the cache are asked of the worker pool
// (page_render_pool), which renders them off the GUI thread and hands them
// back through the event loop; until then a page shows white, or its image at
// the previous zoom stretched. Every image carries a key (page set generation
// and image size), so a zoom or geometry change makes the old ones stale.

#include <QColor>
#include <QThread>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "platform/preview/page_cache.h"
#include "platform/preview/page_render_pool.h"
#include "platform/preview/preview_control.h"
#include "platform/preview/preview_layout.h"

namespace qv {

inline constexpr qint64 kDefaultCacheLimit = qint64(128) << 20;
inline constexpr qint64 kWholePageLimit = qint64(32) << 20;

inline int DefaultThreadCount() {
    return std::clamp(QThread::idealThreadCount() - 1, 1, 4);
}

struct TPreviewControl::Impl {
    std::vector<PreviewPage> pages;
    DeviceInfo device;
    LayoutOptions options;
    PreviewLayout layout;
    QSize layoutArea;  // the area the layout was made for
    bool drawMargins = false;
    int updateCount = 0;
    int selected = -1;
    int cursorKind = 0;
    std::function<QString(int)> scrollHint;
    bool inLayout = false;            // scroll bar changes made by the layout
    bool programmaticScroll = false;  // scrolls made by navigation calls
    quint32 generation = 1;           // changes whenever rendered pages go out of date
    int threads = DefaultThreadCount();
    PageImageCache cache{kDefaultCacheLimit};
    std::unique_ptr<PageRenderPool> pool;

    // Page images up to this size are rendered whole; larger ones in tiles.
    qint64 wholePageLimit() const { return std::min(kWholePageLimit, cache.limit() / 4); }
};

}  // namespace qv
