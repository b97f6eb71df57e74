// Loads arbitrary bytes as an EMF or WMF picture (by their first bytes) and
// plays it into a small image. Loading may refuse the input; playing never
// throws.
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdint>
#include <cstdlib>

#include "platform/gdi/picture.h"

namespace {

QGuiApplication& Application() {
    static int argc = 1;
    static char name[] = "metafile_fuzz";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(argc, argv);
    return app;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Application();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // An EMF starts with its header record, type 1.
    const bool emf = size >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0 && data[3] == 0;
    std::unique_ptr<qv::Picture> picture;
    try {
        picture = qv::LoadPictureFromBytes(bytes, emf ? ".EMF" : ".WMF");
    } catch (const qv::PictureError&) {
        return 0;
    }
    QImage image(160, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    picture->draw(painter, QRectF(0, 0, 160, 200));
    return 0;
}
