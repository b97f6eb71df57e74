#include "platform/preview/preview_cursors.h"

#include <QBitmap>
#include <QPainter>

namespace qv {

namespace {

constexpr int kSize = 32;
constexpr QPoint kCentre(10, 10);
constexpr int kLensRadius = 7;

// Draws the magnifier's outline (lens ring, handle, sign) in colour 1.
void DrawOutline(QPainter& p, bool plus) {
    p.setPen(QPen(Qt::color1, 2));
    p.drawEllipse(kCentre, kLensRadius, kLensRadius);
    p.setPen(QPen(Qt::color1, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPoint(16, 16), QPoint(24, 24));
    p.setPen(QPen(Qt::color1, 2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPoint(kCentre.x() - 4, kCentre.y()), QPoint(kCentre.x() + 4, kCentre.y()));
    if (plus) {
        p.drawLine(QPoint(kCentre.x(), kCentre.y() - 4), QPoint(kCentre.x(), kCentre.y() + 4));
    }
}

}  // namespace

QCursor MagnifierCursor(bool plus) {
    // The bitmap's 1 bits are black; the mask's 1 bits are drawn at all, so
    // the lens is white glass inside a black ring.
    QBitmap bitmap(kSize, kSize);
    bitmap.fill(Qt::color0);
    {
        QPainter p(&bitmap);
        DrawOutline(p, plus);
    }
    QBitmap mask(kSize, kSize);
    mask.fill(Qt::color0);
    {
        QPainter p(&mask);
        p.setBrush(Qt::color1);
        p.setPen(Qt::NoPen);
        p.drawEllipse(kCentre, kLensRadius, kLensRadius);
        DrawOutline(p, plus);
    }
    return QCursor(bitmap, mask, kCentre.x(), kCentre.y());
}

}  // namespace qv
