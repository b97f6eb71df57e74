#pragma once

// Plays Windows metafiles (WMF) as GDI's PlayMetaFile draws them, through the
// shared device-context state machine and drawing backend.

#include <QByteArray>
#include <QPainter>
#include <QRectF>
#include <map>
#include <memory>

#include "platform/gdi/picture.h"
#include "wmf_format.h"

namespace qv::gdi {

struct WmfPlayOptions {
    // When set, receives the functions of records that were skipped (unknown
    // or unsupported) with their counts.
    std::map<uint16_t, int>* skipped = nullptr;
};

// Draws file stretched into target (in the painter's current coordinates):
// the picture's logical bounds (see WmfLogicalBounds) fill target. Never throws.
void PlayWmf(QPainter& painter, const QRectF& target, const WmfFile& file,
             const WmfPlayOptions& options = {});

// The metafile made by reassembling the MFCOMMENT "WMFC" escapes that some
// writers use to carry an enhanced metafile inside a WMF; empty when there is
// none or its chunks are inconsistent.
QByteArray EmbeddedEmf(const WmfFile& file);

}  // namespace qv::gdi

namespace qv {

// Loads a WMF (with or without placeable header) as a picture. Throws
// PictureError when the bytes are not a Windows metafile.
std::unique_ptr<Picture> LoadWmfPicture(const QByteArray& bytes);

}  // namespace qv
