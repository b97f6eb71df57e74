#pragma once

#include <QObject>
#include <QToolButton>
#include <vector>

namespace qv {

// Checkable tool buttons of which at most one is down; unlike an exclusive
// QButtonGroup, clicking the down button raises it, so all may be up.
class ToggleButtonGroup : public QObject {
    Q_OBJECT
  public:
    explicit ToggleButtonGroup(QObject* parent = nullptr) : QObject(parent) {}

    int Add(QToolButton* button);
    QToolButton* Button(int index) const { return buttons_.at(size_t(index)); }
    int Count() const { return int(buttons_.size()); }
    bool IsDown(int index) const { return Button(index)->isChecked(); }
    // The index of the down button, -1 when all are up.
    int Down() const;
    // Puts the button down (raising the others); -1 raises all.
    void SetDown(int index);

  signals:
    // After a click has put the button down or raised it.
    void Clicked(int index);

  private:
    std::vector<QToolButton*> buttons_;
};

}  // namespace qv
