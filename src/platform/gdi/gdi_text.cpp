#include "gdi_text.h"

#include <iconv.h>
#include <QFont>
#include <QFontDatabase>
#include <QGlyphRun>
#include <array>
#include <cerrno>
#include <cmath>
#include <mutex>
#include <unordered_map>

#include "gdi_painter.h"

namespace qv::gdi {
namespace {

struct FaceRule {
    const char* windowsName;  // lower case
    const char* family;
    const char* twin = nullptr;  // a face made to the same metrics, used when installed
};

// Windows faces and the installed faces with the same advance widths.
constexpr FaceRule kFaceRules[] = {
    {"arial", "Liberation Sans"},
    {"helvetica", "Liberation Sans"},
    {"ms sans serif", "Liberation Sans"},
    {"microsoft sans serif", "Liberation Sans"},
    {"ms shell dlg", "Liberation Sans"},
    {"ms shell dlg 2", "Liberation Sans"},
    {"system", "Liberation Sans"},
    {"tahoma", "Liberation Sans"},
    {"segoe ui", "Liberation Sans"},
    {"calibri", "Liberation Sans", "Carlito"},
    {"arial narrow", "Liberation Sans Narrow"},
    {"verdana", "DejaVu Sans"},
    {"times new roman", "Liberation Serif"},
    {"times", "Liberation Serif"},
    {"ms serif", "Liberation Serif"},
    {"cambria", "Liberation Serif", "Caladea"},
    {"georgia", "Liberation Serif"},
    {"garamond", "Liberation Serif"},
    {"courier new", "Liberation Mono"},
    {"courier", "Liberation Mono"},
    {"lucida console", "Liberation Mono"},
    {"consolas", "Liberation Mono"},
    {"fixedsys", "Liberation Mono"},
    {"terminal", "Liberation Mono"},
    {"symbol", "DejaVu Sans"},
    {"wingdings", "DejaVu Sans"},
};

// Whether a family is installed; asked once per name.
bool Installed(const QString& family) {
    static std::mutex mutex;
    static std::unordered_map<QString, bool> known;
    std::lock_guard lock(mutex);
    auto it = known.find(family.toLower());
    if (it == known.end())
        it = known.emplace(family.toLower(), QFontDatabase::hasFamily(family)).first;
    return it->second;
}

struct CharSetRule {
    uint8_t charSet;
    const char* codePage;
};

constexpr CharSetRule kCharSets[] = {
    {0, "CP1252"},   {1, "CP1252"},   {77, "MACINTOSH"}, {128, "CP932"},  {129, "CP949"},
    {130, "CP1361"}, {134, "CP936"},  {136, "CP950"},    {161, "CP1253"}, {162, "CP1254"},
    {163, "CP1258"}, {177, "CP1255"}, {178, "CP1256"},   {186, "CP1257"}, {204, "CP1251"},
    {222, "CP874"},  {238, "CP1250"}, {255, "CP437"},
};

bool isMultiByte(uint8_t charSet) {
    return charSet == 128 || charSet == 129 || charSet == 130 || charSet == 134 || charSet == 136;
}

// Decodes one character of up to n bytes; returns the bytes used, 0 on failure.
size_t decodeOne(iconv_t cd, const uint8_t* p, size_t n, char32_t* out) {
    for (size_t len = 1; len <= std::min<size_t>(n, 2); ++len) {
        char* in = reinterpret_cast<char*>(const_cast<uint8_t*>(p));
        size_t inLeft = len;
        char32_t buffer[4];
        char* o = reinterpret_cast<char*>(buffer);
        size_t outLeft = sizeof(buffer);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &in, &inLeft, &o, &outLeft) != static_cast<size_t>(-1) && inLeft == 0 &&
            outLeft < sizeof(buffer)) {
            *out = buffer[0];
            return len;
        }
    }
    return 0;
}

// Byte-to-character tables of single-byte code pages, built once.
const std::array<char32_t, 256>& singleByteTable(const char* codePage) {
    static std::mutex mutex;
    static std::unordered_map<std::string, std::array<char32_t, 256>> tables;
    std::lock_guard lock(mutex);
    auto it = tables.find(codePage);
    if (it != tables.end())
        return it->second;
    std::array<char32_t, 256> table{};
    iconv_t cd = iconv_open("UTF-32LE", codePage);
    for (int b = 0; b < 256; ++b) {
        const uint8_t byte = static_cast<uint8_t>(b);
        char32_t c = b < 0x80 ? char32_t(b) : char32_t(0xFFFD);
        if (cd != reinterpret_cast<iconv_t>(-1) && b >= 0x80) {
            char32_t decoded;
            if (decodeOne(cd, &byte, 1, &decoded) == 1)
                c = decoded;
        }
        table[b] = c;
    }
    if (cd != reinterpret_cast<iconv_t>(-1))
        iconv_close(cd);
    return tables.emplace(codePage, table).first->second;
}

