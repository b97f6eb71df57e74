#pragma once

#include <QApplication>

namespace qv {

// Shows the hourglass while it lives and puts the previous cursor back on
// every path out of the scope.
class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace qv
