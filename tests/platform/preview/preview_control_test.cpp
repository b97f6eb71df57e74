#include <gtest/gtest.h>

#include <QBitmap>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QWheelEvent>

#include "platform/preview/preview_control.h"
#include "test_support.h"

namespace qv {
namespace {

using test::ColourPicture;

class PreviewControlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::EnsureApplication();
        host = std::make_unique<QWidget>();
        host->resize(1000, 1000);
        preview = new TPreviewControl(host.get());
        preview->setGeometry(0, 0, 600, 800);
        preview->SetRenderThreadCount(0);
        preview->SetScaleMode(ScaleMode::smScale);
        preview->SetScale(100);
        host->show();
    }

    void AddPages(int count) {
        preview->AddPages(std::vector<PreviewPage>(
            size_t(count), PreviewPage{picture, QRect(150, 150, 2180, 3207), {}}));
    }

    // Paints the view once and lists the pages it reported painted.
    std::vector<int> Paint() {
        std::vector<int> drawn;
        auto connection = QObject::connect(preview, &TPreviewControl::PageDrawn,
                                           [&](int index) { drawn.push_back(index); });
        preview->viewport()->grab();
        QObject::disconnect(connection);
        return drawn;
    }

    // Lets the workers finish what they were asked for.
    void WaitForRenders() {
        QElapsedTimer timer;
        timer.start();
        while (preview->PendingRenderCount() > 0 && timer.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(1);
        }
    }

    bool Visible(int index) const {
        const QRect rect = preview->PageRectInView(index).adjusted(0, 0, preview->ShadowOffset(),
                                                                   preview->ShadowOffset());
        return rect.intersects(preview->viewport()->rect());
    }

    std::shared_ptr<ColourPicture> picture =
        std::make_shared<ColourPicture>(QSizeF(210, 297), Qt::red);
    std::unique_ptr<QWidget> host;
    TPreviewControl* preview = nullptr;
};

TEST_F(PreviewControlTest, PageWidthScaleIsReadBackAndKeptWhenSwitchingToCustom) {
    AddPages(1);
    preview->SetScaleMode(ScaleMode::smPageWidth);
    const int computed = preview->Scale();
    const QRect page = preview->PageRectInView(0);
    EXPECT_LE(page.right() + preview->ShadowOffset(), preview->viewport()->width());
    EXPECT_GT(page.width(), preview->viewport()->width() - 40);
    preview->SetScale(300);  // page width still rules
    EXPECT_EQ(preview->Scale(), computed);
    preview->SetScaleMode(ScaleMode::smScale);
    EXPECT_EQ(preview->Scale(), computed);
}

TEST_F(PreviewControlTest, PageWidthFollowsTheSizeOfTheControl) {
    AddPages(1);
    preview->SetScaleMode(ScaleMode::smPageWidth);
    const int before = preview->Scale();
    QSignalSpy changed(preview, &TPreviewControl::Changed);
    preview->resize(900, 800);
    EXPECT_GE(changed.count(), 1);
    EXPECT_GT(preview->Scale(), before);
}

TEST_F(PreviewControlTest, FullPageShowsTheWholePage) {
    AddPages(3);
    preview->SetScaleMode(ScaleMode::smFullPage);
    const QRect page =
        preview->PageRectInView(0).adjusted(0, 0, preview->ShadowOffset(), preview->ShadowOffset());
    EXPECT_TRUE(preview->viewport()->rect().contains(page));
    EXPECT_GT(page.height(), preview->viewport()->height() - 40);
}

TEST_F(PreviewControlTest, UpdateBracketNotifiesEveryChangeAndPaintsOnlyAtTheEnd) {
    AddPages(2);
    QSignalSpy changed(preview, &TPreviewControl::Changed);
    preview->BeginUpdate();
    preview->BeginUpdate();
    preview->SetScale(50);
    preview->SetRows(2);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(preview->Scale(), 50);  // the layout follows while updating
    EXPECT_TRUE(Paint().empty());
    preview->EndUpdate();
    EXPECT_EQ(changed.count(), 2);
    EXPECT_TRUE(Paint().empty());
    preview->EndUpdate();
    EXPECT_EQ(changed.count(), 3);
    EXPECT_FALSE(Paint().empty());
    preview->EndUpdate();  // unbalanced: ignored
    EXPECT_EQ(changed.count(), 3);
}

