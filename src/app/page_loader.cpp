#include "app/page_loader.h"

#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>

#include "app/wait_cursor.h"

namespace qv {
namespace {

// The patterns and descriptions of every picture format the loader knows.
const char kPictureFilter[] =
    "All (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf;*.ani;*.gif)|*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf;"
    "*.ani;*.gif|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|"
    "*.bmp|Icons (*.ico)|*.ico|Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf|"
    "Animated cursors (*.ani)|*.ani|GIF Image (*.gif)|*.gif";

}  // namespace

QString UpperExtension(const QString& fileName) {
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot).toUpper();
}

PageLoader::PageLoader(TPreviewControl& prev, QPrinter& printer,
                       std::function<void(const QString&)> openContainer)
    : prev_(prev), printer_(printer), openContainer_(std::move(openContainer)) {}

void PageLoader::LoadFile(const QString& fileName) {
    const QString ext = UpperExtension(fileName).left(4);
    if (ext == QLatin1String(".EMF") || ext == QLatin1String(".WMF") ||
        ext == QLatin1String(".JPG")) {
        LoadPictureFile(fileName);
    } else if (ext == QLatin1String(".QVO")) {
        openContainer_(fileName);
    }
}

void PageLoader::LoadPictureFile(const QString& fileName) {
    WaitCursor wait;
    Images.emplace_back();
    Images.back().picture = LoadPictureFromFile(fileName);
}

void PageLoader::AddPageStream(const MemoryStream& stream, const QString& type, bool clear) {
    WaitCursor wait;
    if (clear) {
        Clear();
    }
    Images.emplace_back();
    const QByteArray bytes(reinterpret_cast<const char*>(stream.data()), qsizetype(stream.size()));
    Images.back().picture = LoadPictureFromBytes(bytes, type.toUpper());
}

void PageLoader::LoadFileList(const QStringList& names) {
    WaitCursor wait;
    for (const QString& name : names) {
        LoadFile(name);
    }
    RebuildPages();
}

void PageLoader::RebuildPages() {
    BuildPages(prev_, Images);
}

void PageLoader::Clear() {
    prev_.ClearPages();
    Images.clear();
}

void PageLoader::cbPreviewChange(int refDevice, const QString& lastOpened) {
    DeviceInfo device = DeviceInfo::Screen();
    if (refDevice == 1 && !QPrinterInfo::availablePrinters().isEmpty()) {
        device = DeviceInfo::FromPrinter(printer_);
    }
    const int halfInchX = device.inchToXPx(0.5);
    const int halfInchY = device.inchToYPx(0.5);
    device.offsetLeft = std::max(halfInchX, device.offsetLeft);
    device.offsetRight = std::max(halfInchX, device.offsetRight);
    device.offsetTop = std::max(halfInchY, device.offsetTop);
    device.offsetBottom = std::max(halfInchY, device.offsetBottom);
    prev_.SetDeviceInfo(device);
    const QString ext = UpperExtension(lastOpened).toLower();
    if (!ext.isEmpty() && QString::fromLatin1(kPictureFilter).toLower().contains(ext)) {
        RebuildPages();
    }
}

}  // namespace qv
