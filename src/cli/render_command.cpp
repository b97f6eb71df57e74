// qvotool render: draws pictures and container pages through the metafile
// player into PDF (vector pages) or PNG.

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <charconv>
#include <memory>

#include "arguments.h"
#include "command.h"
#include "container/container_format.h"
#include "container/inner_file_set.h"
#include "container_io.h"
#include "platform/gdi/picture.h"
#include "textutil/codepage.h"

namespace qv::cli {
namespace {

// The screen page geometry: an A4 sheet at 300 dots per inch with the
// printable rectangle inset by half an inch on every side.
constexpr double kSheetDpi = 300;
constexpr int kSheetWidth = 2480, kSheetHeight = 3507, kMargin = 150;

int ToInt(const std::string& text, const char* what) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value <= 0) {
        throw UsageError(std::string("bad ") + what + ": " + text);
    }
    return value;
}

QByteArray Bytes(const MemoryStream& s) {
    return QByteArray(reinterpret_cast<const char*>(s.data()), static_cast<qsizetype>(s.size()));
}

// The pictures of FILE: one for a picture file, the pages of a container as
// the viewer opens them.
std::vector<std::unique_ptr<Picture>> LoadPages(const Arguments& arguments) {
    std::vector<std::unique_ptr<Picture>> pages;
    const QString file = QString::fromStdString(arguments.positional[0]);
    if (QFileInfo(file).suffix().toLower() != QLatin1String("qvo")) {
        pages.push_back(LoadPictureFromFile(file));
        return pages;
    }
    OpenedContainer opened = OpenContainer(arguments);
    const QString type = QString::fromStdString(Cp1250ToUtf8(opened.params.value("EXT"))).toUpper();
    if (type != QLatin1String(".EMF") || ContainerPageCount(opened.params).value_or(0) < 2) {
        pages.push_back(LoadPictureFromBytes(Bytes(*opened.payload), type));
        return pages;
    }
    TQVFFileSetObject set;
    ReadPageSet(*opened.payload, set);
    for (int i = 0; i < set.EntryCount(); ++i) {
        pages.push_back(LoadPictureFromBytes(Bytes(set.EntryStream(i)), type));
    }
    return pages;
}

// The picture fitted into the printable rectangle: proportions kept, whole
// pixels, centred.
QRectF FitIntoPrintable(QSizeF picture) {
    const QRectF area(kMargin, kMargin, kSheetWidth - 2 * kMargin, kSheetHeight - 2 * kMargin);
    if (picture.width() <= 0 || picture.height() <= 0)
        return QRectF();
    double w, h;
    if (picture.width() > picture.height()) {
        w = area.width();
        h = w * picture.height() / picture.width();
        if (h > area.height()) {
            h = area.height();
            w = h * picture.width() / picture.height();
        }
    } else {
        h = area.height();
        w = h * picture.width() / picture.height();
        if (w > area.width()) {
            w = area.width();
            h = w * picture.height() / picture.width();
        }
    }
    w = std::round(w);
    h = std::round(h);
    return QRectF(area.x() + std::round((area.width() - w) / 2),
                  area.y() + std::round((area.height() - h) / 2), w, h);
}

void DrawPage(QPainter& painter, const Picture& picture) {
    const QRectF target = FitIntoPrintable(picture.size());
    if (!target.isEmpty())
        picture.draw(painter, target);
}

void WritePdf(const QString& out, const std::vector<const Picture*>& pages) {
    QPdfWriter writer(out);
    writer.setResolution(static_cast<int>(kSheetDpi));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setCreator(QStringLiteral("qvotool"));
    QPainter painter;
    if (!painter.begin(&writer))
        throw std::runtime_error("cannot write " + out.toStdString());
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0)
            writer.newPage();
        DrawPage(painter, *pages[i]);
    }
    painter.end();
}

void SavePng(const QImage& image, const QString& out) {
    if (!image.save(out, "PNG"))
        throw std::runtime_error("cannot write " + out.toStdString());
}

