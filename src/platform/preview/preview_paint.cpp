// Painting of the preview: the visible pages from the image cache, the
// rendering requests that fill the cache, and pages drawn at their own size.

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <unordered_set>

#include "platform/preview/page_render.h"
#include "platform/preview/page_tiles.h"
#include "platform/preview/preview_impl.h"

namespace qv {

namespace {

QColor ShadowColor() {
    return QColor(64, 64, 64);
}

QColor BackgroundColor() {
    return QColor(128, 128, 128);
}

// The part of a page shown in view, in whole page image pixels.
QRect VisiblePart(const QRect& page, const QRect& view, const TileGrid& grid) {
    const QRect shown = page.intersected(view).translated(-page.topLeft());
    const double sx = double(grid.full.width()) / page.width();
    const double sy = double(grid.full.height()) / page.height();
    return QRectF(shown.x() * sx, shown.y() * sy, shown.width() * sx, shown.height() * sy)
        .toAlignedRect();
}

}  // namespace

void TPreviewControl::DrawPage(QPainter& painter, int index) const {
    if (index < 0 || index >= PageCount()) {
        return;
    }
    const PreviewPage& page = d->pages[size_t(index)];
    painter.save();
    PaintPageContent(painter, page, OwnPageSize(page, d->device));
    painter.restore();
}

void TPreviewControl::paintEvent(QPaintEvent* event) {
    if (d->updateCount > 0) {
        return;
    }
    QPainter painter(viewport());
    painter.fillRect(event->rect(), BackgroundColor());
    const int count = PageCount();
    const PreviewLayout& l = d->layout;
    if (count == 0 || l.rowCount == 0) {
        return;
    }
    const qreal dpr = viewport()->devicePixelRatioF();
    const QSize full(qRound(l.pageSize.width() * dpr), qRound(l.pageSize.height() * dpr));
    const TileGrid grid = MakeTileGrid(full, d->wholePageLimit());
    const quint64 key = MakeRenderKey(d->generation, full);
    const QPoint origin = ContentOrigin();
    const QRect view = viewport()->rect();
    const int top = verticalScrollBar()->value();
    const int firstRow = std::min(l.rowAt(top), l.rowCount - 1);
    const int lastRow = std::min(l.rowAt(qint64(top) + view.height()), l.rowCount - 1);
    std::vector<qint64> order;  // the pieces to render, most needed first
    std::vector<qint64> ahead;  // pieces just outside the view, rendered ahead of need
    int first = -1;
    int last = -1;
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int col = 0; col < l.cols && row * l.cols + col < count; ++col) {
            const int index = row * l.cols + col;
            const QRect rect = l.pageRect(index).translated(origin);
            if (!rect.adjusted(0, 0, l.shadow, l.shadow).intersects(view)) {
                continue;
            }
            const QRect part = VisiblePart(rect, view, grid);
            const std::vector<int> tiles = grid.tilesIn(part);
            for (int tile : tiles) {
                order.push_back(SlotOf(index, tile));
            }
            const int margin = kTileSize / 4;
            for (int tile : grid.tilesIn(part.adjusted(-margin, -margin, margin, margin))) {
                if (std::find(tiles.begin(), tiles.end(), tile) == tiles.end()) {
                    ahead.push_back(SlotOf(index, tile));
                }
            }
            PaintPage(painter, index, rect, grid, key, tiles);
            first = first < 0 ? index : first;
            last = index;
            emit PageDrawn(index);
        }
    }
    if (first < 0) {
        return;
    }
    if (grid.whole) {  // whole pages: one row either side
        for (int i = last + 1; i <= std::min(count - 1, last + l.cols); ++i) {
            order.push_back(SlotOf(i, 0));
        }
        for (int i = first - 1; i >= std::max(0, first - l.cols); --i) {
            order.push_back(SlotOf(i, 0));
        }
    }
    order.insert(order.end(), ahead.begin(), ahead.end());
    ScheduleRenders(order, first, last, key, grid);
}

void TPreviewControl::PaintPage(QPainter& painter, int index, const QRect& rect,
                                const TileGrid& grid, quint64 key, const std::vector<int>& tiles) {
    const PreviewLayout& l = d->layout;
    if (l.shadow > 0) {
        painter.fillRect(rect.right() + 1, rect.top() + l.shadow, l.shadow, rect.height(),
                         ShadowColor());
        painter.fillRect(rect.left() + l.shadow, rect.bottom() + 1, rect.width(), l.shadow,
                         ShadowColor());
    }
    painter.fillRect(rect, Qt::white);
    const PreviewPage& page = d->pages[size_t(index)];
    if (d->threads == 0) {
        for (int tile : tiles) {
            const qint64 slot = SlotOf(index, tile);
            if (!d->cache.isFresh(slot, key)) {
                const QRect part = grid.tileRect(tile);
                QImage image = RenderPageImage(page, OwnPageSize(page, d->device), grid.full, part,
                                               viewport()->devicePixelRatioF());
                d->cache.insert(slot, CachedImage{std::move(image), key, grid.full, part});
            }
        }
    }
    // What the cache holds for the page: stale pieces stretched as stand-ins,
    // then the fresh ones over them.
    painter.save();
    painter.setClipRect(rect);
    d->cache.forEachOfPage(index, key, [&](const CachedImage& piece) {
        const double sx = double(rect.width()) / piece.fullSize.width();
        const double sy = double(rect.height()) / piece.fullSize.height();
        painter.drawImage(
            QRectF(rect.left() + piece.tile.left() * sx, rect.top() + piece.tile.top() * sy,
                   piece.tile.width() * sx, piece.tile.height() * sy),
            piece.image);
    });
    painter.restore();
    if (d->drawMargins) {
        const QRect printable = d->device.printableRect();
        const double sx = double(rect.width()) / std::max(1, d->device.physicalWidth);
        const double sy = double(rect.height()) / std::max(1, d->device.physicalHeight);
        painter.setPen(QPen(Qt::gray, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect.left() + printable.left() * sx,
                                rect.top() + printable.top() * sy, printable.width() * sx,
                                printable.height() * sy));
    }
    const bool selected = index == d->selected;
    painter.setPen(QPen(selected ? palette().color(QPalette::Highlight) : QColor(Qt::black),
                        selected ? 2 : 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
}

void TPreviewControl::ScheduleRenders(const std::vector<qint64>& order, int firstPage, int lastPage,
                                      quint64 key, const TileGrid& grid) {
    const std::unordered_set<qint64> wanted(order.begin(), order.end());
    d->cache.evict(wanted, firstPage, lastPage, key);
    std::unordered_set<qint64> missing;
    if (d->threads > 0) {
        for (qint64 slot : order) {
            if (!d->cache.isFresh(slot, key)) {
                missing.insert(slot);
            }
        }
    }
    d->pool->keepOnly(missing, key);
    const qreal dpr = viewport()->devicePixelRatioF();
    for (qint64 slot : order) {
        if (missing.count(slot) != 0) {
            const PreviewPage& page = d->pages[size_t(PageOfSlot(slot))];
            d->pool->request(slot, key, page, OwnPageSize(page, d->device), grid.full,
                             grid.tileRect(TileOfSlot(slot)), dpr);
        }
    }
}

void TPreviewControl::RenderFinished(qint64 slot, CachedImage image) {
    const int index = PageOfSlot(slot);
    if (index < 0 || index >= PageCount()) {
        return;
    }
    d->cache.insert(slot, std::move(image));
    if (PageRectInView(index).intersects(viewport()->rect())) {
        Repaint();
    }
}

}  // namespace qv
