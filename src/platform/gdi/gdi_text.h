#pragma once

// Text for the drawing backend: Windows face names mapped to installed fonts
// with the same metrics, narrow strings decoded by the font's character set,
// and text runs laid out and drawn as GDI lays them out.

#include <QFont>
#include <QRawFont>
#include <QString>
#include <cstdint>
#include <map>
#include <span>
#include <vector>

#include "dc_state.h"
#include "glyph_raster.h"

namespace qv::gdi {

class GdiPainter;
struct TextRun;

// The installed family to use for a Windows face name.
QString MapFaceName(const QString& faceName, uint8_t pitchAndFamily);

// Decodes a narrow string by the code page of the character set (238 is code
// page 1250; the symbol set maps byte b to U+F000 + b). If dx holds one
// advance per byte, it is rewritten to one advance per decoded character.
QString DecodeNarrowText(std::span<const uint8_t> bytes, uint8_t charSet,
                         std::vector<double>* dx = nullptr);

// The code page name (for iconv) of a character set, or nullptr for symbol fonts.
const char* CodePageOfCharSet(uint8_t charSet);

// Draws text runs; keeps the fonts of one playback.
class TextRenderer {
  public:
    void draw(GdiPainter& out, DeviceContext& dc, const TextRun& run);

  private:
    struct FontEntry {
        QRawFont raw;                   // at 1000 pixels per em, for metrics and glyph lookup
        QRawFont fallback;              // for characters the font lacks
        double cellRatio = 1;           // (ascent + descent) / em
        double avgWidthRatio = 0.5;     // Windows average character width / em
        std::map<int, QRawFont> sized;  // by pixel size in 1/64 pixel
        std::map<int, QRawFont> fallbackSized;
        // On pixels GDI realises a font at whole pixels per em, its outlines
        // fitted to the pixel rows; the face, and its sizes by ppem (negative
        // keys for the unsmoothed ones).
        QFont face;
        std::map<int, QRawFont> realised;
        GaspTable gasp;
    };
    static QRawFont atSize(std::map<int, QRawFont>& cache, const QRawFont& base, double px);
    static QRawFont realisedAt(FontEntry& entry, int ppem, bool smoothed);
    FontEntry& font(const LogFont& f);
    std::map<QString, FontEntry> fonts_;
};

}  // namespace qv::gdi
