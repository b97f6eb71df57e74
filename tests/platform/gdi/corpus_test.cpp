// Every metafile of the corpus plays; damaged ones neither crash nor hang.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPdfWriter>
#include <thread>

#include "emf_builder.h"
#include "platform/gdi/picture.h"

namespace qv::gdi::testing {
namespace {

QStringList corpusFiles(const char* folder) {
    QDir dir(QStringLiteral(ONDIX_CORPUS_DIR "/") + QLatin1String(folder));
    QStringList out;
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        if (!name.endsWith(QLatin1String(".md")))
            out << dir.filePath(name);
    }
    return out;
}

void playAll(const QStringList& files, bool mustLoad) {
    for (const QString& file : files) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
        const QByteArray bytes = f.readAll();
        std::unique_ptr<Picture> picture;
        try {
            picture = LoadPictureFromBytes(bytes, QStringLiteral(".EMF"));
        } catch (const PictureError& e) {
            EXPECT_FALSE(mustLoad) << file.toStdString() << ": " << e.what();
            continue;
        }
        QImage img(160, 160, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        picture->draw(p, QRectF(0, 0, 160, 160));
    }
}

TEST(EmfCorpus, EveryFilePlays) {
    const QStringList files = corpusFiles("emf");
    if (files.isEmpty())
        GTEST_SKIP() << "corpus not present";
    playAll(files, true);
}

TEST(EmfCorpus, DamagedFilesPlayWithoutCrashOrHang) {
    const QStringList files = corpusFiles("emf-corrupted");
    if (files.isEmpty())
        GTEST_SKIP() << "corpus not present";
    playAll(files, false);
}

QByteArray readFile(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A picture is drawn by several preview threads at once; each drawing must
// come out the same as a drawing made alone.
TEST(EmfCorpus, OnePictureDrawsFromSeveralThreadsAtOnce) {
    const QStringList files = corpusFiles("reports-emf");
    if (files.isEmpty())
        GTEST_SKIP() << "corpus not present";
    const auto picture = LoadPictureFromBytes(readFile(files.first()), QStringLiteral(".EMF"));
    auto draw = [&] {
        QImage img(200, 280, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        picture->draw(p, QRectF(0, 0, 200, 280));
        return img;
    };
    const QImage alone = draw();
    std::vector<QImage> results(4);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < results.size(); ++i)
        threads.emplace_back([&, i] { results[i] = draw(); });
    for (auto& t : threads)
        t.join();
    for (const QImage& r : results)
        EXPECT_EQ(r, alone);
}

// On a PDF the drawing stays vector: text and rules, no page-sized image.
TEST(EmfCorpus, PdfOutputStaysVector) {
    const QStringList files = corpusFiles("reports-emf");
    if (files.isEmpty())
        GTEST_SKIP() << "corpus not present";
    const auto picture = LoadPictureFromBytes(readFile(files.first()), QStringLiteral(".EMF"));
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        QPainter p(&writer);
        picture->draw(p, QRectF(150, 150, 2180, 3000));
    }
    EXPECT_TRUE(pdf.contains("/FontFile2"));  // embedded glyphs, not pixels
    // Images are the report's own pictures, never the page made into pixels.
    for (qsizetype at = pdf.indexOf("/Width "); at >= 0; at = pdf.indexOf("/Width ", at + 1)) {
        EXPECT_LT(pdf.mid(at + 7, 8).split(' ').first().split('\n').first().toInt(), 2000);
    }
}

}  // namespace
}  // namespace qv::gdi::testing
