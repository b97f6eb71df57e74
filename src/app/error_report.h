#pragma once

#include <QWidget>
#include <exception>

namespace qv {

// The application's general error message: the error's text in a message
// box with the application's title; the program goes on.
void ShowErrorMessage(QWidget* parent, const std::exception& error);

}  // namespace qv
