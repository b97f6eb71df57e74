// The picture loader: chooses the reader by extension or stream type.

#include <QFile>
#include <QFileInfo>

#include "metafile_picture.h"
#include "platform/gdi/picture.h"
#include "wmf_player.h"

namespace qv {
namespace {

std::unique_ptr<Picture> loadWmf(const QByteArray& bytes) {
    return LoadWmfPicture(bytes);
}

}  // namespace

std::unique_ptr<Picture> LoadPictureFromFile(const QString& fileName) {
    const QString ext = QFileInfo(fileName).suffix().toLower();
    const bool known = ext == QLatin1String("emf") || ext == QLatin1String("wmf") ||
                       ext == QLatin1String("jpg") || ext == QLatin1String("jpeg") ||
                       ext == QLatin1String("bmp") || ext == QLatin1String("gif") ||
                       ext == QLatin1String("ico");
    if (!known) {
        throw PictureError(
            QStringLiteral("Unknown picture file extension (.%1)").arg(ext).toStdString());
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        throw PictureError(QStringLiteral("Cannot open file \"%1\". %2")
                               .arg(fileName, file.errorString())
                               .toStdString());
    }
    const QByteArray bytes = file.readAll();
    if (ext == QLatin1String("emf"))
        return LoadEmfPicture(bytes);
    if (ext == QLatin1String("wmf"))
        return loadWmf(bytes);
    if (ext == QLatin1String("ico"))
        return LoadImagePicture(bytes, "ico");
    return LoadImagePicture(bytes);
}

std::unique_ptr<Picture> LoadPictureFromBytes(const QByteArray& bytes, const QString& type) {
    const QString upper = type.toUpper();
    if (upper == QLatin1String(".EMF"))
        return LoadEmfPicture(bytes);
    if (upper == QLatin1String(".WMF"))
        return loadWmf(bytes);
    if (upper == QLatin1String(".ICO"))
        return LoadImagePicture(bytes, "ico");
    return LoadImagePicture(bytes);
}

}  // namespace qv
