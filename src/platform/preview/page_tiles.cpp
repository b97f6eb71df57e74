#include "platform/preview/page_tiles.h"

#include <algorithm>

namespace qv {

namespace {

constexpr int kTileBits = 20;

}  // namespace

qint64 SlotOf(int page, int tile) {
    return (qint64(page) << kTileBits) | (tile & ((1 << kTileBits) - 1));
}

int PageOfSlot(qint64 slot) {
    return int(slot >> kTileBits);
}

int TileOfSlot(qint64 slot) {
    return int(slot & ((1 << kTileBits) - 1));
}

QRect TileGrid::tileRect(int tile) const {
    if (whole || tile <= 0) {
        return QRect(QPoint(0, 0), full);
    }
    const int col = (tile - 1) % cols;
    const int row = (tile - 1) / cols;
    return QRect(col * kTileSize, row * kTileSize, kTileSize, kTileSize)
        .intersected(QRect(QPoint(0, 0), full));
}

std::vector<int> TileGrid::tilesIn(const QRect& region) const {
    const QRect area = region.intersected(QRect(QPoint(0, 0), full));
    if (area.isEmpty()) {
        return {};
    }
    if (whole) {
        return {0};
    }
    std::vector<int> tiles;
    for (int row = area.top() / kTileSize; row <= area.bottom() / kTileSize; ++row) {
        for (int col = area.left() / kTileSize; col <= area.right() / kTileSize; ++col) {
            tiles.push_back(1 + row * cols + col);
        }
    }
    return tiles;
}

TileGrid MakeTileGrid(QSize fullPixels, qint64 wholePageLimitBytes) {
    TileGrid grid;
    grid.full = fullPixels;
    const qint64 bytes = qint64(fullPixels.width()) * fullPixels.height() * 4;
    if (bytes <= wholePageLimitBytes) {
        return grid;
    }
    grid.whole = false;
    grid.cols = (fullPixels.width() + kTileSize - 1) / kTileSize;
    grid.rows = (fullPixels.height() + kTileSize - 1) / kTileSize;
    return grid;
}

}  // namespace qv
