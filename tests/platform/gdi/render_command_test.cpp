// qvotool render: containers as the viewer opens them, PDF pages, PNG pages
// and the picture alone.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

namespace {

int runTool(const QStringList& arguments) {
    QProcess tool;
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.start(QStringLiteral(QVOTOOL_PATH), QStringList{QStringLiteral("render")} + arguments);
    if (!tool.waitForFinished(60000))
        return -1;
    return tool.exitCode();
}

const QString kSamples = QStringLiteral(ONDIX_SOURCE_DIR "/samples/");

TEST(RenderCommand, ContainerPagesToPdfAndPng) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    ASSERT_EQ(runTool({kSamples + "report-3pages.qvo", "-p", "ondix-demo", "-o", pdf}), 0);
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().count("/Type /Page\n"), 3);

    const QString png = dir.filePath(QStringLiteral("page.png"));
    ASSERT_EQ(runTool({kSamples + "report-3pages.qvo", "-p", "ondix-demo", "-o", png, "--dpi", "30",
                       "--pages", "2-3"}),
              0);
    const QImage first(dir.filePath(QStringLiteral("page-1.png")));
    EXPECT_EQ(first.size(), QSize(248, 351));  // A4 at 30 dpi
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("page-2.png"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("page-3.png"))));
}

TEST(RenderCommand, PictureOnlyHasTheRequestedWidthAndItsOwnProportions) {
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("pic.png"));
    ASSERT_EQ(runTool({kSamples + "sample.emf", "-o", png, "--picture-only", "--width", "300"}), 0);
    const QImage image(png);
    EXPECT_EQ(image.width(), 300);
    EXPECT_GT(image.height(), 300);  // a portrait page
    EXPECT_EQ(runTool({kSamples + "sample.emf", "-o", dir.filePath("x.txt")}), 2);
    EXPECT_EQ(runTool({dir.filePath("missing.emf"), "-o", png}), 1);
}

}  // namespace
