#pragma once

// The device-context state machine shared by the EMF and WMF players: the
// object table with its stock objects, the SaveDC/RestoreDC stack, mapping
// modes, the world transform, clipping, the current position, the path being
// recorded and the text and drawing attributes.
//
// Coordinates: "logical" units are what drawing records carry; the world
// transform takes them to page space and the window/viewport mapping to
// device space. Device space is the metafile's reference device (its pixels);
// the drawing backend places device space on the target painter. Clipping
// regions and recorded paths are kept in device space, as GDI keeps them.

#include <QColor>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QTransform>
#include <cstdint>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include "clip_area.h"
#include "gdi_constants.h"

namespace qv::gdi {

// A pen as CreatePen or ExtCreatePen described it.
struct LogPen {
    uint32_t style = kPsSolid;   // style, end cap, join and type bits (PenStyle)
    double width = 0;            // logical units; 0 means one device pixel
    QRgb color = 0xFF000000;     // opaque colour
    bool extended = false;       // made by ExtCreatePen (dashes scale with width)
    std::vector<double> dashes;  // PS_USERSTYLE entries, logical units
    uint32_t penStyle() const { return style & kPsStyleMask; }
    bool cosmetic() const { return (style & kPsTypeMask) != kPsGeometric; }
};

// A brush. Pattern brushes keep their DIB bytes; monochrome ones are coloured
// with the text and background colours when used, so they are decoded late.
struct LogBrush {
    uint32_t style = kBsSolid;  // BrushStyle
    QRgb color = 0xFFFFFFFF;
    uint32_t hatch = 0;               // HatchStyle for BS_HATCHED
    std::vector<uint8_t> bitmapInfo;  // BS_DIBPATTERN*: BITMAPINFO bytes
    std::vector<uint8_t> bits;        // and the pixel bytes
    uint32_t usage = 0;               // DIB_RGB_COLORS or DIB_PAL_COLORS
    bool monochrome = false;          // CreateMonoBrush: colours from the DC
};

// A font as LOGFONT describes it.
struct LogFont {
    int height = 0;      // > 0 cell height, < 0 em height, 0 default; logical units
    int width = 0;       // average character width, 0 for the natural width
    int escapement = 0;  // tenths of a degree, counter-clockwise
    int orientation = 0;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    uint8_t charSet = kDefaultCharset;
    uint8_t pitchAndFamily = 0;
    QString faceName;
};

struct LogPalette {
    std::vector<QRgb> entries;
};

// A region object (WMF CREATEREGION); its shape in the coordinates its record gave.
struct GdiRegion {
    QPainterPath shape;
};

using GdiObject = std::variant<std::monostate, std::shared_ptr<const LogPen>,
                               std::shared_ptr<const LogBrush>, std::shared_ptr<const LogFont>,
                               std::shared_ptr<const LogPalette>, std::shared_ptr<const GdiRegion>>;

// The part of the state that SaveDC saves and RestoreDC brings back.
struct DcState {
    // Mapping.
    int mapMode = kMmText;
    QPointF windowOrg{0, 0};
    QPointF viewportOrg{0, 0};
    QSizeF windowExt{1, 1};
    QSizeF viewportExt{1, 1};
    QTransform world;  // logical to page space
    int graphicsMode = kGmCompatible;

    // Selected objects. They are copies, so deleting a selected object from
    // the table leaves it in use until something else is selected.
    std::shared_ptr<const LogPen> pen;
    std::shared_ptr<const LogBrush> brush;
    std::shared_ptr<const LogFont> font;
    std::shared_ptr<const LogPalette> palette;

    // Text and drawing attributes.
    uint32_t textAlign = 0;
    QRgb textColor = 0xFF000000;
    QRgb bkColor = 0xFFFFFFFF;
    int bkMode = kOpaque;
    int polyFillMode = kAlternate;
    int rop2 = kR2CopyPen;
    int stretchMode = kBlackOnWhite;
    int arcDirection = kCounterClockwise;
    double miterLimit = 10;
    QPoint brushOrigin{0, 0};  // device pixels
    int textCharExtra = 0;
    int textJustifyExtra = 0;  // SetTextJustification: extra space, logical units
    int textJustifyBreaks = 0;
    QPointF currentPosition{0, 0};  // logical units