void appendCodePoint(QString& s, char32_t c) {
    if (c > 0x10FFFF)
        c = 0xFFFD;
    const char32_t one[] = {c};
    s += QString::fromUcs4(one, 1);
}

}  // namespace

QString MapFaceName(const QString& faceName, uint8_t pitchAndFamily) {
    const QString lower = faceName.trimmed().toLower();
    for (const FaceRule& rule : kFaceRules) {
        if (lower == QLatin1String(rule.windowsName)) {
            if (rule.twin && Installed(QString::fromLatin1(rule.twin)))
                return QString::fromLatin1(rule.twin);
            return QString::fromLatin1(rule.family);
        }
    }
    if (!lower.isEmpty() && Installed(faceName.trimmed()))
        return faceName.trimmed();
    const int family = pitchAndFamily & 0xF0;
    if (family == 0x10)
        return QStringLiteral("Liberation Serif");  // FF_ROMAN
    if (family == 0x30 || (pitchAndFamily & 3) == 1)
        return QStringLiteral("Liberation Mono");
    return QStringLiteral("Liberation Sans");
}

const char* CodePageOfCharSet(uint8_t charSet) {
    for (const CharSetRule& rule : kCharSets) {
        if (rule.charSet == charSet)
            return rule.codePage;
    }
    return charSet == kSymbolCharset ? nullptr : "CP1252";
}

QString DecodeNarrowText(std::span<const uint8_t> bytes, uint8_t charSet, std::vector<double>* dx) {
    QString out;
    const bool perByte = dx && dx->size() >= bytes.size();
    std::vector<double> charDx;
    if (charSet == kSymbolCharset) {
        for (uint8_t b : bytes)
            appendCodePoint(out, 0xF000 + b);
        return out;
    }
    const char* codePage = CodePageOfCharSet(charSet);
    if (!isMultiByte(charSet)) {
        const auto& table = singleByteTable(codePage);
        for (uint8_t b : bytes)
            appendCodePoint(out, table[b]);
        return out;
    }
    iconv_t cd = iconv_open("UTF-32LE", codePage);
    size_t i = 0;
    while (i < bytes.size()) {
        char32_t c = 0xFFFD;
        size_t used = cd == reinterpret_cast<iconv_t>(-1)
                          ? 0
                          : decodeOne(cd, bytes.data() + i, bytes.size() - i, &c);
        if (used == 0) {
            used = 1;
            c = bytes[i] < 0x80 ? bytes[i] : 0xFFFD;
        }
        appendCodePoint(out, c);
        if (perByte) {
            double sum = 0;
            for (size_t k = i; k < i + used; ++k)
                sum += (*dx)[k];
            charDx.push_back(sum);
        }
        i += used;
    }
    if (cd != reinterpret_cast<iconv_t>(-1))
        iconv_close(cd);
    if (perByte)
        *dx = std::move(charDx);
    return out;
}

TextRenderer::FontEntry& TextRenderer::font(const LogFont& f) {
    const int weight = f.weight <= 0 ? 400 : std::clamp(f.weight, 100, 900);
    const QString family = MapFaceName(f.faceName, f.pitchAndFamily);
    const QString key = family + QLatin1Char('|') + QString::number(weight) +
                        (f.italic ? QLatin1String("|i") : QLatin1String(""));
    auto it = fonts_.find(key);
    if (it != fonts_.end())
        return it->second;
    FontEntry e;
    QFont qf(family);
    qf.setPixelSize(1000);
    qf.setWeight(static_cast<QFont::Weight>(weight));
    qf.setItalic(f.italic);
    qf.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferOutline));
    qf.setHintingPreference(QFont::PreferNoHinting);
    e.raw = QRawFont::fromFont(qf);
    if (!e.raw.isValid())
        e.raw = QRawFont::fromFont(QFont(QStringLiteral("DejaVu Sans")));
    if (e.raw.isValid()) {
        e.raw.setPixelSize(1000);
        e.gasp = GaspTable::Parse(e.raw.fontTable("gasp"));
        e.face = qf;
        e.face.setFamily(e.raw.familyName());
        e.face.setHintingPreference(QFont::PreferVerticalHinting);
    }
    QFont fallback(QStringLiteral("DejaVu Sans"));
    fallback.setPixelSize(1000);
    fallback.setWeight(static_cast<QFont::Weight>(weight));
    e.fallback = QRawFont::fromFont(fallback);
    if (e.raw.isValid()) {
        e.cellRatio = std::max((e.raw.ascent() + e.raw.descent()) / 1000.0, 0.1);
        // A LOGFONT width is measured against the font's own average character
        // width (OS/2 xAvgCharWidth), as GDI measures it for the face it selects.
        e.avgWidthRatio = std::max(e.raw.averageCharWidth() / 1000.0, 0.05);
    }
    return fonts_.emplace(key, std::move(e)).first->second;
}

}  // namespace qv::gdi
