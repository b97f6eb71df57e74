// Render speed of the metafile player. Prints figures; asserts nothing.
//   render_bench [CORPUS_DIR]
// 1. every file of CORPUS/emf loaded and drawn alone at 1200 pixels wide:
//    median and 90th percentile milliseconds per file;
// 2. the report pages of CORPUS/reports-emf drawn as A4 pages at 150 dpi:
//    median milliseconds per page;
// 3. a PDF of 100 such pages: pages per second.

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/gdi/picture.h"

namespace {

QList<QByteArray> readFolder(const QString& folder) {
    QList<QByteArray> out;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.emf")}, QDir::Files, QDir::Name)) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::ReadOnly))
            out << f.readAll();
    }
    return out;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * (v.size() - 1) + 0.5))];
}

// The printable rectangle of the A4 page at 300 dpi, the picture fitted and centred.
QRectF fitted(QSizeF picture) {
    const QRectF area(150, 150, 2180, 3207);
    const double scale = std::min(area.width() / picture.width(), area.height() / picture.height());
    const QSizeF size(std::round(picture.width() * scale), std::round(picture.height() * scale));
    return QRectF(area.center() - QPointF(size.width() / 2, size.height() / 2), size);
}

double drawPicture(const QByteArray& bytes, int width) {
    QElapsedTimer timer;
    timer.start();
    const auto picture = qv::LoadPictureFromBytes(bytes, QStringLiteral(".EMF"));
    const QSizeF size = picture->size();
    if (size.isEmpty())
        return timer.nsecsElapsed() / 1e6;
    QImage image(width, std::max(1, int(width * size.height() / size.width())),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    picture->draw(painter, QRectF(0, 0, image.width(), image.height()));
    painter.end();
    return timer.nsecsElapsed() / 1e6;
}

double drawPage(const qv::Picture& picture, double dpi) {
    QElapsedTimer timer;
    timer.start();
    QImage page(int(2480 * dpi / 300), int(3507 * dpi / 300), QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    painter.scale(dpi / 300, dpi / 300);
    picture.draw(painter, fitted(picture.size()));
    painter.end();
    return timer.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString corpus =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(ONDIX_CORPUS_DIR);

    const QList<QByteArray> files = readFolder(corpus + QStringLiteral("/emf"));
    std::vector<double> times;
    for (const QByteArray& f : files)
        drawPicture(f, 1200);  // warm the font caches
    for (const QByteArray& f : files)
        times.push_back(drawPicture(f, 1200));
    std::printf("emf corpus, %zu files at 1200 px wide: median %.1f ms, 90th percentile %.1f ms\n",
                times.size(), percentile(times, 0.5), percentile(times, 0.9));

    const QList<QByteArray> reports = readFolder(corpus + QStringLiteral("/reports-emf"));
    if (reports.isEmpty())
        return 0;
    std::vector<std::unique_ptr<qv::Picture>> pages;
    for (const QByteArray& r : reports)
        pages.push_back(qv::LoadPictureFromBytes(r, ".EMF"));
    std::vector<double> pageTimes;
    for (int round = 0; round < 3; ++round) {
        for (const auto& p : pages)
            pageTimes.push_back(drawPage(*p, 150));
    }
    std::printf("report pages at 150 dpi: median %.1f ms, 90th percentile %.1f ms per page\n",
                percentile(pageTimes, 0.5), percentile(pageTimes, 0.9));

    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QElapsedTimer timer;
    timer.start();
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        for (int i = 0; i < 100; ++i) {
            if (i > 0)
                writer.newPage();
            const qv::Picture& p = *pages[i % pages.size()];
            p.draw(painter, fitted(p.size()));
        }
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("PDF of 100 report pages: %.1f pages/s (%.2f s, %lld KiB)\n", 100 / seconds,
                seconds, static_cast<long long>(pdf.size() / 1024));
    return 0;
}