    // Clipping, in device space; empty optional means no clipping. The
    // effective clip is the intersection of clip and metaRegion.
    std::optional<ClipArea> clip;
    std::optional<ClipArea> metaRegion;
    uint64_t clipId = 0;  // changes whenever the effective clip changes

    // Path bracket: recorded in device space between BeginPath and EndPath.
    bool pathOpen = false;     // between BeginPath and EndPath
    bool pathDefined = false;  // EndPath closed a bracket that is not yet used
    QPainterPath path;

    // The logical to device transform (world, then window to viewport).
    QTransform pageToDevice() const;
    QTransform logicalToDevice() const { return world * pageToDevice(); }
    // The effective clip in device space, if any.
    std::optional<ClipArea> effectiveClipArea() const;
    std::optional<QPainterPath> effectiveClip() const;
};

// Information about the reference device the metafile was recorded for.
struct ReferenceDevice {
    QSizeF pixels{1024, 768};
    QSizeF millimeters{320, 240};
};

// The whole device context: state, save stack and object table.
class DeviceContext {
  public:
    explicit DeviceContext(const ReferenceDevice& reference, uint32_t tableSize = 0);

    DcState& state() { return state_; }
    const DcState& state() const { return state_; }
    const ReferenceDevice& reference() const { return reference_; }

    // SaveDC pushes a copy; RestoreDC(n) with n < 0 pops relative to the top
    // (-1 the last saved), n > 0 restores the state saved as number n
    // (the first SaveDC is 1). Returns false if no such state exists.
    void save();
    bool restore(int index);
    size_t saveDepth() const { return stack_.size(); }

    // Object table. EMF records name their slot; WMF takes the lowest free one.
    bool putObject(uint32_t index, GdiObject object);
    int putObjectLowestFree(GdiObject object);  // returns the slot or -1
    bool deleteObject(uint32_t index);
    // Selects a table object or, with kStockObjectFlag, a stock object. A
    // region selects as the clip (RGN_COPY). Returns false for an empty slot.
    bool selectObject(uint32_t index);
    const GdiObject* object(uint32_t index) const;

    // Mapping records; extents are ignored outside the scalable modes and
    // zero extents are rejected, as GDI does.
    void setMapMode(int mode);
    bool setWindowExt(QSizeF ext);
    bool setViewportExt(QSizeF ext);
    void setWindowOrg(QPointF org) { state_.windowOrg = org; }
    void setViewportOrg(QPointF org) { state_.viewportOrg = org; }
    bool scaleWindowExt(double xNum, double xDenom, double yNum, double yDenom);
    bool scaleViewportExt(double xNum, double xDenom, double yNum, double yDenom);
    bool setWorldTransform(const QTransform& t);
    // MWT_IDENTITY 1, MWT_LEFTMULTIPLY 2, MWT_RIGHTMULTIPLY 3, MWT_SET 4.
    bool modifyWorldTransform(const QTransform& t, uint32_t mode);

    // Clipping. Rectangles are logical; regions and paths are device space.
    void intersectClipRect(const QRectF& logical);
    void excludeClipRect(const QRectF& logical);
    void offsetClip(QPointF logicalOffset);
    // Combines a device-space region with the clip (RegionMode); a null
    // region with kRgnCopy removes the clip.
    void selectClipRegion(const std::optional<QPainterPath>& deviceRegion, int mode);
    void selectClipArea(const std::optional<ClipArea>& deviceRegion, int mode);
    void setMetaRegion();

    // Converts a logical rectangle given by corners to a device-space shape.
    QPainterPath logicalRectToDevice(const QRectF& logical) const;

    static QTransform sanitize(const QTransform& t, bool* ok);

  private:
    void fixIsotropic();
    void clipChanged() { state_.clipId = ++clipCounter_; }
    void setClip(std::optional<ClipArea> clip);
    void selectStock(uint32_t stock);

    ReferenceDevice reference_;
    DcState state_;
    std::vector<DcState> stack_;
    std::vector<GdiObject> table_;
    uint64_t clipCounter_ = 0;
};

// Limits that keep hostile files from exhausting memory or time.
constexpr uint32_t kMaxObjectTable = 65536;
constexpr size_t kMaxSaveDepth = 4096;
constexpr int kMaxClipElements = 5000;

}  // namespace qv::gdi
