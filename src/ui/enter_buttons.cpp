#include "ui/enter_buttons.h"

#include <QPushButton>

namespace cl::ui {

void enterPressesButtons(QWidget* screen) {
    for (QPushButton* b : screen->findChildren<QPushButton*>()) b->setAutoDefault(true);
}

}  // namespace cl::ui
