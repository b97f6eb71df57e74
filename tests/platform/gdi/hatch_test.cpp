#include "platform/gdi/hatch.h"

#include <gtest/gtest.h>

#include <string>

namespace qv {
namespace {

// Each tile drawn as eight rows of '#' (line) and '.' (gap).
std::string Picture(int style) {
    std::string s;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x)
            s += HatchBit(style, x, y) ? '#' : '.';
        s += '\n';
    }
    return s;
}

TEST(Hatch, TilesAsGdiDrawsThem) {
    EXPECT_EQ(Picture(kHsHorizontal),
              "........\n........\n........\n........\n........\n........\n........\n########\n");
    EXPECT_EQ(Picture(kHsVertical),
              "....#...\n....#...\n....#...\n....#...\n....#...\n....#...\n....#...\n....#...\n");
    EXPECT_EQ(Picture(kHsFDiagonal),
              "#.......\n.#......\n..#.....\n...#....\n....#...\n.....#..\n......#.\n.......#\n");
    EXPECT_EQ(Picture(kHsBDiagonal),
              ".......#\n......#.\n.....#..\n....#...\n...#....\n..#.....\n.#......\n#.......\n");
    EXPECT_EQ(Picture(kHsCross),
              "....#...\n....#...\n....#...\n....#...\n....#...\n....#...\n....#...\n########\n");
    EXPECT_EQ(Picture(kHsDiagCross),
              "#......#\n.#....#.\n..#..#..\n...##...\n...##...\n..#..#..\n.#....#.\n#......#\n");
    EXPECT_EQ(Picture(99).find('#'), std::string::npos);
}

TEST(Hatch, TileColoursAndTransparency) {
    const QImage opaque = HatchTile(kHsCross, qRgb(255, 0, 0), qRgb(0, 0, 255), true);
    ASSERT_EQ(opaque.size(), QSize(8, 8));
    EXPECT_EQ(opaque.pixel(4, 0), qRgb(255, 0, 0));
    EXPECT_EQ(opaque.pixel(0, 0), qRgb(0, 0, 255));
    const QImage clear = HatchTile(kHsCross, qRgb(255, 0, 0), qRgb(0, 0, 255), false);
    EXPECT_EQ(clear.pixel(0, 7), qRgb(255, 0, 0));
    EXPECT_EQ(qAlpha(clear.pixel(0, 0)), 0);
}

}  // namespace
}  // namespace qv
