#pragma once

class QWidget;

namespace cl::ui {

// Enter on a focused button of the screen presses it, as Space does (outside a dialog Qt's
// buttons ignore Enter unless told).
void enterPressesButtons(QWidget* screen);

}  // namespace cl::ui
