#include "app/viewer_app.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QScreen>

#include "app/error_report.h"

namespace qv {

OndixApplication::OndixApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Ondix"));
    setApplicationDisplayName(QStringLiteral("Ondix"));
}

bool OndixApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowErrorMessage(activeWindow(), error);
    }
    return false;
}

std::unique_ptr<TQVMain> CreateViewer(const QStringList& arguments, ProgressBars* progress,
                                      int& exitCode) {
    exitCode = 0;
    auto window = std::make_unique<TQVMain>(progress);
    window->HelpFile = QDir(QCoreApplication::applicationDirPath()).filePath("OndixHLP.chm");
    if (arguments.size() > 1 && QFileInfo::exists(arguments.at(1))) {
        try {
            window->Clear1Click();
            window->Loader().LoadFile(arguments.at(1));
            window->Loader().RebuildPages();
        } catch (const std::exception& error) {
            ShowErrorMessage(nullptr, error);
            exitCode = 1;
            return nullptr;
        }
    }
    return window;
}

int RunViewer(OndixApplication& app) {
    TShowObject showObject;
    int exitCode = 0;
    std::unique_ptr<TQVMain> window = CreateViewer(app.arguments(), &showObject, exitCode);
    if (!window) {
        return exitCode;
    }
    QEventLoop loop;
    QObject::connect(window.get(), &TQVMain::Closed, &loop, &QEventLoop::quit);
    // Without a window manager a maximized request may not be honoured:
    // start with the whole available screen in any case.
    if (QScreen* screen = window->screen()) {
        window->setGeometry(screen->availableGeometry());
    }
    window->showMaximized();
    loop.exec();
    return 0;
}

}  // namespace qv
