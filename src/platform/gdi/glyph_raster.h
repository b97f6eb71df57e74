#pragma once

// How GDI puts glyphs on pixels with its grey font smoothing: a font's gasp
// table decides per size whether glyphs are smoothed or drawn in two levels,
// and smoothed coverage is blended through a gamma curve, which draws dark
// text on a light ground thinner than plain coverage would.

#include <QByteArray>
#include <QColor>
#include <QGlyphRun>
#include <QPainter>
#include <vector>

namespace qv::gdi {

// The TrueType "gasp" table: behaviour flags by size in pixels per em.
class GaspTable {
  public:
    static constexpr int kGridFit = 1;
    static constexpr int kDoGray = 2;

    // Reads the table's bytes; a damaged or missing table gives the default
    // (smoothed at every size).
    static GaspTable Parse(const QByteArray& bytes);
    // Flags for a font realised at ppem pixels per em.
    int flags(int ppem) const;
    bool smoothed(int ppem) const { return flags(ppem) & kDoGray; }

  private:
    struct Range {
        int maxPpem;
        int flags;
    };
    std::vector<Range> ranges_;
};

// GDI realises a font at whole pixels per em, dropping the fraction.
int RealisedPpem(double pixelsPerEm);

// Draws a glyph run with grey smoothing in the given solid colour onto a
// raster painter, blending coverage through GDI's gamma curve. The painter's
// transform and clip apply as for QPainter::drawGlyphRun.
void DrawSmoothedGlyphRun(QPainter& painter, const QGlyphRun& run, QColor color);

}  // namespace qv::gdi
