#pragma once

#include <QAbstractScrollArea>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "platform/gdi/picture.h"

class QPrinter;

namespace qv {

struct CachedImage;
struct TileGrid;

// Page geometry of the reference device, in that device's pixels.
struct DeviceInfo {
    int logPixelsX = 300;
    int logPixelsY = 300;
    int physicalWidth = 2480;
    int physicalHeight = 3507;
    int pageWidth = 2400;
    int pageHeight = 3281;
    int offsetLeft = 40;
    int offsetTop = 40;
    int offsetRight = 40;
    int offsetBottom = 40;

    // Inch to device pixels: round(LogPixels x inches).
    int inchToXPx(double inches) const;
    int inchToYPx(double inches) const;

    // The printable rectangle of the page: the physical page inset by the offsets.
    QRect printableRect() const;

    // The portrait A4 sheet at 300 dpi used when the screen is the reference.
    static DeviceInfo Screen();
    // The geometry of a printer's current page layout; a printer that reports
    // no usable resolution or paper gives the screen geometry.
    static DeviceInfo FromPrinter(const QPrinter& printer);
};

enum class ScaleMode { smFullPage = 0, smPageWidth = 1, smScale = 2 };

// One page of the preview: a picture placed into a rectangle of the page
// (device pixels of the geometry the page was built on).
struct PreviewPage {
    std::shared_ptr<const Picture> picture;  // null: a blank page
    QRect target;
    // The page's own size in device pixels (the physical page it was built
    // on); empty: the physical page of the current geometry. A page built on
    // another geometry is stretched onto the current one when shown.
    QSize size;
};

// The page preview: pages laid out in rows and columns at a zoom, painted
// lazily from a per-page cache at the current scale.
class TPreviewControl : public QAbstractScrollArea {
    Q_OBJECT
  public:
    // The largest zoom the preview shows, in percent.
    static constexpr int kMaxScale = 1600;

    explicit TPreviewControl(QWidget* parent = nullptr);
    ~TPreviewControl() override;

    // Pages.
    int PageCount() const;
    void ClearPages();
    void AddPage(PreviewPage page);
    void AddPages(std::vector<PreviewPage> pages);  // one relayout for all
    const PreviewPage& Page(int index) const;

    // While the update count is above 0 nothing is painted; layout and the
    // change notification still follow every change. The end that brings it
    // to 0 lays out, notifies and repaints.
    void BeginUpdate();
    void EndUpdate();

    // Options.
    int Scale() const;           // percent; computed in the full-page and page-width modes
    void SetScale(int percent);  // below 1 is stored as 1, above kMaxScale as kMaxScale
    ScaleMode GetScaleMode() const;
    void SetScaleMode(ScaleMode mode);
    int Rows() const;
    void SetRows(int rows);  // 0 is stored as 1
    int Cols() const;
    void SetCols(int cols);  // 0 is stored as 1
    bool DrawMargins() const;
    void SetDrawMargins(bool on);
    int ShadowOffset() const;
    void SetShadowOffset(int pixels);

    // Navigation.
    int TopRow() const;
    void SetTopRow(int row);  // clamped to 0 .. rows - 1
    void First();
    void Prior();
    void Next();
    void Last();
    int RowCount() const;
    // Scrolls by whole line steps (negative: left or up).
    void ScrollLines(Qt::Orientation orientation, int lines);

    int SelectedPage() const;  // -1 while none is selected
    void SetSelectedPage(int index);

    // Geometry of the reference device; setting it lays the pages out again.
    const DeviceInfo& GetDeviceInfo() const;
    void SetDeviceInfo(const DeviceInfo& info);

    // 0 the arrow, 1 the zoom-in magnifier, 2 the zoom-out magnifier.
    int CursorKind() const;
    void SetCursorKind(int kind);

    // Returns the hint shown beside the vertical scroll bar while scrolling.
    void SetScrollHintHandler(std::function<QString(int position)> handler);

    // Renders one page at its own size (device pixels of the geometry) onto
    // any painter: used by printing and by tests.
    void DrawPage(QPainter& painter, int index) const;

    // Where page index is shown, in viewport coordinates.
    QRect PageRectInView(int index) const;

    // Rendering: worker threads (0 renders while painting; by default one less
    // than the processor count, 1 to 4), the byte bound of the page image
    // cache (128 MiB by default), and what the cache and the workers hold now.
    void SetRenderThreadCount(int threads);
    int RenderThreadCount() const;
    void SetCacheLimit(qint64 bytes);
    qint64 CacheLimit() const;
    qint64 CachedBytes() const;
    int CachedImageCount() const;  // whole pages and tiles
    int PendingRenderCount() const;

  signals:
    void Changed();                 // after every relayout
    void PageDrawn(int pageIndex);  // after a page has been painted
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    struct Impl;
    std::unique_ptr<Impl> d;

    void Relayout();
    void RelayoutAndNotify();
    void Repaint();
    QPoint ContentOrigin() const;
    void PaintPage(QPainter& painter, int index, const QRect& rect, const TileGrid& grid,
                   quint64 key, const std::vector<int>& tiles);
    void ScheduleRenders(const std::vector<qint64>& order, int firstPage, int lastPage, quint64 key,
                         const TileGrid& grid);
    void RenderFinished(qint64 slot, CachedImage image);
};

}  // namespace qv
