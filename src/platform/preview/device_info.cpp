#include <QPrinter>
#include <algorithm>
#include <cmath>

#include "platform/preview/preview_control.h"

namespace qv {

namespace {

// Rounds half away from zero, saturating far outside the range of int.
int RoundToInt(double value) {
    if (!(value > -2e9 && value < 2e9)) {
        return value > 0 ? 2000000000 : (value < 0 ? -2000000000 : 0);
    }
    return static_cast<int>(std::lround(value));
}

// The far offset of one axis: what the printable extent and the near offset
// leave of the physical extent; a printable extent that covers the whole
// physical one gives the near offset again.
int FarOffset(int physical, int printable, int nearOffset) {
    if (printable == physical) {
        return nearOffset;
    }
    return std::max(0, physical - printable - nearOffset);
}

}  // namespace

int DeviceInfo::inchToXPx(double inches) const {
    return RoundToInt(logPixelsX * inches);
}

int DeviceInfo::inchToYPx(double inches) const {
    return RoundToInt(logPixelsY * inches);
}

QRect DeviceInfo::printableRect() const {
    return QRect(offsetLeft, offsetTop, std::max(0, physicalWidth - offsetLeft - offsetRight),
                 std::max(0, physicalHeight - offsetTop - offsetBottom));
}

DeviceInfo DeviceInfo::Screen() {
    return DeviceInfo{};
}

DeviceInfo DeviceInfo::FromPrinter(const QPrinter& printer) {
    const int resolution = printer.resolution();
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
    if (resolution <= 0 || paper.width() < 1 || paper.height() < 1 || printable.width() < 1 ||
        printable.height() < 1) {
        return Screen();
    }
    DeviceInfo info;
    info.logPixelsX = resolution;
    info.logPixelsY = resolution;
    info.pageWidth = RoundToInt(printable.width());
    info.pageHeight = RoundToInt(printable.height());
    info.physicalWidth = std::max(info.pageWidth, RoundToInt(paper.width()));
    info.physicalHeight = std::max(info.pageHeight, RoundToInt(paper.height()));
    info.offsetLeft = std::max(0, RoundToInt(printable.left() - paper.left()));
    info.offsetTop = std::max(0, RoundToInt(printable.top() - paper.top()));
    info.offsetRight = FarOffset(info.physicalWidth, info.pageWidth, info.offsetLeft);
    info.offsetBottom = FarOffset(info.physicalHeight, info.pageHeight, info.offsetTop);
    return info;
}

}  // namespace qv
