#pragma once

#include <QByteArray>
#include <QPainter>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <memory>
#include <stdexcept>

namespace qv {

// A picture that cannot be loaded; the message is shown to the user.
class PictureError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// One page picture: a metafile, a bitmap or an icon. Immutable once loaded,
// so pages may be drawn from worker threads.
class Picture {
  public:
    virtual ~Picture() = default;
    // The natural size in pixels at 96 dots per inch; only its proportions
    // matter for fitting. A zero width or height means the page stays blank.
    virtual QSizeF size() const = 0;
    // Draws the whole picture stretched into target (in the painter's
    // current coordinates). Never throws.
    virtual void draw(QPainter& painter, const QRectF& target) const = 0;
};

// Loads a picture from a file, the format chosen by the file's extension
// (.emf, .wmf to the metafile player; .jpg, .jpeg, .bmp, .gif, .ico through
// QImageReader). Throws PictureError.
std::unique_ptr<Picture> LoadPictureFromFile(const QString& fileName);

// Loads a picture from bytes; type is an extension with its dot, any case
// (".EMF", ".WMF" metafiles, ".ICO" an icon, anything else a bitmap whose
// format is sniffed). Throws PictureError.
std::unique_ptr<Picture> LoadPictureFromBytes(const QByteArray& bytes, const QString& type);

}  // namespace qv
