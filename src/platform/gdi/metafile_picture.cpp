#include "metafile_picture.h"

#include <QBuffer>
#include <QImageReader>

namespace qv {

void EmfPicture::draw(QPainter& painter, const QRectF& target) const {
    document_.play(painter, target);
}

ImagePicture::ImagePicture(QImage image) : image_(std::move(image)) {
    // The size at 96 dots per inch, from the image's resolution when it has one.
    const double dpmX = image_.dotsPerMeterX(), dpmY = image_.dotsPerMeterY();
    const double w = dpmX > 0 ? image_.width() * 96.0 / (dpmX * 0.0254) : image_.width();
    const double h = dpmY > 0 ? image_.height() * 96.0 / (dpmY * 0.0254) : image_.height();
    size_ = QSizeF(w, h);
}

void ImagePicture::draw(QPainter& painter, const QRectF& target) const {
    if (image_.isNull() || target.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(target, image_);
    painter.restore();
}

std::unique_ptr<Picture> LoadEmfPicture(const QByteArray& bytes) {
    return std::make_unique<EmfPicture>(bytes);
}

std::unique_ptr<Picture> LoadImagePicture(const QByteArray& bytes, const char* format) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format ? QByteArray(format) : QByteArray());
    reader.setAutoTransform(false);
    // Refuse absurd sizes before anything is allocated.
    const QSize declared = reader.size();
    if (declared.isValid() &&
        static_cast<int64_t>(declared.width()) * declared.height() > 64ll * 1024 * 1024) {
        throw PictureError("Bitmap image is not valid");
    }
    QImage image = reader.read();
    if (image.isNull())
        throw PictureError("Bitmap image is not valid");
    return std::make_unique<ImagePicture>(std::move(image));
}

}  // namespace qv
