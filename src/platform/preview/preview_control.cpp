#include "platform/preview/preview_control.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>

#include "platform/preview/page_render_pool.h"
#include "platform/preview/preview_cursors.h"
#include "platform/preview/preview_impl.h"

namespace qv {

TPreviewControl::TPreviewControl(QWidget* parent) : QAbstractScrollArea(parent), d(new Impl) {
    d->pool = std::make_unique<PageRenderPool>(
        this, [this](qint64 slot, CachedImage image) { RenderFinished(slot, std::move(image)); });
    d->pool->setThreadCount(d->threads);
    d->options.shadow = 4;
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    Relayout();
}

TPreviewControl::~TPreviewControl() {
    d->pool.reset();  // waits for the workers before anything else goes
}

// ---- pages ----

int TPreviewControl::PageCount() const {
    return int(d->pages.size());
}

void TPreviewControl::ClearPages() {
    d->pages.clear();
    d->cache.clear();
    d->pool->cancelAll();
    ++d->generation;
    RelayoutAndNotify();
}

void TPreviewControl::AddPage(PreviewPage page) {
    d->pages.push_back(std::move(page));
    RelayoutAndNotify();
}

void TPreviewControl::AddPages(std::vector<PreviewPage> pages) {
    if (pages.empty()) {
        return;
    }
    for (PreviewPage& page : pages) {
        d->pages.push_back(std::move(page));
    }
    RelayoutAndNotify();
}

const PreviewPage& TPreviewControl::Page(int index) const {
    return d->pages.at(size_t(index));
}

// ---- update bracket and layout ----

void TPreviewControl::BeginUpdate() {
    if (d->updateCount++ == 0) {
        viewport()->setUpdatesEnabled(false);
    }
}

void TPreviewControl::EndUpdate() {
    if (d->updateCount == 0) {
        return;
    }
    if (--d->updateCount == 0) {
        viewport()->setUpdatesEnabled(true);
        RelayoutAndNotify();
    }
}

void TPreviewControl::Relayout() {
    const QSize area = contentsRect().size();
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const PreviewLayout old = d->layout;
    QScrollBar* vbar = verticalScrollBar();
    QScrollBar* hbar = horizontalScrollBar();
    const int oldV = vbar->value();
    const int oldH = hbar->value();
    d->layout = ComputePreviewLayout(PageCount(), d->device, d->options, area, extent,
                                     logicalDpiX(), logicalDpiY());
    d->layoutArea = area;
    if (d->options.mode != ScaleMode::smScale) {
        d->options.scale = d->layout.scale;  // read back, and kept when switching to smScale
    }
    const PreviewLayout& l = d->layout;
    d->inLayout = true;
    setVerticalScrollBarPolicy(l.vbar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(l.hbar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    vbar->setRange(0, std::max(0, l.contentHeight - l.viewport.height()));
    vbar->setPageStep(l.viewport.height());
    vbar->setSingleStep(std::clamp(l.strideY() / 20, 8, 64));
    hbar->setRange(0, std::max(0, l.contentWidth - l.viewport.width()));
    hbar->setPageStep(l.viewport.width());
    hbar->setSingleStep(std::clamp(l.strideX() / 20, 8, 64));
    // Keep the same part of the document in view when the pages grow or shrink.
    if (old.contentHeight > 0 && old.contentHeight != l.contentHeight) {
        vbar->setValue(int(double(oldV) * l.contentHeight / old.contentHeight + 0.5));
    }
    if (old.contentWidth > 0 && old.contentWidth != l.contentWidth) {
        hbar->setValue(int(double(oldH) * l.contentWidth / old.contentWidth + 0.5));
    }
    d->inLayout = false;
}

void TPreviewControl::RelayoutAndNotify() {
    Relayout();
    emit Changed();
    Repaint();
}

void TPreviewControl::Repaint() {
    if (d->updateCount == 0) {
        viewport()->update();
    }
}

QPoint TPreviewControl::ContentOrigin() const {
    const PreviewLayout& l = d->layout;
    const int x = l.contentWidth < l.viewport.width() ? (l.viewport.width() - l.contentWidth) / 2
                                                      : -horizontalScrollBar()->value();
    return QPoint(x, -verticalScrollBar()->value());
}

// ---- options ----

int TPreviewControl::Scale() const {
    return d->options.mode == ScaleMode::smScale ? d->options.scale : d->layout.scale;
}

void TPreviewControl::SetScale(int percent) {
    percent = std::clamp(percent, 1, kMaxScale);
    if (percent == d->options.scale) {
        return;
    }
    d->options.scale = percent;
    RelayoutAndNotify();
}

ScaleMode TPreviewControl::GetScaleMode() const {
    return d->options.mode;
}

void TPreviewControl::SetScaleMode(ScaleMode mode) {
    if (mode == d->options.mode) {
        return;
    }
    d->options.mode = mode;
    RelayoutAndNotify();
}

int TPreviewControl::Rows() const {
    return d->options.rows;
}

void TPreviewControl::SetRows(int rows) {
    rows = std::max(1, rows);
    if (rows != d->options.rows) {
        d->options.rows = rows;
        RelayoutAndNotify();
    }
}

int TPreviewControl::Cols() const {
    return d->options.cols;
}

void TPreviewControl::SetCols(int cols) {
    cols = std::max(1, cols);
    if (cols != d->options.cols) {
        d->options.cols = cols;
        RelayoutAndNotify();
    }
}

bool TPreviewControl::DrawMargins() const {
    return d->drawMargins;
}

void TPreviewControl::SetDrawMargins(bool on) {
    if (on != d->drawMargins) {
        d->drawMargins = on;
        RelayoutAndNotify();
    }
}

int TPreviewControl::ShadowOffset() const {
    return d->options.shadow;
}

void TPreviewControl::SetShadowOffset(int pixels) {
    pixels = std::max(0, pixels);
    if (pixels != d->options.shadow) {
        d->options.shadow = pixels;
        RelayoutAndNotify();
    }
}

const DeviceInfo& TPreviewControl::GetDeviceInfo() const {
    return d->device;
}

void TPreviewControl::SetDeviceInfo(const DeviceInfo& info) {
    d->device = info;
    ++d->generation;
    RelayoutAndNotify();
}

// ---- navigation ----

int TPreviewControl::TopRow() const {
    return d->layout.topRowAt(verticalScrollBar()->value());
}

void TPreviewControl::SetTopRow(int row) {
    const PreviewLayout& l = d->layout;
    row = std::clamp(row, 0, std::max(0, l.rowCount - 1));
    QScrollBar* bar = verticalScrollBar();
    d->programmaticScroll = true;
    bar->setValue(int(std::min<qint64>(l.rowTop(row), bar->maximum())));
    d->programmaticScroll = false;
}

void TPreviewControl::First() {
    SetTopRow(0);
}

void TPreviewControl::Prior() {
    SetTopRow(TopRow() - 1);
}

void TPreviewControl::Next() {
    SetTopRow(TopRow() + 1);
}

void TPreviewControl::Last() {
    SetTopRow(RowCount() - 1);
}

int TPreviewControl::RowCount() const {
    return d->layout.rowCount;
}

void TPreviewControl::ScrollLines(Qt::Orientation orientation, int lines) {
    QScrollBar* bar = orientation == Qt::Vertical ? verticalScrollBar() : horizontalScrollBar();
    bar->setValue(int(std::clamp<qint64>(qint64(bar->value()) + qint64(lines) * bar->singleStep(),
                                         bar->minimum(), bar->maximum())));
}

int TPreviewControl::SelectedPage() const {
    return d->selected;
}

void TPreviewControl::SetSelectedPage(int index) {
    if (index != d->selected) {
        d->selected = index;
        Repaint();
    }
}

int TPreviewControl::CursorKind() const {
    return d->cursorKind;
}

void TPreviewControl::SetCursorKind(int kind) {
    d->cursorKind = kind;
    if (kind == 1 || kind == 2) {
        viewport()->setCursor(MagnifierCursor(kind == 1));
    } else {
        viewport()->unsetCursor();
    }
}

void TPreviewControl::SetScrollHintHandler(std::function<QString(int position)> handler) {
    d->scrollHint = std::move(handler);
}

QRect TPreviewControl::PageRectInView(int index) const {
    if (index < 0 || index >= PageCount()) {
        return QRect();
    }
    return d->layout.pageRect(index).translated(ContentOrigin());
}

// ---- rendering settings ----

void TPreviewControl::SetRenderThreadCount(int threads) {
    d->threads = std::max(0, threads);
    if (d->threads > 0) {
        d->pool->setThreadCount(d->threads);
    } else {
        d->pool->cancelAll();
    }
}

int TPreviewControl::RenderThreadCount() const {
    return d->threads;
}

void TPreviewControl::SetCacheLimit(qint64 bytes) {
    d->cache.setLimit(std::max<qint64>(0, bytes));
}

qint64 TPreviewControl::CacheLimit() const {
    return d->cache.limit();
}

qint64 TPreviewControl::CachedBytes() const {
    return d->cache.bytes();
}

int TPreviewControl::CachedImageCount() const {
    return d->cache.count();
}

int TPreviewControl::PendingRenderCount() const {
    return d->pool->pendingCount();
}

// ---- events ----

void TPreviewControl::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (!d->inLayout && contentsRect().size() != d->layoutArea) {
        RelayoutAndNotify();
    }
}

void TPreviewControl::scrollContentsBy(int /*dx*/, int dy) {
    Repaint();
    if (dy == 0 || d->inLayout || !d->scrollHint) {
        return;
    }
    QScrollBar* bar = verticalScrollBar();
    const QString text = d->scrollHint(bar->value());
    if (d->programmaticScroll || text.isEmpty() || !isVisible()) {
        return;
    }
    const double along = bar->maximum() > 0 ? double(bar->value()) / bar->maximum() : 0.0;
    const int y = int(along * std::max(0, bar->height() - 24)) + 12;
    const QPoint at = bar->mapToGlobal(QPoint(-8 - fontMetrics().horizontalAdvance(text) - 16, y));
    QToolTip::showText(at, text, this, QRect(), 1500);
}

void TPreviewControl::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    emit MouseDown(event->button(), event->modifiers(), pos);
    // The handler may have zoomed; the page is looked up in the layout now shown.
    const int index = d->layout.pageAt(pos - ContentOrigin(), PageCount());
    if (index >= 0) {
        SetSelectedPage(index);
    }
    event->accept();
}

void TPreviewControl::wheelEvent(QWheelEvent* event) {
    QScrollBar* bar = verticalScrollBar();
    qint64 delta = 0;
    if (!event->pixelDelta().isNull()) {
        delta = -event->pixelDelta().y();
    } else {
        const qint64 lines = QApplication::wheelScrollLines();
        delta = -qint64(event->angleDelta().y()) * lines * bar->singleStep() / 120;
    }
    bar->setValue(int(std::clamp<qint64>(bar->value() + delta, bar->minimum(), bar->maximum())));
    event->accept();
}

void TPreviewControl::keyPressEvent(QKeyEvent* event) {
    // Keys belong to the window: it turns them into row and line moves.
    event->ignore();
}

}  // namespace qv
