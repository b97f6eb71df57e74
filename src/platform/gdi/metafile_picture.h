#pragma once

// Pictures made from enhanced metafiles and from bitmap formats. Both are
// immutable after loading; drawing keeps no state between calls, so one
// picture may be drawn from several threads at once.

#include <QImage>
#include <memory>

#include "emf_player.h"
#include "platform/gdi/picture.h"

namespace qv {

class EmfPicture : public Picture {
  public:
    explicit EmfPicture(const QByteArray& bytes) : document_(bytes) {}
    QSizeF size() const override { return document_.naturalSize(); }
    void draw(QPainter& painter, const QRectF& target) const override;
    const gdi::EmfDocument& document() const { return document_; }

  private:
    gdi::EmfDocument document_;
};

class ImagePicture : public Picture {
  public:
    explicit ImagePicture(QImage image);
    QSizeF size() const override { return size_; }
    void draw(QPainter& painter, const QRectF& target) const override;

  private:
    QImage image_;
    QSizeF size_;
};

// Loads an EMF; throws PictureError.
std::unique_ptr<Picture> LoadEmfPicture(const QByteArray& bytes);
// Loads a bitmap (format sniffed, or the given Qt format name); throws PictureError.
std::unique_ptr<Picture> LoadImagePicture(const QByteArray& bytes, const char* format = nullptr);

}  // namespace qv
