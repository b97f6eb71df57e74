#pragma once

#include <QApplication>
#include <QColor>
#include <QPainter>
#include <atomic>
#include <memory>

#include "platform/gdi/picture.h"

namespace qv::test {

// The widget tests need one application object for the whole run, and no
// display: without a platform named they run on the offscreen one.
inline void EnsureApplication() {
    if (QApplication::instance() == nullptr) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static int argc = 1;
        static char name[] = "preview_tests";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
}

// A picture that fills its rectangle with one colour and crosses it, and
// counts how often it was drawn.
class ColourPicture : public Picture {
  public:
    ColourPicture(QSizeF size, QColor colour) : size_(size), colour_(colour) {}
    QSizeF size() const override { return size_; }
    void draw(QPainter& painter, const QRectF& target) const override {
        ++draws;
        painter.fillRect(target, colour_);
        painter.setPen(Qt::black);
        painter.drawLine(target.topLeft(), target.bottomRight());
        painter.drawLine(target.topRight(), target.bottomLeft());
    }
    mutable std::atomic<int> draws{0};

  private:
    QSizeF size_;
    QColor colour_;
};

}  // namespace qv::test
