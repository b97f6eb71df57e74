#pragma once

// The record-by-record playback of a WMF, shared by wmf_player.cpp (state and
// object records) and wmf_draw.cpp (drawing, text and bitmap records).

#include <map>

#include "dib.h"
#include "gdi_painter.h"
#include "playback_log.h"
#include "wmf_format.h"

namespace qv::gdi {

class WmfPlayback {
  public:
    WmfPlayback(DeviceContext& dc, GdiPainter& painter, PlaybackLog& log,
                std::map<uint16_t, int>* skipped)
        : dc_(dc), painter_(painter), log_(log), skipped_(skipped) {}

    void play(const WmfRecord& r);

  private:
    // wmf_player.cpp
    bool stateRecord(const WmfRecord& r);
    bool objectRecord(const WmfRecord& r);
    void createPatternBrush(const WmfRecord& r);
    std::shared_ptr<const GdiRegion> region(uint16_t index) const;
    std::shared_ptr<const LogBrush> brush(uint16_t index) const;
    void skip(const WmfRecord& r);

    // wmf_draw.cpp
    bool drawRecord(const WmfRecord& r);
    void polyPolygon(const WmfRecord& r);
    void textOut(const WmfRecord& r);
    void extTextOut(const WmfRecord& r);
    bool bitmapRecord(const WmfRecord& r);
    void dibBlit(const WmfRecord& r, size_t dibAt, uint32_t usage, QRectF dest, QRectF src,
                 uint32_t rop);
    void dibBlit(std::span<const uint8_t> info, std::span<const uint8_t> bits, uint32_t usage,
                 QRectF dest, QRectF src, uint32_t rop);
    void setDibToDevice(const WmfRecord& r);
    DibColors dibColors() const;

    // GDI rounds every coordinate to whole device pixels before drawing; thin
    // shapes (one-pixel rules drawn as polygons) depend on it. These return
    // logical coordinates whose device position is that rounded one.
    QPointF snap(QPointF logical) const;
    std::vector<QPointF> snap(std::vector<QPointF> logical) const;
    QRectF snapCorners(const QRectF& logical) const;  // a box given by two corners

    DeviceContext& dc_;
    GdiPainter& painter_;
    PlaybackLog& log_;
    std::map<uint16_t, int>* skipped_;
};

// Splits a packed DIB (header, colour table, bits) as records carry it.
bool SplitPackedDib(std::span<const uint8_t> packed, uint32_t usage, std::span<const uint8_t>* info,
                    std::span<const uint8_t>* bits);

}  // namespace qv::gdi
