#include "ui/evidenzia.h"

#include <QLineEdit>
#include <QTimer>

namespace cl::ui {

void setBackground(QLineEdit* box, const QColor& colour) {
    QPalette p = box->palette();
    p.setColor(QPalette::Base, colour);
    box->setPalette(p);
}

QColor background(const QLineEdit* box) {
    return box->palette().color(QPalette::Base);
}

void evidenzia(QWidget* screen, QLineEdit* focused) {
    for (QLineEdit* box : screen->findChildren<QLineEdit*>())
        setBackground(box, box->isReadOnly() ? kLockedGrey : kEditableWhite);
    if (!focused) return;
    setBackground(focused, focused->isReadOnly() ? kLockedGrey : kFocusYellow);
    // Selected after the focus event, which would otherwise place the cursor over it.
    QTimer::singleShot(0, focused, [focused] { focused->selectAll(); });
    focused->selectAll();
}

}  // namespace cl::ui
