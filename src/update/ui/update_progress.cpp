#include "update/ui/update_progress.h"

#include <QCoreApplication>

namespace cl::review::ui {

void UpdateProgress::setText(const std::string& control, const std::string& text) {
    auto it = boxes_.find(control);
    if (it != boxes_.end()) it->second->setText(QString::fromStdString(text));
    if (!sinceRepaint_.isValid() || sinceRepaint_.elapsed() >= 50) flush();
}

void UpdateProgress::flush() {
    // Paint only: a click in the middle of a run must not start anything else.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    sinceRepaint_.restart();
}

}  // namespace cl::review::ui
