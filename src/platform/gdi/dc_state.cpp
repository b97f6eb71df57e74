#include "dc_state.h"

#include <cmath>

namespace qv::gdi {
namespace {

// Far beyond any device: the "whole surface" that exclusions cut from.
const QRectF kWholeDevice(-1.0e7, -1.0e7, 2.0e7, 2.0e7);

std::shared_ptr<const LogBrush> solidBrush(QRgb color, uint32_t style = kBsSolid) {
    auto b = std::make_shared<LogBrush>();
    b->style = style;
    b->color = color;
    return b;
}

std::shared_ptr<const LogPen> stockPen(QRgb color, uint32_t style) {
    auto p = std::make_shared<LogPen>();
    p->style = style;
    p->color = color;
    return p;
}

std::shared_ptr<const LogFont> stockFont(int height, int weight, const char* face, uint8_t pitch) {
    auto f = std::make_shared<LogFont>();
    f->height = height;
    f->weight = weight;
    f->faceName = QString::fromLatin1(face);
    f->pitchAndFamily = pitch;
    return f;
}

}  // namespace

QTransform DcState::pageToDevice() const {
    const double sx = viewportExt.width() / windowExt.width();
    const double sy = viewportExt.height() / windowExt.height();
    return QTransform(sx, 0, 0, sy, viewportOrg.x() - windowOrg.x() * sx,
                      viewportOrg.y() - windowOrg.y() * sy);
}

std::optional<ClipArea> DcState::effectiveClipArea() const {
    if (clip && metaRegion)
        return clip->intersected(*metaRegion);
    if (clip)
        return clip;
    return metaRegion;
}

std::optional<QPainterPath> DcState::effectiveClip() const {
    const std::optional<ClipArea> area = effectiveClipArea();
    if (!area)
        return std::nullopt;
    return area->path();
}

DeviceContext::DeviceContext(const ReferenceDevice& reference, uint32_t tableSize)
    : reference_(reference) {
    table_.resize(std::min(tableSize, kMaxObjectTable));
    selectStock(kBlackPen);
    selectStock(kWhiteBrush);
    selectStock(kSystemFont);
    selectStock(kDefaultPalette);
}

void DeviceContext::save() {
    if (stack_.size() < kMaxSaveDepth)
        stack_.push_back(state_);
}

bool DeviceContext::restore(int index) {
    long target = index < 0 ? static_cast<long>(stack_.size()) + index : index - 1L;
    if (index == 0 || target < 0 || target >= static_cast<long>(stack_.size()))
        return false;
    state_ = std::move(stack_[target]);
    stack_.resize(target);
    return true;
}

bool DeviceContext::putObject(uint32_t index, GdiObject object) {
    if (index == 0 || index >= kMaxObjectTable)
        return false;  // slot 0 is the metafile itself
    if (index >= table_.size())
        table_.resize(index + 1);
    table_[index] = std::move(object);
    return true;
}

int DeviceContext::putObjectLowestFree(GdiObject object) {
    for (size_t i = 0; i < table_.size(); ++i) {
        if (std::holds_alternative<std::monostate>(table_[i])) {
            table_[i] = std::move(object);
            return static_cast<int>(i);
        }
    }
    if (table_.size() >= kMaxObjectTable)
        return -1;
    table_.push_back(std::move(object));
    return static_cast<int>(table_.size() - 1);
}

bool DeviceContext::deleteObject(uint32_t index) {
    if (index >= table_.size())
        return false;
    table_[index] = std::monostate{};
    return true;
}

const GdiObject* DeviceContext::object(uint32_t index) const {
    if (index >= table_.size())
        return nullptr;
    return &table_[index];
}

bool DeviceContext::selectObject(uint32_t index) {
    if (index & kStockObjectFlag) {
        selectStock(index & ~kStockObjectFlag);
        return true;
    }
    const GdiObject* o = object(index);
    if (!o)
        return false;
    if (auto p = std::get_if<std::shared_ptr<const LogPen>>(o)) {
        state_.pen = *p;
    } else if (auto b = std::get_if<std::shared_ptr<const LogBrush>>(o)) {
        state_.brush = *b;
    } else if (auto f = std::get_if<std::shared_ptr<const LogFont>>(o)) {
        state_.font = *f;
    } else if (auto pal = std::get_if<std::shared_ptr<const LogPalette>>(o)) {
        state_.palette = *pal;
    } else if (auto r = std::get_if<std::shared_ptr<const GdiRegion>>(o)) {
        selectClipRegion((*r)->shape, kRgnCopy);
    } else {
        return false;
    }
    return true;
}

void DeviceContext::selectStock(uint32_t stock) {
    switch (stock) {
        case kWhiteBrush:
            state_.brush = solidBrush(0xFFFFFFFF);
            break;
        case kLtGrayBrush:
            state_.brush = solidBrush(0xFFC0C0C0);
            break;
        case kGrayBrush:
            state_.brush = solidBrush(0xFF808080);
            break;
        case kDkGrayBrush:
            state_.brush = solidBrush(0xFF404040);
            break;
        case kBlackBrush:
            state_.brush = solidBrush(0xFF000000);
            break;
        case kNullBrush:
            state_.brush = solidBrush(0xFF000000, kBsNull);
            break;
        case kDcBrush:
            state_.brush = solidBrush(0xFFFFFFFF);
            break;
        case kWhitePen:
            state_.pen = stockPen(0xFFFFFFFF, kPsSolid);
            break;
        case kBlackPen:
        case kDcPen:
            state_.pen = stockPen(0xFF000000, kPsSolid);
            break;
        case kNullPen:
            state_.pen = stockPen(0xFF000000, kPsNull);
            break;
        case kOemFixedFont:
        case kAnsiFixedFont:
        case kSystemFixedFont:
            state_.font = stockFont(12, 400, "Courier New", 0x31);
            break;
        case kAnsiVarFont:
            state_.font = stockFont(12, 400, "MS Sans Serif", 0x22);
            break;
        case kDefaultGuiFont:
            state_.font = stockFont(-11, 400, "MS Shell Dlg", 0x22);
            break;
        case kSystemFont:
        case kDeviceDefaultFont:
            state_.font = stockFont(16, 700, "System", 0x22);
            break;
        case kDefaultPalette:
            state_.palette = std::make_shared<LogPalette>();
            break;
        default:
            break;
    }
}

void DeviceContext::setMapMode(int mode) {
    const QSizeF mm = reference_.millimeters;
    const QSizeF px = reference_.pixels;
    DcState& s = state_;
    switch (mode) {
        case kMmText:
            s.windowExt = s.viewportExt = QSizeF(1, 1);
            break;
        case kMmLoMetric:
            s.windowExt = mm * 10;
            s.viewportExt = QSizeF(px.width(), -px.height());
            break;
        case kMmHiMetric:
            s.windowExt = mm * 100;
            s.viewportExt = QSizeF(px.width(), -px.height());
            break;
        case kMmLoEnglish:
            s.windowExt = mm * (100 / 25.4);
            s.viewportExt = QSizeF(px.width(), -px.height());
            break;
        case kMmHiEnglish:
            s.windowExt = mm * (1000 / 25.4);
            s.viewportExt = QSizeF(px.width(), -px.height());
            break;
        case kMmTwips:
            s.windowExt = mm * (1440 / 25.4);
            s.viewportExt = QSizeF(px.width(), -px.height());
            break;
        case kMmIsotropic:
            s.mapMode = mode;
            fixIsotropic();
            return;
        case kMmAnisotropic:
            break;
        default:
            return;
    }
    s.mapMode = mode;
}

bool DeviceContext::setWindowExt(QSizeF ext) {
    if (state_.mapMode != kMmIsotropic && state_.mapMode != kMmAnisotropic)
        return true;
    if (ext.width() == 0 || ext.height() == 0)
        return false;
    state_.windowExt = ext;
    fixIsotropic();
    return true;
}

bool DeviceContext::setViewportExt(QSizeF ext) {
    if (state_.mapMode != kMmIsotropic && state_.mapMode != kMmAnisotropic)
        return true;
    if (ext.width() == 0 || ext.height() == 0)
        return false;
    state_.viewportExt = ext;
    fixIsotropic();
    return true;
}

bool DeviceContext::scaleWindowExt(double xNum, double xDenom, double yNum, double yDenom) {
    if (xDenom == 0 || yDenom == 0)
        return false;
    const QSizeF e = state_.windowExt;
    return setWindowExt(QSizeF(e.width() * xNum / xDenom, e.height() * yNum / yDenom));
}

bool DeviceContext::scaleViewportExt(double xNum, double xDenom, double yNum, double yDenom) {
    if (xDenom == 0 || yDenom == 0)
        return false;
    const QSizeF e = state_.viewportExt;
    return setViewportExt(QSizeF(e.width() * xNum / xDenom, e.height() * yNum / yDenom));
}

// In MM_ISOTROPIC one logical unit has the same physical size on both axes:
// the viewport extent of the longer side is shrunk to match, signs kept.
void DeviceContext::fixIsotropic() {
    if (state_.mapMode != kMmIsotropic)
        return;
    DcState& s = state_;
    const double xdim = std::fabs(s.viewportExt.width() * reference_.millimeters.width() /
                                  (reference_.pixels.width() * s.windowExt.width()));
    const double ydim = std::fabs(s.viewportExt.height() * reference_.millimeters.height() /
                                  (reference_.pixels.height() * s.windowExt.height()));
    if (!(xdim > 0) || !(ydim > 0))
        return;
    if (xdim > ydim) {
        const double w = std::round(s.viewportExt.width() * ydim / xdim);
        s.viewportExt.setWidth(w != 0 ? w : (s.viewportExt.width() < 0 ? -1 : 1));
    } else {
        const double h = std::round(s.viewportExt.height() * xdim / ydim);
        s.viewportExt.setHeight(h != 0 ? h : (s.viewportExt.height() < 0 ? -1 : 1));
    }
}

QTransform DeviceContext::sanitize(const QTransform& t, bool* ok) {
    const double v[] = {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()};
    *ok = true;
    for (double d : v) {
        if (!std::isfinite(d) || std::fabs(d) > 1e12)
            *ok = false;
    }
    if (*ok && std::fabs(t.m11() * t.m22() - t.m12() * t.m21()) < 1e-30)
        *ok = false;
    return *ok ? t : QTransform();
}

bool DeviceContext::setWorldTransform(const QTransform& t) {
    bool ok = false;
    const QTransform clean = sanitize(t, &ok);
    if (ok)
        state_.world = clean;
    return ok;
}

bool DeviceContext::modifyWorldTransform(const QTransform& t, uint32_t mode) {
    switch (mode) {
        case 1:
            state_.world = QTransform();
            return true;
        case 2:
            return setWorldTransform(t * state_.world);
        case 3:
            return setWorldTransform(state_.world * t);
        case 4:
            return setWorldTransform(t);
        default:
            return false;
    }
}

QPainterPath DeviceContext::logicalRectToDevice(const QRectF& logical) const {
    QPainterPath p;
    p.addRect(logical.normalized());
    return state_.logicalToDevice().map(p);
}

void DeviceContext::setClip(std::optional<ClipArea> clip) {
    // Far too complex an area would make every later combination slow.
    if (clip && !clip->isRegion() && clip->path().elementCount() > kMaxClipElements)
        return;
    if (clip && clip->isRegion() && clip->region().rectCount() > kMaxClipElements * 20)
        return;
    state_.clip = std::move(clip);
    clipChanged();
}

void DeviceContext::intersectClipRect(const QRectF& logical) {
    const ClipArea r = ClipArea::fromPath(logicalRectToDevice(logical));
    setClip(state_.clip ? state_.clip->intersected(r) : r);
}

void DeviceContext::excludeClipRect(const QRectF& logical) {
    const ClipArea r = ClipArea::fromPath(logicalRectToDevice(logical));
    setClip((state_.clip ? *state_.clip : ClipArea::fromRect(kWholeDevice)).subtracted(r));
}

void DeviceContext::offsetClip(QPointF logicalOffset) {
    if (!state_.clip)
        return;
    const QTransform m = state_.pageToDevice();
    const QPointF d = m.map(logicalOffset) - m.map(QPointF(0, 0));
    setClip(state_.clip->translated(d));
}

void DeviceContext::selectClipRegion(const std::optional<QPainterPath>& region, int mode) {
    if (region)
        selectClipArea(ClipArea::fromPath(*region), mode);
    else
        selectClipArea(std::nullopt, mode);
}

void DeviceContext::selectClipArea(const std::optional<ClipArea>& region, int mode) {
    if (mode == kRgnCopy) {
        setClip(region);
        return;
    }
    if (!region)
        return;
    if (!state_.clip) {
        setClip(mode == kRgnDiff ? ClipArea::fromRect(kWholeDevice).subtracted(*region) : *region);
        return;
    }
    const ClipArea& c = *state_.clip;
    switch (mode) {
        case kRgnAnd:
            setClip(c.intersected(*region));
            break;
        case kRgnOr:
            setClip(c.united(*region));
            break;
        case kRgnXor:
            setClip(c.xored(*region));
            break;
        case kRgnDiff:
            setClip(c.subtracted(*region));
            break;
        default:
            break;
    }
}

void DeviceContext::setMetaRegion() {
    if (!state_.clip)
        return;
    state_.metaRegion =
        state_.metaRegion ? state_.metaRegion->intersected(*state_.clip) : *state_.clip;
    setClip(std::nullopt);
}

}  // namespace qv::gdi
