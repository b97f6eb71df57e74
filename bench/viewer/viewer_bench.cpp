// Opens a report of many EMF pages in the viewer on the offscreen platform
// and prints: time from start to the first painted page, a full scroll from
// the first to the last page at page width (repaints per second), and the
// peak resident memory.
//
//   viewer_bench [pages=1000] [work folder=/tmp]
//
// The container is built from the business report pages of the shared test
// corpus, repeated, as one inner file set, and opened as if named on the
// command line; the password prompt is answered by a timer.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/viewer_app.h"
#include "container/container_writer.h"
#include "container/stream_primitives.h"

namespace {

long StatusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) {
            return std::stol(line.substr(std::string(key).size()));
        }
    }
    return -1;
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// An inner file set of pages copies of the corpus's report pages.
qv::MemoryStream BuildPayload(int pages) {
    const QDir dir(QStringLiteral(ONDIX_CORPUS_DIR "/reports-emf"));
    std::vector<QByteArray> samples;
    for (const QString& name : dir.entryList({QStringLiteral("*.emf")}, QDir::Files)) {
        samples.push_back(ReadFile(dir.filePath(name)));
    }
    if (samples.empty()) {
        std::fprintf(stderr, "no sample pages in %s\n", qPrintable(dir.path()));
        std::exit(2);
    }
    qv::MemoryStream payload;
    std::string index = "Last=" + std::to_string(pages) + "\r\n";
    for (int i = 0; i < pages; ++i) {
        const QByteArray& page = samples[size_t(i) % samples.size()];
        index += "MP" + std::to_string(i) + "=" + std::to_string(payload.size()) + "\r\n";
        index += "MS" + std::to_string(i) + "=" + std::to_string(page.size()) + "\r\n";
        payload.write(page.constData(), uint64_t(page.size()));
    }
    payload.write(index.data(), index.size());
    qv::WriteTrailingInt(payload, index.size());
    return payload;
}

void WriteContainer(const QString& path, int pages) {
    qv::TQVOFileSetObject writer;
    writer.FParams = std::make_unique<qv::ParamList>();
    writer.FParams->add("QVONAME=Benchmark");
    writer.FParams->add("QVOOPCNT=" + std::to_string(pages));
    writer.FExt = ".EMF";
    writer.FPassword = "heslo";
    writer.FData = std::make_unique<qv::MemoryStream>(BuildPayload(pages));
    writer.FOutputFileName = QFile::encodeName(path).toStdString();
    writer.WriteContainer();
}

// Answers the password prompt as soon as it shows.
void AnswerPrompt() {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [timer] {
        if (auto* dialog = qobject_cast<qv::TQVOPasswordDlg*>(QApplication::activeModalWidget())) {
            timer->deleteLater();
            timer->stop();
            dialog->EdPassword->setText(QStringLiteral("heslo"));
            dialog->OKBtn->click();
        }
    });
    timer->start(1);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const int pages = argc > 1 ? std::max(2, std::atoi(argv[1])) : 1000;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QDir::tempPath();
    const QString file = QDir(folder).filePath(QStringLiteral("viewer_bench.qvo"));
    {
        int fakeArgc = 1;
        QCoreApplication setup(fakeArgc, argv);
        WriteContainer(file, pages);
    }
    std::printf("container: %d pages, %lld bytes, %s\n", pages,
                static_cast<long long>(QFileInfo(file).size()), qPrintable(file));
    const long baseKb = StatusKb("VmRSS:");

    QElapsedTimer sinceStart;
    sinceStart.start();
    int appArgc = 1;
    qv::OndixApplication app(appArgc, argv);
    qv::TShowObject show;
    AnswerPrompt();
    int exitCode = 0;
    auto window = qv::CreateViewer({QStringLiteral("ondix"), file}, &show, exitCode);
    if (!window) {
        return exitCode;
    }
    const qint64 loaded = sinceStart.elapsed();
    const long loadedKb = StatusKb("VmRSS:");
    qint64 firstPaint = -1;
    QObject::connect(window->Prev, &qv::TPreviewControl::PageDrawn, window.get(),
                     [&] { firstPaint = firstPaint < 0 ? sinceStart.elapsed() : firstPaint; });
    window->resize(1280, 1000);
    window->show();
    while (firstPaint < 0 && sinceStart.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    std::printf("pages shown: %d; loaded after %lld ms; first page painted after %lld ms\n",
                window->Prev->PageCount(), static_cast<long long>(loaded),
                static_cast<long long>(firstPaint));

    QScrollBar* bar = window->Prev->verticalScrollBar();
    const int step = std::max(1, window->Prev->viewport()->height() / 2);
    int repaints = 0;
    QElapsedTimer scrolling;
    scrolling.start();
    for (int value = 0; value <= bar->maximum(); value += step) {
        bar->setValue(value);
        window->Prev->viewport()->repaint();
        QCoreApplication::processEvents();
        ++repaints;
    }
    const double seconds = std::max(1e-3, scrolling.elapsed() / 1000.0);
    std::printf("full scroll at page width (scale %d%%): %d repaints in %.2f s = %.1f repaints/s\n",
                window->Prev->Scale(), repaints, seconds, repaints / seconds);
    std::printf(
        "memory: before viewer %ld kB resident, after loading %ld kB, peak (VmHWM) %ld kB, now %ld "
        "kB; "
        "page cache %lld kB in %d images\n",
        baseKb, loadedKb, StatusKb("VmHWM:"), StatusKb("VmRSS:"),
        static_cast<long long>(window->Prev->CachedBytes() / 1024),
        window->Prev->CachedImageCount());
    window.reset();
    QFile::remove(file);
    return 0;
}
