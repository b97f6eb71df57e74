#include "app/tool_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace qv {
namespace {

const QColor kInk(0, 0, 128);

void DrawPage(QPainter& p, const QRectF& r) {
    p.setBrush(Qt::white);
    p.drawRect(r);
    for (double y = r.top() + 3; y < r.bottom() - 2; y += 2.5) {
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
    }
}

void DrawTriangle(QPainter& p, double s, bool left, double x) {
    QPainterPath path;
    const double tip = left ? x : x + s * 0.35;
    const double base = left ? x + s * 0.35 : x;
    path.moveTo(tip, s / 2);
    path.lineTo(base, s * 0.2);
    path.lineTo(base, s * 0.8);
    path.closeSubpath();
    p.fillPath(path, kInk);
}

void DrawMagnifier(QPainter& p, double s, bool plus) {
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(s * 0.12, s * 0.12, s * 0.5, s * 0.5));
    p.setPen(QPen(kInk, 2.5));
    p.drawLine(QPointF(s * 0.56, s * 0.56), QPointF(s * 0.88, s * 0.88));
    p.setPen(QPen(kInk, 1.5));
    p.drawLine(QPointF(s * 0.24, s * 0.37), QPointF(s * 0.5, s * 0.37));
    if (plus) {
        p.drawLine(QPointF(s * 0.37, s * 0.24), QPointF(s * 0.37, s * 0.5));
    }
}

void Draw(QPainter& p, ToolGlyph glyph, double s) {
    switch (glyph) {
        case ToolGlyph::Exit:
            p.setPen(QPen(QColor(160, 0, 0), 2.5));
            p.drawLine(QPointF(s * 0.2, s * 0.2), QPointF(s * 0.8, s * 0.8));
            p.drawLine(QPointF(s * 0.8, s * 0.2), QPointF(s * 0.2, s * 0.8));
            break;
        case ToolGlyph::Print:
            DrawPage(p, QRectF(s * 0.28, s * 0.08, s * 0.44, s * 0.4));
            p.setBrush(QColor(190, 190, 190));
            p.drawRect(QRectF(s * 0.08, s * 0.45, s * 0.84, s * 0.35));
            break;
        case ToolGlyph::PageWidth:
            DrawPage(p, QRectF(s * 0.25, s * 0.1, s * 0.5, s * 0.8));
            p.setPen(QPen(kInk, 1.5));
            p.drawLine(QPointF(s * 0.05, s / 2), QPointF(s * 0.95, s / 2));
            break;
        case ToolGlyph::FullPage:
            DrawPage(p, QRectF(s * 0.22, s * 0.08, s * 0.56, s * 0.84));
            break;
        case ToolGlyph::Custom:
            DrawMagnifier(p, s, true);
            break;
        case ToolGlyph::Pointer: {
            QPainterPath arrow;
            arrow.moveTo(s * 0.3, s * 0.15);
            arrow.lineTo(s * 0.3, s * 0.8);
            arrow.lineTo(s * 0.45, s * 0.65);
            arrow.lineTo(s * 0.58, s * 0.88);
            arrow.lineTo(s * 0.66, s * 0.84);
            arrow.lineTo(s * 0.54, s * 0.61);
            arrow.lineTo(s * 0.74, s * 0.61);
            arrow.closeSubpath();
            p.setBrush(Qt::white);
            p.drawPath(arrow);
            break;
        }
        case ToolGlyph::ZoomIn:
            DrawMagnifier(p, s, true);
            break;
        case ToolGlyph::ZoomOut:
            DrawMagnifier(p, s, false);
            break;
        case ToolGlyph::First:
            p.fillRect(QRectF(s * 0.2, s * 0.2, s * 0.1, s * 0.6), kInk);
            DrawTriangle(p, s, true, s * 0.32);
            DrawTriangle(p, s, true, s * 0.55);
            break;
        case ToolGlyph::Previous:
            DrawTriangle(p, s, true, s * 0.35);
            break;
        case ToolGlyph::Next:
            DrawTriangle(p, s, false, s * 0.3);
            break;
        case ToolGlyph::Last:
            DrawTriangle(p, s, false, s * 0.1);
            DrawTriangle(p, s, false, s * 0.33);
            p.fillRect(QRectF(s * 0.7, s * 0.2, s * 0.1, s * 0.6), kInk);
            break;
    }
}

}  // namespace

QIcon ToolIcon(ToolGlyph glyph, int size) {
    QPixmap pixmap(size * 2, size * 2);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kInk, 1));
    Draw(painter, glyph, size);
    return QIcon(pixmap);
}

}  // namespace qv
