// Laying out and drawing one text record as GDI does.

#include <QGlyphRun>
#include <cmath>

#include "gdi_painter.h"
#include "gdi_text.h"

namespace qv::gdi {
namespace {

// Beyond this size glyphs are drawn from their exact outlines: pixel
// fitting no longer shows, and caches of huge glyphs would cost memory.
constexpr int kLargestRealisedPpem = 1000;

}  // namespace

QRawFont TextRenderer::atSize(std::map<int, QRawFont>& cache, const QRawFont& base, double px) {
    const int key = static_cast<int>(std::lround(px * 64));
    auto it = cache.find(key);
    if (it != cache.end())
        return it->second;
    if (cache.size() > 64)
        cache.clear();
    QRawFont sized = base;
    sized.setPixelSize(key / 64.0);
    return cache.emplace(key, sized).first->second;
}

QRawFont TextRenderer::realisedAt(FontEntry& entry, int ppem, bool smoothed) {
    const int key = smoothed ? ppem : -ppem;
    auto it = entry.realised.find(key);
    if (it != entry.realised.end())
        return it->second;
    if (entry.realised.size() > 64)
        entry.realised.clear();
    QFont face = entry.face;
    face.setPixelSize(ppem);
    if (!smoothed)
        face.setStyleStrategy(QFont::StyleStrategy(face.styleStrategy() | QFont::NoAntialias));
    return entry.realised.emplace(key, QRawFont::fromFont(face)).first->second;
}

void TextRenderer::draw(GdiPainter& out, DeviceContext& dc, const TextRun& run) {
    DcState& s = dc.state();
    QPainter& p = out.painter_;
    const LogFont& lf = *s.font;
    FontEntry& fe = font(lf);
    const QTransform l2d = s.logicalToDevice();
    QTransform lin(l2d.m11(), l2d.m12(), l2d.m21(), l2d.m22(), 0, 0);
    const bool flipped = lin.determinant() < 0;
    if (flipped)
        lin = QTransform::fromScale(1, -1) * lin;
    const double sc = std::sqrt(std::fabs(lin.determinant()));
    if (!(sc > 0) || !std::isfinite(sc))
        return;
    const QTransform axes(lin.m11() / sc, lin.m12() / sc, lin.m21() / sc, lin.m22() / sc, 0, 0);

    const bool inPath = s.pathOpen;  // glyph outlines join the path instead
    if (!inPath)
        out.syncClip(s);
    const bool clipped = !inPath && (run.options & kEtoClipped) && !run.rect.isNull();
    if (clipped) {
        p.save();
        p.setClipPath(dc.logicalRectToDevice(run.rect), Qt::IntersectClip);
    }
    if (!inPath && (run.options & kEtoOpaque) && !run.rect.isNull()) {
        p.fillPath(dc.logicalRectToDevice(run.rect), QColor(s.bkColor | 0xFF000000));
    }

    // Text space: x along the baseline, y down, in device units, origin at the
    // reference point. A positive height is the cell height, a negative one the em.
    const bool updateCp = s.textAlign & kTaUpdateCp;
    const QPointF refLogical = updateCp ? s.currentPosition : run.reference;
    const double emLogical = lf.height < 0   ? -double(lf.height)
                             : lf.height > 0 ? lf.height / fe.cellRatio
                                             : 16 / fe.cellRatio / sc;
    const double em = emLogical * sc;
    const QPointF refDevice = l2d.map(refLogical);
    // With one axis flipped the escapement turns the other way on the device.
    const double escapement = flipped ? -double(lf.escapement) : double(lf.escapement);
    const QTransform textToDevice = QTransform().rotate(-escapement / 10.0) * axes *
                                    QTransform::fromTranslate(refDevice.x(), refDevice.y());
    const QTransform full = textToDevice * out.placement_;
    const double k = std::sqrt(std::fabs(full.determinant()));
    const double stretch =
        lf.width != 0 ? std::clamp(std::fabs(lf.width) * sc / (fe.avgWidthRatio * em), 0.05, 20.0)
                      : 1.0;

    // Glyphs and their advances.
    QList<quint32> ids;
    if (run.options & kEtoGlyphIndex) {
        for (uint16_t g : run.glyphs)
            ids.append(g);
    } else {
        ids = fe.raw.glyphIndexesForString(run.text);
    }
    const qsizetype n = ids.size();
    std::vector<bool> useFallback(n, false);
    if (!(run.options & kEtoGlyphIndex) && n == run.text.size()) {
        for (qsizetype i = 0; i < n; ++i) {
            if (ids[i] != 0 || run.text[i].unicode() < 0x20)
                continue;
            QChar c = run.text[i];
            if (c.unicode() >= 0xF020 && c.unicode() <= 0xF0FF) {  // symbol font code
                const QList<quint32> low =
                    fe.raw.glyphIndexesForString(QString(QChar(c.unicode() & 0xFF)));
                if (!low.isEmpty() && low[0] != 0) {
                    ids[i] = low[0];
                    continue;
                }
                c = QChar(c.unicode() & 0xFF);
            }
            const QList<quint32> alt = fe.fallback.glyphIndexesForString(QString(c));
            if (!alt.isEmpty() && alt[0] != 0) {
                ids[i] = alt[0];
                useFallback[i] = true;
            }
        }
    }
    std::vector<QPointF> pos(n + 1);
    const bool haveDx = run.dx.size() >= static_cast<size_t>(n) && n > 0;
    const bool haveDy = (run.options & kEtoPdy) && run.dy.size() >= static_cast<size_t>(n);
    QList<QPointF> natural;
    if (!haveDx)
        natural = fe.raw.advancesForGlyphIndexes(ids);
    // SetTextJustification spreads its extra space over the break characters
    // (spaces) of text drawn without advances, the remainder to the first ones.
    const bool justify =
        !haveDx && s.textJustifyBreaks > 0 && s.textJustifyExtra != 0 && n == run.text.size();
    int breaksSeen = 0;
    for (qsizetype i = 0; i < n; ++i) {
        double ax, ay = 0;
        if (haveDx) {
            ax = run.dx[i] * sc;
            if (haveDy)
                ay = (flipped ? run.dy[i] : -run.dy[i]) * sc;
        } else {
            double adv = i < natural.size() ? natural[i].x() : 0;
            if (useFallback[i]) {
                const QList<QPointF> a = fe.fallback.advancesForGlyphIndexes({ids[i]});
                adv = a.isEmpty() ? adv : a[0].x();
            }
            ax = adv / 1000.0 * em * stretch + s.textCharExtra * sc;
            if (justify && run.text[i] == QLatin1Char(' ') && breaksSeen < s.textJustifyBreaks) {
                const int extra = s.textJustifyExtra, breaks = s.textJustifyBreaks;
                const int share = extra / breaks + (breaksSeen < extra % breaks ? 1 : 0);
                ax += share * sc;
                ++breaksSeen;
            }
        }
        pos[i + 1] = pos[i] + QPointF(ax, ay);
    }
    const double width = pos[n].x();
    // On pixels the font is realised at whole pixels per em and its ascent
    // and descent are whole pixels of that font: they place top- and
    // bottom-aligned text and the opaque cell.
    const double px = em * k;
    const int ppem = std::max(RealisedPpem(px), 1);
    const bool realised = out.raster_ && ppem <= kLargestRealisedPpem;
    double ascent = fe.raw.ascent() / 1000.0 * em;
    double descent = fe.raw.descent() / 1000.0 * em;
    if (realised) {
        ascent = std::round(fe.raw.ascent() / 1000.0 * ppem) / k;
        descent = std::round(fe.raw.descent() / 1000.0 * ppem) / k;
    }

    double x0 = 0, y0 = 0;
    const uint32_t h = s.textAlign & kTaHorizontalMask;
    if (h == kTaCenter)
        x0 = -width / 2;
    else if (h == kTaRight)
        x0 = -width;
    const uint32_t v = s.textAlign & kTaVerticalMask;
    if (v == 0)
        y0 = ascent;
    else if (v == kTaBottom)
        y0 = -descent;

    if (inPath) {
        for (qsizetype i = 0; i < n; ++i) {
            const QRawFont& raw = useFallback[i] ? fe.fallback : fe.raw;
            const QTransform glyph = QTransform::fromScale(em / 1000 * stretch, em / 1000);
            const QPainterPath outline =
                (glyph * QTransform::fromTranslate(x0 + pos[i].x(), y0 + pos[i].y()))
                    .map(raw.pathForGlyph(ids[i]));
            s.path.addPath(textToDevice.map(outline));
        }
    } else if (s.bkMode == kOpaque && n > 0) {
        p.fillPath(textToDevice.map([&] {
            QPainterPath cell;
            cell.addRect(QRectF(x0, y0 - ascent, width, ascent + descent));
            return cell;
        }()),
                   QColor(s.bkColor | 0xFF000000));
    }

    if (!inPath && n > 0 && px > 0.05 && px < 50000 && std::isfinite(px)) {
        p.setTransform(QTransform::fromScale(stretch / k, 1 / k) * full);
        const QColor textColor(s.textColor | 0xFF000000);
        p.setPen(textColor);
        // On pixels, glyphs come from the realised font, smoothed or not as
        // its gasp table says for that size; vector targets get the exact
        // outlines.
        const bool smoothed = fe.gasp.smoothed(ppem);
        QRawFont onPixels;
        if (realised)
            onPixels = realisedAt(fe, ppem, smoothed);
        for (int pass = 0; pass < 2; ++pass) {
            QList<quint32> glyphs;
            QList<QPointF> positions;
            for (qsizetype i = 0; i < n; ++i) {
                if (useFallback[i] != (pass == 1))
                    continue;
                glyphs.append(ids[i]);
                positions.append(QPointF((x0 + pos[i].x()) * k / stretch, (y0 + pos[i].y()) * k));
            }
            if (glyphs.isEmpty())
                continue;
            QGlyphRun gr;
            const bool fromRealised = pass == 0 && onPixels.isValid();
            if (pass == 1)
                gr.setRawFont(atSize(fe.fallbackSized, fe.fallback, px));
            else if (fromRealised)
                gr.setRawFont(onPixels);
            else
                gr.setRawFont(atSize(fe.sized, fe.raw, px));
            gr.setGlyphIndexes(glyphs);
            gr.setPositions(positions);
            if (out.raster_ && !(fromRealised && !smoothed))
                DrawSmoothedGlyphRun(p, gr, textColor);
            else
                p.drawGlyphRun(QPointF(0, 0), gr);
        }
        p.setTransform(full);
        const double thick = std::max(fe.raw.lineThickness() / 1000.0 * em, 1.0 / k);
        if (lf.underline) {
            const double y = y0 + fe.raw.underlinePosition() / 1000.0 * em;
            p.fillRect(QRectF(x0, y, width, thick), textColor);
        }
        if (lf.strikeOut) {
            p.fillRect(QRectF(x0, y0 - 0.26 * em, width, thick), textColor);
        }
        p.setTransform(out.placement_);
    }
    if (clipped)
        p.restore();

    if (updateCp) {
        double endX = 0;
        if (h == kTaRight)
            endX = -width;
        else if (h != kTaCenter)
            endX = width;
        bool invertible = false;
        const QTransform back = l2d.inverted(&invertible);
        if (invertible)
            s.currentPosition = back.map(textToDevice.map(QPointF(endX, 0)));
    }
}

void GdiPainter::textOut(DeviceContext& dc, const TextRun& run) {
    text_->draw(*this, dc, run);
}

}  // namespace qv::gdi
