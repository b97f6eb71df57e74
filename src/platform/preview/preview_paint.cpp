// Painting of the preview: the visible pages from the image cache, the
// rendering requests that fill the cache, and pages drawn at their own size.

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <unordered_set>

#include "platform/preview/page_render.h"
#include "platform/preview/preview_impl.h"

namespace qv {

namespace {

QColor ShadowColor() {
    return QColor(64, 64, 64);
}

QColor BackgroundColor() {
    return QColor(128, 128, 128);
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
    const QPoint origin = ContentOrigin();
    const QRect view = viewport()->rect();
    const int top = verticalScrollBar()->value();
    const int firstRow = std::min(l.rowAt(top), l.rowCount - 1);
    const int lastRow = std::min(l.rowAt(qint64(top) + view.height()), l.rowCount - 1);
    int first = -1;
    int last = -1;
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int col = 0; col < l.cols; ++col) {
            const int index = row * l.cols + col;
            if (index >= count) {
                break;
            }
            const QRect rect = l.pageRect(index).translated(origin);
            if (!rect.adjusted(0, 0, l.shadow, l.shadow).intersects(view)) {
                continue;
            }
            PaintPage(painter, index, rect);
            first = first < 0 ? index : first;
            last = index;
            emit PageDrawn(index);
        }
    }
    if (first >= 0) {
        ScheduleRenders(first, last);
    }
}

void TPreviewControl::PaintPage(QPainter& painter, int index, const QRect& rect) {
    const PreviewLayout& l = d->layout;
    if (l.shadow > 0) {
        painter.fillRect(rect.right() + 1, rect.top() + l.shadow, l.shadow, rect.height(),
                         ShadowColor());
        painter.fillRect(rect.left() + l.shadow, rect.bottom() + 1, rect.width(), l.shadow,
                         ShadowColor());
    }
    const PreviewPage& page = d->pages[size_t(index)];
    const QSize own = OwnPageSize(page, d->device);
    const qreal dpr = viewport()->devicePixelRatioF();
    const QSize pixels(qRound(rect.width() * dpr), qRound(rect.height() * dpr));
    const quint64 key = MakeRenderKey(d->generation, pixels);
    if (d->tooLargeToCache(pixels)) {
        painter.save();
        painter.setClipRect(rect.intersected(viewport()->rect()));
        painter.translate(rect.topLeft());
        painter.scale(double(rect.width()) / own.width(), double(rect.height()) / own.height());
        painter.setRenderHint(QPainter::Antialiasing);
        PaintPageContent(painter, page, own);
        painter.restore();
    } else if (d->cache.isFresh(index, key)) {
        painter.drawImage(rect, *d->cache.find(index));
    } else if (d->threads == 0) {
        QImage image = RenderPageImage(page, own, pixels, dpr);
        painter.drawImage(rect, image);
        d->cache.insert(index, std::move(image), key);
    } else if (const QImage* stale = d->cache.find(index)) {
        painter.drawImage(rect, *stale);  // stretched until the fresh one arrives
    } else {
        painter.fillRect(rect, Qt::white);
    }
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

void TPreviewControl::ScheduleRenders(int firstPage, int lastPage) {
    const PreviewLayout& l = d->layout;
    const int count = PageCount();
    // One row either side of the view is rendered ahead of need.
    const int low = std::max(0, firstPage - l.cols);
    const int high = std::min(count - 1, lastPage + l.cols);
    const qreal dpr = viewport()->devicePixelRatioF();
    const QSize pixels(qRound(l.pageSize.width() * dpr), qRound(l.pageSize.height() * dpr));
    const quint64 key = MakeRenderKey(d->generation, pixels);
    d->cache.evict(low, high, key);
    std::unordered_set<int> wanted;
    if (d->threads == 0 || d->tooLargeToCache(pixels)) {
        d->pool->keepOnly(wanted, key);
        return;
    }
    std::vector<int> order;
    for (int i = firstPage; i <= lastPage; ++i) {
        order.push_back(i);
    }
    for (int i = lastPage + 1; i <= high; ++i) {
        order.push_back(i);
    }
    for (int i = firstPage - 1; i >= low; --i) {
        order.push_back(i);
    }
    for (int i : order) {
        if (!d->cache.isFresh(i, key)) {
            wanted.insert(i);
        }
    }
    d->pool->keepOnly(wanted, key);
    for (int i : order) {
        if (wanted.count(i) != 0) {
            const PreviewPage& page = d->pages[size_t(i)];
            d->pool->request(i, key, page, OwnPageSize(page, d->device), pixels, dpr);
        }
    }
}

void TPreviewControl::RenderFinished(int index, quint64 key, QImage image) {
    if (index < 0 || index >= PageCount()) {
        return;
    }
    d->cache.insert(index, std::move(image), key);
    const QRect rect = PageRectInView(index);
    if (rect.intersects(viewport()->rect())) {
        Repaint();
    }
}

}  // namespace qv
