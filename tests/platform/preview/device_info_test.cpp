#include <gtest/gtest.h>

#include <QPageLayout>
#include <QPrinter>

#include "platform/preview/preview_control.h"
#include "test_support.h"

namespace qv {
namespace {

TEST(DeviceInfoTest, ScreenIsPortraitA4At300Dpi) {
    const DeviceInfo s = DeviceInfo::Screen();
    EXPECT_EQ(s.logPixelsX, 300);
    EXPECT_EQ(s.logPixelsY, 300);
    EXPECT_EQ(s.physicalWidth, 2480);
    EXPECT_EQ(s.physicalHeight, 3507);
    EXPECT_EQ(s.pageWidth, 2400);
    EXPECT_EQ(s.pageHeight, 3281);
    EXPECT_EQ(s.offsetLeft, 40);
    EXPECT_EQ(s.offsetTop, 40);
    EXPECT_EQ(s.offsetRight, 40);
    EXPECT_EQ(s.offsetBottom, 40);
    EXPECT_EQ(s.printableRect(), QRect(40, 40, 2400, 3427));
}

TEST(DeviceInfoTest, InchToPixelsRoundsToNearest) {
    struct Case {
        int dpiX, dpiY;
        double inches;
        int x, y;
    };
    const Case cases[] = {
        {300, 300, 0.5, 150, 150},   // half an inch on the screen geometry
        {600, 1200, 0.5, 300, 600},  // each axis its own resolution
        {301, 300, 0.5, 151, 150},   // 150.5 rounds up
        {300, 300, 1.0 / 3, 100, 100}, {96, 96, 0.51, 49, 49},  // 48.96
        {300, 300, 0.0, 0, 0},
    };
    for (const Case& c : cases) {
        DeviceInfo info;
        info.logPixelsX = c.dpiX;
        info.logPixelsY = c.dpiY;
        EXPECT_EQ(info.inchToXPx(c.inches), c.x) << c.dpiX << " " << c.inches;
        EXPECT_EQ(info.inchToYPx(c.inches), c.y) << c.dpiY << " " << c.inches;
    }
}

TEST(DeviceInfoTest, PrinterGeometryComesFromItsPageLayout) {
    test::EnsureApplication();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(300);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(10, 20, 30, 40), QPageLayout::Millimeter));
    const DeviceInfo info = DeviceInfo::FromPrinter(printer);
    EXPECT_EQ(info.logPixelsX, 300);
    EXPECT_EQ(info.logPixelsY, 300);
    EXPECT_NEAR(info.physicalWidth, 2480, 1);
    EXPECT_NEAR(info.physicalHeight, 3508, 1);
    // The printable rectangle as the printer reports it, about the margins asked for.
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
    EXPECT_EQ(info.offsetLeft, qRound(printable.left() - paper.left()));
    EXPECT_EQ(info.offsetTop, qRound(printable.top() - paper.top()));
    EXPECT_EQ(info.pageWidth, qRound(printable.width()));
    EXPECT_EQ(info.pageHeight, qRound(printable.height()));
    EXPECT_NEAR(info.offsetLeft, 118, 3);    // 10 mm
    EXPECT_NEAR(info.offsetTop, 236, 3);     // 20 mm
    EXPECT_NEAR(info.offsetRight, 354, 3);   // 30 mm
    EXPECT_NEAR(info.offsetBottom, 472, 3);  // 40 mm
    EXPECT_EQ(info.physicalWidth - info.pageWidth - info.offsetLeft, info.offsetRight);
    EXPECT_EQ(info.physicalHeight - info.pageHeight - info.offsetTop, info.offsetBottom);
}

}  // namespace
}  // namespace qv
