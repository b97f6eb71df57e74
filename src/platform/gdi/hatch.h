#pragma once

// Hatch brush tiles: 8 x 8 device pixels, repeated from the brush origin and
// never scaled, drawn as GDI draws them.

#include <QImage>
#include <QRgb>

namespace qv {

constexpr int kHsHorizontal = 0;  // -----
constexpr int kHsVertical = 1;    // |||||
constexpr int kHsFDiagonal = 2;   // \\\\\ (top left to bottom right)
constexpr int kHsBDiagonal = 3;   // ///// (bottom left to top right)
constexpr int kHsCross = 4;       // +++++
constexpr int kHsDiagCross = 5;   // xxxxx

// True where the hatch of style draws its line at (x, y) of the 8 x 8 tile
// (x, y taken modulo 8). Unknown styles draw nothing.
bool HatchBit(int style, int x, int y);

// The 8 x 8 tile of style, Format_ARGB32: line pixels in foreground;
// the rest background when opaque, fully transparent otherwise.
QImage HatchTile(int style, QRgb foreground, QRgb background, bool opaque);

}  // namespace qv
