#include "check/ui/qt_progress.h"

#include <QCoreApplication>

namespace cl::check::ui {

namespace {
constexpr int kPaintEveryMs = 40;
}

QtProgress::QtProgress(std::map<std::string, QLineEdit*> counters, QProgressBar* bar) : bar_(bar) {
    for (auto& [name, edit] : counters) counters_[name] = edit;
    sincePaint_.start();
}

void QtProgress::setText(const std::string& control, const std::string& text) {
    auto it = counters_.find(control);
    if (it != counters_.end() && it->second) it->second->setText(QString::fromStdString(text));
    letPaint();
}

void QtProgress::setBar(int position) {
    if (bar_) bar_->setValue(position);
    letPaint();
}

void QtProgress::showBar(bool visible) {
    if (bar_) bar_->setVisible(visible);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    sincePaint_.restart();
}

void QtProgress::letPaint() {
    if (sincePaint_.elapsed() < kPaintEveryMs) return;
    // Input is held back: the run must not be clicked into while it works.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    sincePaint_.restart();
}

}  // namespace cl::check::ui
