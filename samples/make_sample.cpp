// Draws the sample pages of the bundled containers: payslip-like reports in
// Czech, written as Enhanced Metafiles through libEMF's Win32 drawing calls.
//
//   make_sample_pages OUTPUT_FOLDER
//
// writes OUTPUT_FOLDER/sample.emf (one payslip), OUTPUT_FOLDER/report-page1.emf
// ... report-page3.emf (a three-page report) and OUTPUT_FOLDER/report-3pages.set,
// the three pages as one inner file set: the page files one after another,
// then the index lines (Last, MPn, MSn) and the index length as a trailing
// integer (value bytes, then their count).

#include <libEMF/emf.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Texts are written in code page 1250 with an Eastern European font, as the
// reporting application does.
struct Row {
    const char* label;
    const char* amount;
    bool bold;
};

struct Payslip {
    const char* employee;
    const char* number;
    const char* department;
    std::vector<Row> rows;
};

class Page {
  public:
    Page(const std::string& path, const char* description) {
        const RECT frame = {0, 0, 21000, 29700};  // A4 in 0.01 mm
        dc_ = CreateEnhMetaFileA(0, path.c_str(), &frame, description);
        pixelsPerMm_ = static_cast<double>(GetDeviceCaps(dc_, HORZRES)) /
                       static_cast<double>(GetDeviceCaps(dc_, HORZSIZE));
        SetBkMode(dc_, TRANSPARENT);
    }
    ~Page() { DeleteEnhMetaFile(CloseEnhMetaFile(dc_)); }
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    // Coordinates in tenths of a millimetre from the sheet's top left.
    int X(int tenths) const { return static_cast<int>(tenths * pixelsPerMm_ / 10.0 + 0.5); }

    void Band(int left, int top, int right, int bottom, COLORREF color) {
        HBRUSH brush = CreateSolidBrush(color);
        HPEN pen = CreatePen(PS_SOLID, 1, color);
        HGDIOBJ oldBrush = SelectObject(dc_, brush);
        HGDIOBJ oldPen = SelectObject(dc_, pen);
        Rectangle(dc_, X(left), X(top), X(right), X(bottom));
        SelectObject(dc_, oldBrush);
        SelectObject(dc_, oldPen);
        DeleteObject(brush);
        DeleteObject(pen);
    }

    void Line(int x1, int y1, int x2, int y2, int widthTenths) {
        HPEN pen = CreatePen(PS_SOLID, X(widthTenths), RGB(40, 40, 40));
        HGDIOBJ old = SelectObject(dc_, pen);
        MoveToEx(dc_, X(x1), X(y1), nullptr);
        LineTo(dc_, X(x2), X(y2));
        SelectObject(dc_, old);
        DeleteObject(pen);
    }