QImage PagePng(const Picture& picture, int dpi) {
    const double scale = dpi / kSheetDpi;
    QImage image(std::lround(kSheetWidth * scale), std::lround(kSheetHeight * scale),
                 QImage::Format_RGB32);
    image.setDotsPerMeterX(std::lround(dpi / 0.0254));
    image.setDotsPerMeterY(std::lround(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(scale, scale);
    DrawPage(painter, picture);
    return image;
}

QImage PicturePng(const Picture& picture, int width) {
    const QSizeF size = picture.size();
    if (size.width() <= 0 || size.height() <= 0)
        throw std::runtime_error("the picture is empty");
    const int height =
        std::max(1, static_cast<int>(std::lround(width * size.height() / size.width())));
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    picture.draw(painter, QRectF(0, 0, width, height));
    return image;
}

int RunRender(const std::vector<std::string>& tokens) {
    std::vector<std::string> rest;
    bool pictureOnly = false;
    for (const std::string& t : tokens) {
        if (t == "--picture-only")
            pictureOnly = true;
        else
            rest.push_back(t);
    }
    const Arguments arguments =
        ParseArguments(rest, {{"-p"}, {"-o"}, {"--dpi"}, {"--pages"}, {"--width"}}, 1);
    const QString out = QString::fromStdString(arguments.Required("-o"));
    const QString suffix = QFileInfo(out).suffix().toLower();
    if (suffix != QLatin1String("pdf") && suffix != QLatin1String("png")) {
        throw UsageError("OUT must end in .pdf or .png");
    }
    if (pictureOnly && (!arguments.Has("--width") || suffix != QLatin1String("png"))) {
        throw UsageError("--picture-only needs --width and a .png output");
    }
    const int dpi = arguments.Has("--dpi") ? ToInt(arguments.Value("--dpi"), "--dpi") : 150;
    if (dpi > 1200)
        throw UsageError("--dpi above 1200");
    const int width = arguments.Has("--width") ? ToInt(arguments.Value("--width"), "--width") : 0;
    if (width > 20000)
        throw UsageError("--width above 20000");

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "qvotool";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    std::vector<std::unique_ptr<Picture>> loaded;
    try {
        loaded = LoadPages(arguments);
    } catch (const PictureError& e) {
        throw std::runtime_error(e.what());
    }
    size_t from = 1, to = loaded.size();
    if (arguments.Has("--pages")) {
        const std::string range = arguments.Value("--pages");
        const size_t dash = range.find('-');
        if (dash == std::string::npos)
            throw UsageError("--pages must be FROM-TO");
        from = ToInt(range.substr(0, dash), "--pages");
        to = ToInt(range.substr(dash + 1), "--pages");
        if (from > to || to > loaded.size())
            throw UsageError("--pages outside the document");
    }
    std::vector<const Picture*> pages;
    for (size_t i = from; i <= to && i <= loaded.size(); ++i)
        pages.push_back(loaded[i - 1].get());
    if (pages.empty())
        throw std::runtime_error("no pages");

    if (suffix == QLatin1String("pdf")) {
        WritePdf(out, pages);
        return 0;
    }
    if (pages.size() == 1) {
        SavePng(pictureOnly ? PicturePng(*pages[0], width) : PagePng(*pages[0], dpi), out);
        return 0;
    }
    const QFileInfo info(out);
    const QString stem = info.path() + QLatin1Char('/') + info.completeBaseName();
    for (size_t i = 0; i < pages.size(); ++i) {
        const QString pageFile = stem + QStringLiteral("-%1.png").arg(i + 1);
        SavePng(pictureOnly ? PicturePng(*pages[i], width) : PagePng(*pages[i], dpi), pageFile);
    }
    return 0;
}

}  // namespace

extern const Command render_command = {
    "render",
    "  qvotool render  FILE [-p PASSWORD] -o OUT [--dpi N] [--pages FROM-TO]\n"
    "                  [--picture-only --width W]   draw pages into OUT.pdf or OUT.png\n",
    RunRender};

}  // namespace qv::cli