TEST_F(PreviewControlTest, WhatNotifiesAChange) {
    QSignalSpy changed(preview, &TPreviewControl::Changed);
    AddPages(4);
    preview->SetDrawMargins(true);
    preview->SetShadowOffset(7);
    preview->SetCols(2);
    preview->SetDeviceInfo(DeviceInfo::Screen());
    preview->ClearPages();
    EXPECT_EQ(changed.count(), 6);
    preview->SetRows(0);  // stored as 1, which it already is
    preview->SetSelectedPage(2);
    preview->SetTopRow(1);
    EXPECT_EQ(changed.count(), 6);
    EXPECT_EQ(preview->Rows(), 1);
}

TEST_F(PreviewControlTest, TopRowCountsClampsAndNavigates) {
    AddPages(10);
    EXPECT_EQ(preview->RowCount(), 10);
    const int stride = preview->PageRectInView(1).top() - preview->PageRectInView(0).top();
    QScrollBar* bar = preview->verticalScrollBar();
    preview->SetTopRow(3);
    EXPECT_EQ(bar->value(), 3 * stride);
    EXPECT_EQ(preview->TopRow(), 3);
    bar->setValue(3 * stride + 1);  // row 3's top is out of view
    EXPECT_EQ(preview->TopRow(), 4);
    preview->SetTopRow(-5);
    EXPECT_EQ(preview->TopRow(), 0);
    preview->Prior();
    EXPECT_EQ(preview->TopRow(), 0);
    preview->Next();
    EXPECT_EQ(preview->TopRow(), 1);
    preview->SetTopRow(99);
    EXPECT_EQ(preview->TopRow(), 9);
    preview->Next();
    EXPECT_EQ(preview->TopRow(), 9);
    preview->First();
    preview->Last();
    EXPECT_EQ(preview->TopRow(), 9);
    preview->SetCols(3);
    EXPECT_EQ(preview->RowCount(), 4);
}

TEST_F(PreviewControlTest, MousePressSelectsThePageAfterMouseDown) {
    AddPages(3);
    preview->SetScale(20);
    int selectedDuringEvent = 99;
    Qt::KeyboardModifiers modifiers;
    QObject::connect(preview, &TPreviewControl::MouseDown,
                     [&](Qt::MouseButton, Qt::KeyboardModifiers mods, QPoint) {
                         selectedDuringEvent = preview->SelectedPage();
                         modifiers = mods;
                     });
    QTest::mouseClick(preview->viewport(), Qt::RightButton, Qt::AltModifier,
                      preview->PageRectInView(1).center());
    EXPECT_EQ(selectedDuringEvent, -1);
    EXPECT_EQ(modifiers, Qt::AltModifier);
    EXPECT_EQ(preview->SelectedPage(), 1);
    QTest::mouseClick(preview->viewport(), Qt::LeftButton, {}, QPoint(2, 2));  // the gap
    EXPECT_EQ(selectedDuringEvent, 1);
    EXPECT_EQ(preview->SelectedPage(), 1);
    preview->ClearPages();  // clearing keeps the selection
    EXPECT_EQ(preview->SelectedPage(), 1);
}

TEST_F(PreviewControlTest, OnlyVisiblePagesArePaintedRowByRow) {
    AddPages(20);
    preview->SetScale(20);
    preview->SetCols(2);
    std::vector<int> expected;
    for (int i = 0; i < 20; ++i) {
        if (Visible(i)) {
            expected.push_back(i);
        }
    }
    ASSERT_FALSE(expected.empty());
    EXPECT_LT(expected.size(), 20u);
    EXPECT_EQ(Paint(), expected);
    preview->Last();
    const std::vector<int> atEnd = Paint();
    ASSERT_FALSE(atEnd.empty());
    EXPECT_EQ(atEnd.back(), 19);
    EXPECT_GT(atEnd.front(), 0);
}

TEST_F(PreviewControlTest, ALongReportRendersOnlyWhatIsShown) {
    AddPages(1000);
    Paint();
    EXPECT_LE(picture->draws, 2);
    preview->Last();
    Paint();
    preview->SetTopRow(500);
    Paint();
    EXPECT_LE(picture->draws, 6);
    EXPECT_LE(preview->CachedImageCount(), 6);
}

TEST_F(PreviewControlTest, WorkersRenderVisiblePagesAndAMargin) {
    preview->SetRenderThreadCount(2);
    AddPages(1000);
    EXPECT_EQ(Paint(), std::vector<int>{0});  // painted white at first
    WaitForRenders();
    EXPECT_EQ(preview->PendingRenderCount(), 0);
    EXPECT_EQ(preview->CachedImageCount(), 2);  // page 0 and the next row ahead
    const int draws = picture->draws;
    EXPECT_EQ(draws, 2);
    Paint();
    EXPECT_EQ(picture->draws, draws);  // from the cache
}