    // heightTenths: the character height; align: TA_LEFT or TA_RIGHT.
    void Text(int x, int y, const char* cp1250, int heightTenths, bool bold, UINT align,
              COLORREF color = RGB(0, 0, 0)) {
        HFONT font = CreateFontA(-X(heightTenths), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0,
                                 EASTEUROPE_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
        HGDIOBJ old = SelectObject(dc_, font);
        SetTextColor(dc_, color);
        SetTextAlign(dc_, align | TA_TOP);
        TextOutA(dc_, X(x), X(y), cp1250, static_cast<int>(std::string(cp1250).size()));
        SelectObject(dc_, old);
        DeleteObject(font);
    }

  private:
    HDC dc_ = 0;
    double pixelsPerMm_ = 1.0;
};

void DrawPayslip(const std::string& path, const Payslip& slip, int pageNumber, int pageCount) {
    Page page(path, "Qelvar\0V\xFDplatn\xED p\xE1ska\0");
    // Header band with the company and the document's name.
    page.Band(150, 150, 2050, 420, RGB(31, 78, 121));
    page.Text(220, 190, "Qelvar Mzdy s.r.o.", 70, true, TA_LEFT, RGB(255, 255, 255));
    page.Text(220, 300, "Hlavn\xED 12, 602 00 Brno", 40, false, TA_LEFT, RGB(220, 230, 240));
    page.Text(1980, 210, "V\xDDPLATN\xCD P\xC1SKA", 80, true, TA_RIGHT, RGB(255, 255, 255));
    page.Text(1980, 320, "Obdob\xED: listopad 2026", 40, false, TA_RIGHT, RGB(220, 230, 240));

    // Who the payslip belongs to.
    const struct {
        const char* caption;
        const char* value;
    } facts[] = {{"Zam\xEC"
                  "stnanec:",
                  slip.employee},
                 {"Osobn\xED \xE8\xEDslo:", slip.number},
                 {"St\xF8"
                  "edisko:",
                  slip.department}};
    int y = 520;
    for (const auto& fact : facts) {
        page.Text(200, y, fact.caption, 42, false, TA_LEFT, RGB(80, 80, 80));
        page.Text(700, y, fact.value, 42, true, TA_LEFT);
        y += 70;
    }

    // The table: a ruled grid of items and amounts.
    const int left = 200;
    const int middle = 1500;
    const int right = 1900;
    int top = 800;
    page.Band(left, top, right, top + 80, RGB(221, 231, 241));
    page.Text(left + 30, top + 18, "Polo\x9Eka", 42, true, TA_LEFT);
    page.Text(right - 30, top + 18, "\xC8\xE1stka (K\xE8)", 42, true, TA_RIGHT);
    page.Line(left, top, right, top, 4);
    top += 80;
    page.Line(left, top, right, top, 4);
    for (const Row& row : slip.rows) {
        page.Text(left + 30, top + 18, row.label, 40, row.bold, TA_LEFT);
        page.Text(right - 30, top + 18, row.amount, 40, row.bold, TA_RIGHT);
        top += 75;
        page.Line(left, top, right, top, row.bold ? 4 : 1);
    }
    page.Line(left, 800, left, top, 4);
    page.Line(middle, 800, middle, top, 1);
    page.Line(right, 800, right, top, 4);

    page.Text(200, top + 120,
              "Mzda byla pouk\xE1z\xE1na na \xFA\xE8"
              "et zam\xEC"
              "stnance dne 12.12.2026.",
              38, false, TA_LEFT);
    page.Line(200, 2780, 2050, 2780, 2);
    page.Text(200, 2810, "Vyti\x9At\xECno: 11.12.2026  \x95  d\xF9v\xECrn\xE9", 34, false, TA_LEFT,
              RGB(90, 90, 90));
    char pageText[64];
    std::snprintf(pageText, sizeof pageText, "Strana %d z %d", pageNumber, pageCount);
    page.Text(2050, 2810, pageText, 34, false, TA_RIGHT, RGB(90, 90, 90));
}

std::vector<Row> Rows(const char* base, const char* overtime, const char* bonus, const char* gross,
                      const char* social, const char* health, const char* tax, const char* net) {
    return {{"Z\xE1kladn\xED mzda", base, false},
            {"P\xF8\xEDplatek za p\xF8"
             "es\xE8"
             "as",
             overtime, false},
            {"Pr\xE9mie", bonus, false},
            {"Hrub\xE1 mzda", gross, true},
            {"Soci\xE1ln\xED poji\x9At\xECn\xED", social, false},
            {"Zdravotn\xED poji\x9At\xECn\xED", health, false},
            {"Z\xE1loha na da\xF2 z p\xF8\xEDjm\xF9", tax, false},
            {"\xC8ist\xE1 mzda k v\xFDplat\xEC", net, true}};
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteInnerFileSet(const std::string& path, const std::vector<std::string>& pages) {
    std::string payload;
    std::string index = "Last=" + std::to_string(pages.size()) + "\r\n";
    for (size_t i = 0; i < pages.size(); ++i) {
        const std::string content = ReadFile(pages[i]);
        index += "MP" + std::to_string(i) + "=" + std::to_string(payload.size()) + "\r\n";
        index += "MS" + std::to_string(i) + "=" + std::to_string(content.size()) + "\r\n";
        payload += content;
    }
    payload += index;
    // The index length as a trailing integer: one byte per hexadecimal digit.
    uint64_t length = index.size();
    unsigned width = 1;
    while (length >> (4 * width)) {
        ++width;
    }
    for (unsigned i = 0; i < width; ++i) {
        payload += static_cast<char>((length >> (8 * i)) & 0xFF);
    }
    payload += static_cast<char>(width);
    std::ofstream(path, std::ios::binary) << payload;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample_pages OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const Payslip jana = {"Jana Nov\xE1kov\xE1", "1042", "\xDA\xE8t\xE1rna",
                          Rows("38 500,00", "2 150,00", "4 000,00", "44 650,00", "3 170,15",
                               "2 009,25", "4 027,00", "35 443,60")};
    DrawPayslip(folder + "/sample.emf", jana, 1, 1);

    const Payslip team[] = {
        jana,
        {"Petr \x8Aime\xE8"
         "ek",
         "1057",
         "V\xFDroba \x96 \xFA"
         "dr\x9E"
         "ba",
         Rows("31 200,00", "4 380,00", "1 500,00", "37 080,00", "2 632,70", "1 668,60", "3 015,00",
              "29 763,70")},
        {"Lucie \x8Emrzl\xEDkov\xE1", "1101", "Obchod",
         Rows("42 000,00", "0,00", "6 500,00", "48 500,00", "3 443,50", "2 182,50", "4 605,00",
              "38 269,00")},
    };
    for (int i = 0; i < 3; ++i) {
        DrawPayslip(folder + "/report-page" + std::to_string(i + 1) + ".emf", team[i], i + 1, 3);
    }
    WriteInnerFileSet(
        folder + "/report-3pages.set",
        {folder + "/report-page1.emf", folder + "/report-page2.emf", folder + "/report-page3.emf"});
    return 0;
}
