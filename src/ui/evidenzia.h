#pragma once
#include <QColor>

class QLineEdit;
class QWidget;

namespace cl::ui {

inline const QColor kEditableWhite{255, 255, 255};
inline const QColor kLockedGrey{224, 224, 224};
inline const QColor kFocusYellow{245, 245, 0};
inline const QColor kLightGreen{192, 255, 192};

// Sets the background of a text box.
void setBackground(QLineEdit* box, const QColor& colour);
QColor background(const QLineEdit* box);
// Every text box of the screen white (grey when locked); the one with the focus yellow, its
// text selected.
void evidenzia(QWidget* screen, QLineEdit* focused);

}  // namespace cl::ui
