#pragma once

// The drawing backend: carries out GDI drawing calls, given in logical
// coordinates, with the attributes of a DeviceContext, onto a QPainter. Both
// metafile decoders call it, so every drawing rule lives here once:
// pens (cosmetic one device pixel, geometric widths, dashes, caps, joins,
// PS_INSIDEFRAME, OPAQUE dash gaps), brushes (hatches as 8 x 8 device-pixel
// tiles from the brush origin), fill modes, the compatible-mode exclusion of
// right and bottom edges, paths, clipping, text and bitmaps with raster
// operations.
//
// While a path bracket is open (BeginPath), shapes are added to the path in
// device space instead of being drawn.

#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "dc_state.h"

namespace qv::gdi {

class TextRenderer;

// One text record: ExtTextOut, PolyTextOut entry, TextOut or SmallTextOut.
struct TextRun {
    QPointF reference;             // logical; ignored with TA_UPDATECP
    uint32_t options = 0;          // TextOutOptions
    QRectF rect;                   // logical; for ETO_OPAQUE and ETO_CLIPPED
    QString text;                  // characters (without ETO_GLYPH_INDEX)
    std::vector<uint16_t> glyphs;  // glyph numbers (with ETO_GLYPH_INDEX)
    std::vector<double> dx;        // advance per character or glyph, logical
    std::vector<double> dy;        // vertical advance per character (ETO_PDY)
};

// One bitmap transfer. Destination and source rectangles may have negative
// sizes, which mirror the image.
struct BlitOp {
    QRectF destination;              // logical: x, y, width, height
    const QImage* source = nullptr;  // decoded source, or null for pattern-only ops
    QRectF sourceRect;               // in source pixels
    uint32_t rop = kSrcCopy;         // ternary raster operation
};

enum class ArcKind { Arc, ArcTo, Chord, Pie };

class GdiPainter {
  public:
    // deviceToTarget maps the metafile's device space onto the painter's
    // current coordinates. The painter's state is restored on destruction.
    GdiPainter(QPainter& painter, const QTransform& deviceToTarget);
    ~GdiPainter();
    GdiPainter(const GdiPainter&) = delete;
    GdiPainter& operator=(const GdiPainter&) = delete;

    // True if the target is made of pixels (image, pixmap, widget), where
    // raster operations can be composed exactly.
    bool rasterTarget() const { return raster_; }
    QPainter& painter() { return painter_; }
    // Target device pixels per device-space unit (for cosmetic sizes).
    double targetScale() const { return targetScale_; }

    // Lines. All points are logical; the current position is used and updated
    // as GDI does.
    void moveTo(DeviceContext& dc, QPointF p);
    void lineTo(DeviceContext& dc, QPointF p);
    void polyline(DeviceContext& dc, std::span<const QPointF> points);
    void polylineTo(DeviceContext& dc, std::span<const QPointF> points);
    void polyBezier(DeviceContext& dc, std::span<const QPointF> points);
    void polyBezierTo(DeviceContext& dc, std::span<const QPointF> points);
    void polyPolyline(DeviceContext& dc, const std::vector<QPolygonF>& lines);
    // PolyDraw: types are PT_MOVETO 6, PT_LINETO 2, PT_BEZIERTO 4, | PT_CLOSEFIGURE 1.
    void polyDraw(DeviceContext& dc, std::span<const QPointF> points,
                  std::span<const uint8_t> types);

    // Closed shapes: outlined with the pen, filled with the brush.
    void polygon(DeviceContext& dc, std::span<const QPointF> points);
    void polyPolygon(DeviceContext& dc, const std::vector<QPolygonF>& polygons);
    void rectangle(DeviceContext& dc, const QRectF& box);  // box from its corners
    void roundRect(DeviceContext& dc, const QRectF& box, QSizeF corner);
    void ellipse(DeviceContext& dc, const QRectF& box);
    // Arc family: the box of the ellipse and two points on radials.
    void arc(DeviceContext& dc, ArcKind kind, const QRectF& box, QPointF start, QPointF end);
    void angleArc(DeviceContext& dc, QPointF center, double radius, double startDeg,
                  double sweepDeg);
    void setPixel(DeviceContext& dc, QPointF p, QRgb color);
    // ExtFloodFill with the current brush from a logical point: the area of
    // the colour (surface) or the area bounded by it. Needs an image target.
    void floodFill(DeviceContext& dc, QPointF start, QRgb color, bool surface);

    // Path bracket.
    void beginPath(DeviceContext& dc);
    void endPath(DeviceContext& dc);
    void closeFigure(DeviceContext& dc);
    void abortPath(DeviceContext& dc);
    void flattenPath(DeviceContext& dc);
    void widenPath(DeviceContext& dc);
    void fillPath(DeviceContext& dc);
    void strokePath(DeviceContext& dc);
    void strokeAndFillPath(DeviceContext& dc);
    void selectClipPath(DeviceContext& dc, int mode);

