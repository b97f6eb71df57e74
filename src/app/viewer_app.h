#pragma once

#include <QApplication>
#include <QStringList>
#include <memory>

#include "app/main_window.h"
#include "dialogs/progress_window.h"

namespace qv {

// The application: an error that escapes an event handler shows its
// message in a message box and the program keeps running.
class OndixApplication : public QApplication {
  public:
    OndixApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Creates the viewer window and loads the file named by the first argument
// after the program name when it exists. A failure that the viewer does not
// handle itself shows its message and gives null with exitCode 1.
std::unique_ptr<TQVMain> CreateViewer(const QStringList& arguments, ProgressBars* progress,
                                      int& exitCode);

// The whole program: the window shown maximized until it closes.
int RunViewer(OndixApplication& app);

}  // namespace qv
