#include "platform/gdi/hatch.h"

namespace qv {

// GDI's hatch lines in an 8 x 8 cell: the horizontal line on the bottom row,
// the vertical line in column 4, the diagonals through the corners.
bool HatchBit(int style, int x, int y) {
    x &= 7;
    y &= 7;
    const bool horizontal = y == 7;
    const bool vertical = x == 4;
    const bool forward = x == y;       // top left to bottom right
    const bool backward = x + y == 7;  // bottom left to top right
    switch (style) {
        case kHsHorizontal:
            return horizontal;
        case kHsVertical:
            return vertical;
        case kHsFDiagonal:
            return forward;
        case kHsBDiagonal:
            return backward;
        case kHsCross:
            return horizontal || vertical;
        case kHsDiagCross:
            return forward || backward;
        default:
            return false;
    }
}

QImage HatchTile(int style, QRgb foreground, QRgb background, bool opaque) {
    QImage tile(8, 8, QImage::Format_ARGB32);
    const QRgb fore = foreground | 0xFF000000u;
    const QRgb back = opaque ? (background | 0xFF000000u) : 0u;
    for (int y = 0; y < 8; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(tile.scanLine(y));
        for (int x = 0; x < 8; ++x)
            row[x] = HatchBit(style, x, y) ? fore : back;
    }
    return tile;
}

}  // namespace qv
