#include <gtest/gtest.h>

#include <QSignalSpy>

#include "platform/preview/page_builder.h"
#include "test_support.h"

namespace qv {
namespace {

using test::ColourPicture;

TEST(FitPictureRectTest, FitsKeepsProportionsRoundsAndCentres) {
    struct Case {
        const char* what;
        QSizeF picture;
        QRect area;
        QRect expected;
    };
    const QRect a4(150, 150, 2180, 3207);  // the screen page's printable rectangle
    const Case cases[] = {
        {"wide: fitted to the width", {400, 200}, a4, {150, 1208, 2180, 1090}},
        {"tall: fitted to the height", {100, 300}, a4, {705, 150, 1069, 3207}},
        {"square: height first, then reduced to the width", {100, 100}, a4, {150, 663, 2180, 2180}},
        {"wide but the height does not fit", {300, 200}, {0, 0, 1000, 500}, {125, 0, 750, 500}},
        {"small pictures are stretched up", {10, 5}, {0, 0, 1000, 1000}, {0, 250, 1000, 500}},
        {"rounded to whole pixels", {3, 1}, {0, 0, 100, 100}, {0, 33, 100, 33}},
        {"no height", {10, 0}, a4, {}},
        {"no width", {0, 10}, a4, {}},
        {"negative", {-10, 10}, a4, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FitPictureRect(c.picture, c.area), c.expected) << c.what;
    }
}

class BuildPagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::EnsureApplication();
        holder = std::make_unique<TPreviewControl>();
        DeviceInfo screen = DeviceInfo::Screen();
        screen.offsetLeft = screen.offsetTop = screen.offsetRight = screen.offsetBottom = 150;
        holder->SetDeviceInfo(screen);
    }
    std::unique_ptr<TPreviewControl> holder;
    TPreviewControl& preview() { return *holder; }
};

TEST_F(BuildPagesTest, EmptyListLeavesThePreviewAsItIs) {
    preview().AddPage(PreviewPage{});
    preview().AddPage(PreviewPage{});
    QSignalSpy changed(holder.get(), &TPreviewControl::Changed);
    BuildPages(preview(), {});
    EXPECT_EQ(preview().PageCount(), 2);
    EXPECT_EQ(changed.count(), 0);
}

TEST_F(BuildPagesTest, OnePagePerItemReplacingWhatWasThere) {
    preview().AddPage(PreviewPage{});
    auto wide = std::make_shared<ColourPicture>(QSizeF(400, 200), Qt::red);
    auto empty = std::make_shared<ColourPicture>(QSizeF(0, 0), Qt::red);
    BuildPages(preview(), {{wide}, {nullptr}, {empty}});
    ASSERT_EQ(preview().PageCount(), 3);
    EXPECT_EQ(preview().Page(0).picture, wide);
    EXPECT_EQ(preview().Page(0).target, QRect(150, 1208, 2180, 1090));
    EXPECT_EQ(preview().Page(0).size, QSize(2480, 3507));
    EXPECT_EQ(preview().Page(1).picture, nullptr);
    EXPECT_EQ(preview().Page(2).picture, nullptr);  // a zero-size picture leaves its page blank
    EXPECT_TRUE(preview().Page(2).target.isEmpty());
}

}  // namespace
}  // namespace qv
