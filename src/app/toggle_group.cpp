#include "app/toggle_group.h"

namespace qv {

int ToggleButtonGroup::Add(QToolButton* button) {
    const int index = Count();
    buttons_.push_back(button);
    button->setCheckable(true);
    connect(button, &QToolButton::clicked, this, [this, index](bool checked) {
        if (checked) {
            SetDown(index);
        }
        emit Clicked(index);
    });
    return index;
}

int ToggleButtonGroup::Down() const {
    for (int i = 0; i < Count(); ++i) {
        if (IsDown(i)) {
            return i;
        }
    }
    return -1;
}

void ToggleButtonGroup::SetDown(int index) {
    for (int i = 0; i < Count(); ++i) {
        Button(i)->setChecked(i == index);
    }
}

}  // namespace qv
