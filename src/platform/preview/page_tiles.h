#pragma once

#include <QRect>
#include <QSize>
#include <QtGlobal>
#include <vector>

namespace qv {

// A page image is rendered and cached whole while it is small; a larger one
// (a high zoom) is cut into square tiles so that only the part in view is
// rendered and kept.
inline constexpr int kTileSize = 1024;

// A cache slot names one piece of one page: tile 0 is the whole page, tiles
// from 1 on are pieces of a tiled page.
qint64 SlotOf(int page, int tile);
int PageOfSlot(qint64 slot);
int TileOfSlot(qint64 slot);

struct TileGrid {
    QSize full;         // the whole page image, in device pixels
    bool whole = true;  // one piece: the page itself
    int cols = 1;
    int rows = 1;

    // The piece's rectangle within the whole page image.
    QRect tileRect(int tile) const;
    // The pieces that touch region (whole-page image coordinates).
    std::vector<int> tilesIn(const QRect& region) const;
};

TileGrid MakeTileGrid(QSize fullPixels, qint64 wholePageLimitBytes);

}  // namespace qv
