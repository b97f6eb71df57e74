// Every metafile of the corpus plays; damaged ones neither crash nor hang.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

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

}  // namespace
}  // namespace qv::gdi::testing
