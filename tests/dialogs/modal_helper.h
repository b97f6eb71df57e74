#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <memory>

namespace qv::test {

// Once a visible modal widget of type T is the active modal widget, runs
// action on it (from the event loop that shows it). Gives up after 10 s so
// that a missing dialog fails the test instead of hanging it.
template <typename T>
void WhenModal(std::function<void(T*)> action) {
    auto* timer = new QTimer(qApp);
    timer->setObjectName(QStringLiteral("WhenModal"));
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, timer, [timer, clock, action] {
        T* widget = qobject_cast<T*>(QApplication::activeModalWidget());
        if (widget == nullptr || !widget->isVisible()) {
            if (clock->elapsed() > 10000) {
                timer->deleteLater();
                timer->stop();
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        action(widget);
    });
    timer->start(5);
}

// Drops the handlers still waiting, so that one test's leftovers never
// answer the next test's dialogs.
inline void CancelPendingModalHandlers() {
    for (QTimer* timer :
         qApp->findChildren<QTimer*>(QStringLiteral("WhenModal"), Qt::FindDirectChildrenOnly)) {
        timer->stop();
        timer->deleteLater();
    }
}

// The texts a message box showed, for assertions after it closed.
struct SeenBox {
    bool shown = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
};

// Answers the next message box with the given button and records it.
inline std::shared_ptr<SeenBox> AnswerMessageBox(QMessageBox::StandardButton answer) {
    auto seen = std::make_shared<SeenBox>();
    WhenModal<QMessageBox>([seen, answer](QMessageBox* box) {
        seen->shown = true;
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        seen->buttons = int(box->buttons().size());
        if (QAbstractButton* button = box->button(answer)) {
            button->click();
        } else {
            box->reject();
        }
    });
    return seen;
}

}  // namespace qv::test
