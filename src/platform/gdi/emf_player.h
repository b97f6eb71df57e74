#pragma once

// Enhanced metafiles: the header, the record list and playback onto a
// QPainter as GDI's PlayEnhMetaFile draws them.

#include <QByteArray>
#include <QPainter>
#include <QRect>
#include <QRectF>
#include <QSizeF>
#include <vector>

#include "dc_state.h"
#include "playback_log.h"

namespace qv::gdi {

struct EmfHeader {
    QRect bounds;  // inclusive, reference device pixels: the ink box only
    QRect frame;   // inclusive, 0.01 mm: what is placed on the target
    ReferenceDevice reference;
    uint32_t handles = 0;  // object table size
};

// A parsed EMF: immutable after construction, so one document may be played
// from several threads at once.
class EmfDocument {
  public:
    // Checks the header and splits the records; every record's size is checked
    // against the file (a bad size ends the list there). Throws PictureError
    // when the bytes are not an enhanced metafile.
    explicit EmfDocument(QByteArray bytes);

    const EmfHeader& header() const { return header_; }
    size_t recordCount() const { return records_.size(); }
    // The natural size in pixels at 96 dpi, from the frame.
    QSizeF naturalSize() const;
    // The frame in reference device pixels.
    QRectF frameInDevice() const;

    // Draws the frame stretched into target (painter coordinates). Unknown or
    // malformed records are skipped and counted in log. Never throws.
    void play(QPainter& painter, const QRectF& target, PlaybackLog* log = nullptr) const;

  private:
    struct Record {
        uint32_t type;
        uint32_t offset;
        uint32_t size;
    };
    QByteArray bytes_;
    EmfHeader header_;
    std::vector<Record> records_;
};

// True if bytes start like an enhanced metafile.
bool LooksLikeEmf(const QByteArray& bytes);

}  // namespace qv::gdi
