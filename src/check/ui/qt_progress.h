#pragma once
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <map>

#include "app/interfaces.h"

namespace cl::check::ui {

// Counters and the progress bar of a run on the screen. A run holds the one thread, so the
// window is let paint (and nothing more) every few tens of milliseconds.
class QtProgress : public Progress {
  public:
    QtProgress(std::map<std::string, QLineEdit*> counters, QProgressBar* bar);
    void setText(const std::string& control, const std::string& text) override;
    void setBar(int position) override;
    void showBar(bool visible) override;

  private:
    void letPaint();
    std::map<std::string, QPointer<QLineEdit>> counters_;
    QPointer<QProgressBar> bar_;
    QElapsedTimer sincePaint_;
};

}  // namespace cl::check::ui
