#include "app/error_report.h"

#include <QApplication>
#include <QMessageBox>

#include "dialogs/ui_fonts.h"

namespace qv {

void ShowErrorMessage(QWidget* parent, const std::exception& error) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(),
                    MessageText(error.what()), QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace qv