TEST_F(PreviewControlTest, HighZoomRendersOnlyTheTilesInView) {
    AddPages(3);
    preview->SetScale(800);  // a page image of about 6350 x 8980 pixels
    const QImage shot = preview->viewport()->grab().toImage();
    EXPECT_LE(picture->draws, 4);
    EXPECT_LE(preview->CachedImageCount(), 4);
    EXPECT_LT(preview->CachedBytes(), qint64(20) << 20);
    // The picture starts 150 of 2480 page pixels in: at 392 view pixels.
    EXPECT_EQ(shot.pixelColor(500, 420), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(300, 300), QColor(Qt::white));
}

TEST_F(PreviewControlTest, OldImageStandsInWhileTheNewZoomRenders) {
    preview->SetRenderThreadCount(1);
    AddPages(2);
    preview->SetScale(50);
    Paint();
    WaitForRenders();
    const QPoint inPicture = preview->PageRectInView(0).topLeft() + QPoint(150, 90);
    EXPECT_EQ(preview->viewport()->grab().toImage().pixelColor(inPicture), QColor(Qt::red));
    preview->SetScale(55);  // nothing rendered at 55 yet: page 0 at 50 is stretched
    EXPECT_EQ(preview->viewport()->grab().toImage().pixelColor(inPicture), QColor(Qt::red));
    WaitForRenders();
    EXPECT_EQ(preview->CachedImageCount(), 2);  // replaced by the images at 55
}

TEST_F(PreviewControlTest, CacheStaysWithinItsBound) {
    AddPages(30);
    const QSize page = preview->PageRectInView(0).size();
    const qint64 pageBytes = qint64(page.width()) * page.height() * 4;
    preview->SetCacheLimit(4 * pageBytes);
    for (int row = 0; row < 30; ++row) {
        preview->SetTopRow(row);
        Paint();
        EXPECT_LE(preview->CachedBytes(), preview->CacheLimit()) << row;
    }
    EXPECT_GE(preview->CachedImageCount(), 2);
}

TEST_F(PreviewControlTest, DrawPageDrawsThePictureAtThePagesOwnSize) {
    DeviceInfo larger;  // the geometry changed after the page was built
    larger.logPixelsX = larger.logPixelsY = 100;
    larger.physicalWidth = 400;
    larger.physicalHeight = 600;
    preview->SetDeviceInfo(larger);
    preview->AddPage(PreviewPage{picture, QRect(20, 30, 100, 50), QSize(200, 300)});
    QImage image(400, 600, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        preview->DrawPage(painter, 0);
        preview->DrawPage(painter, 5);  // no such page: nothing
    }
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(199, 299), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(60, 70), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(250, 350), QColor(Qt::black));  // outside the page's own size
    EXPECT_EQ(picture->draws, 1);
    EXPECT_EQ(preview->CachedImageCount(), 0);
}

TEST_F(PreviewControlTest, LineStepsScrollAndStopAtTheEnds) {
    AddPages(3);
    QScrollBar* bar = preview->verticalScrollBar();
    preview->ScrollLines(Qt::Vertical, 2);
    EXPECT_EQ(bar->value(), 2 * bar->singleStep());
    preview->ScrollLines(Qt::Vertical, -5);
    EXPECT_EQ(bar->value(), 0);
    preview->ScrollLines(Qt::Horizontal, 1000000);
    EXPECT_EQ(preview->horizontalScrollBar()->value(), preview->horizontalScrollBar()->maximum());
}

TEST_F(PreviewControlTest, MagnifierCursors) {
    preview->SetCursorKind(1);
    EXPECT_EQ(preview->CursorKind(), 1);
    const QCursor plus = preview->viewport()->cursor();
    EXPECT_EQ(plus.shape(), Qt::BitmapCursor);
    EXPECT_EQ(plus.hotSpot(), QPoint(10, 10));
    EXPECT_EQ(plus.bitmap().size(), QSize(32, 32));
    preview->SetCursorKind(2);
    EXPECT_NE(preview->viewport()->cursor().bitmap().toImage(), plus.bitmap().toImage());
    preview->SetCursorKind(0);
    EXPECT_EQ(preview->viewport()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(PreviewControlTest, WheelScrollsVerticallyAndAsksForTheHint) {
    AddPages(5);
    std::vector<int> asked;
    preview->SetScrollHintHandler([&](int position) {
        asked.push_back(position);
        return QString("Strana %1").arg(preview->TopRow() + 1);
    });
    QWheelEvent wheel(QPointF(100, 100), preview->viewport()->mapToGlobal(QPointF(100, 100)),
                      QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(preview->viewport(), &wheel);
    const int position = preview->verticalScrollBar()->value();
    EXPECT_GT(position, 0);
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.back(), position);
}

}  // namespace
}  // namespace qv
