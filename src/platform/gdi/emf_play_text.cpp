// EMF text records.

#include "emf_records.h"
#include "gdi_text.h"

namespace qv::gdi {
namespace {

// Reads an EMRTEXT structure at off; wide strings are UTF-16, narrow ones are
// decoded by the selected font's character set.
TextRun readEmrText(const DeviceContext& dc, const RecordReader& r, size_t off, bool wide) {
    TextRun run;
    run.reference = QPointF(r.i32(off), r.i32(off + 4));
    const uint32_t chars = r.u32(off + 8);
    const uint32_t stringAt = r.u32(off + 12);
    run.options = r.u32(off + 16);
    run.rect = ReadRectL(r, off + 20);
    const uint32_t dxAt = r.u32(off + 36);
    if (chars == 0)
        return run;
    r.requireArray(stringAt, chars, wide ? 2 : 1);
    const size_t perChar = (run.options & kEtoPdy) ? 2 : 1;
    if (dxAt != 0 && r.has(dxAt, 0) && (r.size() - dxAt) / 4 / perChar >= chars) {
        for (uint32_t i = 0; i < chars; ++i) {
            run.dx.push_back(r.i32(dxAt + 4 * perChar * i));
            if (perChar == 2)
                run.dy.push_back(r.i32(dxAt + 8 * i + 4));
        }
    }
    if (wide && (run.options & kEtoGlyphIndex)) {
        for (uint32_t i = 0; i < chars; ++i)
            run.glyphs.push_back(r.u16(stringAt + 2 * i));
    } else if (wide) {
        for (uint32_t i = 0; i < chars; ++i)
            run.text += QChar(r.u16(stringAt + 2 * i));
        if (dc.state().font->charSet == kSymbolCharset) {
            for (QChar& ch : run.text) {
                if (ch.unicode() >= 0x20 && ch.unicode() <= 0xFF)
                    ch = QChar(0xF000 + ch.unicode());
            }
        }
    } else {
        run.text = DecodeNarrowText(r.bytes(stringAt, chars), dc.state().font->charSet,
                                    run.dx.empty() ? nullptr : &run.dx);
        if (!run.dy.empty() && run.dy.size() != run.dx.size())
            run.dy.clear();
    }
    return run;
}

}  // namespace

bool PlayEmfTextRecord(EmfContext& c, uint32_t type, const RecordReader& r) {
    DeviceContext& dc = c.dc;
    switch (type) {
        case kEmrExtTextOutW:
        case kEmrExtTextOutA:
            c.out.textOut(dc, readEmrText(dc, r, 36, type == kEmrExtTextOutW));
            return true;
        case kEmrPolyTextOutW:
        case kEmrPolyTextOutA: {
            const uint32_t strings = r.u32(36);
            r.requireArray(40, strings, 40);
            for (uint32_t i = 0; i < strings; ++i) {
                c.out.textOut(dc, readEmrText(dc, r, 40 + 40 * i, type == kEmrPolyTextOutW));
            }
            return true;
        }
        case kEmrSmallTextOut: {
            TextRun run;
            run.reference = QPointF(r.i32(8), r.i32(12));
            const uint32_t chars = r.u32(16);
            run.options = r.u32(20);
            size_t at = 36;
            if (!(run.options & kEtoNoRect)) {
                run.rect = ReadRectL(r, 36);
                at = 52;
            }
            if (run.options & kEtoSmallChars) {
                run.text = DecodeNarrowText(r.bytes(at, chars), dc.state().font->charSet);
            } else {
                r.requireArray(at, chars, 2);
                for (uint32_t i = 0; i < chars; ++i) {
                    if (run.options & kEtoGlyphIndex)
                        run.glyphs.push_back(r.u16(at + 2 * i));
                    else
                        run.text += QChar(r.u16(at + 2 * i));
                }
            }
            run.options &= ~(kEtoPdy);
            c.out.textOut(dc, run);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace qv::gdi
