#pragma once
#include <QElapsedTimer>
#include <QLineEdit>
#include <map>
#include <string>

#include "app/interfaces.h"

namespace cl::review::ui {

// The panel's counters during a run: every value lands in its box at once; the window is
// repainted at most every 50 ms so that a long run stays fast and still visibly moves.
class UpdateProgress : public Progress {
  public:
    void bind(const std::string& control, QLineEdit* box) { boxes_[control] = box; }
    void setText(const std::string& control, const std::string& text) override;
    void setBar(int) override {}
    void showBar(bool) override {}
    void flush();  // repaint now (end of a run)

  private:
    std::map<std::string, QLineEdit*> boxes_;
    QElapsedTimer sinceRepaint_;
};

}  // namespace cl::review::ui