    // Regions in device space.
    void fillRegion(DeviceContext& dc, const QPainterPath& region, const LogBrush& brush);
    void paintRegion(DeviceContext& dc, const QPainterPath& region);
    void frameRegion(DeviceContext& dc, const QPainterPath& region, const LogBrush& brush,
                     QSizeF logicalFrame);
    void invertRegion(DeviceContext& dc, const QPainterPath& region);

    // Text in the selected font.
    void textOut(DeviceContext& dc, const TextRun& run);

    // Bitmaps and pattern fills.
    void blit(DeviceContext& dc, const BlitOp& op);
    void patBlt(DeviceContext& dc, const QRectF& box, uint32_t rop);
    void transparentBlt(DeviceContext& dc, const BlitOp& op, QRgb transparent);
    // AlphaBlend: constantAlpha 0..255; perPixel uses the source's alpha.
    void alphaBlend(DeviceContext& dc, const BlitOp& op, int constantAlpha, bool perPixel);
    // MaskBlt: where the mask is 1 the foreground ROP3 applies, else the background one.
    void maskBlt(DeviceContext& dc, const BlitOp& op, const QImage& mask, QPoint maskOrigin,
                 uint32_t rop4);
    // PlgBlt: the source rectangle onto the parallelogram whose top-left,
    // top-right and bottom-left corners are given (logical); an optional
    // monochrome mask keeps the destination where it is 0.
    void plgBlt(DeviceContext& dc, const std::array<QPointF, 3>& corners, const QImage& source,
                const QRectF& sourceRect, const QImage& mask, QPoint maskOrigin);
    // GradientFill: rectangles (horizontal or vertical) or triangles, logical.
    struct GradientVertex {
        QPointF point;
        QColor color;
    };
    void gradientFill(DeviceContext& dc, std::span<const GradientVertex> vertices,
                      std::span<const uint32_t> indices, uint32_t mode);

    // Converts logical points to device space with the DC's current transform.
    static QPolygonF toDevice(const DeviceContext& dc, std::span<const QPointF> points);

  private:
    friend class TextRenderer;
    void syncClip(const DcState& s);
    void drawShape(DeviceContext& dc, const QPainterPath& devicePath, bool fill, bool stroke);
    void strokeDevicePath(const DcState& s, const QPainterPath& path);
    void strokeDevicePolyline(const DcState& s, const QPolygonF& line);
    void strokeTinyPath(const QPainterPath& path, const QPen& pen);
    bool strokeOnPixels(const QPainterPath& target, QPen pen, std::optional<QPen> gap);
    // Builds the Qt pen for the selected GDI pen; false when nothing is drawn.
    // gap receives the pen for OPAQUE dash gaps, if one is needed.
    bool makePen(const DcState& s, double deviceLength, QPen* pen, std::optional<QPen>* gap);
    double edgeExclusion(const DcState& s) const;
    void fillDevicePath(const DcState& s, const QPainterPath& path, const LogBrush& brush);
    bool applyRop2(const DcState& s, QColor* color);
    QPainterPath ellipseShape(const DeviceContext& dc, QRectF box, bool insideFrame) const;
    QRectF shapeBox(const DeviceContext& dc, const QRectF& logicalBox, bool insideFrame) const;
    void appendToPath(DeviceContext& dc, const QPainterPath& devicePath, bool continueFigure);
    QImage brushImage(const DcState& s, const LogBrush& brush) const;
    // Composes a raster operation exactly on an image target; false when the
    // target or the transform does not allow it.
    bool composeOnPixels(const DcState& s, const QRectF& destination, const QImage* source,
                         const QRectF& sourceRect, uint32_t rop);
    void shadeTriangle(const QPolygonF& device, const std::array<QColor, 3>& colors);
    void drawImage(const DcState& s, const QPainterPath& deviceQuad, const QRectF& destDevice,
                   const QImage& image, const QRectF& sourceRect, uint32_t rop);

    QPainter& painter_;
    QTransform original_;
    std::optional<QPainterPath> callerClip_;
    QTransform placement_;
    double targetScale_ = 1;
    bool raster_ = false;
    // Pixels that flood fills and shaded triangles may still compute in this
    // playback: a file cannot make them take unbounded time.
    int64_t pixelBudget_ = 0;
    bool spendPixels(int64_t pixels);
    uint64_t appliedClip_ = ~uint64_t{0};
    std::unique_ptr<TextRenderer> text_;
};

}  // namespace qv::gdi
